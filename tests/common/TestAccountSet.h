#pragma once
// A fresh temporary account set (schema + seed data) with the host services installed into the
// runtime's wrapper units and a recording message service. One per test function (create in init()).
// With ORVANE_TEST_DB=postgresql the account set is a fresh database on the test server instead of a
// file; Path() is then its URI.

#include <QTemporaryDir>
#include <memory>

#include "HostSession.h"
#include "RecordingMessageService.h"

class TestAccountSet
{
public:
    TestAccountSet();
    ~TestAccountSet();

    HostSession &Session() { return *FSession; }
    accountdb::AccountDatabase &Db() { return FSession->Db(); }
    HostSystemService &System() { return FSession->System(); }
    RecordingMessageService &Messages() { return FMessages; }
    QString Path() const { return FPath; }
    QString Dir() const { return FDir.path(); }

    // Logs on as an operator that is not the manager (creating him with the given groups' rights is the
    // caller's business).
    void ActAs(const QString &operatorId, bool isManager);

    // True when the tests run on the PostgreSQL server.
    static bool OnServer();
    // The URI of another fresh account set on the test server (dropped with the server's test cluster).
    static QString NewServerDatabase();

private:
    QTemporaryDir FDir;
    QString FPath;
    QString FServerDatabase;
    RecordingMessageService FMessages;
    std::unique_ptr<HostSession> FSession;
};

// For the few tests that are by nature about SQLite files (file bytes, journals, .orv backups).
#define SKIP_ON_SERVER(reason)                                                                               \
    do {                                                                                                     \
        if (TestAccountSet::OnServer())                                                                      \
            QSKIP(reason);                                                                                   \
    } while (false)
