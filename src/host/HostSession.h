#pragma once
// One open account set with the host services over it: what the host program, orvane-admin and the
// tests share. Install() hands the services to the runtime's wrapper units.

#include <QDate>
#include <memory>

#include "HostAccountService.h"
#include "HostAudit.h"
#include "HostDatabaseService.h"
#include "HostMessageService.h"
#include "HostServerObject.h"
#include "HostSystemService.h"
#include "TDllParams.h"

namespace accountdb {
class AccountDatabase;
}

class HostSession
{
public:
    // Both raise accountdb::DbError with a clear text; a refused file is left untouched.
    static std::unique_ptr<HostSession> Create(const QString &path, IDllMessageCon *messages = nullptr);
    static std::unique_ptr<HostSession> Open(const QString &path, IDllMessageCon *messages = nullptr);
    ~HostSession();

    accountdb::AccountDatabase &Db() { return *FDb; }
    HostDatabaseService &DbService() { return *FDbService; }
    HostSystemService &System() { return *FSystem; }
    HostAccountService &Account() { return *FAccount; }
    IDllMessageCon &Messages() { return *FMessages; }
    // The bill service of a session without bill windows (audit steps and the read-only bill view).
    HostAudit &Audit() { return *FBills; }
    // Extra host services that later layers provide (account interface, selection dialogs, ...).
    TDllParams &Params() { return FParams; }

    // Closes the account set's connection and opens the same file again (around a restore); the
    // services are pointed at the new connection. Reopen raises accountdb::DbError.
    void CloseDatabase();
    void Reopen();

    // Sets the wrapper units' interface pointers to this session's services.
    void Install();
    // Clears the wrapper units' pointers when they still point at this session.
    void Uninstall();

    // SQLite's quick check of the file: empty when it passes, else the problems it found.
    QString CheckFile();
    // Checks the file; when it fails, warns and offers 账套修复 (the host's repair of the open set).
    // True when the file passes the check, at once or after the repair.
    bool WarnWhenDamaged();

    // Checks the operator's password and takes over his log-on state. Returns false with a text.
    bool LogOn(const QString &operatorId, const QString &password, const QDate &logOnDate, QString *error);

private:
    HostSession(std::unique_ptr<accountdb::AccountDatabase> db, IDllMessageCon *messages);

    std::unique_ptr<accountdb::AccountDatabase> FDb;
    std::unique_ptr<HostDatabaseService> FDbService;
    std::unique_ptr<HostSystemService> FSystem;
    std::unique_ptr<HostAccountService> FAccount;
    std::unique_ptr<HostServerObject> FServer; // the params' vmrSvr
    std::unique_ptr<HostAudit> FBills;         // the params' bill service: audit and bill view
    QString FPath;
    std::unique_ptr<HostMessageService> FOwnMessages;
    IDllMessageCon *FMessages;
    TDllParams FParams;
};
