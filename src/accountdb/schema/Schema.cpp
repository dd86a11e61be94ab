// The schema of an account set, area by area, and the ordered list of migrations.
//
// Adding an area (costing, closing, backup, ...):
//   1. write schema/SchemaXxx.cpp with `void createXxx(AccountDatabase &db)` that runs the area's
//      DDL (db.execBatch) and inserts its seed data (seedRows); declare it in Schema.h;
//   2. add one line `{"xxx", &createXxx},` to kAreas below and the file to src/accountdb/CMakeLists.txt.
//   Areas run in list order inside the version-1 step, so an area may refer to tables of earlier ones.
//   This holds until account sets are handed out.
//
// Changing the schema of account sets that exist already: append a Migration
//   {N, "what changes", &migrateXxxToN} to kMigrations (N = previous last + 1), raise kSchemaVersion in
//   AccountDatabase.h to N, and add the same change to the area's base DDL only through that step.
//   A step runs in one transaction with its version stamp; foreign keys stay on during the step.

#include "Schema.h"

#include <QSqlError>
#include <QSqlQuery>

#include "AccountDatabase.h"

namespace accountdb::schema {

namespace {

const Area kAreas[] = {
    {"core", &createCore},           {"rights", &createRights},   {"bills", &createBills},
    {"numbering", &createNumbering}, {"costing", &createCosting}, {"closing", &createClosing},
};

void createVersion1(AccountDatabase &db)
{
    for (const Area &area : kAreas)
        area.createBase(db);
}

} // namespace

QList<Area> areas()
{
    return QList<Area>(std::begin(kAreas), std::end(kAreas));
}

QList<Migration> migrations()
{
    static const QList<Migration> kMigrations = {
        {1, QStringLiteral("base tables and seed data of every area"), &createVersion1},
        {2, QStringLiteral("job lock of the account set"), &migrateJobLockTo2},
        {3, QStringLiteral("event log"), &migrateEventLogTo3},
        {4, QStringLiteral("stock warnings, warning book and serial-number rules"), &migrateWarnTo4},
        {5, QStringLiteral("token secret, print password, log-on failures"), &migrateSecurityTo5},
        {6, QStringLiteral("bill audit flows and bills waiting for audit"), &migrateAuditTo6},
        {7, QStringLiteral("trades, charts of accounts, code lengths and set-up captions"), &migrateSetupTo7},
        {8, QStringLiteral("right kinds, rights per edition, operator plug-in procedures"),
         &migrateRightKindsTo8},
        {9, QStringLiteral("bill layouts, column formulas and basic-information bindings"),
         &migrateLayoutsTo9},
        {10, QStringLiteral("account options pages, rebuild plug-ins and the records a rebuild clears"),
         &migrateOptionsTo10},
        {11,
         QStringLiteral("base-data classes, pinyin codes and the fields of goods, partners and employees"),
         &migrateBaseDataTo11},
        {12, QStringLiteral("base-data rights groups, members and grants"), &migrateBaseRightsTo12},
        {13, QStringLiteral("unique base-data codes per kind and the rights to maintain each kind"),
         &migrateBaseDataCodesTo13},
    };
    Q_ASSERT(kMigrations.last().version == kSchemaVersion);
    return kMigrations;
}

void seedRows(AccountDatabase &db, const QString &sql, const QList<QVariantList> &rows)
{
    QSqlQuery q(db.sql());
    if (!q.prepare(sql))
        throw DbError(QStringLiteral("数据库语句错误：") + q.lastError().text() + u'\n' + sql);
    for (const QVariantList &row : rows) {
        for (int i = 0; i < row.size(); ++i)
            q.bindValue(i, bindable(row[i]));
        if (!q.exec())
            throw DbError(QStringLiteral("初始数据写入失败：") + q.lastError().text() + u'\n' + sql);
    }
}

} // namespace accountdb::schema
