// orvane-admin passwd --db FILE --operator ID [--password-file FILE] [--old-password-file FILE]: changes
// the log-on password of an operator. The new password comes from the first line of --password-file or
// of standard input (asked twice without echo on a terminal), never from the command line; the old one
// from --old-password-file, from the terminal, or is empty while the operator has none. The change and
// its event are written by P_GBL_ChangePassword.

#include <QFile>
#include <cstdio>
#include <iostream>
#include <string>
#include <termios.h>
#include <unistd.h>

#include "AdminCommand.h"
#include "EventLog.h"

namespace admin {

namespace {

QString firstLine(const QByteArray &bytes)
{
    QString line =
        QString::fromUtf8(bytes.left(bytes.indexOf('\n') < 0 ? bytes.size() : bytes.indexOf('\n')));
    while (line.endsWith(u'\r'))
        line.chop(1);
    return line;
}

QString readFileLine(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw accountdb::DbError(QStringLiteral("无法读取密码文件：") + path);
    return firstLine(file.readLine());
}

// One line of standard input; on a terminal with the prompt and without echo.
QString readInputLine(const QString &prompt)
{
    termios old{};
    const bool tty = tcgetattr(STDIN_FILENO, &old) == 0;
    if (tty) {
        const QByteArray text = prompt.toUtf8();
        std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
        std::fflush(stderr);
        termios silent = old;
        silent.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSANOW, &silent);
    }
    std::string line;
    const bool got = bool(std::getline(std::cin, line));
    if (tty) {
        tcsetattr(STDIN_FILENO, TCSANOW, &old);
        std::fputs("\n", stderr);
    }
    if (!got)
        throw accountdb::DbError(QStringLiteral("没有读到新密码。"));
    return firstLine(QByteArray::fromStdString(line));
}

QString newPassword(const QCommandLineParser &parser)
{
    if (parser.isSet(QStringLiteral("password-file")))
        return readFileLine(parser.value(QStringLiteral("password-file")));
    const QString password = readInputLine(QStringLiteral("新密码："));
    if (isatty(STDIN_FILENO) && readInputLine(QStringLiteral("确认密码：")) != password)
        throw accountdb::DbError(QStringLiteral("新密码与确认密码不符。"));
    return password;
}

QString oldPassword(const QCommandLineParser &parser, accountdb::AccountDatabase &db, const QString &id)
{
    if (parser.isSet(QStringLiteral("old-password-file")))
        return readFileLine(parser.value(QStringLiteral("old-password-file")));
    const bool hasPassword =
        !db.value(QStringLiteral("SELECT 1 FROM T_GBL_LoginUser WHERE ETypeId = ? AND Password <> ''"), {id})
             .isNull();
    if (!hasPassword)
        return {};
    if (!isatty(STDIN_FILENO))
        throw accountdb::DbError(
            QStringLiteral("操作员 %1 设置了密码，请用 --old-password-file 提供原密码。").arg(id));
    return readInputLine(QStringLiteral("原密码："));
}

} // namespace

int cmdPasswd(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("修改操作员的登录密码。新密码取自 --password-file 的第一行或标准输入的第一行。"));
    addDbOption(parser);
    parser.addOption(
        {QStringLiteral("operator"), QStringLiteral("要修改密码的操作员。"), QStringLiteral("ID")});
    parser.addOption({QStringLiteral("password-file"), QStringLiteral("从文件第一行读取新密码。"),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("old-password-file"), QStringLiteral("从文件第一行读取原密码。"),
                      QStringLiteral("FILE")});
    if (const int code = parseCommand(parser, QStringLiteral("passwd"), args, 0, 0); code >= 0)
        return code;
    const QString id = parser.value(QStringLiteral("operator")).trimmed();
    if (id.isEmpty()) {
        printError(QStringLiteral("passwd：请用 --operator 指定操作员。"));
        return ExitUsage;
    }
    auto db = accountdb::AccountDatabase::open(dbPath(parser));
    const QString old = oldPassword(parser, *db, id);
    accountdb::ProcParams params{{QStringLiteral("@szOperatorID"), id},
                                 {QStringLiteral("@szOldPassword"), old},
                                 {QStringLiteral("@szNewPassword"), newPassword(parser)},
                                 {QStringLiteral("@ErrMsg"), QString(), true}};
    if (db->callProc(QStringLiteral("P_GBL_ChangePassword"), params) != 0) {
        QString reason;
        for (const accountdb::ProcParam &p : std::as_const(params)) {
            if (p.name.compare(QLatin1String("@ErrMsg"), Qt::CaseInsensitive) == 0)
                reason = p.value.toString();
        }
        accountdb::writeEvent(*db, id, accountdb::event::LogOnRefused.arg(reason));
        printError(reason.isEmpty() ? QStringLiteral("密码修改失败。") : reason);
        return ExitFailure;
    }
    printLine(QStringLiteral("操作员 %1 的密码已修改。").arg(id));
    return ExitOk;
}

} // namespace admin
