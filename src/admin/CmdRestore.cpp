// orvane-admin restore --db FILE [--yes] NAME: replaces the account set by the backup NAME (a name of
// the backup catalogue, or a file), with the checks and messages of the restore window. Only the
// system administrator or an accounting supervisor may restore; without --yes the command asks on a
// terminal and refuses otherwise.

#include <iostream>
#include <string>
#include <unistd.h>

#include "AdminCommand.h"
#include "HostAccountService.h"
#include "uSqlFileCommon.h"

namespace admin {

namespace {
bool confirmOnTerminal()
{
    if (!isatty(STDIN_FILENO))
        return false;
    const QByteArray prompt = (uSqlFileCommon::RestoreConfirm + QStringLiteral(" [y/N] ")).toUtf8();
    std::fwrite(prompt.constData(), 1, size_t(prompt.size()), stderr);
    std::fflush(stderr);
    std::string answer;
    std::getline(std::cin, answer);
    return answer == "y" || answer == "Y" || answer == "yes";
}
} // namespace

int cmdRestore(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("用备份恢复账套：账套中的数据全部换成备份时的数据。"));
    addDbOption(parser);
    addOperatorOptions(parser);
    const QCommandLineOption yes(QStringLiteral("yes"), QStringLiteral("不再询问，直接覆盖当前账套。"));
    parser.addOption(yes);
    parser.addPositionalArgument(QStringLiteral("NAME"),
                                 QStringLiteral("备份文件名（备份目录中的名称或文件路径）。"));
    if (const int code = parseCommand(parser, QStringLiteral("restore"), args, 1, 1); code >= 0)
        return code;
    const QString name = parser.positionalArguments().constFirst();
    if (name.isEmpty()) {
        printError(uSqlFileCommon::RestoreNothingChosen);
        return ExitUsage;
    }

    Session session = openSession(parser, RightRestore);
    if (!session.manager) {
        printError(QStringLiteral("只有系统管理员或会计主管可以恢复账套。"));
        return ExitFailure;
    }
    if (!parser.isSet(yes) && !confirmOnTerminal()) {
        printError(QStringLiteral("恢复会完全覆盖当前账套的数据；确认时请加 --yes。"));
        return ExitFailure;
    }
    HostAccountService account(HostAccountService::HeldBy(session.db, session.operatorId));
    QString reason;
    const int code = account.RestoreDataBase(name, reason);
    if (code != 0) {
        // The window's message: it carries the host's reason where the code alone does not tell it.
        printError(uSqlFileCommon::RestoreResultMessage(code, name, reason));
        return ExitFailure;
    }
    printLine(QStringLiteral("数据恢复成功：") + session.db->path());
    return ExitOk;
}

} // namespace admin
