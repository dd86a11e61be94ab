// orvane-admin exec-sql --db FILE SCRIPT: runs an SQL script file on the account set in one
// transaction (statements split at ";" and at GO lines); the first failing statement stops the run,
// nothing of the script stays and its line is reported. System administrator or accounting
// supervisor only.

#include <QFileInfo>

#include "AdminCommand.h"
#include "HostAccountService.h"
#include "Transaction.h"
#include "uSqlFileCommon.h"

namespace admin {

int cmdExecSql(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("在一个事务中执行 SQL 脚本文件；出错时全部撤销。"));
    addDbOption(parser);
    addOperatorOptions(parser);
    parser.addPositionalArgument(QStringLiteral("SCRIPT"), QStringLiteral("SQL 脚本文件（UTF-8）。"));
    if (const int code = parseCommand(parser, QStringLiteral("exec-sql"), args, 1, 1); code >= 0)
        return code;
    const QString script = parser.positionalArguments().constFirst().trimmed();
    if (!QFileInfo(script).isFile()) {
        printError(QStringLiteral("文件不存在。"));
        return ExitFailure;
    }

    Session session = openSession(parser, RightUpgrade);
    if (!session.manager) {
        printError(QStringLiteral("只有系统管理员或会计主管可以执行 SQL 脚本。"));
        return ExitFailure;
    }
    HostAccountService account(HostAccountService::HeldBy(session.db, session.operatorId));
    {
        accountdb::Transaction transaction(*session.db);
        if (account.ExecSqlFile(script)) {
            transaction.commit();
            printLine(QStringLiteral("脚本执行成功：") + script);
            return ExitOk;
        }
    }
    printError(uSqlFileCommon::WithReason(
        QStringLiteral("文件名:") + script + u'\n' + QStringLiteral("执行失败。"), account.LastError()));
    return ExitFailure;
}

} // namespace admin
