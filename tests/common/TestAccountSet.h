#pragma once
// A fresh temporary account set (schema + seed data) with the host services installed into the
// runtime's wrapper units and a recording message service. One per test function (create in init()).

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

private:
    QTemporaryDir FDir;
    QString FPath;
    RecordingMessageService FMessages;
    std::unique_ptr<HostSession> FSession;
};
