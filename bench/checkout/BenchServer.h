#pragma once
// The generated account sets of the benchmarks on a PostgreSQL server: kept as databases named after
// their parameters, made under a working name and renamed when complete, and copied for each run
// (CREATE DATABASE ... TEMPLATE) as a file is copied.

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include "AccountDatabase.h"

class TBenchServer
{
public:
    // maintenanceUri: postgresql://user@host[:port]/postgres; throws DbError when it cannot connect.
    explicit TBenchServer(const QString &maintenanceUri) : FUrl(maintenanceUri)
    {
        const accountdb::Location server = accountdb::parseLocation(maintenanceUri);
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), FConnection);
        db.setHostName(server.host);
        db.setPort(server.port);
        db.setUserName(server.user);
        db.setPassword(accountdb::serverPassword());
        db.setDatabaseName(server.database);
        if (!db.open())
            throw accountdb::DbError(QStringLiteral("cannot connect to ") + maintenanceUri + u'\n' +
                                     db.lastError().text());
        Exec(QStringLiteral("SET client_min_messages = warning"));
    }
    ~TBenchServer()
    {
        QSqlDatabase::database(FConnection, false).close();
        QSqlDatabase::removeDatabase(FConnection);
    }
    TBenchServer(const TBenchServer &) = delete;
    TBenchServer &operator=(const TBenchServer &) = delete;

    QString Uri(const QString &database) const
    {
        QUrl url = FUrl;
        url.setPath(u'/' + database);
        return url.toString();
    }
    bool Exists(const QString &database)
    {
        QSqlQuery q(QSqlDatabase::database(FConnection, false));
        q.prepare(QStringLiteral("SELECT 1 FROM pg_database WHERE datname = ?"));
        q.addBindValue(database);
        return q.exec() && q.next();
    }
    // Database names are made by the benchmarks from numbers, never from data.
    void Copy(const QString &from, const QString &to)
    {
        Drop(to);
        Exec(QStringLiteral("CREATE DATABASE %1 TEMPLATE %2").arg(to, from));
    }
    void Rename(const QString &from, const QString &to)
    {
        Exec(QStringLiteral("ALTER DATABASE %1 RENAME TO %2").arg(from, to));
    }
    void Drop(const QString &database) { Exec(QStringLiteral("DROP DATABASE IF EXISTS ") + database); }

private:
    void Exec(const QString &sql)
    {
        QSqlQuery q(QSqlDatabase::database(FConnection, false));
        if (!q.exec(sql))
            throw accountdb::DbError(sql + u'\n' + q.lastError().text());
    }

    QUrl FUrl;
    QString FConnection = QStringLiteral("bench-server");
};
