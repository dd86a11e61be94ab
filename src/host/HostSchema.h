#pragma once
// What the open account set's schema holds: the host reads base data from whichever tables the
// account set has, so that an account set of an older schema still opens.

#include <QString>
#include <QStringList>

namespace accountdb {
class AccountDatabase;
}

namespace HostSchema {
// The table's name as the account set spells it (names compare without regard to case); empty when
// the account set has no such table.
QString TableName(accountdb::AccountDatabase &db, const QString &name);
// The table's columns as the account set spells them.
QStringList Columns(accountdb::AccountDatabase &db, const QString &table);
// The first of the candidates the columns hold, spelled as the table does; empty when none.
QString FindColumn(const QStringList &columns, const QStringList &candidates);
} // namespace HostSchema
