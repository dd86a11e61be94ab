// Account options, system rebuild and the records the rebuild clears.
//
// T_Gbl_EntriesConfig   the pages of the account-options window in ShowOrder: PageId 1..3 are the fixed
//                       pages, IsDynamic = 1 pages show the switches of T_Gbl_SysCon with that PageId.
//                       HideVersions lists the edition codes, each enclosed in ";", that do not offer the
//                       page.
// T_Inf_PlugIn_SystemRebuildProc  procedures of plug-ins run inside the rebuild transaction in ID order:
//                       IsBefore = 1 before the rebuild itself, anything else after it. Each takes
//                       @nClearInit (-1 opening data kept, 1 cleared) and returns @ErrMsg.
// T_GD_FixDetail        fixed-asset cards by period (Period 0 = brought in with the opening data).
// WorkProcess, WorkPlanDetail  production processes and process plans, with the fixed asset they use.
// BatchRole, BatchRoleDetail, BatchConsignTask, BatchConsignTaskDetail  batch tasks and batch
//                       processing bills with their lines.
// Atypecw               gains CheckWaiBi (1: the account is kept in foreign currency too) and Deleted.
// Every table above but the two configuration tables is business data that a rebuild empties.

#include "AccountDatabase.h"
#include "Schema.h"

namespace accountdb::schema {

namespace {

const char *const kDdl = R"SQL(
CREATE TABLE T_Gbl_EntriesConfig (
  PageId INTEGER PRIMARY KEY,
  FullName TEXT NOT NULL,
  IsDynamic INTEGER NOT NULL DEFAULT 0 CHECK (IsDynamic IN (0, 1)),
  ShowOrder INTEGER NOT NULL DEFAULT 0,
  HideVersions TEXT NOT NULL DEFAULT ''
);
ALTER TABLE Atypecw ADD COLUMN CheckWaiBi INTEGER NOT NULL DEFAULT 0;
ALTER TABLE Atypecw ADD COLUMN Deleted INTEGER NOT NULL DEFAULT 0;
CREATE TABLE T_Inf_PlugIn_SystemRebuildProc (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  ProcName TEXT NOT NULL,
  IsBefore INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE T_GD_FixDetail (
  vchcode INTEGER PRIMARY KEY,
  Period INTEGER NOT NULL DEFAULT 0,
  FullName TEXT NOT NULL DEFAULT ''
);
CREATE TABLE WorkProcess (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  FullName TEXT NOT NULL DEFAULT '',
  fixid INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE WorkPlanDetail (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  PlanId INTEGER NOT NULL DEFAULT 0,
  fixid INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE BatchRole (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  Number TEXT NOT NULL DEFAULT ''
);
CREATE TABLE BatchRoleDetail (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  RoleId INTEGER NOT NULL,
  PtypeId TEXT NOT NULL DEFAULT '',
  Qty REAL NOT NULL DEFAULT 0
);
CREATE TABLE BatchConsignTask (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  Number TEXT NOT NULL DEFAULT ''
);
CREATE TABLE BatchConsignTaskDetail (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  TaskId INTEGER NOT NULL,
  PtypeId TEXT NOT NULL DEFAULT '',
  Qty REAL NOT NULL DEFAULT 0
);
)SQL";

} // namespace

void migrateOptionsTo10(AccountDatabase &db)
{
    db.execBatch(QString::fromUtf8(kDdl));
    seedRows(db,
             QStringLiteral("INSERT INTO T_Gbl_EntriesConfig (PageId, FullName, IsDynamic, ShowOrder, "
                            "HideVersions) VALUES (?, ?, ?, ?, ?)"),
             {{1, QStringLiteral("公司信息"), 0, 1, QString()},
              {2, QStringLiteral("存货核算与结算"), 0, 2, QString()},
              {3, QStringLiteral("其他设置"), 0, 3, QString()},
              {11, QStringLiteral("打印设置"), 1, 4, QString()},
              {12, QStringLiteral("单据操作"), 1, 5, QString()},
              {13, QStringLiteral("业务设置"), 1, 6, QString()},
              {14, QStringLiteral("财务设置"), 1, 7, QString()},
              {15, QStringLiteral("生产设置"), 1, 8, QStringLiteral(";880;2680;3680;")}});
    // Switches that must be checked against the data before they change.
    seedRows(db, QStringLiteral("UPDATE T_Gbl_SysCon SET CheckProcName = ? WHERE ConId = ?"),
             {{QStringLiteral("P_Gbl_CheckSysCon134"), 134}, {QStringLiteral("P_Gbl_CheckSysCon140"), 140}});
}

} // namespace accountdb::schema
