#pragma once
// Schema of the account set: areas (one file each, DDL + seed data) and the ordered migrations.

#include <QList>
#include <QString>
#include <QVariantList>
#include <functional>

namespace accountdb {
class AccountDatabase;
}

namespace accountdb::schema {

// One step from version - 1 to version; runs inside a transaction together with its version stamp.
struct Migration
{
    int version;
    QString description;
    std::function<void(AccountDatabase &)> apply;
};

// An area lays down its base tables and seed data (part of version 1).
struct Area
{
    const char *name;
    void (*createBase)(AccountDatabase &);
};

QList<Area> areas();
QList<Migration> migrations();

// Runs one prepared insert for every row (seed data).
void seedRows(AccountDatabase &db, const QString &sql, const QList<QVariantList> &rows);

// Area entry points, one per file.
void createCore(AccountDatabase &db);      // SchemaCore.cpp
void createRights(AccountDatabase &db);    // SchemaRights.cpp
void createBills(AccountDatabase &db);     // SchemaBills.cpp
void createNumbering(AccountDatabase &db); // SchemaNumbering.cpp
void createCosting(AccountDatabase &db);   // SchemaCosting.cpp (+ SchemaStock.cpp)
void createClosing(AccountDatabase &db);   // SchemaClosing.cpp

// Migration steps after version 1.
void migrateJobLockTo2(AccountDatabase &db);        // SchemaJobs.cpp
void migrateEventLogTo3(AccountDatabase &db);       // SchemaEventLog.cpp
void migrateWarnTo4(AccountDatabase &db);           // SchemaWarn.cpp
void migrateSecurityTo5(AccountDatabase &db);       // SchemaSecurity.cpp
void migrateAuditTo6(AccountDatabase &db);          // SchemaAudit.cpp
void migrateSetupTo7(AccountDatabase &db);          // SchemaSetup.cpp
void migrateRightKindsTo8(AccountDatabase &db);     // SchemaRightKinds.cpp
void migrateLayoutsTo9(AccountDatabase &db);        // SchemaLayouts.cpp
void migrateOptionsTo10(AccountDatabase &db);       // SchemaOptions.cpp
void migrateBaseDataTo11(AccountDatabase &db);      // SchemaBaseData.cpp
void migrateBaseRightsTo12(AccountDatabase &db);    // SchemaBaseRights.cpp
void migrateBaseDataCodesTo13(AccountDatabase &db); // SchemaBaseDataCodes.cpp

} // namespace accountdb::schema
