// The command table of orvane-admin. A new command: CmdXxx.cpp with `int cmdXxx(const QStringList &)`,
// its declaration and one line in kCommands below, and the file in src/admin/CMakeLists.txt.

#include "AdminCommand.h"

namespace admin {

int cmdCreate(const QStringList &args);      // CmdCreate.cpp
int cmdSysValue(const QStringList &args);    // CmdSysValue.cpp
int cmdCreateDemo(const QStringList &args);  // CmdCreateDemo.cpp
int cmdBackup(const QStringList &args);      // CmdBackup.cpp
int cmdRestore(const QStringList &args);     // CmdRestore.cpp
int cmdExecSql(const QStringList &args);     // CmdExecSql.cpp
int cmdCostCalc(const QStringList &args);    // CmdCostCalc.cpp
int cmdCheckout(const QStringList &args);    // CmdCheckout.cpp
int cmdUncheckout(const QStringList &args);  // CmdUncheckout.cpp
int cmdEventLog(const QStringList &args);    // CmdEventLog.cpp
int cmdBillNumber(const QStringList &args);  // CmdBillNumber.cpp
int cmdPasswd(const QStringList &args);      // CmdPasswd.cpp
int cmdToken(const QStringList &args);       // CmdToken.cpp
int cmdAudit(const QStringList &args);       // CmdAudit.cpp
int cmdInit(const QStringList &args);        // CmdInit.cpp
int cmdOperator(const QStringList &args);    // CmdOperator.cpp
int cmdGroup(const QStringList &args);       // CmdGroup.cpp
int cmdExportBills(const QStringList &args); // CmdBillExport.cpp
int cmdImportBills(const QStringList &args); // CmdBillImport.cpp
int cmdExportTax(const QStringList &args);   // CmdBillExport.cpp
int cmdRebuild(const QStringList &args);     // CmdRebuild.cpp
int cmdBase(const QStringList &args);        // CmdBase.cpp
int cmdBill(const QStringList &args);        // CmdBill.cpp

const QList<AdminCommand> &commands()
{
    static const QList<AdminCommand> kCommands = {
        {"create", "创建新账套（不覆盖已有文件）", &cmdCreate},
        {"sysvalue", "读取或写入系统值", &cmdSysValue},
        {"init", "账套初始设置（公司、企业类别与科目表、科目编码长度、会计期间）", &cmdInit},
        {"create-demo", "创建演示账套（基本资料、期初和已过账单据）", &cmdCreateDemo},
        {"backup", "备份账套到备份目录（不覆盖已有备份）", &cmdBackup, RightBackup},
        {"restore", "用备份恢复账套", &cmdRestore, RightRestore},
        {"exec-sql", "在一个事务中执行 SQL 脚本文件", &cmdExecSql, RightUpgrade},
        {"cost-calc", "计算本期存货成本（全部或指定存货）", &cmdCostCalc, RightCostCalc},
        {"checkout", "进销存期末结账（结转本期成本，进入下个期间）", &cmdCheckout, RightCheckOut},
        {"uncheckout", "进销存期末反结账（返回上一进销存期间）", &cmdUncheckout, RightUnCheckOut},
        {"rebuild", "系统重建（清除业务数据，回到启用期间）", &cmdRebuild, RightRebuild},
        {"event-log", "列出、导出或打印系统日志", &cmdEventLog, RightEventLog},
        {"bill-number", "为一种单据取新的单据编号", &cmdBillNumber, RightBillEntry},
        {"passwd", "修改操作员的登录密码（新密码来自文件或标准输入）", &cmdPasswd},
        {"token", "列出、绑定或取消操作员的安全钥匙，签发钥匙文件", &cmdToken, RightPassToken},
        {"audit", "审核（通过或驳回）审核流程中的一张单据", &cmdAudit, RightAudit},
        {"operator", "列出、新增或删除操作员", &cmdOperator, RightOperatorRights},
        {"group", "权限组：新增、删除、授予或取消权限、组里的操作员", &cmdGroup, RightOperatorRights},
        {"export-bills", "把单据导出为业务单据文件", &cmdExportBills, RightBillExport},
        {"import-bills", "检查并导入业务单据文件（全部导入或全部不导入）", &cmdImportBills, RightBillImport},
        {"export-tax", "把销售单导出为开票系统的单据文件", &cmdExportTax, RightTaxExport},
        {"base", "基本信息：列出、新增、修改、隐藏、删除、导出或导入（CSV）", &cmdBase},
        {"bill", "录入单据（JSON 文件中的每一张单据，过账或提交审核）", &cmdBill, RightBillEntry},
    };
    return kCommands;
}

QString rightText(AdminRight right)
{
    static const QHash<int, QString> kCaptions = {
        {RightBillEntry, QStringLiteral("业务录入")},
        {RightUpgrade, QStringLiteral("升级补丁")},
        {RightBackup, QStringLiteral("备份")},
        {RightRestore, QStringLiteral("恢复")},
        {RightEventLog, QStringLiteral("系统日志")},
        {RightCheckOut, QStringLiteral("进销存期末结账")},
        {RightUnCheckOut, QStringLiteral("进销存期末反结账")},
        {RightCostCalc, QStringLiteral("成本计算")},
        {RightPassToken, QStringLiteral("安全钥匙")},
        {RightAudit, QStringLiteral("单据审核中心")},
        {RightOperatorRights, QStringLiteral("操作员授权")},
        {RightBillImport, QStringLiteral("业务单据导入")},
        {RightBillExport, QStringLiteral("业务单据导出")},
        {RightTaxExport, QStringLiteral("航天金穗数据导出")},
        {RightRebuild, QStringLiteral("系统重建")},
    };
    return right == RightNone ? QString()
                              : QStringLiteral("需要权限：%1 %2").arg(int(right)).arg(kCaptions.value(right));
}

const AdminCommand *findCommand(const QString &name)
{
    for (const AdminCommand &c : commands()) {
        if (name == QLatin1String(c.name))
            return &c;
    }
    return nullptr;
}

} // namespace admin
