#include "ScriptGuard.h"

#include <QSqlDriver>
#include <sqlite3.h>
#include <utility>

#include "AccountDatabase.h"

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

sqlite3 *handleOf(AccountDatabase &db)
{
    const QVariant v = db.sql().driver()->handle();
    if (qstrcmp(v.typeName(), "sqlite3*") != 0)
        throw DbError(QStringLiteral("账套连接不是 SQLite 连接，不能执行脚本。"));
    return *static_cast<sqlite3 *const *>(v.data());
}

} // namespace

ScriptGuard::ScriptGuard(AccountDatabase &db) : m_handle(handleOf(db))
{
    sqlite3_set_authorizer(static_cast<sqlite3 *>(m_handle), authorizer, this);
}

ScriptGuard::~ScriptGuard()
{
    sqlite3_set_authorizer(static_cast<sqlite3 *>(m_handle), nullptr, nullptr);
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
