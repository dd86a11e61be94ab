// Area "jobs" (schema version 2): the job lock of the account set.
//
// T_Sys_JobLock  at most one row: the whole-account-set job that runs now (cost calculation, month-end
//                checkout, its reversal, rebuild, restore), who runs it on which computer and process,
//                since when, and the last sign of life. A row whose process is gone is stale and is
//                taken over by the next job (see procs/ProcsJobs.cpp).

#include "AccountDatabase.h"
#include "Schema.h"

namespace accountdb::schema {

void migrateJobLockTo2(AccountDatabase &db)
{
    db.execBatch(QStringLiteral(R"SQL(
CREATE TABLE T_Sys_JobLock (
  LockName TEXT NOT NULL PRIMARY KEY,
  Job TEXT NOT NULL,
  OperatorId TEXT NOT NULL DEFAULT '',
  OperatorName TEXT NOT NULL DEFAULT '',
  Host TEXT NOT NULL DEFAULT '',
  BootId TEXT NOT NULL DEFAULT '',
  Pid INTEGER NOT NULL DEFAULT 0,
  PidStart TEXT NOT NULL DEFAULT '',
  Connection TEXT NOT NULL DEFAULT '',
  StartedAt TEXT NOT NULL,
  Heartbeat TEXT NOT NULL
)
)SQL"));
}

} // namespace accountdb::schema
