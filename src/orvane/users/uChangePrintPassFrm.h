#pragma once
// TfrmChangePrintPass ("修改打印密码"): changes the print password of the account set; opened from the
// account options window.

#include "uChangePassFrm.h"

class TfrmChangePrintPass : public TfrmPasswordChangeParent
{
    Q_OBJECT
public:
    explicit TfrmChangePrintPass(QWidget *parent = nullptr);
    void btnOKClick() override;
};

namespace uChangePrintPassFrm {
// The dialog, modal (from 账套选项, button 打印密码设置(&M)).
void ShowChangePrintPass(QWidget *parent = nullptr);
} // namespace uChangePrintPassFrm
