#pragma once
// Repair of an open account set (账套修复): a full integrity check, a check of the references
// between tables, and the rebuild of every index when the file itself is sound. The report says
// what was checked and what was found, line by line, for the user.

#include <QStringList>

namespace accountdb {

class AccountDatabase;

struct RepairReport
{
    bool ok = false;   // the file is sound (its indexes rebuilt)
    QStringList lines; // what was checked and found
};

// Runs outside any transaction of the connection; refuses (DbError) while one is open.
RepairReport repairAccountSet(AccountDatabase &db);

} // namespace accountdb
