#pragma once
// Stored procedures of the account set, written in C++ and called by name. A procedure reads its
// "@"-named inputs, sets "@"-named outputs, may return one result set and returns an integer:
// 0 or more is success, a negative value an error code the caller maps to a message.

#include <QHash>
#include <QList>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <functional>

namespace accountdb {

class AccountDatabase;

struct ProcParam
{
    QString name; // with the "@" prefix
    QVariant value;
    bool isOutput = false;
};
using ProcParams = QList<ProcParam>;

struct ResultSet
{
    QStringList columns;
    QList<QVariantList> rows;

    int columnIndex(const QString &name) const; // case-insensitive; -1 when absent
};

class ProcContext
{
public:
    ProcContext(AccountDatabase &db, ProcParams &params);

    QSqlDatabase &db();
    AccountDatabase &database() { return m_database; }

    // Case-insensitive "@" name (the "@" may be left out); null when absent.
    QVariant in(const QString &name) const;
    bool has(const QString &name) const;
    // Sets or adds the parameter and marks it as output.
    void setOut(const QString &name, const QVariant &v);

    ResultSet &result() { return m_result; }
    bool hasResult() const { return m_hasResult; }
    void setHasResult(bool on) { m_hasResult = on; }
    // Fills the result set from the rows of a select and marks it present.
    void setResult(const QString &sql, const QVariantList &params = {});

    QSqlQuery exec(const QString &sql, const QVariantList &params = {}); // throws DbError
    QVariant value(const QString &sql, const QVariantList &params = {}); // first column of first row
    // Another procedure, inside this one's savepoint.
    int call(const QString &name, ProcParams &params, ResultSet *rs = nullptr);

private:
    int indexOf(const QString &name) const;

    AccountDatabase &m_database;
    ProcParams &m_params;
    ResultSet m_result;
    bool m_hasResult = false;
};

using ProcFn = std::function<int(ProcContext &)>;

// Names compare without regard to case; a ";1" suffix and a "dbo." prefix name the same procedure.
class ProcRegistry
{
public:
    void add(const QString &name, ProcFn fn);
    // A procedure that only reads: called on its own it needs no write transaction.
    void addReader(const QString &name, ProcFn fn);
    const ProcFn *find(const QString &name) const;
    bool isReader(const QString &name) const;
    QStringList names() const;

    static QString normalizedName(const QString &name);

private:
    QHash<QString, ProcFn> m_procs;
    QSet<QString> m_readers;
};

} // namespace accountdb
