#include "uChangePrintPassFrm.h"

#include <QLineEdit>

#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "uOrvaneCommon.h"
#include "uSysEventLog.h"
#include "uUsersCommon.h"

TfrmChangePrintPass::TfrmChangePrintPass(QWidget *parent) : TfrmPasswordChangeParent(parent)
{
    setObjectName(QStringLiteral("frmChangePrintPass"));
}

void TfrmChangePrintPass::btnOKClick()
{
    if (!NewPasswordConfirmed()) {
        Udllmessageintf::ShowWarningMsg(uUsersCommon::PasswordsDiffer);
        edNewPass->setFocus();
        return;
    }
    int result = 0;
    {
        // The change and its event are one piece of work.
        Udlldbservice::TTransaction transaction;
        result = Udlldbservice::ExecuteProcByName(
            QStringLiteral("P_GBL_PrintPassword"),
            {QStringLiteral("@cMode"), QStringLiteral("@Password"), QStringLiteral("@NewPassword")},
            {QStringLiteral("U"), edOldPass->text(), edNewPass->text()});
        if (result != -1 && result != -2) {
            uOrvaneCommon::WriteSysEvent(QStringLiteral("修改打印密码"));
            transaction.Commit();
        }
    }
    if (result == -2) {
        Udllmessageintf::ShowWarningMsg(QStringLiteral("密码修改失败，请稍后再试。"));
        edOldPass->setFocus();
    } else if (result == -1) {
        Udllmessageintf::ShowWarningMsg(QStringLiteral("原密码录入错误，请检查。"));
        edOldPass->setFocus();
    } else {
        Udllmessageintf::SuperMessageBox(QStringLiteral("密码修改成功。"), QStringLiteral("提示"));
        done(mrOk);
    }
}

namespace uChangePrintPassFrm {

void ShowChangePrintPass(QWidget *parent)
{
    TfrmChangePrintPass form(parent);
    form.SetTitle(QStringLiteral("修改打印密码"));
    form.exec();
}

} // namespace uChangePrintPassFrm
