// Bill-number counters. Each bill type counts by itself (SNLex1 = 0) per year, month or day
// (SNLex3 = 0, 1, 2), or all bills share one yearly counter (SNLex1 = 1). MaxNo is the last sequence
// number handed out in that scope.

#include "AccountDatabase.h"
#include "Schema.h"

namespace accountdb::schema {

void createNumbering(AccountDatabase &db)
{
    db.execBatch(QStringLiteral(R"sql(
CREATE TABLE BillYearNumber (
    Vchtype  INTEGER NOT NULL,
    Year     INTEGER NOT NULL,
    MaxNo    INTEGER NOT NULL DEFAULT 0,
    PRIMARY KEY (Vchtype, Year)
);
CREATE TABLE billmonthnumber (
    Vchtype  INTEGER NOT NULL,
    Year     INTEGER NOT NULL,
    Month    INTEGER NOT NULL,
    MaxNo    INTEGER NOT NULL DEFAULT 0,
    PRIMARY KEY (Vchtype, Year, Month)
);
CREATE TABLE billdaynumber (
    Vchtype  INTEGER NOT NULL,
    BillDate TEXT    NOT NULL,
    MaxNo    INTEGER NOT NULL DEFAULT 0,
    PRIMARY KEY (Vchtype, BillDate)
);
CREATE TABLE AllBillsNumber (
    Year     INTEGER NOT NULL PRIMARY KEY,
    MaxNo    INTEGER NOT NULL DEFAULT 0
)
)sql"));
}

} // namespace accountdb::schema
