#include "ScriptGuard.h"

#include <QSqlDriver>
#include <sqlite3.h>
#include <utility>

#include "AccountDatabase.h"
#include "SqlScript.h"

namespace accountdb {

namespace {

// Pragmas a script may read but not set: identity and version, schema, journal and durability.
constexpr const char *kGuardedPragmas[] = {
    "application_id",
    "user_version",
    "schema_version",
    "writable_schema",
    "journal_mode",
    "synchronous",
    "locking_mode",
    "page_size",
    "auto_vacuum",
    "max_page_count",
    "foreign_keys",
    "cell_size_check",
    "trusted_schema",
    "journal_size_limit",
    "wal_autocheckpoint",
    "temp_store_directory",
    "data_store_directory",
    "legacy_file_format",
    "ignore_check_constraints",
    "query_only",
};

bool isGuardedPragma(const char *name)
{
    for (const char *p : kGuardedPragmas) {
        if (sqlite3_stricmp(p, name) == 0)
            return true;
    }
    return false;
}

int authorizer(void *guard, int action, const char *arg1, const char *arg2, const char *, const char *)
{
    return static_cast<ScriptGuard *>(guard)->authorize(action, arg1, arg2);
}

// The words of a statement outside quotes and comments, upper-cased; a quoted name is one word.
QStringList statementWords(const QString &sql)
{
    QStringList words;
    const int n = int(sql.size());
    for (int i = 0; i < n;) {
        if (const int end = sqlCommentEnd(sql, i); end != i) {
            i = end;
        } else if (sql[i] == u'\'') {
            i = sqlQuoteEnd(sql, i) + 1;
        } else if (sql[i] == u'"') {
            const int end = sqlQuoteEnd(sql, i);
            words << sql.mid(i + 1, end - i - 1).toUpper();
            i = end + 1;
        } else if (sql[i].isLetterOrNumber() || sql[i] == u'_') {
            int j = i;
            while (j < n && (sql[j].isLetterOrNumber() || sql[j] == u'_'))
                ++j;
            words << sql.mid(i, j - i).toUpper();
            i = j;
        } else {
            ++i;
        }
    }
    return words;
}

// Statements (by their first words) and functions that act on the server rather than on the data.
QString serverRefusal(const QString &sql)
{
    static const char *const statements[][2] = {
        {"ALTER", "SYSTEM"},     {"ALTER", "DATABASE"}, {"CREATE", "DATABASE"},   {"DROP", "DATABASE"},
        {"CREATE", "ROLE"},      {"ALTER", "ROLE"},     {"DROP", "ROLE"},         {"CREATE", "USER"},
        {"ALTER", "USER"},       {"DROP", "USER"},      {"CREATE", "TABLESPACE"}, {"DROP", "TABLESPACE"},
        {"CREATE", "EXTENSION"}, {"SET", "ROLE"},       {"SET", "SESSION"},       {"RESET", "ROLE"},
        {"RESET", "SESSION"},    {"COPY", nullptr},     {"LOAD", nullptr},        {"GRANT", nullptr},
        {"REVOKE", nullptr},     {"DO", nullptr},       {"CHECKPOINT", nullptr}};
    static const char *const functions[] = {"PG_READ_FILE",
                                            "PG_READ_BINARY_FILE",
                                            "PG_LS_DIR",
                                            "PG_STAT_FILE",
                                            "LO_IMPORT",
                                            "LO_EXPORT",
                                            "PG_TERMINATE_BACKEND",
                                            "PG_CANCEL_BACKEND",
                                            "PG_RELOAD_CONF",
                                            "PG_ROTATE_LOGFILE",
                                            "SET_CONFIG",
                                            "DBLINK",
                                            "DBLINK_EXEC",
                                            "PG_ADVISORY_UNLOCK_ALL"};
    const QStringList words = statementWords(sql);
    for (const auto &[first, second] : statements) {
        if (words.value(0) == QLatin1String(first) && (!second || words.value(1) == QLatin1String(second)))
            return QStringLiteral("脚本不能执行 %1：它作用于数据库服务器，而不是账套的数据。")
                .arg(second ? words.mid(0, 2).join(u' ') : words.value(0));
    }
    for (int i = 0; i < words.size(); ++i) {
        for (const char *function : functions) {
            if (words[i] == QLatin1String(function))
                return QStringLiteral("脚本不能调用 %1：它作用于数据库服务器，而不是账套的数据。")
                    .arg(words[i]);
        }
        if (words[i] == u"LANGUAGE" && i + 1 < words.size() && words[i + 1] != u"SQL" &&
            words[i + 1] != u"PLPGSQL")
            return QStringLiteral("脚本中的函数只能用 SQL 或 PL/pgSQL 编写。");
        if (words[i] == u"T_SYS_ACCOUNTSET" && words.value(0) != u"SELECT")
            return QStringLiteral("脚本不能修改账套的标识。");
    }
    return {};
}

sqlite3 *handleOf(AccountDatabase &db)
{
    const QVariant v = db.sql().driver()->handle();
    if (qstrcmp(v.typeName(), "sqlite3*") != 0)
        throw DbError(QStringLiteral("账套连接不是 SQLite 连接，不能执行脚本。"));
    return *static_cast<sqlite3 *const *>(v.data());
}

} // namespace

ScriptGuard::ScriptGuard(AccountDatabase &db) : m_handle(db.isServer() ? nullptr : handleOf(db))
{
    if (m_handle)
        sqlite3_set_authorizer(static_cast<sqlite3 *>(m_handle), authorizer, this);
}

ScriptGuard::~ScriptGuard()
{
    if (m_handle)
        sqlite3_set_authorizer(static_cast<sqlite3 *>(m_handle), nullptr, nullptr);
}

QString ScriptGuard::vet(const QString &statement) const
{
    return m_handle ? QString() : serverRefusal(statement);
}

QString ScriptGuard::takeRefusal()
{
    return std::exchange(m_refusal, QString());
}

int ScriptGuard::authorize(int action, const char *arg1, const char *arg2)
{
    switch (action) {
    case SQLITE_ATTACH:
    case SQLITE_DETACH:
        m_refusal = QStringLiteral("脚本不能附加或分离其他数据库文件（ATTACH/DETACH）。");
        return SQLITE_DENY;
    case SQLITE_PRAGMA:
        // Reading a pragma (no argument) is harmless; setting one of these changes the file itself.
        if (arg2 && isGuardedPragma(arg1)) {
            m_refusal = QStringLiteral("脚本不能设置 PRAGMA %1：它会改变账套文件的标识、结构或写盘方式。")
                            .arg(QString::fromUtf8(arg1));
            return SQLITE_DENY;
        }
        return SQLITE_OK;
    default:
        return SQLITE_OK;
    }
}

} // namespace accountdb
