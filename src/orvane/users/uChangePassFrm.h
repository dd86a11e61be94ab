#pragma once
// TfrmChangePass ("修改口令"): the logged-on operator changes his own log-on password. The layout is
// shared with the print password (TfrmPasswordChangeParent): old password, new one and its confirmation.

#include "uDialogParent.h"

class QLineEdit;

class TfrmPasswordChangeParent : public TfrmDialogParent
{
    Q_OBJECT
public:
    explicit TfrmPasswordChangeParent(QWidget *parent = nullptr);
    ~TfrmPasswordChangeParent() override;

    QLabel *lbl1, *lbl2, *lbl3;
    QLineEdit *edOldPass, *edNewPass, *edConNewPass;
    QPushButton *btnOK, *btnCancel;

    virtual void btnOKClick() = 0;

protected:
    // Exact comparison of the new password with its confirmation.
    bool NewPasswordConfirmed() const;
};

class TfrmChangePass : public TfrmPasswordChangeParent
{
    Q_OBJECT
public:
    explicit TfrmChangePass(QWidget *parent = nullptr);
    void btnOKClick() override;
};

namespace uChangePassFrm {
// Dispatch entry 修改口令: the dialog, modal; True.
bool ShowChangePass();
} // namespace uChangePassFrm
