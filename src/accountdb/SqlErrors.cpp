#include "SqlErrors.h"

#include <QSqlError>
#include <sqlite3.h>

namespace accountdb {

namespace {

struct Failure
{
    int code;
    const char *sqliteText; // sqlite3_errstr() of the code
    const char16_t *text;
};

// The order matters for readableFailure(): the first text found in a message wins.
constexpr Failure kFailures[] = {
    {SQLITE_FULL, "database or disk is full", u"磁盘空间不足，数据没有写入。请腾出磁盘空间后重试。"},
    {SQLITE_READONLY, "attempt to write a readonly database",
     u"账套文件是只读的（文件只读、磁盘只读或没有写权限），数据没有写入。"},
    {SQLITE_CANTOPEN, "unable to open database file",
     u"无法打开账套文件：文件或文件夹不存在、磁盘只读，或没有读写权限。"},
    {SQLITE_CORRUPT, "database disk image is malformed", u"账套文件已损坏，请用“账套修复”检查或用备份恢复。"},
    {SQLITE_NOTADB, "file is not a database", u"文件不是有效的账套。"},
    {SQLITE_IOERR, "disk I/O error", u"读写磁盘时出错，请检查磁盘。"},
    {SQLITE_BUSY, "database is locked", u"账套正被其他用户或程序使用，请稍后重试。"},
};

} // namespace

QString sqliteFailureText(int code)
{
    for (const Failure &f : kFailures) {
        if ((code & 0xFF) == f.code)
            return QString::fromUtf16(f.text);
    }
    return QString();
}

QString diskFullText()
{
    return sqliteFailureText(SQLITE_FULL);
}

QString sqliteFailureText(const QSqlError &error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? sqliteFailureText(code) : QString();
}

QString readableFailure(const QString &message)
{
    for (const Failure &f : kFailures) {
        if (message.contains(QLatin1String(f.sqliteText), Qt::CaseInsensitive))
            return QString::fromUtf16(f.text);
    }
    return message;
}

} // namespace accountdb
