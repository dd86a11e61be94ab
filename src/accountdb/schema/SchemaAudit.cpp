// Bill audit flows and the bills waiting in them.
//
// AuditNdx             one row per bill type with a flow: IsAudit 1 = enabled, SonLeveal = levels made.
// AuditDetail          the levels of a flow (Leveal from 1): name, AuditType 0 = one auditor passes,
//                      1 = all must pass, and the condition text shown to the user.
// "AuditDetail-E"      the auditors of a level; OperatorType 0 = an operator, 1 = a department (its
//                      responsible employee, Department.etypeid, audits).
// AuditConditionDetail the condition rows of a level: a bill total (factor) between two bounds (0 = no
//                      bound), rows joined by footing ("并且" / "或者").
// "AuditNdx-E"         special auditors of a bill type: they may pass the current level at any time.
// T_Inf_PlugIn_BillTableName  names of plug-in bill types; T_Inf_PlugIn_Vchtype gains its tree columns.
// T_Audit_Bill         every bill that entered a flow: State 1 waiting, 2 audited (posted), 3 rejected;
//                      Leveal = the level it waits at; Round counts submissions; Version changes with every
//                      step, so an auditor acting on what he saw is refused when someone acted meanwhile.
// T_Audit_History      one row per step: submission (Audit 0), pass (1), rejection (2).
// BakDly               the lines of bills not posted yet (Draft 4 in DlyNdx); posting moves them into the
//                      line tables.
// T_GBL_Vchtype        gains Category (the tree of the audit set-up: 1 purchase, 2 sales, 3 stock, 4 money,
//                      5 production, 6 outsourcing, 7 physical warehouse, 8 simple outsourcing), ParId
//                      and Version; GetVchtype shows them.

#include "AccountDatabase.h"
#include "Schema.h"

namespace accountdb::schema {

namespace {

const char *const kDdl = R"SQL(
CREATE TABLE AuditNdx (
  Vchtype INTEGER PRIMARY KEY,
  IsAudit INTEGER NOT NULL DEFAULT 0 CHECK (IsAudit IN (0, 1)),
  SonLeveal INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE AuditDetail (
  Vchtype INTEGER NOT NULL,
  Leveal INTEGER NOT NULL CHECK (Leveal > 0),
  FullName TEXT NOT NULL DEFAULT '',
  Deleted INTEGER NOT NULL DEFAULT 0,
  AuditType INTEGER NOT NULL DEFAULT 0 CHECK (AuditType IN (0, 1)),
  AuditCondition TEXT NOT NULL DEFAULT '',
  PRIMARY KEY (Vchtype, Leveal)
);
CREATE TABLE "AuditDetail-E" (
  Vchtype INTEGER NOT NULL,
  Leveal INTEGER NOT NULL,
  EtypeID TEXT NOT NULL,
  OperatorType INTEGER NOT NULL DEFAULT 0,
  PRIMARY KEY (Vchtype, Leveal, EtypeID, OperatorType)
);
CREATE TABLE AuditConditionDetail (
  VchType INTEGER NOT NULL,
  Leveal INTEGER NOT NULL,
  factor TEXT NOT NULL,
  lowerLimit REAL NOT NULL DEFAULT 0,
  upperLimit REAL NOT NULL DEFAULT 0,
  footing TEXT NOT NULL DEFAULT '',
  RowNo INTEGER NOT NULL,
  PRIMARY KEY (VchType, Leveal, RowNo)
);
CREATE TABLE "AuditNdx-E" (
  Vchtype INTEGER NOT NULL,
  EtypeID TEXT NOT NULL,
  OperatorType INTEGER NOT NULL DEFAULT 0,
  PRIMARY KEY (Vchtype, EtypeID, OperatorType)
);
CREATE TABLE T_Inf_PlugIn_BillTableName (
  Vchtype INTEGER PRIMARY KEY,
  BillName TEXT NOT NULL DEFAULT ''
);
ALTER TABLE T_Inf_PlugIn_Vchtype ADD COLUMN TypeId TEXT NOT NULL DEFAULT '';
ALTER TABLE T_Inf_PlugIn_Vchtype ADD COLUMN FullName TEXT NOT NULL DEFAULT '';
ALTER TABLE T_Inf_PlugIn_Vchtype ADD COLUMN Leveal INTEGER NOT NULL DEFAULT 1;
ALTER TABLE T_Inf_PlugIn_Vchtype ADD COLUMN Sonnum INTEGER NOT NULL DEFAULT 0;
ALTER TABLE T_Inf_PlugIn_Vchtype ADD COLUMN AuditSet INTEGER NOT NULL DEFAULT 0;
ALTER TABLE Department ADD COLUMN etypeid TEXT NOT NULL DEFAULT '';
CREATE TABLE T_Audit_Bill (
  Vchcode INTEGER PRIMARY KEY,
  Vchtype INTEGER NOT NULL,
  State INTEGER NOT NULL CHECK (State IN (1, 2, 3)),
  Leveal INTEGER NOT NULL DEFAULT 0,
  AuditCount INTEGER NOT NULL DEFAULT 0,
  AuditedCount INTEGER NOT NULL DEFAULT 0,
  Round INTEGER NOT NULL DEFAULT 1,
  Version INTEGER NOT NULL DEFAULT 1,
  Maker TEXT NOT NULL DEFAULT '',
  Opinion TEXT NOT NULL DEFAULT ''
);
CREATE INDEX IX_Audit_Bill_State ON T_Audit_Bill (Vchtype, State);
CREATE TABLE T_Audit_History (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  Vchcode INTEGER NOT NULL,
  Vchtype INTEGER NOT NULL,
  Round INTEGER NOT NULL,
  Leveal INTEGER NOT NULL,
  EtypeID TEXT NOT NULL,
  AuditTime TEXT NOT NULL,
  Audit INTEGER NOT NULL CHECK (Audit IN (0, 1, 2)),
  Special INTEGER NOT NULL DEFAULT 0,
  AuditOpinion TEXT NOT NULL DEFAULT ''
);
CREATE INDEX IX_Audit_History_Bill ON T_Audit_History (Vchcode, Round, Leveal);
CREATE TABLE BakDly (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  Vchcode INTEGER NOT NULL REFERENCES DlyNdx (Vchcode) ON DELETE CASCADE,
  Vchtype INTEGER NOT NULL,
  RowNo INTEGER NOT NULL,
  PtypeId TEXT NOT NULL,
  KtypeId TEXT NOT NULL DEFAULT '',
  BlockNo TEXT NOT NULL DEFAULT '',
  Qty REAL NOT NULL DEFAULT 0,
  Price REAL NOT NULL DEFAULT 0,
  Total REAL NOT NULL DEFAULT 0,
  FeeTotal REAL NOT NULL DEFAULT 0,
  UsedType INTEGER NOT NULL DEFAULT 0,
  Appoint INTEGER NOT NULL DEFAULT -1,
  SourceLine INTEGER NOT NULL DEFAULT 0,
  SourceDlyorder INTEGER NOT NULL DEFAULT 0,
  Comment TEXT NOT NULL DEFAULT ''
);
CREATE INDEX IX_BakDly_Vchcode ON BakDly (Vchcode);
ALTER TABLE T_GBL_Vchtype ADD COLUMN Category INTEGER NOT NULL DEFAULT 0;
ALTER TABLE T_GBL_Vchtype ADD COLUMN ParId TEXT NOT NULL DEFAULT '';
ALTER TABLE T_GBL_Vchtype ADD COLUMN Version TEXT NOT NULL DEFAULT '';
DROP VIEW GetVchtype;
CREATE VIEW GetVchtype AS
  SELECT Vchtype, Name, NumberHead, SNFormat, SNMax, FunctionNo, Category, ParId, Version
  FROM T_GBL_Vchtype WHERE Visible = 1
)SQL";

// Category of each seeded bill type in the audit set-up tree.
const QList<QVariantList> &categories()
{
    static const QList<QVariantList> rows = {
        {1, 6},   {1, 34},  {2, 11},  {2, 45},  {2, 25},  {2, 26},  {2, 30},  {3, 9},   {3, 14},
        {3, 16},  {3, 21},  {3, 57},  {3, 140}, {3, 141}, {5, 172}, {5, 173}, {5, 174}, {5, 176},
        {6, 182}, {6, 183}, {6, 184}, {6, 189}, {8, 212}, {8, 213}, {8, 214},
    };
    return rows;
}

} // namespace

void migrateAuditTo6(AccountDatabase &db)
{
    db.execBatch(QString::fromUtf8(kDdl));
    seedRows(db, QStringLiteral("UPDATE T_GBL_Vchtype SET Category = ? WHERE Vchtype = ?"), categories());
    db.exec(QStringLiteral("UPDATE T_GBL_Vchtype SET ParId = '00011', Version = 'em' WHERE Category = 8"));
}

} // namespace accountdb::schema
