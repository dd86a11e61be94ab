#pragma once
// One account set = one database: an SQLite file (the default; WAL journal, foreign keys on, busy
// timeout 5 s) or a database on a PostgreSQL server, named by a postgresql:// URI (see Dialect.h).
// The database carries its identity and its schema version (in the file header, or in a marker table
// on a server); a new one is created at the newest version and an older one is migrated forward when
// it is opened.
//
// Every value that is not a constant of the code travels as a "?" parameter; statements are never
// built from data. There is at most one open transaction per connection: a second begin() is an error.

#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <memory>

#include "DbError.h"
#include "Dialect.h"
#include "Password.h"
#include "ProcRegistry.h"

namespace accountdb {

namespace schema {
struct Migration;
}

constexpr int kSchemaVersion = 13;
// The identity of every account set ("ORVN"; PRAGMA application_id of a file).
constexpr int kApplicationId = 0x4F52564E;

class AccountDatabase
{
public:
    // A new account set at the newest schema with its seed data; refuses an existing file, or a server
    // database that holds tables already (a database that does not exist yet is created).
    static std::unique_ptr<AccountDatabase> create(const QString &path);
    // Refuses files that are not account sets and files of a newer schema version, leaving them
    // untouched; migrates older ones.
    static std::unique_ptr<AccountDatabase> open(const QString &path);
    // The same with an explicit migration list (tools and tests); the newest version is the last one's.
    static std::unique_ptr<AccountDatabase> create(const QString &path,
                                                   const QList<schema::Migration> &migrations);
    static std::unique_ptr<AccountDatabase> open(const QString &path,
                                                 const QList<schema::Migration> &migrations);

    ~AccountDatabase(); // closes and removes its connection
    AccountDatabase(const AccountDatabase &) = delete;
    AccountDatabase &operator=(const AccountDatabase &) = delete;

    // The file path or the server URI the account set was opened with.
    QString path() const { return m_path; }
    const Dialect &dialect() const { return m_dialect; }
    bool isServer() const { return m_dialect.isServer(); }
    int schemaVersion() const;
    QString connectionName() const { return m_connectionName; }
    QSqlDatabase &sql() { return m_db; }

    // One statement with "?" placeholders; throws DbError.
    QSqlQuery exec(const QString &sql, const QVariantList &params = {});
    // First column of the first row; null when there is no row.
    QVariant value(const QString &sql, const QVariantList &params = {});
    // Several statements separated by ";" (outside quotes and comments); the "?" params are consumed
    // in order across the statements. Returns the rows affected by the last statement.
    int execBatch(const QString &sql, const QVariantList &params = {});
    // The result set of the LAST statement that returns rows (several statements allowed).
    ResultSet query(const QString &sql, const QVariantList &params = {});

    void begin(); // DbError when a transaction is already open
    void commit();
    void rollback();
    bool inTransaction() const { return m_inTransaction; }

    // Runs a registered procedure inside its own savepoint: within the open transaction when there is
    // one, otherwise atomically on its own. A procedure that throws leaves nothing behind (its
    // savepoint is rolled back and the DbError passes on); negative results are error codes and are
    // not rolled back. Unknown name -> DbError. Outputs are written back into params; rs receives the
    // result set (emptied when the procedure returns none).
    int callProc(const QString &name, ProcParams &params, ResultSet *rs = nullptr);
    ProcRegistry &procedures() { return m_procs; }

private:
    explicit AccountDatabase(const Location &location);
    static std::unique_ptr<AccountDatabase> createOnServer(const Location &location,
                                                           const QList<schema::Migration> &migrations);
    static std::unique_ptr<AccountDatabase> openOnServer(const Location &location,
                                                         const QList<schema::Migration> &migrations);
    void connect(bool writeAheadLog);
    bool connectServer(const QString &database, QSqlError *failure); // false: failure set
    bool hasMarker();
    void stampVersion(int version);
    void syncIdentities();   // identity counters after rows that were inserted with explicit ids
    void useWriteAheadLog(); // writes the journal mode into the file header
    void migrate(const QList<schema::Migration> &migrations, int from);
    // Executes on the cached statement of the text; the reference is valid until the next run().
    QSqlQuery &run(const QString &sql, const QVariantList &params);

    QString m_path;
    Location m_location;
    Dialect m_dialect;
    QString m_connectionName;
    QSqlDatabase m_db;
    ProcRegistry m_procs;
    bool m_inTransaction = false;
    int m_savepointDepth = 0;
    // Prepared statements by SQL text (run()); cleared when full, so texts built per call stay cheap.
    static constexpr int kStatementCacheSize = 512;
    QHash<QString, QSqlQuery> m_statements;
};

// The value as it is bound: an empty QString (null or not) is the empty text, QVariant() is SQL NULL.
QVariant bindable(const QVariant &v);
// Reads the result of an executed query into a result set (used by procedures and query()).
ResultSet readResult(QSqlQuery &q);

} // namespace accountdb
