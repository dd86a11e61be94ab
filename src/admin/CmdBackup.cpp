// orvane-admin backup --db FILE NAME: a backup of the account set under NAME in the backup folder
// (the program folder followed by "/BackUp"), with the name checks and messages of the backup window.

#include <QFileInfo>

#include "AdminCommand.h"
#include "HostAccountService.h"
#include "uSqlFileCommon.h"

namespace admin {

int cmdBackup(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("把账套备份到程序目录下的 BackUp 目录中，不覆盖已有的备份。"));
    addDbOption(parser);
    addOperatorOptions(parser);
    parser.addPositionalArgument(
        QStringLiteral("NAME"),
        QStringLiteral("备份文件名：不超过64个字符，第一位不是数字，不含空格、小数点和特殊字符。"));
    if (const int code = parseCommand(parser, QStringLiteral("backup"), args, 1, 1); code >= 0)
        return code;
    const QString name = parser.positionalArguments().constFirst();
    const uSqlFileCommon::TNameCheck check = uSqlFileCommon::CheckBackupName(name);
    if (check != uSqlFileCommon::TNameCheck::NameOk) {
        printError(uSqlFileCommon::NameCheckMessage(check));
        return ExitFailure;
    }

    Session session = openSession(parser, RightBackup);
    const QString ztName = QFileInfo(session.db->path()).completeBaseName();
    HostAccountService account(HostAccountService::HeldBy(session.db, session.operatorId));
    const int code = account.BackUpDataBase(name, ztName);
    if (uSqlFileCommon::BackupFailed(code)) {
        // An unknown error says only its number; the host's reason tells what happened.
        const QString message = uSqlFileCommon::BackupResultMessage(code);
        printError(code == -1 || code == -2 ? message
                                            : uSqlFileCommon::WithReason(message, account.LastError()));
        return ExitFailure;
    }
    printLine(QStringLiteral("备份成功：") + account.BackupFilePath(name));
    return ExitOk;
}

} // namespace admin
