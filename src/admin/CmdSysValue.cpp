// orvane-admin sysvalue --db FILE NAME [VALUE]: prints the system value NAME; with VALUE writes it
// first (system administrator or accounting supervisor only). Both go through P_GBL_GetSysValue and
// P_GBL_SetSysValue, like the module's GetSysValue and SetSysValue.

#include "AdminCommand.h"

namespace admin {

namespace {

QString readValue(accountdb::AccountDatabase &db, const QString &name)
{
    accountdb::ProcParams p{{QStringLiteral("@szName"), name},
                            {QStringLiteral("@szReturn"), QString(), true}};
    db.callProc(QStringLiteral("P_GBL_GetSysValue"), p);
    return p.last().value.toString();
}

} // namespace

int cmdSysValue(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("读取系统值 NAME 并输出；给出 VALUE 时先写入再输出。"));
    addDbOption(parser);
    addOperatorOptions(parser);
    parser.addPositionalArgument(QStringLiteral("NAME"), QStringLiteral("系统值名称（不区分大小写）。"));
    parser.addPositionalArgument(QStringLiteral("VALUE"), QStringLiteral("要写入的值。"),
                                 QStringLiteral("[VALUE]"));
    if (const int code = parseCommand(parser, QStringLiteral("sysvalue"), args, 1, 2); code >= 0)
        return code;
    const QStringList positional = parser.positionalArguments();
    const QString name = positional[0].trimmed();
    if (name.isEmpty()) {
        printError(QStringLiteral("系统值名称不能为空。"));
        return ExitUsage;
    }

    Session session = openSession(parser, RightNone);
    if (positional.size() == 2) {
        if (!session.manager) {
            printError(QStringLiteral("只有系统管理员或会计主管可以修改系统值。"));
            return ExitFailure;
        }
        accountdb::ProcParams p{{QStringLiteral("@szName"), name},
                                {QStringLiteral("@szValue"), positional[1]},
                                {QStringLiteral("@ErrMsg"), QString(), true}};
        if (session.db->callProc(QStringLiteral("P_GBL_SetSysValue"), p) < 0) {
            const QString reason = p.last().value.toString();
            printError(reason.isEmpty() ? QStringLiteral("系统值写入失败：") + name : reason);
            return ExitFailure;
        }
    }
    printLine(readValue(*session.db, name));
    return ExitOk;
}

} // namespace admin
