// The procedures of the warning book's items (T_Inf_WarnList_GridColumn.ProcName). Each takes @fMode (the
// item), @DateEnd (the log-on date, "yyyy-mm-dd"), @Operatorid and the paging inputs (@IsPaging,
// @PageSize, @PageIndex, @PageTotal; the book asks for everything) and answers the item's rows.
//
// P_KOVA_WarnStock     1: goods whose stock over all warehouses is below the lower or above the upper
//                      limit of all warehouses; 2: the same per warehouse with that warehouse's limits.
//                      warnup is empty when the item has no upper limit.
// P_KOVA_WarnBillDue   3: posted sales whose payment falls due within the item's days in advance (or
//                      is overdue); 4: the same for purchases; 6: orders (bill types named "…订单") due
//                      for delivery. Only bills of types the operator may open.
// P_KOVA_WarnShelfLife 5: stock batches of goods with a shelf life whose end (production date of the
//                      batch + ShelfDays) falls within the days in advance.
// Every item leaves out the goods, warehouses and units the operator may not use (BaseRights.h).

#include <QDate>

#include "AccountDatabase.h"
#include "BaseRights.h"
#include "OperatorRights.h"
#include "Procedures.h"

namespace accountdb {

namespace {

const QString kDateFormat = QStringLiteral("yyyy-MM-dd");
const QString kAdministrator = QStringLiteral("00000");

int earlyDays(ProcContext &ctx, int treeType)
{
    return ctx
        .value(QStringLiteral("SELECT EarlyDays FROM T_Inf_WarnList_TreeView WHERE TreeType = ?"), {treeType})
        .toInt();
}

QDate dateEnd(ProcContext &ctx)
{
    const QDate d = QDate::fromString(ctx.in(QStringLiteral("@DateEnd")).toString().trimmed(), kDateFormat);
    return d.isValid() ? d : QDate::currentDate();
}

QString operatorId(ProcContext &ctx)
{
    return ctx.in(QStringLiteral("@Operatorid")).toString().trimmed();
}

int warnStock(ProcContext &ctx)
{
    const bool perStock = ctx.in(QStringLiteral("@fMode")).toInt() == 2;
    const QString op = operatorId(ctx);
    // Limits and the stock they are compared with: the sum over every warehouse, or per warehouse.
    const QString stocks =
        perStock ? QStringLiteral("SELECT PtypeId, KtypeId, sum(Qty) AS Qty FROM GoodsStocks "
                                  "GROUP BY PtypeId, KtypeId")
                 : QStringLiteral("SELECT PtypeId, sum(Qty) AS Qty FROM GoodsStocks GROUP BY PtypeId");
    const QString stockJoin = perStock ? QStringLiteral("s.PtypeId = w.PtypeId AND s.KtypeId = w.KtypeId")
                                       : QStringLiteral("s.PtypeId = w.PtypeId");
    const QString warehouse =
        perStock ? QStringLiteral("k.UserCode AS KUserCode, k.FullName AS KFullName, ") : QString();
    const QString warehouseJoin =
        perStock ? QStringLiteral("JOIN stock k ON k.typeId = w.KtypeId ") : QString();
    ctx.setResult(
        QStringLiteral("SELECT %1w.PtypeId AS ptypeid, p.UserCode AS PUserCode, p.FullName AS PFullName, "
                       "round(CAST(coalesce(s.Qty, 0) AS NUMERIC), 4) AS Qty, w.WarnDown AS warndown, "
                       "CASE WHEN w.WarnUp >= 999999999 THEN NULL ELSE w.WarnUp END AS warnup, "
                       "CASE WHEN round(CAST(coalesce(s.Qty, 0) AS NUMERIC), 4) < w.WarnDown THEN '低于下限' "
                       "ELSE '超过上限' END "
                       "AS WarnState "
                       "FROM T_Jxc_PtypeWarn w JOIN ptype p ON p.typeId = w.PtypeId %2"
                       "LEFT JOIN (%3) s ON %4 "
                       "WHERE w.KtypeId %5 '00000' AND p.Deleted = 0 AND (round(CAST(coalesce(s.Qty, 0) AS "
                       "NUMERIC), 4) < w.WarnDown "
                       "OR (w.WarnUp > 0 AND w.WarnUp < 999999999 AND round(CAST(coalesce(s.Qty, 0) AS "
                       "NUMERIC), 4) > w.WarnUp)) AND p.typeId NOT IN (%7) AND w.KtypeId NOT IN (%8) "
                       "ORDER BY %6p.UserCode")
            .arg(warehouse, warehouseJoin, stocks, stockJoin,
                 perStock ? QStringLiteral("<>") : QStringLiteral("="),
                 perStock ? QStringLiteral("k.UserCode, ") : QString(), baserights::notAllowedSql(u'P'),
                 baserights::notAllowedSql(u'K')),
        {op, op});
    return 0;
}

int warnBillDue(ProcContext &ctx)
{
    const int mode = ctx.in(QStringLiteral("@fMode")).toInt();
    const QString op = operatorId(ctx);
    const QDate end = dateEnd(ctx);
    const QString limit = end.addDays(earlyDays(ctx, mode)).toString(kDateFormat);
    // 3 sales, 4 purchases, 6 orders (the bill types named "…订单"); due is the day of payment or, for
    // orders, of delivery.
    const QString types = mode == 3   ? QStringLiteral("t.Vchtype = 11")
                          : mode == 4 ? QStringLiteral("t.Vchtype = 34")
                                      : QStringLiteral("t.Name LIKE '%订单'");
    ResultSet &rs = ctx.result();
    rs.columns =
        QStringList{QStringLiteral("vchcode"),   QStringLiteral("vchtype"), QStringLiteral("billtype"),
                    QStringLiteral("Date"),      QStringLiteral("Number"),  QStringLiteral("VchName"),
                    QStringLiteral("BFullName"), QStringLiteral("Total"),   QStringLiteral("DueDate"),
                    QStringLiteral("DaysLeft")};
    ctx.setHasResult(true);
    QHash<int, bool> allowed; // per bill type: the operator may open such bills
    const auto mayOpen = [&](int vchType, int functionNo) {
        if (!allowed.contains(vchType))
            allowed.insert(vchType, op == kAdministrator || functionNo <= 0 ||
                                        operatorHasRight(ctx.database(), op, functionNo));
        return allowed.value(vchType);
    };
    QSqlQuery q = ctx.exec(
        QStringLiteral(
            "SELECT n.Vchcode, n.Vchtype, n.Date, n.Number, t.Name, coalesce(b.FullName, ''), n.Total, "
            "n.DueDate, t.FunctionNo FROM DlyNdx n JOIN T_GBL_Vchtype t ON t.Vchtype = n.Vchtype "
            "LEFT JOIN btype b ON b.typeId = n.BtypeId "
            "WHERE n.Draft = 2 AND %1 AND n.DueDate <> '' AND n.DueDate <= ? "
            "AND n.BtypeId NOT IN (%2) AND n.KtypeId NOT IN (%3) ORDER BY n.DueDate, n.Number")
            .arg(types, baserights::notAllowedSql(u'B'), baserights::notAllowedSql(u'K')),
        {limit, op, op});
    while (q.next()) {
        if (!mayOpen(q.value(1).toInt(), q.value(8).toInt()))
            continue;
        const QDate due = QDate::fromString(q.value(7).toString(), kDateFormat);
        rs.rows.append({q.value(0), q.value(1), q.value(1), q.value(2), q.value(3), q.value(4), q.value(5),
                        q.value(6), q.value(7), due.isValid() ? end.daysTo(due) : 0});
    }
    return 0;
}

int warnShelfLife(ProcContext &ctx)
{
    const QDate end = dateEnd(ctx);
    const QDate limit = end.addDays(earlyDays(ctx, 5));
    ResultSet &rs = ctx.result();
    rs.columns =
        QStringList{QStringLiteral("KFullName"), QStringLiteral("PUserCode"), QStringLiteral("PFullName"),
                    QStringLiteral("BlockNo"),   QStringLiteral("ProDate"),   QStringLiteral("ExpireDate"),
                    QStringLiteral("DaysLeft"),  QStringLiteral("Qty")};
    ctx.setHasResult(true);
    // The production date of a batch is the earliest one its receipts carry.
    QSqlQuery q = ctx.exec(
        QStringLiteral(
            "SELECT k.FullName, p.UserCode, p.FullName, g.BlockNo, "
            "(SELECT min(l.ProDate) FROM (SELECT PtypeId, BlockNo, ProDate, Qty, Draft FROM DlyBuy UNION ALL "
            "SELECT PtypeId, BlockNo, ProDate, Qty, Draft FROM DlyOther) l WHERE l.PtypeId = g.PtypeId "
            "AND l.BlockNo = g.BlockNo AND l.ProDate <> '' AND l.Qty > 0 AND l.Draft = 2), p.ShelfDays, "
            "g.Qty "
            "FROM GoodsStocks g JOIN ptype p ON p.typeId = g.PtypeId JOIN stock k ON k.typeId = g.KtypeId "
            "WHERE p.ShelfDays > 0 AND g.BlockNo <> '' AND g.Qty > 0 AND p.typeId NOT IN (%1) "
            "AND g.KtypeId NOT IN (%2) ORDER BY k.UserCode, p.UserCode, g.BlockNo")
            .arg(baserights::notAllowedSql(u'P'), baserights::notAllowedSql(u'K')),
        {operatorId(ctx), operatorId(ctx)});
    QList<QVariantList> rows;
    while (q.next()) {
        const QDate made = QDate::fromString(q.value(4).toString(), kDateFormat);
        if (!made.isValid())
            continue;
        const QDate expire = made.addDays(q.value(5).toInt());
        if (expire > limit)
            continue;
        rows.append({q.value(0), q.value(1), q.value(2), q.value(3), q.value(4), expire.toString(kDateFormat),
                     end.daysTo(expire), q.value(6)});
    }
    std::stable_sort(rows.begin(), rows.end(), [](const QVariantList &a, const QVariantList &b) {
        return a[6].toLongLong() < b[6].toLongLong();
    });
    rs.rows = rows;
    return 0;
}

} // namespace

void registerWarnListProcs(ProcRegistry &registry)
{
    registry.addReader(QStringLiteral("P_KOVA_WarnStock"), warnStock);
    registry.addReader(QStringLiteral("P_KOVA_WarnBillDue"), warnBillDue);
    registry.addReader(QStringLiteral("P_KOVA_WarnShelfLife"), warnShelfLife);
}

} // namespace accountdb
