#pragma once
// Commands of orvane-admin and the helpers they share. A command is one file (CmdXxx.cpp) with
// `int cmdXxx(const QStringList &args)` and one line in the table of AdminCommands.cpp.

#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

#include "AccountDatabase.h"

namespace admin {

enum ExitCode { ExitOk = 0, ExitFailure = 1, ExitUsage = 2 };

// Function rights of the menu entries whose jobs the commands run; an operator who is not the
// manager needs the same right as in the program.
enum AdminRight {
    RightNone = 0,
    RightBillEntry = 1304,      // 业务录入 (bill numbers)
    RightUpgrade = 1306,        // 升级补丁 (SQL scripts)
    RightBackup = 1308,         // 备份
    RightRestore = 1314,        // 恢复
    RightEventLog = 1330,       // 系统日志
    RightCheckOut = 1320,       // 进销存期末结账
    RightUnCheckOut = 1321,     // 进销存期末反结账
    RightCostCalc = 2110,       // 成本计算
    RightPassToken = 1836,      // 安全钥匙
    RightOperatorRights = 1312, // 操作员授权 (operators and groups)
    RightAudit = 1974,          // 单据审核中心
    RightBillImport = 1310,     // 业务单据导入
    RightBillExport = 1311,     // 业务单据导出
    RightTaxExport = 1336,      // 航天金穗数据导出
    RightRebuild = 1324,        // 系统重建
};

struct AdminCommand
{
    const char *name;
    const char *summary;                 // one line for the command list
    int (*run)(const QStringList &args); // args: everything after the command name
    AdminRight right = RightNone;        // what the operator must hold
};

// "需要权限：1320 进销存期末结账" for the help texts; empty for RightNone.
QString rightText(AdminRight right);

const QList<AdminCommand> &commands();
const AdminCommand *findCommand(const QString &name);

// Output: UTF-8 lines on stdout, errors on stderr.
void printLine(const QString &text);
void printError(const QString &text);

// The account set when --db is not given: $ORVANE_DEMO_DB, else demo/demo.orv.
QString defaultDbPath();

// Options every command that works on an account set takes.
void addDbOption(QCommandLineParser &parser);
void addOperatorOptions(QCommandLineParser &parser); // --operator, --password-file
QString dbPath(const QCommandLineParser &parser);

// Parses the command's arguments with --help added. Returns -1 to go on; otherwise the exit code
// (help printed: ExitOk; bad options or positional count outside [minArgs, maxArgs]: ExitUsage).
int parseCommand(QCommandLineParser &parser, const QString &command, const QStringList &args, int minArgs,
                 int maxArgs);

// An open account set with the operator of --operator logged on (P_GBL_CheckLogin).
struct Session
{
    std::unique_ptr<accountdb::AccountDatabase> db;
    QString operatorId;
    QString operatorName;
    bool manager = false;
};
// Throws accountdb::DbError with the message for the user when the file or the log-on is refused,
// or when the operator, not the manager, lacks the right ("你没有这个功能的权限，不能打开。").
// Warns on stderr while the administrator has no password.
Session openSession(const QCommandLineParser &parser, AdminRight right);

} // namespace admin
