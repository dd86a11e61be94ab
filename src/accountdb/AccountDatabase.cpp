#include "AccountDatabase.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlRecord>
#include <QThread>
#include <atomic>
#include <cerrno>
#include <unistd.h>

#include "PrivateFiles.h"
#include "SqlErrors.h"
#include "SqlScript.h"
#include "Transaction.h"
#include "procs/Procedures.h"
#include "schema/Schema.h"

namespace accountdb {

namespace {

std::atomic<int> g_connectionCounter{0};

// How often a procedure's own write transaction runs when the server gives it up for another's sake.
constexpr int kWriterAttempts = 4;

QString nextConnectionName()
{
    return QStringLiteral("accountdb-%1").arg(++g_connectionCounter);
}

QString notAnAccountSet(const QString &path)
{
    return QStringLiteral("文件不是有效的账套：") + path;
}

int newestVersion(const QList<schema::Migration> &migrations)
{
    return migrations.isEmpty() ? 0 : migrations.last().version;
}

struct FileIdentity
{
    int applicationId = 0;
    int version = 0;
};

// Reads identity and version from the database header itself, without an SQLite connection, so that
// a file we refuse stays byte for byte as it was and gets no journal files beside it. The version is
// read again through the connection (a header can lag behind a journal another process still holds).
FileIdentity probeFile(const QString &path)
{
    if (!QFileInfo(path).isFile())
        throw DbError(QStringLiteral("账套文件不存在：") + path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw DbError(QStringLiteral("无法读取账套文件（没有读权限）：") + path);
    const QByteArray header = file.read(100);
    if (header.size() < 100 || !header.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        throw DbError(notAnAccountSet(path));
    const auto bigEndian = [&header](int offset) {
        return int(quint32(quint8(header[offset])) << 24 | quint32(quint8(header[offset + 1])) << 16 |
                   quint32(quint8(header[offset + 2])) << 8 | quint32(quint8(header[offset + 3])));
    };
    FileIdentity id{bigEndian(68), bigEndian(60)};
    if (id.applicationId != kApplicationId)
        throw DbError(notAnAccountSet(path));
    return id;
}

// Every change of an account set writes the file and creates journal files beside it; a file or a
// folder that cannot be written is refused before anything starts, with the reason.
void requireWritable(const QString &path)
{
    const QFileInfo info(path);
    const QString readOnlyDisk = QStringLiteral("账套所在的磁盘是只读的，不能打开账套：") + path;
    if (::access(QFile::encodeName(info.absolutePath()).constData(), W_OK) != 0)
        throw DbError(errno == EROFS
                          ? readOnlyDisk
                          : QStringLiteral("账套所在的文件夹不能写入（没有写权限），不能打开账套：") + path);
    if (info.exists() && ::access(QFile::encodeName(path).constData(), W_OK) != 0)
        throw DbError(errno == EROFS ? readOnlyDisk
                                     : QStringLiteral("账套文件是只读的（没有写权限），不能打开：") + path);
}

void removeDatabaseFiles(const QString &path)
{
    for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(path + suffix);
}

} // namespace

QVariant bindable(const QVariant &v)
{
    // A null QString would reach SQLite as NULL; text is text, however empty. SQL NULL is QVariant().
    if (v.typeId() == QMetaType::QString && v.toString().isNull())
        return QVariant(QStringLiteral(""));
    return v;
}

ResultSet readResult(QSqlQuery &q)
{
    ResultSet rs;
    const QSqlRecord rec = q.record();
    for (int i = 0; i < rec.count(); ++i)
        rs.columns << rec.fieldName(i);
    while (q.next()) {
        QVariantList row;
        row.reserve(rec.count());
        for (int i = 0; i < rec.count(); ++i)
            row << q.value(i);
        rs.rows << row;
    }
    q.finish();
    return rs;
}

AccountDatabase::AccountDatabase(const Location &location)
    : m_path(location.path), m_location(location), m_dialect(location.backend),
      m_connectionName(nextConnectionName())
{
    registerAllProcs(m_procs);
}

AccountDatabase::~AccountDatabase()
{
    m_statements.clear();
    if (m_inTransaction) {
        try {
            rollback();
        } catch (const DbError &) {
            // Closing the connection drops whatever is left of the transaction.
        }
    }
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
}

bool AccountDatabase::connectServer(const QString &database, QSqlError *failure)
{
    if (!m_db.isValid())
        m_db = QSqlDatabase::addDatabase(m_dialect.driverName(), m_connectionName);
    m_db.setHostName(m_location.host);
    m_db.setPort(m_location.port);
    m_db.setUserName(m_location.user);
    m_db.setDatabaseName(database);
    // Without a password of its own libpq reads the user's password file (~/.pgpass).
    m_db.setPassword(serverPassword());
    m_db.setConnectOptions(QStringLiteral("connect_timeout=10"));
    if (!m_db.open()) {
        *failure = m_db.lastError();
        return false;
    }
    // A writer waits for the row locks of another workstation as SQLite waits for its file lock, but
    // not for ever: then the statement fails as "busy" and the transaction is rolled back.
    exec(QStringLiteral("SET lock_timeout = '30s'"));
    exec(QStringLiteral("SET client_min_messages = warning"));
    return true;
}

void AccountDatabase::connect(bool writeAheadLog)
{
    if (isServer()) {
        QSqlError failure;
        if (!connectServer(m_location.database, &failure))
            throw DbError(QStringLiteral("无法连接账套数据库：") + m_path + u'\n' + failure.text());
        return;
    }
    m_db = QSqlDatabase::addDatabase(m_dialect.driverName(), m_connectionName);
    m_db.setDatabaseName(m_path);
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!m_db.open()) {
        const QString reason = sqliteFailureText(m_db.lastError());
        throw DbError(QStringLiteral("无法打开账套文件：") + m_path + u'\n' +
                      (reason.isEmpty() ? m_db.lastError().text() : reason));
    }
    exec(QStringLiteral("PRAGMA foreign_keys = ON"));
    exec(QStringLiteral("PRAGMA busy_timeout = 5000"));
    // Savepoint sub-journals in memory (a cost calculation keeps one per goods item). Set here: once the
    // connection has opened its temporary database SQLite refuses the change inside a transaction, and
    // every procedure runs in one.
    exec(QStringLiteral("PRAGMA temp_store = MEMORY"));
    if (writeAheadLog)
        useWriteAheadLog();
}

void AccountDatabase::useWriteAheadLog()
{
    const QString mode = value(QStringLiteral("PRAGMA journal_mode = WAL")).toString();
    if (mode.compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0)
        throw DbError(QStringLiteral("账套文件不能使用预写日志模式：") + m_path);
    // In WAL mode NORMAL keeps every commit safe from a crash of the program and syncs at checkpoints
    // only; the larger page cache keeps the costing tables in memory during a cost calculation.
    exec(QStringLiteral("PRAGMA synchronous = NORMAL"));
    exec(QStringLiteral("PRAGMA cache_size = -65536"));
}

std::unique_ptr<AccountDatabase> AccountDatabase::create(const QString &path)
{
    return create(path, schema::migrations());
}

std::unique_ptr<AccountDatabase> AccountDatabase::open(const QString &path)
{
    return open(path, schema::migrations());
}

std::unique_ptr<AccountDatabase> AccountDatabase::create(const QString &path,
                                                         const QList<schema::Migration> &migrations)
{
    if (path.trimmed().isEmpty())
        throw DbError(QStringLiteral("没有指定账套文件。"));
    const Location location = parseLocation(path);
    if (location.backend == Backend::PostgreSQL)
        return createOnServer(location, migrations);
    if (QFileInfo::exists(path))
        throw DbError(QStringLiteral("文件已经存在，不能覆盖：") + path);
    // A mistyped folder must not silently become a new one.
    const QFileInfo info(path);
    if (!QFileInfo(info.absolutePath()).isDir())
        throw DbError(QStringLiteral("文件夹不存在：") + info.absolutePath() +
                      QStringLiteral("\n请检查账套文件的路径，或先建立这个文件夹。"));
    requireWritable(path);
    // The file exists owner-only before SQLite writes into it; SQLite gives its journals the same mode.
    QString error;
    if (!createPrivateFile(path, &error))
        throw DbError(QStringLiteral("无法创建账套文件：") + path + u'\n' + error);

    std::unique_ptr<AccountDatabase> db(new AccountDatabase(location));
    try {
        db->connect(true);
        {
            // The identity is stamped in the same transaction as the first migration, so a file
            // whose creation broke off is never taken for an account set.
            Transaction t(*db);
            db->exec(QStringLiteral("PRAGMA application_id = %1").arg(kApplicationId));
            t.commit();
        }
        db->migrate(migrations, 0);
        // Identity and version go into the file itself now, for other processes that read the header.
        db->value(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    } catch (...) {
        db.reset();
        removeDatabaseFiles(path);
        throw;
    }
    return db;
}

std::unique_ptr<AccountDatabase> AccountDatabase::open(const QString &path,
                                                       const QList<schema::Migration> &migrations)
{
    const Location location = parseLocation(path);
    if (location.backend == Backend::PostgreSQL)
        return openOnServer(location, migrations);
    const FileIdentity id = probeFile(path);
    if (id.version > newestVersion(migrations))
        throw DbError(QStringLiteral("账套版本比本程序新，请升级程序后再打开。"));
    requireWritable(path);
    std::unique_ptr<AccountDatabase> db(new AccountDatabase(location));
    db->connect(false);
    const int version = db->schemaVersion();
    if (version > newestVersion(migrations))
        throw DbError(QStringLiteral("账套版本比本程序新，请升级程序后再打开。"));
    // Version 0 is a file whose creation broke off before its first step; one that already holds
    // tables had its version mark reset (by a script or another tool) and cannot be migrated.
    if (version == 0 && db->value(QStringLiteral("SELECT count(*) FROM sqlite_master")).toInt() > 0)
        throw DbError(
            QStringLiteral("账套文件的版本标记已被改动（版本为 0，但文件中已有数据表），不能打开：") + path +
            QStringLiteral("\n请用备份恢复这个账套。"));
    db->useWriteAheadLog();
    if (version < newestVersion(migrations)) {
        db->migrate(migrations, version);
        db->value(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    }
    return db;
}

void AccountDatabase::migrate(const QList<schema::Migration> &migrations, int from)
{
    int current = from;
    for (const schema::Migration &m : migrations) {
        if (m.version <= current)
            continue;
        if (m.version != current + 1)
            throw DbError(QStringLiteral("账套结构升级步骤不连续：缺少版本 %1。").arg(current + 1));
        // Each step and its version stamp are one transaction: a failed step leaves the file at the
        // version before it.
        Transaction t(*this);
        m.apply(*this);
        stampVersion(m.version);
        t.commit();
        current = m.version;
    }
}

void AccountDatabase::stampVersion(int version)
{
    if (!isServer()) {
        exec(QStringLiteral("PRAGMA user_version = %1").arg(version));
        return;
    }
    syncIdentities();
    exec(QStringLiteral("UPDATE ") + Dialect::markerTable() + QStringLiteral(" SET SchemaVersion = ?"),
         {version});
}

void AccountDatabase::syncIdentities()
{
    const ResultSet columns =
        query(QStringLiteral("SELECT table_name, column_name FROM information_schema.columns "
                             "WHERE table_schema = current_schema() AND is_identity = 'YES'"));
    for (const QVariantList &row : columns.rows) {
        // Names from the catalog, quoted as identifiers: never data of a user.
        const QString table = QLatin1Char('"') + row[0].toString() + QLatin1Char('"');
        const QString column = QLatin1Char('"') + row[1].toString() + QLatin1Char('"');
        value(QStringLiteral(
                  "SELECT setval(pg_get_serial_sequence(?, ?), coalesce((SELECT max(%1) FROM %2), 0) + 1, "
                  "false)")
                  .arg(column, table),
              {table, row[1].toString()});
    }
}

bool AccountDatabase::hasMarker()
{
    return value(QStringLiteral("SELECT count(*) FROM information_schema.tables "
                                "WHERE table_schema = current_schema() AND lower(table_name) = lower(?)"),
                 {Dialect::markerTable()})
               .toInt() > 0;
}

std::unique_ptr<AccountDatabase> AccountDatabase::createOnServer(const Location &location,
                                                                 const QList<schema::Migration> &migrations)
{
    std::unique_ptr<AccountDatabase> db(new AccountDatabase(location));
    QSqlError failure;
    if (!db->connectServer(location.database, &failure)) {
        // A database that does not exist yet is made through the server's maintenance database.
        QSqlError maintenanceFailure;
        if (!db->connectServer(QStringLiteral("postgres"), &maintenanceFailure) ||
            db->value(QStringLiteral("SELECT count(*) FROM pg_database WHERE datname = ?"),
                      {location.database})
                    .toInt() > 0)
            throw DbError(QStringLiteral("无法连接账套数据库：") + location.path + u'\n' + failure.text());
        QString name = location.database;
        db->exec(QStringLiteral("CREATE DATABASE \"%1\" ENCODING 'UTF8' TEMPLATE template0")
                     .arg(name.replace(u'"', QLatin1String("\"\""))));
        db->m_statements.clear();
        db->m_db.close();
        if (!db->connectServer(location.database, &failure))
            throw DbError(QStringLiteral("无法连接账套数据库：") + location.path + u'\n' + failure.text());
    }
    if (db->value(QStringLiteral(
                      "SELECT count(*) FROM information_schema.tables WHERE table_schema = current_schema()"))
            .toInt() > 0)
        throw DbError(QStringLiteral("数据库中已经有数据表，不能在其中建立账套：") + location.path);
    {
        // Names of the system compare without regard to case, as in SQLite's NOCASE columns.
        Transaction t(*db);
        db->exec(QStringLiteral("CREATE COLLATION IF NOT EXISTS nocase "
                                "(provider = icu, locale = 'und-u-ks-level2', deterministic = false)"));
        db->exec(QStringLiteral("CREATE TABLE ") + Dialect::markerTable() +
                 QStringLiteral(" (ApplicationId BIGINT NOT NULL, SchemaVersion BIGINT NOT NULL)"));
        db->exec(QStringLiteral("INSERT INTO ") + Dialect::markerTable() +
                     QStringLiteral(" (ApplicationId, SchemaVersion) VALUES (?, 0)"),
                 {kApplicationId});
        t.commit();
    }
    db->migrate(migrations, 0);
    return db;
}

std::unique_ptr<AccountDatabase> AccountDatabase::openOnServer(const Location &location,
                                                               const QList<schema::Migration> &migrations)
{
    std::unique_ptr<AccountDatabase> db(new AccountDatabase(location));
    db->connect(false);
    if (!db->hasMarker() ||
        db->value(QStringLiteral("SELECT ApplicationId FROM ") + Dialect::markerTable()).toLongLong() !=
            kApplicationId)
        throw DbError(QStringLiteral("数据库不是有效的账套：") + location.path);
    const int version = db->schemaVersion();
    if (version > newestVersion(migrations))
        throw DbError(QStringLiteral("账套版本比本程序新，请升级程序后再打开。"));
    if (version == 0 &&
        db->value(QStringLiteral(
                      "SELECT count(*) FROM information_schema.tables WHERE table_schema = current_schema()"))
                .toInt() > 1)
        throw DbError(
            QStringLiteral("账套数据库的版本标记已被改动（版本为 0，但数据库中已有数据表），不能打开：") +
            location.path + QStringLiteral("\n请用备份恢复这个账套。"));
    if (version < newestVersion(migrations))
        db->migrate(migrations, version);
    return db;
}

int AccountDatabase::schemaVersion() const
{
    QSqlQuery q(m_db);
    const QString sql = isServer() ? QStringLiteral("SELECT SchemaVersion FROM ") + Dialect::markerTable()
                                   : QStringLiteral("PRAGMA user_version");
    if (!q.exec(sql) || !q.next())
        throw DbError(QStringLiteral("无法读取账套版本：") + q.lastError().text());
    return q.value(0).toInt();
}

QSqlQuery &AccountDatabase::run(const QString &sql, const QVariantList &params)
{
    // Statements are compiled once per connection and reused: a cost calculation runs the same few
    // texts hundreds of thousands of times. Only finished statements are in the cache (see exec()).
    auto it = m_statements.find(sql);
    if (it == m_statements.end() && !m_dialect.canPrepare(sql)) {
        // DDL and session statements of a server run as they are, and take no parameters.
        if (!params.isEmpty())
            throw DbError(QStringLiteral("这种语句不能带参数：") + sql);
        QSqlQuery q(m_db);
        if (!q.exec(m_dialect.translate(sql)))
            throw DbError(QStringLiteral("数据库操作失败：") + m_dialect.failureText(q.lastError()) + u'\n' +
                              sql,
                          m_dialect.classify(q.lastError()) == Dialect::Failure::Retry);
        if (m_statements.size() >= kStatementCacheSize)
            m_statements.clear();
        return m_statements.insert(sql, std::move(q)).value();
    }
    if (it != m_statements.end() && !m_dialect.canPrepare(sql)) {
        QSqlQuery &q = it.value();
        if (!q.exec(m_dialect.translate(sql))) {
            const QString error = m_dialect.failureText(q.lastError());
            const bool retryable = m_dialect.classify(q.lastError()) == Dialect::Failure::Retry;
            m_statements.erase(it);
            throw DbError(QStringLiteral("数据库操作失败：") + error + u'\n' + sql, retryable);
        }
        return q;
    }
    if (it == m_statements.end()) {
        QSqlQuery q(m_db);
        // A forward-only result of a server is streamed and lost when the connection runs another
        // statement before all its rows are read; procedures read one query while writing others.
        q.setForwardOnly(!isServer());
        if (!q.prepare(m_dialect.translate(sql)))
            throw DbError(QStringLiteral("数据库语句错误：") + q.lastError().text() + u'\n' + sql);
        if (m_statements.size() >= kStatementCacheSize)
            m_statements.clear();
        it = m_statements.insert(sql, std::move(q));
    }
    QSqlQuery &q = it.value();
    for (int i = 0; i < params.size(); ++i)
        q.bindValue(i, bindable(params[i]));
    if (!q.exec()) {
        const QString error =
            m_dialect.isServer() ? m_dialect.failureText(q.lastError()) : q.lastError().text();
        const bool retryable = m_dialect.classify(q.lastError()) == Dialect::Failure::Retry;
        m_statements.erase(it);
        throw DbError(QStringLiteral("数据库操作失败：") + error + u'\n' + sql, retryable);
    }
    return q;
}

QSqlQuery AccountDatabase::exec(const QString &sql, const QVariantList &params)
{
    QSqlQuery &q = run(sql, params);
    // The caller reads the rows at its own pace, possibly running the same text again meanwhile: the
    // statement becomes the caller's alone. A write stays cached; its caller shares it, to read the
    // rows it changed before the text runs again.
    if (q.isSelect())
        return m_statements.take(sql);
    // A deliberate copy: both hold the one compiled statement, which a move would take out of the cache.
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    return q;
    QT_WARNING_POP
}

QVariant AccountDatabase::value(const QString &sql, const QVariantList &params)
{
    QSqlQuery &q = run(sql, params);
    QVariant v;
    if (q.next())
        v = q.value(0);
    q.finish();
    return v;
}

namespace {
QList<SqlStatement> checkedSplit(const QString &sql, const QVariantList &params)
{
    const QList<SqlStatement> statements = splitSqlStatements(sql);
    int wanted = 0;
    for (const SqlStatement &s : statements)
        wanted += s.placeholders;
    if (wanted != params.size())
        throw DbError(QStringLiteral("参数个数与语句不符：需要 %1 个，提供了 %2 个。\n")
                          .arg(wanted)
                          .arg(params.size()) +
                      sql);
    return statements;
}
} // namespace

int AccountDatabase::execBatch(const QString &sql, const QVariantList &params)
{
    int used = 0;
    int affected = 0;
    for (const SqlStatement &s : checkedSplit(sql, params)) {
        QSqlQuery &q = run(s.text, params.mid(used, s.placeholders));
        used += s.placeholders;
        affected = q.numRowsAffected();
        q.finish();
    }
    return affected;
}

ResultSet AccountDatabase::query(const QString &sql, const QVariantList &params)
{
    int used = 0;
    ResultSet result;
    for (const SqlStatement &s : checkedSplit(sql, params)) {
        QSqlQuery &q = run(s.text, params.mid(used, s.placeholders));
        used += s.placeholders;
        if (q.isSelect())
            result = readResult(q);
        else
            q.finish();
    }
    return result;
}

void AccountDatabase::begin()
{
    if (m_inTransaction)
        throw DbError(QStringLiteral("已经有一个打开的事务，不能再开始新的事务。"));
    exec(m_dialect.beginWriter());
    m_inTransaction = true;
}

void AccountDatabase::commit()
{
    if (!m_inTransaction)
        throw DbError(QStringLiteral("没有打开的事务，不能提交。"));
    exec(QStringLiteral("COMMIT")); // on failure the transaction stays open for the caller's rollback
    m_inTransaction = false;
}

void AccountDatabase::rollback()
{
    if (!m_inTransaction)
        throw DbError(QStringLiteral("没有打开的事务，不能回滚。"));
    m_inTransaction = false;
    // SQLite ends a transaction by itself after some errors (disk full, ...); then there is nothing
    // left to roll back.
    QSqlQuery q(m_db);
    if (!q.exec(QStringLiteral("ROLLBACK")) &&
        !q.lastError().text().contains(QLatin1String("no transaction")))
        throw DbError(QStringLiteral("回滚失败：") + q.lastError().text());
}

int AccountDatabase::callProc(const QString &name, ProcParams &params, ResultSet *rs)
{
    const ProcFn *fn = m_procs.find(name);
    if (!fn)
        throw DbError(QStringLiteral("存储过程不存在：") + name);
    if (!m_inTransaction && !m_procs.isReader(name)) {
        // On its own a procedure is one write transaction begun as a writer: a deferred one that
        // reads and then writes would fail at once when another connection wrote in between. A server
        // may give it up for another session's sake (deadlock, serialization): then it runs again as
        // a whole, from its own inputs, a few times before the failure is reported.
        const ProcParams inputs = params;
        for (int attempt = 1;; ++attempt) {
            try {
                Transaction own(*this);
                const int result = callProc(name, params, rs);
                own.commit();
                return result;
            } catch (const DbError &e) {
                if (!e.retryable() || attempt == kWriterAttempts)
                    throw;
            }
            params = inputs;
            QThread::msleep(20 * attempt + QRandomGenerator::global()->bounded(20));
        }
    }
    if (!m_inTransaction && isServer()) {
        // A reader on its own: a server has no savepoint outside a transaction, and nothing to undo.
        ProcContext ctx(*this, params);
        const int result = (*fn)(ctx);
        if (rs)
            *rs = ctx.hasResult() ? ctx.result() : ResultSet();
        return result;
    }
    const QString savepoint = QStringLiteral("proc_%1").arg(m_savepointDepth);
    exec(QStringLiteral("SAVEPOINT ") + savepoint);
    ++m_savepointDepth;
    int result = 0;
    ProcContext ctx(*this, params);
    try {
        result = (*fn)(ctx);
    } catch (...) {
        --m_savepointDepth;
        QSqlQuery undo(m_db);
        undo.exec(QStringLiteral("ROLLBACK TO ") + savepoint);
        undo.exec(QStringLiteral("RELEASE ") + savepoint);
        throw;
    }
    --m_savepointDepth;
    exec(QStringLiteral("RELEASE ") + savepoint);
    if (rs)
        *rs = ctx.hasResult() ? ctx.result() : ResultSet();
    return result;
}

} // namespace accountdb
