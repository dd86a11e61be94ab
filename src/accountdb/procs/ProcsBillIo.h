#pragma once
// Base-data lookups shared by the bill export and import procedures.

#include <QString>

namespace accountdb {

class ProcContext;

namespace billio {

// Table of a base-data kind of the import check ("P", "B", "E", "K", "D"); empty for any other.
QString baseTable(const QString &mode);
// Table of the earlier bill's line that a line of this bill type may take its cost from.
QString sourceTable(int vchtype);
// Type id of the leaf with that code; empty when the code is empty or unknown.
QString typeIdOf(ProcContext &ctx, const QString &table, const QString &userCode);

} // namespace billio
} // namespace accountdb
