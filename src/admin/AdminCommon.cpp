// Shared pieces of the orvane-admin commands: output, the account-set option and the operator log-on.

#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <iostream>
#include <string>
#include <termios.h>
#include <unistd.h>

#include "AdminCommand.h"
#include "Dialect.h"
#include "EventLog.h"
#include "HostConfig.h"
#include "OperatorRights.h"
#include "session/LogOnToken.h"

namespace admin {

namespace {

const QString kAdministrator = QStringLiteral("00000");

void writeUtf8(FILE *stream, const QString &text)
{
    const QByteArray bytes = (text + u'\n').toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

// The first line of the file, without its line end.
QString readPasswordFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw accountdb::DbError(QStringLiteral("无法读取密码文件：") + path);
    QString line = QString::fromUtf8(f.readLine());
    while (line.endsWith(u'\n') || line.endsWith(u'\r'))
        line.chop(1);
    return line;
}

// Asks on the terminal without echo.
QString promptPassword(const QString &operatorId)
{
    const QByteArray prompt = QStringLiteral("操作员 %1 的密码：").arg(operatorId).toUtf8();
    std::fwrite(prompt.constData(), 1, size_t(prompt.size()), stderr);
    std::fflush(stderr);
    termios old{};
    const bool tty = tcgetattr(STDIN_FILENO, &old) == 0;
    if (tty) {
        termios silent = old;
        silent.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &silent);
    }
    std::string line;
    std::getline(std::cin, line);
    if (tty)
        tcsetattr(STDIN_FILENO, TCSANOW, &old);
    std::fputs("\n", stderr);
    return QString::fromStdString(line);
}

int checkLogin(accountdb::AccountDatabase &db, const QString &id, const QString &password, Session &session)
{
    accountdb::ProcParams p{{QStringLiteral("@szUserId"), id}, {QStringLiteral("@szPassword"), password}};
    const int result = db.callProc(QStringLiteral("P_GBL_CheckLogin"), p);
    for (const accountdb::ProcParam &param : p) {
        if (param.name.compare(QLatin1String("@szOperatorId"), Qt::CaseInsensitive) == 0)
            session.operatorId = param.value.toString();
        else if (param.name.compare(QLatin1String("@szUserName"), Qt::CaseInsensitive) == 0)
            session.operatorName = param.value.toString();
        else if (param.name.compare(QLatin1String("@bManager"), Qt::CaseInsensitive) == 0)
            session.manager = param.value.toBool();
    }
    return result;
}

} // namespace

void printLine(const QString &text)
{
    writeUtf8(stdout, text);
}

void printError(const QString &text)
{
    writeUtf8(stderr, QStringLiteral("orvane-admin: ") + text);
}

QString defaultDbPath()
{
    const QString env = qEnvironmentVariable("ORVANE_DEMO_DB");
    return env.isEmpty() ? QStringLiteral("demo/demo.orv") : env;
}

void addDbOption(QCommandLineParser &parser)
{
    parser.addOption(
        {QStringLiteral("db"),
         QStringLiteral(
             "账套文件（默认 %1），或数据库服务器上的账套 postgresql://用户@主机[:端口]/数据库名。")
             .arg(defaultDbPath()),
         QStringLiteral("FILE|URI"), defaultDbPath()});
    parser.addOption({QStringLiteral("server-password-file"),
                      QStringLiteral("从文件第一行读取数据库服务器的密码（不指定时使用 ~/.pgpass）。"),
                      QStringLiteral("FILE")});
}

void addOperatorOptions(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("operator"),
                      QStringLiteral("以该操作员身份执行（默认 00000 系统管理员）。"), QStringLiteral("ID"),
                      kAdministrator});
    parser.addOption({QStringLiteral("password-file"),
                      QStringLiteral("从文件第一行读取操作员密码（供脚本使用）。"), QStringLiteral("FILE")});
}

QString dbPath(const QCommandLineParser &parser)
{
    return parser.value(QStringLiteral("db"));
}

int parseCommand(QCommandLineParser &parser, const QString &command, const QStringList &args, int minArgs,
                 int maxArgs)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help = parser.addHelpOption();
    if (!parser.parse(QStringList{QStringLiteral("orvane-admin ") + command} + args)) {
        printError(parser.errorText());
        return ExitUsage;
    }
    if (parser.isSet(help)) {
        QString text = parser.helpText();
        if (const AdminCommand *c = findCommand(command); c && c->right != RightNone)
            text += rightText(c->right) + QStringLiteral("（系统管理员不受限制）\n");
        std::fputs(text.toUtf8().constData(), stdout);
        return ExitOk;
    }
    const qsizetype n = parser.positionalArguments().size();
    if (n < minArgs || n > maxArgs) {
        printError(QStringLiteral("%1：参数个数不对。用 orvane-admin %1 --help 查看用法。").arg(command));
        return ExitUsage;
    }
    if (parser.optionNames().contains(QStringLiteral("db")) && dbPath(parser).trimmed().isEmpty()) {
        printError(QStringLiteral("--db 不能为空。"));
        return ExitUsage;
    }
    if (parser.optionNames().contains(QStringLiteral("server-password-file")))
        accountdb::setServerPassword(readPasswordFile(parser.value(QStringLiteral("server-password-file"))));
    return -1;
}

Session openSession(const QCommandLineParser &parser, AdminRight right)
{
    Session session;
    session.db = accountdb::AccountDatabase::open(dbPath(parser));
    const QString id = parser.value(QStringLiteral("operator")).trimmed();
    // Wrong passwords in a row make the next try wait longer each time, as at the program's log-on.
    const auto guard = [&](const QString &mode) {
        accountdb::ProcParams p{{QStringLiteral("@cMode"), mode},
                                {QStringLiteral("@szOperatorID"), id},
                                {QStringLiteral("@nWait"), 0}};
        if (session.db->callProc(QStringLiteral("P_GBL_LogOnGuard"), p) < 0 && mode == QLatin1String("C"))
            throw accountdb::DbError(
                QStringLiteral("密码错误次数过多，请%1秒后再试。").arg(p.last().value.toInt()));
    };
    guard(QStringLiteral("C"));
    int result = 0;
    if (parser.isSet(QStringLiteral("password-file"))) {
        result = checkLogin(*session.db, id, readPasswordFile(parser.value(QStringLiteral("password-file"))),
                            session);
    } else {
        // No password given: enough for an operator without one; otherwise ask on a terminal.
        result = checkLogin(*session.db, id, QString(), session);
        if (result == -2) {
            if (!isatty(STDIN_FILENO))
                throw accountdb::DbError(
                    QStringLiteral("操作员 %1 设置了密码，请用 --password-file 提供密码。").arg(id));
            result = checkLogin(*session.db, id, promptPassword(id), session);
        }
    }
    if (result == -1)
        throw accountdb::DbError(QStringLiteral("操作员不存在：") + id);
    if (result < 0) {
        guard(QStringLiteral("F"));
        accountdb::writeEvent(*session.db, id,
                              accountdb::event::LogOnRefused.arg(QStringLiteral("密码错误")));
        throw accountdb::DbError(QStringLiteral("密码错误，登录失败。"));
    }
    guard(QStringLiteral("S"));
    // An operator bound to a pass token works only with his key plugged in (the host's key file).
    TKeyFileTokenReader key(HostConfig::TokenKeyFile());
    if (const QString refusal =
            LogOnToken::Refusal(*session.db, LogOnToken::Binding(*session.db, session.operatorId), &key);
        !refusal.isEmpty()) {
        accountdb::writeEvent(*session.db, session.operatorId, accountdb::event::LogOnRefused.arg(refusal));
        throw accountdb::DbError(refusal);
    }
    if (accountdb::administratorHasNoPassword(*session.db))
        printError(accountdb::kNoAdministratorPasswordWarning);
    if (right != RightNone && !session.manager &&
        !accountdb::operatorHasRight(*session.db, session.operatorId, right))
        throw accountdb::DbError(
            QStringLiteral("你没有这个功能的权限，不能打开。（%1）").arg(rightText(right)));
    accountdb::writeEvent(*session.db, session.operatorId, accountdb::event::LogOn, session.operatorName);
    return session;
}

} // namespace admin
