#pragma once
// TfrmRestore ("数据恢复"): lists the backups of the catalogue, deletes one on request and restores
// the account set from the one chosen or typed. After a restore the program ends; the user starts it
// again on the restored data.

#include "uDialogParent.h"

class QLineEdit;
class QRadioButton;
class QGroupBox;
class TKvGGeneralGrid;

class TfrmRestore : public TfrmDialogParent
{
    Q_OBJECT
public:
    explicit TfrmRestore(QWidget *parent = nullptr);
    ~TfrmRestore() override;

    // The pass-token and open-window checks, then the grid. False when the window must close.
    bool Prepare();
    // True once a restore succeeded.
    bool Restored() const { return FRestored; }

    QRadioButton *Radio1;
    QGroupBox *grp1;
    QLineEdit *Edit1;
    TKvGGeneralGrid *MainGrid;
    QPushButton *btnDelete;
    QPushButton *btnRestore;
    QPushButton *btnClose;
    QPushButton *btnHelp;

public slots:
    void FillGrid();
    void MainGridClick();
    void btnDeleteClick();
    void btnRestoreClick();

private:
    bool FRestored = false;
};

namespace uRestore {
// The dispatch entry 恢复: the window, modal; after a restore the log-on window again and, when that
// succeeds, the status bar. True.
bool ShowRestore();
} // namespace uRestore
