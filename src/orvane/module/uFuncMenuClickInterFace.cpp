#include "uFuncMenuClickInterFace.h"

#include "Udllbaseselect.h"
#include "Udllbillconfig.h"
#include "Udllbillinterface.h"
#include "Udllmessageintf.h"
#include "Udllsystemintf.h"
#include "uAccountOption.h"
#include "uAuditNew.h"
#include "uAutobackup.h"
#include "uBackUp.h"
#include "uBaseRightSetNew.h"
#include "uBillAuditConfig.h"
#include "uCMSystemReBuild.h"
#include "uChangeOpFrm.h"
#include "uChangePassFrm.h"
#include "uCostCalculate.h"
#include "uExportBillData.h"
#include "uExportToJS.h"
#include "uFreeDomBasicSelectSet.h"
#include "uImportBillData.h"
#include "uIniConfig.h"
#include "uJXCCheckOut.h"
#include "uJXCUnCheckOut.h"
#include "uOpenAccount.h"
#include "uOrvaneCommon.h"
#include "uPassToken.h"
#include "uRestore.h"
#include "uRightSet.h"
#include "uSNDef.h"
#include "uSerialNumRules.h"
#include "uStringConst.h"
#include "uSysEventLog.h"
#include "uUpdateAcc.h"
#include "uVchGridConfig.h"
#include "uWarnList.h"

#include <QWidget>

namespace uFuncMenuClickInterFace {
namespace {
// 退出: ends the log-on, runs the automatic backup when it is switched on (39) and ends the host
// application; the result is False.
bool Exit()
{
    Udllsystemintf::DisConnect();
    if (Udllsystemintf::CheckSysCon(39))
        uAutobackup::AutoBackup();
    Udllsystemintf::Terminate();
    return false;
}

// 账套修复: the host's repair of the open account set.
bool RepairAccountSet()
{
    return Udllsystemintf::RepairSystem(4);
}

// 进销存期末结账 / 进销存期末反结账: the modal checkout and reversal windows; the result is True.
bool CheckOut()
{
    TfrmJXCCheckOut::Execute();
    return true;
}

bool UnCheckOut()
{
    TfrmUnJxcCheckOut::Execute();
    return true;
}

// 系统重建: other windows closed first; after a rebuild the status bar and the menus are reloaded.
bool SystemReBuild()
{
    if (!uOrvaneCommon::ConfirmCloseOtherWindows())
        return false;
    if (TfrmCMSystemReBuild::Execute()) {
        Udllsystemintf::RefreshMainStatusBar(RefreshSet({TRefreshSB::rsbAccount}));
        Udllsystemintf::LoadMenu(false);
    }
    return true;
}
} // namespace

TCallDllFunction Guarded(const QString &name, TCallDllFunction routine)
{
    // Leaving, changing the operator and his own password are open to every operator.
    if (name == u"退出" || name == u"更换操作员" || name == u"修改口令")
        return routine;
    return [name, routine] {
        if (!uOrvaneCommon::HasRightByClickName(name)) {
            Udllmessageintf::SuperMessageBox(QStringLiteral("你没有这个功能的权限，不能打开。"));
            return false;
        }
        return routine();
    };
}

QList<TDispatchEntry> DispatchTable()
{
    return {
        {QStringLiteral("退出"), Exit},
        {QStringLiteral("更换操作员"),
         [] { return uChangeOpFrm::ShowChangeOp(&uOrvaneCommon::ConfirmCloseOtherWindows); }},
        {QStringLiteral("打开账套"),
         [] { return uOpenAccount::OpenAccountSet(&DllAutoWarnList, &DllAuditNew); }},
        {QStringLiteral("系统重建"), SystemReBuild},
        {QStringLiteral("业务录入"),
         [] {
             TBaseRecordList picked;
             if (!Udllbaseselect::SelectBaseData(QStringLiteral("Vchtype"), QString(), false, picked) ||
                 picked.isEmpty())
                 return true;
             const int vchType = picked.first().TypeId.toInt();
             if (!uOrvaneCommon::HasRightByLimitNo(Udllbillconfig::GetBillFunctionNo(vchType))) {
                 Udllmessageintf::SuperMessageBox(QStringLiteral("你没有这个功能的权限，不能打开。"));
                 return true;
             }
             Udllbillinterface::AllNewBill(vchType);
             return true;
         }},
        {QStringLiteral("安全钥匙"), uPassToken::ShowPassToken},
        {QStringLiteral("修改口令"), uChangePassFrm::ShowChangePass},
        {QStringLiteral("系统日志"), uSysEventLog::ShowSysEventLog},
        {QStringLiteral("升级补丁"), TfrmUpdateAcc::Execute},
        {QStringLiteral("账套修复"), RepairAccountSet},
        {QStringLiteral("备份"), uBackUp::ShowBackUp},
        {QStringLiteral("单据格式配置"), [] { return DllLoadBillConfig(0); }},
        {QStringLiteral("业务单据导入"), uImportBillData::ShowImportBillData},
        {QStringLiteral("业务单据导出"), uExportBillData::ShowExportBillData},
        {QStringLiteral("操作员授权"), uRightSet::ShowRightSet},
        {QStringLiteral("单据审核中心"),
         [] {
             DllAuditNew(true);
             return true;
         }},
        {QStringLiteral("账套选项"),
         [] {
             TfrmAccountOption::Execute();
             return true;
         }},
        {QStringLiteral("恢复"), uRestore::ShowRestore},
        {QStringLiteral("单据编号格式设置"), TfrmSNDefDlg::Execute},
        {QStringLiteral("单据自由项选择设置"), TfrmFreeDomBasicSelectSet::Execute},
        {QStringLiteral("单据审核设置"), TfrmBillAuditConfig::Execute},
        {QStringLiteral("航天金穗数据导出"), uExportToJS::ShowExportToJS},
        {QStringLiteral("基本信息授权"), TfrmBaseRightSetNew::Execute},
        {QStringLiteral("报警簿"), [] { return DllAutoWarnList(-1); }},
        {QStringLiteral("进销存期末结账"), CheckOut},
        {QStringLiteral("进销存期末反结账"), UnCheckOut},
        {QStringLiteral("序列号自动生成规则"), TfrmSeriaNumRules::Execute},
    };
}

} // namespace uFuncMenuClickInterFace

void InitDllFunc()
{
    // The checkout offers the cost calculation windows when goods are not yet costed.
    InstallCostCalcHook();
    // The checkout's "No" to its unaudited-bills question leads to the audit centre's query.
    TfrmAuditNew::InstallAuditQueryHook();
    for (const uFuncMenuClickInterFace::TDispatchEntry &entry : uFuncMenuClickInterFace::DispatchTable())
        uDllComm::AddFunction(uStringConst::ModuleFileName + entry.Name,
                              uFuncMenuClickInterFace::Guarded(entry.Name, entry.Routine));
}

bool DllAutoBackup()
{
    return uAutobackup::AutoBackup();
}

bool DllIniConfigShow(bool flag)
{
    return uIniConfig::IniConfigShow(flag);
}
// The windows behind these exports join with their subsystems; until then they open nothing.
bool DllAutoWarnList(int mode)
{
    return uWarnList::ShowWarnList(mode);
}
void DllAuditNew(bool askConditions)
{
    TfrmAuditNew::ShowAuditNew(askConditions);
}
bool DllLoadBillConfig(int vchType)
{
    return TfrmVchGridConfig::Execute(vchType);
}
