// Area "rights", base-data step: per kind (C customers, S suppliers, K warehouses, P goods,
// D departments, A accounts) a group table (group id, RightName, Comment; id 1 is the super group
// "超级组"), a membership table (EtypeID, group id: at most one group per operator and kind) and a grant
// table (group id, TypeID of the record, Deleted). The views of BaseRights.h derive from them what each
// operator may not use.

#include "AccountDatabase.h"
#include "BaseRights.h"
#include "Schema.h"

namespace accountdb::schema {

void migrateBaseRightsTo12(AccountDatabase &db)
{
    for (const baserights::Kind &k : baserights::kinds()) {
        db.execBatch(
            QStringLiteral("CREATE TABLE %1 ("
                           "  %2 INTEGER PRIMARY KEY AUTOINCREMENT,"
                           "  RightName TEXT NOT NULL,"
                           "  Comment TEXT NOT NULL DEFAULT '');"
                           "CREATE UNIQUE INDEX UX_%1_Name ON %1 (RightName);"
                           "CREATE TABLE %3 ("
                           "  EtypeID TEXT PRIMARY KEY REFERENCES Employee (TypeId) ON DELETE CASCADE,"
                           "  %2 INTEGER NOT NULL REFERENCES %1 (%2));"
                           "CREATE INDEX IX_%3_Group ON %3 (%2);"
                           "CREATE TABLE %4 ("
                           "  %2 INTEGER NOT NULL REFERENCES %1 (%2) ON DELETE CASCADE,"
                           "  TypeID TEXT NOT NULL,"
                           "  Deleted INTEGER NOT NULL DEFAULT 0,"
                           "  PRIMARY KEY (%2, TypeID))")
                .arg(k.groupTable, k.groupColumn, k.memberTable, k.grantTable));
        db.exec(
            QStringLiteral("INSERT INTO %1 (%2, RightName) VALUES (1, ?)").arg(k.groupTable, k.groupColumn),
            {QStringLiteral("超级组")});
    }
    for (const QString &view : baserights::viewDdl())
        db.execBatch(view);
}

} // namespace accountdb::schema
