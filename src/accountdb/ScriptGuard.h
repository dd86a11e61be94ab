#pragma once
// While a script of the user runs, the connection refuses what would change the account-set file
// itself rather than its data: attaching or detaching other files and the pragmas that set the file's
// identity, schema or durability. The guard lifts the refusal when it goes out of scope.
//
// On a database server the script is vetted statement by statement instead: what acts on the server
// (roles, databases, configuration, server files and processes, untrusted code) or on the account
// set's identity marker is refused before it runs.

#include <QString>

namespace accountdb {

class AccountDatabase;

class ScriptGuard
{
public:
    explicit ScriptGuard(AccountDatabase &db);
    ~ScriptGuard();
    ScriptGuard(const ScriptGuard &) = delete;
    ScriptGuard &operator=(const ScriptGuard &) = delete;

    // The clear text for the last statement refused (empty when none was); cleared by take.
    QString takeRefusal();
    // Before a statement runs: the clear text of its refusal, empty when it may run.
    QString vet(const QString &statement) const;

    // Called by SQLite for every action of a statement being prepared.
    int authorize(int action, const char *arg1, const char *arg2);

private:
    void *m_handle = nullptr; // sqlite3*; null on a database server
    QString m_refusal;
};

} // namespace accountdb
