#pragma once
// TfrmPassTokenBind ("绑定安全钥匙"): confirms binding the plugged-in key to an operator. It shows the
// key's number and level and the operator; OK gives back number, level and the bound flag.

#include "uDialogParent.h"

class QLineEdit;

class TfrmPassTokenBind : public TfrmDialogParent
{
    Q_OBJECT
public:
    explicit TfrmPassTokenBind(QWidget *parent = nullptr);
    ~TfrmPassTokenBind() override;

    QLabel *lbl1, *lbl2;
    QPushButton *btnOk, *btnCancel;
    QLineEdit *edtPassCode, *edtPassLevel, *edtEtype;

    // The key and the operator to show.
    void Prepare(const QString &operatorName, const QString &passCode, int passLevel,
                 const QString &levelText);
    void btnOkClick();

    QString PassCode() const { return FPassCode; }
    int PassLevel() const { return FPassLevel; }
    int PassHave() const { return FPassHave; }

private:
    QString FPassCode;
    int FPassLevel = 0;
    int FPassHave = 0;
};
