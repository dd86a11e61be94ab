#pragma once
// What the audit set-up windows share: the factors a bill type's conditions may test, the condition text
// built from the condition rows, and the count of bills of a type that are in its flow.

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace uAuditCondition {

struct TConditionRow
{
    QString Factor;
    double Lower = 0; // 0: no lower bound
    double Upper = 0; // 0: no upper bound
    QString Footing;  // "并且" / "或者"
};

constexpr double kMaxBound = 100000000;
inline const QString kAnd = QStringLiteral("并且");
inline const QString kOr = QStringLiteral("或者");

// Bill type -> the bill totals its conditions may test, in display order. Types not listed have none.
const QHash<int, QStringList> &BillFactors();

// "(数量合计 >= 10 and 数量合计 <= 20)"-style text of the rows with a factor, each part after the relation
// of the previous such row; the credit factor also holds when the customer has no credit limit.
QString BuildConditionText(const QList<TConditionRow> &rows);
// A bound as the condition text and the grid show it: general format, up to 15 significant digits.
QString FormatBound(double value);

// Bills of the type in its audit flow: the built-in count, else the plug-in count (*plugIn set).
int BillsInFlow(int vchType, bool *plugIn = nullptr);
// The name a message gives the type: the bill name, or the plug-in name for plug-in types.
QString BillTypeName(int vchType, bool plugIn);

} // namespace uAuditCondition
