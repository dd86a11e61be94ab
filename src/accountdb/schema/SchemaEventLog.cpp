// Area "event log" (schema version 3): the system event log and the print layouts.
//
// T_Sys_EventLog  one row per event an administrator looks for (log-on and its refusals, jobs, backups,
//                 restores, scripts, rights and option changes, exports and imports, log export and
//                 clear): when (local time, "yyyy-MM-dd hh:mm:ss"), on which computer, by which
//                 operator (id and name at the time) and what. Written by accountdb::writeEvent inside
//                 the transaction of the work it records; read and cleared by p_Jxc_GetEventLog.
// T_Sys_PrintLayout  the print design of a print layout number and template (paper, orientation,
//                 margins, the columns of each detail as JSON), read by the next print of that layout.

#include "AccountDatabase.h"
#include "Schema.h"

namespace accountdb::schema {

void migrateEventLogTo3(AccountDatabase &db)
{
    db.execBatch(QStringLiteral(R"SQL(
CREATE TABLE T_Sys_EventLog (
  EventNo INTEGER PRIMARY KEY,
  EventTime TEXT NOT NULL,
  HostName TEXT NOT NULL DEFAULT '',
  OperatorId TEXT NOT NULL DEFAULT '',
  Employee TEXT NOT NULL DEFAULT '',
  Event TEXT NOT NULL DEFAULT ''
);
CREATE INDEX IX_Sys_EventLog_Time ON T_Sys_EventLog (EventTime);
CREATE TABLE T_Sys_PrintLayout (
  PrintID INTEGER NOT NULL,
  Template TEXT NOT NULL,
  Layout TEXT NOT NULL,
  PRIMARY KEY (PrintID, Template)
)
)SQL"));
}

} // namespace accountdb::schema
