#pragma once
// TfrmBackUp ("数据备份"): backs up the open account set under a name the user types, and sets the
// automatic backup when leaving the system (switch 39) with its interval in days ("AutoBackupDate").

#include "uDialogParent.h"

class QCheckBox;
class QLineEdit;
class QSpinBox;

class TfrmBackUp : public TfrmDialogParent
{
    Q_OBJECT
public:
    explicit TfrmBackUp(QWidget *parent = nullptr);
    ~TfrmBackUp() override;

    // Reads the interval and the switch into the controls (the interval defaults to "3").
    void Prepare();

    QLineEdit *Edit1;
    QCheckBox *chkAutoBackUp;
    QLineEdit *edtDate;
    QSpinBox *UpDown;
    QPushButton *btnOK;
    QPushButton *btnExit;
    QPushButton *btnHelp;

    void done(int result) override;

public slots:
    void chkAutoBackUpClick();
    void edtDateExit();
    void btnOKClick();

private:
    void ShowStoredInterval();
    bool FPreparing = false;
};

namespace uBackUp {
// The dispatch entry 备份: the window, modal, then freed; True.
bool ShowBackUp();
} // namespace uBackUp
