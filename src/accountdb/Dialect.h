#pragma once
// Where an account set lives and how its SQL differs between the two database systems it runs on.
//
// An account set is named by one text: a file path is an SQLite file, a URI
// postgresql://user@host[:port]/dbname is a database on a PostgreSQL server. The procedures, schema
// texts and queries are written once, in the SQL both accept; the few places where the two differ
// (column types of the DDL, identity columns, how a writer begins, the identity and version marks,
// error codes, the SQLite-only maintenance statements) are members of Dialect and nowhere else.

#include <QString>

class QSqlError;

namespace accountdb {

enum class Backend { SQLite, PostgreSQL };

// The parts of a server URI; for a file only `path` is set.
struct Location
{
    Backend backend = Backend::SQLite;
    QString path; // SQLite: the file; PostgreSQL: the URI as given
    QString host;
    int port = 5432;
    QString user;
    QString database;
};

// True for a postgresql:// (or postgres://) URI.
bool isServerLocation(const QString &location);
// Throws DbError for a malformed URI (with the expected form in the text).
Location parseLocation(const QString &location);

// The password for server connections of this process (from a password file); empty means libpq
// looks in the user's password file (~/.pgpass) itself. Never taken from the command line.
void setServerPassword(const QString &password);
QString serverPassword();

class Dialect
{
public:
    enum class Failure {
        Other,
        Busy,            // another connection holds the lock (SQLite busy, PostgreSQL lock timeout)
        UniqueViolation, // a row with the same key exists
        Retry,           // serialization failure or deadlock: the whole transaction may be run again
    };

    explicit Dialect(Backend backend) : m_backend(backend) {}
    Backend backend() const { return m_backend; }
    bool isServer() const { return m_backend == Backend::PostgreSQL; }
    QString driverName() const;

    // The text as this system runs it: on PostgreSQL the DDL's column types (INTEGER is 64 bits as
    // in SQLite, REAL a double, BLOB bytes, also in CAST) and identity columns. Other statements pass
    // unchanged.
    QString translate(const QString &sql) const;
    // False for the statements a server cannot prepare (DDL, transaction and session statements):
    // those run directly and take no parameters.
    bool canPrepare(const QString &sql) const;
    // Begins a transaction that writes: SQLite takes the write lock at once (BEGIN IMMEDIATE);
    // PostgreSQL locks rows as the statements reach them.
    QString beginWriter() const;
    // Appended to a SELECT of rows the transaction reads and then writes (counters, the inventory
    // period): a server locks them until the transaction ends; SQLite's writer holds the whole file.
    QString forUpdate() const;
    // The names of the account set's tables (one column, in name order; a server returns them in lower
    // case).
    QString tableNamesQuery() const;
    Failure classify(const QSqlError &error) const;
    // The text of a failure for the user, with the clear Chinese text where there is one.
    QString failureText(const QSqlError &error) const;

    // The marker of an account set on a server: one row with the application id and the schema
    // version (SQLite keeps both in the file header).
    static QString markerTable() { return QStringLiteral("T_Sys_AccountSet"); }

private:
    Backend m_backend;
};

} // namespace accountdb
