#include "uChangePassFrm.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "Udllsystemintf.h"
#include "uUsersCommon.h"

TfrmPasswordChangeParent::TfrmPasswordChangeParent(QWidget *parent) : TfrmDialogParent(parent)
{
    auto *grid = new QGridLayout(pnlEntry);
    grid->setContentsMargins(24, 16, 24, 8);
    const auto addRow = [this, grid](int row, const char *labelName, const QString &caption,
                                     const char *editName, QLabel *&label, QLineEdit *&edit) {
        label = new QLabel(caption, pnlEntry);
        label->setObjectName(QLatin1String(labelName));
        edit = uUsersCommon::NewPasswordEdit(pnlEntry, QLatin1String(editName));
        label->setBuddy(edit);
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1);
    };
    addRow(0, "lbl1", QStringLiteral("原密码："), "edOldPass", lbl1, edOldPass);
    addRow(1, "lbl2", QStringLiteral("新密码："), "edNewPass", lbl2, edNewPass);
    addRow(2, "lbl3", QStringLiteral("确认密码："), "edConNewPass", lbl3, edConNewPass);
    btnOK = AddBottomButton(QStringLiteral("btnOK"), QStringLiteral("确定"));
    btnCancel = AddBottomButton(QStringLiteral("btnCancel"), QStringLiteral("取消"), mrCancel);
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, [this] { btnOKClick(); });
}

TfrmPasswordChangeParent::~TfrmPasswordChangeParent() = default;

bool TfrmPasswordChangeParent::NewPasswordConfirmed() const
{
    return edNewPass->text() == edConNewPass->text();
}

TfrmChangePass::TfrmChangePass(QWidget *parent) : TfrmPasswordChangeParent(parent)
{
    setObjectName(QStringLiteral("frmChangePass"));
}

void TfrmChangePass::btnOKClick()
{
    if (!NewPasswordConfirmed()) {
        Udllmessageintf::SuperMessageBox(uUsersCommon::PasswordsDiffer, QStringLiteral("提示"));
        edNewPass->setFocus();
        return;
    }
    TParamList params;
    params.Add(QStringLiteral("@szOperatorID"), Udllsystemintf::GetCurrentOperatorId());
    params.Add(QStringLiteral("@szOldPassword"), edOldPass->text());
    params.Add(QStringLiteral("@szNewPassword"), edNewPass->text());
    params.Add(QStringLiteral("@ErrMsg"), QString(), true);
    if (Udlldbservice::ExecuteProcByName(QStringLiteral("P_GBL_ChangePassword"), params) == 0) {
        Udllmessageintf::ShowInfoMessage(QStringLiteral("密码修改成功。"));
        done(mrOk);
        return;
    }
    const QString reason = params.ParamByName(QStringLiteral("@ErrMsg")).toString();
    Udllmessageintf::ShowInfoMessage(reason.isEmpty() ? QStringLiteral("密码修改失败。") : reason);
}

namespace uChangePassFrm {

bool ShowChangePass()
{
    TfrmChangePass form;
    form.SetTitle(QStringLiteral("修改口令"));
    form.exec();
    return true;
}

} // namespace uChangePassFrm
