#include "uAuditCondition.h"

#include <cmath>

#include "Udllbillconfig.h"
#include "Udlldbservice.h"

namespace uAuditCondition {

const QHash<int, QStringList> &BillFactors()
{
    static const QHash<int, QStringList> factors = [] {
        QHash<int, QStringList> f;
        const auto set = [&f](std::initializer_list<int> types, const QStringList &list) {
            for (int t : types)
                f.insert(t, list);
        };
        const QString qty = QStringLiteral("数量合计");
        const QString discounted = QStringLiteral("折后金额合计");
        const QString taxed = QStringLiteral("税价合计");
        const QString discount = QStringLiteral("折扣");
        const QString credit = QStringLiteral("客户超额度应收账款");
        const QString amount = QStringLiteral("金额合计");
        set({142}, {QStringLiteral("预计金额合计"), qty});
        set({150, 34, 6, 143, 45}, {qty, discounted, taxed});
        set({37, 77, 36, 93, 145}, {amount});
        set({161}, {qty, discounted});
        set({151}, {discount, qty, discounted, taxed});
        set({11}, {discount, qty, QStringLiteral("抹零金额"), discounted, taxed, credit});
        set({25, 30}, {qty, QStringLiteral("预计结算金额合计")});
        set({26}, {qty, QStringLiteral("实际结算金额合计"), credit});
        set({50, 57, 32}, {QStringLiteral("调价金额合计")});
        set({9, 21, 46, 47, 48}, {qty});
        set({14, 140, 141}, {qty, amount});
        set({147}, {QStringLiteral("验货量"), QStringLiteral("合格量"), QStringLiteral("不合格量"),
                    QStringLiteral("让步接收数量"), QStringLiteral("拒收数量"), discount});
        set({4, 66}, {QStringLiteral("上表体金额合计")});
        set({83}, {QStringLiteral("本次核销金额合计")});
        set({144}, {QStringLiteral("借款金额")});
        return f;
    }();
    return factors;
}

QString FormatBound(double value)
{
    return QString::number(value, 'g', 15);
}

QString BuildConditionText(const QList<TConditionRow> &rows)
{
    const auto nonzero = [](double v) { return std::fabs(v) > 1e-9; };
    QString text;
    QString previous; // relation of the previous row with a factor
    for (const TConditionRow &row : rows) {
        if (row.Factor.isEmpty())
            continue;
        const QString r = row.Footing == kOr ? QStringLiteral("or") : QStringLiteral("and");
        QString part;
        if (nonzero(row.Lower) && nonzero(row.Upper))
            part = QStringLiteral("(%1 >= %2 %3 %1 <= %4)")
                       .arg(row.Factor, FormatBound(row.Lower), r, FormatBound(row.Upper));
        else if (nonzero(row.Lower))
            part = QStringLiteral("(%1 >= %2)").arg(row.Factor, FormatBound(row.Lower));
        else if (nonzero(row.Upper))
            part = QStringLiteral("(%1 <= %2)").arg(row.Factor, FormatBound(row.Upper));
        if (!part.isEmpty()) {
            if (row.Factor == QStringLiteral("客户超额度应收账款"))
                text += QStringLiteral(" %1 ( %2 or (客户额度 = 0))").arg(previous, part);
            else
                text += QStringLiteral(" %1 %2").arg(previous, part);
        }
        previous = r;
    }
    return text;
}

int BillsInFlow(int vchType, bool *plugIn)
{
    const QStringList names{QStringLiteral("@nVchType")};
    const int builtIn =
        Udlldbservice::ExecuteProcByName(QStringLiteral("P_Audit_GetBillAuidtingCount"), names, {vchType});
    const int plugInCount =
        builtIn >= 1 ? 0
                     : Udlldbservice::ExecuteProcByName(
                           QStringLiteral("P_Inf_PlugIn_Audit_GetBillAuidtingCount"), names, {vchType});
    if (plugIn)
        *plugIn = plugInCount >= 1;
    return builtIn >= 1 ? builtIn : plugInCount;
}

QString BillTypeName(int vchType, bool plugIn)
{
    if (!plugIn)
        return Udllbillconfig::GetBillName(vchType);
    return Udlldbservice::GetValueFromSQL(
               QStringLiteral("SELECT BillName FROM T_Inf_PlugIn_BillTableName WHERE Vchtype = ?"), {vchType})
        .toString();
}

} // namespace uAuditCondition
