#pragma once
// The kinds of base-data rights as the window offers them: code, caption, the group and membership
// tables, and the captions of the record grid. The accounts-only edition offers customers, suppliers,
// departments and accounts; edition 2680 offers no accounts.

#include <QList>
#include <QString>

#include "Kvggeneralgrid.h"

namespace uBaseRightKinds {

struct TBaseRightKind
{
    QChar Code;
    QString Caption; // "客  户", ...
    QString Name;    // "客户", ... (dialog captions, tree roots)
    QString GroupTable, GroupColumn, MemberTable;
    QString RecordWord; // "客户" -> "客户编号" / "客户全名"
};

const QList<TBaseRightKind> &AllKinds();
// The kinds the current edition offers.
QList<TBaseRightKind> OfferedKinds();
const TBaseRightKind &KindOf(QChar code);

// The hidden id column ("ID号") of the rights grids.
TGridColumn IdColumn(const QString &fieldName);

// The hidden super group of every kind.
constexpr int SuperGroupId = 1;
inline const QString SuperGroupName = QStringLiteral("超级组");

} // namespace uBaseRightKinds
