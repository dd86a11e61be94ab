// Base data as the windows keep it: every tree table gets IsClass (a class groups records, even an
// empty one), PinyinCode (initials of the name, for searching) and the fields its kind needs.
//   ptype       KeepBatch (1 = stock kept by batch), ShelfLife (days), SalePrice, TaxRate (percent), BarCode
//   btype       CreditLimit
//   Employee    Soncount, Tel; top-level employees hang under the root "00000" like the other kinds
// Unique codes per kind are kept by the procedures (existing account sets may hold duplicates).

#include "AccountDatabase.h"
#include "Schema.h"

namespace accountdb::schema {

void migrateBaseDataTo11(AccountDatabase &db)
{
    db.execBatch(QStringLiteral("ALTER TABLE ptype ADD COLUMN KeepBatch INTEGER NOT NULL DEFAULT 0;"
                                "ALTER TABLE ptype ADD COLUMN ShelfLife INTEGER NOT NULL DEFAULT 0;"
                                "ALTER TABLE ptype ADD COLUMN SalePrice REAL NOT NULL DEFAULT 0;"
                                "ALTER TABLE ptype ADD COLUMN TaxRate REAL NOT NULL DEFAULT 0;"
                                "ALTER TABLE ptype ADD COLUMN BarCode TEXT NOT NULL DEFAULT '';"
                                "ALTER TABLE btype ADD COLUMN CreditLimit REAL NOT NULL DEFAULT 0;"
                                "ALTER TABLE Employee ADD COLUMN Soncount INTEGER NOT NULL DEFAULT 0;"
                                "ALTER TABLE Employee ADD COLUMN Tel TEXT NOT NULL DEFAULT ''"));
    for (const char *table : {"ptype", "btype", "stock", "Employee", "Department"}) {
        const QString t = QString::fromLatin1(table);
        db.execBatch(QStringLiteral("ALTER TABLE %1 ADD COLUMN IsClass INTEGER NOT NULL DEFAULT 0;"
                                    "ALTER TABLE %1 ADD COLUMN PinyinCode TEXT NOT NULL DEFAULT '';"
                                    "UPDATE %1 SET IsClass = 1 WHERE Sonnum > 0;"
                                    "CREATE INDEX IX_%1_UserCode ON %1 (UserCode)")
                         .arg(t));
    }
    db.exec(QStringLiteral("UPDATE Employee SET ParId = '00000' WHERE ParId = '' AND TypeId <> '00000'"));
}

} // namespace accountdb::schema
