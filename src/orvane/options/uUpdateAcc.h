#pragma once
// TfrmUpdateAcc ("升级补丁"): runs SQL script files the user picks against the account set, one after
// the other; a file that fails stops the run, the files before it stay applied.

#include "uDialogParent.h"

class QLabel;
class QGroupBox;
class QLineEdit;
class QProgressBar;
class QFileDialog;

class TfrmUpdateAcc : public TfrmDialogParent
{
    Q_OBJECT
public:
    explicit TfrmUpdateAcc(QWidget *parent = nullptr);
    ~TfrmUpdateAcc() override;

    // The dispatch entry: false when refused by the pass token, true otherwise.
    static bool Execute();

    QPushButton *btnOK, *btnCancel, *btnQuery;
    QGroupBox *CMGGroupBox1;
    QLabel *Label2, *Label4;
    QLabel *lblSQL;
    QLineEdit *lbeSQL;
    QFileDialog *OpenDialog;
    QProgressBar *pbRun;

    // The files of the last confirmed browse, in the dialog's order.
    QStringList Files() const { return FFiles; }
    void SetFiles(const QStringList &files);

    void btnQueryClick();
    void btnOKClick();

private:
    void BuildControls();
    void ShowBar(bool on);

    QStringList FFiles;
};
