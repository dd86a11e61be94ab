#include "uChangeOpFrm.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "Udllsystemintf.h"
#include "uDllComm.h"
#include "uOrvaneCommon.h"
#include "uSysEventLog.h"
#include "uUsersCommon.h"

namespace {
const QString kAdministrator = QStringLiteral("00000");
const QString kThreeFailures = QStringLiteral("您已经三次密码出错，不能更换操作员。");
constexpr int kMaxFailures = 3;
} // namespace

TfrmChangeOp::TfrmChangeOp(QWidget *parent) : TfrmDialogParent(parent)
{
    setObjectName(QStringLiteral("frmChangeOp"));
    auto *grid = new QGridLayout(pnlEntry);
    grid->setContentsMargins(24, 16, 24, 8);
    lbl1 = new QLabel(QStringLiteral("用户名称："), pnlEntry);
    lbl1->setObjectName(QStringLiteral("lbl1"));
    cbUserName = new QComboBox(pnlEntry);
    cbUserName->setObjectName(QStringLiteral("cbUserName"));
    cbUserName->setEditable(false);
    lbl1->setBuddy(cbUserName);
    auto *lblPass = new QLabel(QStringLiteral("用户密码："), pnlEntry);
    lblPass->setObjectName(QStringLiteral("lbl2"));
    edUserPass = uUsersCommon::NewPasswordEdit(pnlEntry, QStringLiteral("edUserPass"));
    lblPass->setBuddy(edUserPass);
    grid->addWidget(lbl1, 0, 0);
    grid->addWidget(cbUserName, 0, 1);
    grid->addWidget(lblPass, 1, 0);
    grid->addWidget(edUserPass, 1, 1);

    btnOK = AddBottomButton(QStringLiteral("btnOK"), QStringLiteral("确定"));
    btnCancel = AddBottomButton(QStringLiteral("btnCancel"), QStringLiteral("取消"));
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &TfrmChangeOp::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmChangeOp::btnCancelClick);
}

TfrmChangeOp::~TfrmChangeOp() = default;

void TfrmChangeOp::LoadUsers()
{
    FnLoginCount = 0;
    FbRet = false;
    cbUserName->clear();
    edUserPass->clear();
    sUserIdArray.clear();
    TParamList outputs;
    if (Udlldbservice::OpenProcByName(QStringLiteral("P_GBL_LoadLoginUser"), {}, {}, cdsGetRecordSet,
                                      &outputs) < 0)
        return;
    // The procedure decides which operators are listed and in which order.
    for (cdsGetRecordSet.First(); !cdsGetRecordSet.Eof(); cdsGetRecordSet.Next()) {
        TUserIdEntry entry;
        entry.OperatorId = cdsGetRecordSet.FieldByName(QStringLiteral("ETYPEID")).AsString();
        entry.UserCode = cdsGetRecordSet.FieldByName(QStringLiteral("eUserCode")).AsString();
        entry.Name = entry.OperatorId.trimmed() == kAdministrator
                         ? cdsGetRecordSet.FieldByName(QStringLiteral("ECOMMENT")).AsString()
                         : cdsGetRecordSet.FieldByName(QStringLiteral("EFULLNAME")).AsString();
        entry.IsManager = cdsGetRecordSet.FieldByName(QStringLiteral("IsManager")).AsInteger() == 1;
        entry.TokenCode = cdsGetRecordSet.FieldByName(QStringLiteral("Pass_Code")).AsString();
        entry.TokenLevel = cdsGetRecordSet.FieldByName(QStringLiteral("Pass_Level")).AsInteger();
        entry.TokenHave = cdsGetRecordSet.FieldByName(QStringLiteral("Pass_Have")).AsInteger() == 1;
        sUserIdArray.append(entry);
        cbUserName->addItem(entry.Name);
    }
    if (cbUserName->count() > 0)
        cbUserName->setCurrentIndex(0);
}

void TfrmChangeOp::TooManyFailures()
{
    Udllmessageintf::SuperMessageBox(kThreeFailures, QStringLiteral("提示"), TMessageBoxType::mtInformation);
    FbRet = false;
    done(mrCancel);
}

void TfrmChangeOp::btnOKClick()
{
    if (FnLoginCount >= kMaxFailures) {
        TooManyFailures();
        return;
    }
    const int index = cbUserName->currentIndex();
    if (index < 0 || index >= sUserIdArray.size())
        return; // nothing chosen: nothing to change to
    const TUserIdEntry entry = sUserIdArray.at(index);
    const int checked =
        Udlldbservice::ExecuteProcByName(QStringLiteral("P_GBL_CheckPassword"),
                                         {QStringLiteral("@szOperatorID"), QStringLiteral("@szPassword")},
                                         {entry.OperatorId, edUserPass->text()});
    if (checked != 1) {
        Udllmessageintf::SuperMessageBox(QStringLiteral("密码错误，登录失败。"), QStringLiteral("提示"),
                                         TMessageBoxType::mtWarning);
        if (++FnLoginCount >= kMaxFailures)
            TooManyFailures();
        return;
    }
    if (!entry.TokenHave) {
        Apply(entry, false);
        return;
    }
    // A missing or foreign key keeps the dialog open and is not a failed attempt.
    QString code = entry.TokenCode;
    QString info;
    int level = 0;
    if (!Udllsystemintf::CheckToken(code, info, level)) {
        Udllmessageintf::SuperMessageBox(uUsersCommon::TokenMissing);
        return;
    }
    if (code != entry.TokenCode) {
        Udllmessageintf::SuperMessageBox(uUsersCommon::TokenMismatch);
        return;
    }
    Apply(entry, true);
}

void TfrmChangeOp::Apply(const TUserIdEntry &entry, bool withToken)
{
    Udllsystemintf::SetPubOperateId(entry.OperatorId);
    Udllsystemintf::SetPubOperateName(entry.Name);
    Udllsystemintf::SetPubOperateCode(entry.UserCode);
    Udllsystemintf::SetOperateIdManage(entry.IsManager);
    Udllsystemintf::SetPubTKCode(withToken ? entry.TokenCode : QString());
    Udllsystemintf::SetPubTKHave(withToken && entry.TokenHave);
    Udllsystemintf::SetPubTKLeveal(withToken ? entry.TokenLevel : -1);
    uOrvaneCommon::WriteSysEvent(QStringLiteral("更换操作员为%1").arg(entry.Name));
    FbRet = true;
    done(mrOk);
}

void TfrmChangeOp::btnCancelClick()
{
    FbRet = false;
    done(mrCancel);
}

namespace uChangeOpFrm {

bool ShowChangeOp(bool (*confirmCloseOthers)())
{
    QWidget *mainForm = uDllComm::DllParams.FparForm;
    const uUsersCommon::TDisabledWhile disabled(mainForm);
    if (confirmCloseOthers && !confirmCloseOthers())
        return false;
    TfrmChangeOp form;
    form.SetTitle(QStringLiteral("更换操作员"));
    form.LoadUsers();
    form.exec();
    if (!form.Result())
        return false;
    Udllsystemintf::LoadMenu(false);
    Udllsystemintf::RefreshMainStatusBar(RefreshSet({TRefreshSB::rsbAccount}));
    return true;
}

} // namespace uChangeOpFrm
