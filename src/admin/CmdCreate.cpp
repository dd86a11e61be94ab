// orvane-admin create --db FILE|URI: a new account set at the newest schema with its seed data.
// Refuses to overwrite an existing file, or a server database that holds tables already.

#include "AdminCommand.h"

namespace admin {

int cmdCreate(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("创建新账套。已有的文件不会被覆盖。"));
    addDbOption(parser);
    if (const int code = parseCommand(parser, QStringLiteral("create"), args, 0, 0); code >= 0)
        return code;
    const auto db = accountdb::AccountDatabase::create(dbPath(parser));
    printLine(QStringLiteral("已创建账套：%1（版本 %2）").arg(db->path()).arg(db->schemaVersion()));
    return ExitOk;
}

} // namespace admin
