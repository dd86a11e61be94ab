#pragma once
// While a script of the user runs, the connection refuses what would change the account-set file
// itself rather than its data: attaching or detaching other files and the pragmas that set the file's
// identity, schema or durability. The guard lifts the refusal when it goes out of scope.

#include <QString>

namespace accountdb {

class AccountDatabase;

class ScriptGuard
{
public:
    explicit ScriptGuard(AccountDatabase &db); // throws DbError when the connection has no SQLite handle
    ~ScriptGuard();
    ScriptGuard(const ScriptGuard &) = delete;
    ScriptGuard &operator=(const ScriptGuard &) = delete;

    // The clear text for the last statement refused (empty when none was); cleared by take.
    QString takeRefusal();

    // Called by SQLite for every action of a statement being prepared.
    int authorize(int action, const char *arg1, const char *arg2);

private:
    void *m_handle = nullptr; // sqlite3*
    QString m_refusal;
};

} // namespace accountdb
