// orvane-admin token list|bind ID|unbind ID|issue: pass-token (安全钥匙) bindings of the operators.
//   list           the operators with their bindings (P_KOVA_PassToken mode R);
//   bind ID        binds the plugged-in key (the host's key file, or --key-file) to operator ID;
//   unbind ID      removes the binding of operator ID (no key needed);
//   issue          writes a new key file for this account set: --key-file FILE --number N [--level L].
// Binding and unbinding write their event in the same transaction.

#include <QFile>

#include "AdminCommand.h"
#include "EventLog.h"
#include "HostConfig.h"
#include "PrivateFiles.h"
#include "Transaction.h"
#include "session/TokenReader.h"

namespace admin {

namespace {

int passToken(accountdb::AccountDatabase &db, const QString &mode, const QString &id, const QString &code,
              int level, accountdb::ResultSet *rows = nullptr)
{
    accountdb::ProcParams params{{QStringLiteral("@cMode"), mode},
                                 {QStringLiteral("@szEtypeID"), id},
                                 {QStringLiteral("@szPassCode"), code},
                                 {QStringLiteral("@nPassLevel"), level},
                                 {QStringLiteral("@nPassHave"), mode == QLatin1String("W") ? 1 : 0}};
    return db.callProc(QStringLiteral("P_KOVA_PassToken"), params, rows);
}

QString operatorName(accountdb::AccountDatabase &db, const QString &id)
{
    return db.value(QStringLiteral("SELECT FullName FROM Employee WHERE TypeId = ?"), {id}).toString();
}

int list(Session &session)
{
    accountdb::ResultSet rows;
    passToken(*session.db, QStringLiteral("R"), {}, {}, 0, &rows);
    printLine(QStringLiteral("操作员编号\t操作员全名\t安全钥匙号码\t级别\t状态"));
    for (const QVariantList &row : std::as_const(rows.rows)) {
        QStringList cells;
        for (const char *column : {"eUserCode", "eFullName", "Pass_Code", "PassType", "PassStatus"})
            cells << row.value(rows.columnIndex(QLatin1String(column))).toString();
        printLine(cells.join(u'\t'));
    }
    return ExitOk;
}

// Mode W or U for the operator, with its event, in one transaction; the refusal texts of the window.
int change(Session &session, const QString &mode, const QString &id, const TPassToken &token)
{
    accountdb::Transaction transaction(*session.db);
    const int result = passToken(*session.db, mode, id, token.Code, token.Level);
    const bool bind = mode == QLatin1String("W");
    if (result < 0) {
        printError(result == -1 ? QStringLiteral("操作员不存在：") + id
                   : result == -2101
                       ? (bind ? QStringLiteral("该安全钥匙已经绑定到其他操作员，请更换安全钥匙。")
                               : QStringLiteral("该操作员没有绑定安全钥匙，不需要取消绑定。"))
                   : result == -2102 ? QStringLiteral("该操作员已经绑定了安全钥匙，若需更换，请先取消绑定。")
                                     : (bind ? QStringLiteral("绑定出错，请稍候重试。")
                                             : QStringLiteral("取消绑定出错，请稍候重试。")));
        return ExitFailure;
    }
    const QString name = operatorName(*session.db, id);
    accountdb::writeEvent(*session.db, session.operatorId,
                          bind ? accountdb::event::TokenBind.arg(name, token.Code)
                               : accountdb::event::TokenUnbind.arg(name),
                          session.operatorName);
    transaction.commit();
    printLine(bind ? QStringLiteral("操作员\"%1\"与安全钥匙[%2]绑定成功，该操作员登录时必须使用安全钥匙。")
                         .arg(name, token.Code)
                   : QStringLiteral("成功取消操作员\"%1\"的安全钥匙。").arg(name));
    return ExitOk;
}

int issue(Session &session, const QCommandLineParser &parser)
{
    const QString path = parser.value(QStringLiteral("key-file"));
    bool ok = false;
    const int level = parser.value(QStringLiteral("level")).toInt(&ok);
    if (path.isEmpty() || !parser.isSet(QStringLiteral("number")) || !ok) {
        printError(QStringLiteral("token issue：需要 --key-file、--number 和整数 --level。"));
        return ExitUsage;
    }
    const QByteArray contents = KeyFile::Make(*session.db, parser.value(QStringLiteral("number")), level);
    QString error;
    if (!accountdb::createPrivateFile(path, &error)) {
        printError(QStringLiteral("不能创建钥匙文件“%1”：%2").arg(path, error));
        return ExitFailure;
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size() || !file.flush()) {
        printError(QStringLiteral("不能写入钥匙文件“%1”：%2").arg(path, file.errorString()));
        return ExitFailure;
    }
    printLine(QStringLiteral("安全钥匙文件已写入：") + path);
    return ExitOk;
}

} // namespace

int cmdToken(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "安全钥匙绑定：list 列出操作员的绑定；bind ID 把插着的安全钥匙绑定到操作员；unbind ID 取消绑定；"
        "issue 为本账套写一个新的钥匙文件。"));
    addDbOption(parser);
    addOperatorOptions(parser);
    parser.addOption({QStringLiteral("key-file"),
                      QStringLiteral("安全钥匙文件（默认为 CONFIG.INI 中 HOST/TokenKeyFile）。"),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("number"), QStringLiteral("issue：钥匙号码。"), QStringLiteral("N")});
    parser.addOption({QStringLiteral("level"), QStringLiteral("issue：级别，0 为普通，其他为高级。"),
                      QStringLiteral("L"), QStringLiteral("0")});
    parser.addPositionalArgument(QStringLiteral("action"),
                                 QStringLiteral("list | bind ID | unbind ID | issue"));
    if (const int code = parseCommand(parser, QStringLiteral("token"), args, 1, 2); code >= 0)
        return code;
    const QStringList words = parser.positionalArguments();
    const QString action = words.first();
    const bool needsId = action == QLatin1String("bind") || action == QLatin1String("unbind");
    const bool known = needsId || action == QLatin1String("list") || action == QLatin1String("issue");
    if (!known || words.size() != (needsId ? 2 : 1)) {
        printError(QStringLiteral("token：用法 list | bind ID | unbind ID | issue。"));
        return ExitUsage;
    }
    Session session = openSession(parser, RightPassToken);
    if (action == QLatin1String("list"))
        return list(session);
    if (action == QLatin1String("issue"))
        return issue(session, parser);
    if (action == QLatin1String("unbind"))
        return change(session, QStringLiteral("U"), words[1].trimmed(), {});
    const QString keyFile = parser.isSet(QStringLiteral("key-file"))
                                ? parser.value(QStringLiteral("key-file"))
                                : HostConfig::TokenKeyFile();
    const std::optional<TPassToken> token = TKeyFileTokenReader(keyFile).Read(*session.db);
    if (!token || token->Code.isEmpty()) {
        printError(QStringLiteral("请先插上安全钥匙再绑定，具体操作请见帮助。"));
        return ExitFailure;
    }
    return change(session, QStringLiteral("W"), words[1].trimmed(), *token);
}

} // namespace admin
