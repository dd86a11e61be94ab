// The rebuild of an account set and the change of its inventory costing mode.
//
// P_GBL_SystemReBuild(@OperatorID, @PeriodBEGIN, @Custom1 .. @Custom5, @app, @tast, @info, @calendar,
//                     @PriceTrack)
//   Empties the business data inside the caller's transaction and takes the account set back to its
//   opening period: bills with their lines and audit state, vouchers, stock quantities, cost results,
//   period balances, the checkout log (with the calendar years checkouts added), bill counters, fixed
//   assets, batch tasks and batch processing bills. Kept on request: @PeriodBEGIN -1 the opening stock
//   (stock quantities and FIFO receipts go back to it; otherwise the account set is no longer opened),
//   @Custom1 -1 the drafts, @Custom3 -2 every order / -1 the audited orders, @PriceTrack 0 the latest
//   purchase prices. Base data stays. -1 when another job holds the account set.
// P_Jxc_ChangeInventoryAccounting(@szOrder11)
//   Costing by the whole company (0) or by warehouse (1): the opening cost balances are regrouped, cost
//   results dropped and every goods item marked for calculation. -1 bad mode, -2 the account set is
//   opened, -3 a FIFO goods item would go below zero stock in a warehouse (or in the company).

#include <QHash>
#include <QMap>

#include "AccountDatabase.h"
#include "EventLog.h"
#include "JobLock.h"
#include "Procedures.h"

namespace accountdb {

namespace {

const QString kStockKinds[] = {QStringLiteral("Stock"), QStringLiteral("Commission"),
                               QStringLiteral("Produce"), QStringLiteral("Consign")};
const QString kBalanceTables[] = {QStringLiteral("GoodsStocksCost"), QStringLiteral("CommissionCost"),
                                  QStringLiteral("GoodsStocksCostSC"),
                                  QStringLiteral("GoodsStocksCostWeiWai")};
// Opening stock of the other kinds (Commission, Produce, Consign).
const QString kOtherOpeningTables[] = {QStringLiteral("DlyIniCom"), QStringLiteral("DlyIniProduce"),
                                       QStringLiteral("DlyIniConsign")};
const QString kLineTables[] = {QStringLiteral("DlyBuy"), QStringLiteral("DlySale"),
                               QStringLiteral("DlyOther"), QStringLiteral("BakDly")};
// Bills of other families, their allocations and the records that only live with bills.
const QString kClearedTables[] = {QStringLiteral("DlyndxSC"),
                                  QStringLiteral("T_XunJia_DlyNdx"),
                                  QStringLiteral("DlyNdxCheck"),
                                  QStringLiteral("DlyNdxGX"),
                                  QStringLiteral("dlya"),
                                  QStringLiteral("scgatheringdly"),
                                  QStringLiteral("GatheringdlyWeiWai2"),
                                  QStringLiteral("SplitGatheringDly"),
                                  QStringLiteral("T_CW_Dly"),
                                  QStringLiteral("T_CW_DlyNdx"),
                                  QStringLiteral("T_Audit_History"),
                                  QStringLiteral("T_Audit_Bill"),
                                  QStringLiteral("T_Jxc_PeriodBalance"),
                                  QStringLiteral("T_Jxc_CheckOutAdjust"),
                                  QStringLiteral("T_FIFO_MatchList"),
                                  QStringLiteral("BillYearNumber"),
                                  QStringLiteral("billmonthnumber"),
                                  QStringLiteral("billdaynumber"),
                                  QStringLiteral("AllBillsNumber"),
                                  QStringLiteral("WorkProcess"),
                                  QStringLiteral("WorkPlanDetail"),
                                  QStringLiteral("T_GD_FixDetail"),
                                  QStringLiteral("BatchRoleDetail"),
                                  QStringLiteral("BatchRole"),
                                  QStringLiteral("BatchConsignTaskDetail"),
                                  QStringLiteral("BatchConsignTask")};

QString sysValue(ProcContext &ctx, const QString &name)
{
    return ctx.value(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = ?"), {name})
        .toString()
        .trimmed();
}

void writeSysValue(ProcContext &ctx, const QString &name, const QString &value)
{
    ctx.exec(QStringLiteral("UPDATE T_Gbl_SysDataCw SET SubValue = ? WHERE SubName = ?"), {value, name});
}

void clearBills(ProcContext &ctx, bool keepDrafts)
{
    const QString gone = keepDrafts ? QStringLiteral("SELECT Vchcode FROM DlyNdx WHERE Draft <> 1")
                                    : QStringLiteral("SELECT Vchcode FROM DlyNdx");
    for (const QString &table : kLineTables)
        ctx.exec(QStringLiteral("DELETE FROM %1 WHERE Vchcode IN (%2)").arg(table, gone));
    ctx.exec(keepDrafts ? QStringLiteral("DELETE FROM DlyNdx WHERE Draft <> 1")
                        : QStringLiteral("DELETE FROM DlyNdx"));
}

// Stock lists, balances and quantities: back to the opening stock, or empty.
void resetStock(ProcContext &ctx, bool keepOpening)
{
    for (const QString &kind : kStockKinds) {
        ctx.exec(QStringLiteral("DELETE FROM T_FIFO_OutList_%1").arg(kind));
        if (keepOpening) {
            ctx.exec(QStringLiteral("DELETE FROM T_FIFO_InList_%1 WHERE Period <> 0").arg(kind));
            ctx.exec(
                QStringLiteral("UPDATE T_FIFO_InList_%1 SET MatchedQty = 0, MatchedTotal = 0").arg(kind));
        } else {
            ctx.exec(QStringLiteral("DELETE FROM T_FIFO_InList_%1").arg(kind));
        }
    }
    for (const QString &table : kBalanceTables)
        ctx.exec(keepOpening ? QStringLiteral("DELETE FROM %1 WHERE Period <> 0").arg(table)
                             : QStringLiteral("DELETE FROM %1").arg(table));
    ctx.exec(QStringLiteral("DELETE FROM GoodsStocks"));
    ctx.exec(QStringLiteral("DELETE FROM GoodsStocksOther"));
    if (!keepOpening) {
        for (const QString &table : kOtherOpeningTables)
            ctx.exec(QStringLiteral("DELETE FROM %1").arg(table));
        ctx.exec(QStringLiteral("DELETE FROM DlyIni"));
        ctx.exec(QStringLiteral("DELETE FROM DlyNdxIni"));
        ctx.exec(QStringLiteral("UPDATE ptype SET CalcCost = 0, MonthCalcCost = 0"));
        return;
    }
    ctx.exec(
        QStringLiteral("INSERT INTO GoodsStocks (PtypeId, KtypeId, BlockNo, Qty) SELECT PtypeId, KtypeId, "
                       "BlockNo, sum(Qty) FROM DlyIni GROUP BY PtypeId, KtypeId, BlockNo"));
    for (int i = 0; i < 3; ++i)
        ctx.exec(
            QStringLiteral("INSERT INTO GoodsStocksOther (StockKind, PtypeId, BlockNo, Qty) SELECT '%1', "
                           "PtypeId, BlockNo, sum(Qty) FROM %2 GROUP BY PtypeId, BlockNo")
                .arg(kStockKinds[i + 1], kOtherOpeningTables[i]));
    // Goods with opening stock are costed again; the others have nothing to cost.
    QStringList openingGoods;
    for (const QString &kind : kStockKinds)
        openingGoods << QStringLiteral("SELECT PtypeID FROM T_FIFO_InList_%1").arg(kind);
    ctx.exec(QStringLiteral("UPDATE ptype SET CalcCost = CASE WHEN typeId IN (%1) THEN 1 ELSE 0 END, "
                            "MonthCalcCost = CASE WHEN typeId IN (%1) THEN 1 ELSE 0 END")
                 .arg(openingGoods.join(QStringLiteral(" UNION "))));
}

// The calendar years that checkouts added go, every period is open again, and the periods are the
// opening period.
void resetPeriods(ProcContext &ctx)
{
    ctx.exec(QStringLiteral("DELETE FROM T_Gbl_MonthProc WHERE Year IN "
                            "(SELECT CreatedYear FROM T_Jxc_CheckOutLog WHERE CreatedYear <> 0)"));
    ctx.exec(QStringLiteral("DELETE FROM T_Jxc_CheckOutLog"));
    ctx.exec(QStringLiteral("UPDATE T_Gbl_MonthProc SET Closed = 0"));
    const QString opening = sysValue(ctx, QStringLiteral("OpenPeriod"));
    writeSysValue(ctx, QStringLiteral("Period"), opening);
    writeSysValue(ctx, QStringLiteral("JxcPeriod"), opening);
    if (opening.size() >= 4)
        writeSysValue(ctx, QStringLiteral("CurrentYear"), opening.left(4));
}

int systemRebuild(ProcContext &ctx)
{
    const QString operatorId = ctx.in(QStringLiteral("@OperatorID")).toString();
    JobHolder holder;
    if (JobLock::take(ctx, QStringLiteral("系统重建"), operatorId, QString(), &holder) < 0)
        return -1;
    const bool keepOpening = ctx.in(QStringLiteral("@PeriodBEGIN")).toInt() == -1;
    const bool keepDrafts = ctx.in(QStringLiteral("@Custom1")).toInt() == -1;
    const int orders = ctx.in(QStringLiteral("@Custom3")).toInt();
    const bool keepPrices = ctx.in(QStringLiteral("@PriceTrack")).toInt() == 0;

    clearBills(ctx, keepDrafts);
    if (orders == -1)
        ctx.exec(QStringLiteral("DELETE FROM DlyndxOrder WHERE Draft <> 2"));
    else if (orders != -2)
        ctx.exec(QStringLiteral("DELETE FROM DlyndxOrder"));
    for (const QString &table : kClearedTables)
        ctx.exec(QStringLiteral("DELETE FROM %1").arg(table));
    ctx.exec(QStringLiteral("UPDATE T_GBL_Vchtype SET SNMax = 0"));
    resetStock(ctx, keepOpening);
    if (!keepPrices)
        ctx.exec(QStringLiteral("UPDATE ptype SET RecPrice = 0"));
    resetPeriods(ctx);
    if (!keepOpening)
        writeSysValue(ctx, QStringLiteral("iniover"), QStringLiteral("0"));
    writeEvent(ctx, operatorId, event::Rebuild);
    JobLock::give(ctx);
    return 0;
}

// Whether some FIFO goods item would go below zero stock when its stock is kept per warehouse
// (perWarehouse) or for the whole company: receipts and issues in posting order, receipts first.
bool fifoGoesNegative(ProcContext &ctx, bool perWarehouse)
{
    QSqlQuery q = ctx.exec(QStringLiteral(
        "SELECT m.PtypeID, m.KtypeID, m.Qty FROM ("
        "SELECT i.PtypeID, i.KtypeID, i.Qty, i.Period, i.Date, i.Vchcode, i.Dlyorder, 0 AS Dir "
        "FROM T_FIFO_InList_Stock i UNION ALL "
        "SELECT o.PtypeID, o.KtypeID, 0 - o.Qty AS Qty, o.Period, o.Date, o.Vchcode, o.Dlyorder, 1 AS Dir "
        "FROM T_FIFO_OutList_Stock o) AS m "
        "INNER JOIN ptype p ON p.typeId = m.PtypeID WHERE p.Costmode = 1 "
        "ORDER BY m.PtypeID, m.Period, m.Date, m.Vchcode, m.Dir, m.Dlyorder"));
    QHash<QString, double> onHand;
    while (q.next()) {
        const QString key =
            q.value(0).toString() + u'\x1f' + (perWarehouse ? q.value(1).toString() : QString());
        double &qty = onHand[key];
        qty += q.value(2).toDouble();
        if (qty < -0.00005)
            return true;
    }
    return false;
}

int changeInventoryAccounting(ProcContext &ctx)
{
    bool ok = false;
    const int mode = ctx.in(QStringLiteral("@szOrder11")).toString().trimmed().toInt(&ok);
    if (!ok || (mode != 0 && mode != 1))
        return -1;
    if (sysValue(ctx, QStringLiteral("iniover")) == QLatin1String("1"))
        return -2;
    if (fifoGoesNegative(ctx, mode == 1))
        return -3;
    ctx.exec(QStringLiteral("DELETE FROM GoodsStocksCost"));
    if (mode == 1)
        ctx.exec(QStringLiteral("INSERT INTO GoodsStocksCost (PtypeId, KTypeID, BlockNo, Period, Qty, Total) "
                                "SELECT PtypeId, KtypeId, BlockNo, 0, sum(Qty), sum(Total) FROM DlyIni "
                                "GROUP BY PtypeId, KtypeId, BlockNo"));
    else
        ctx.exec(QStringLiteral("INSERT INTO GoodsStocksCost (PtypeId, KTypeID, BlockNo, Period, Qty, Total) "
                                "SELECT PtypeId, '', BlockNo, 0, sum(Qty), sum(Total) FROM DlyIni "
                                "GROUP BY PtypeId, BlockNo"));
    for (const QString &table : kBalanceTables)
        ctx.exec(QStringLiteral("DELETE FROM %1 WHERE Period <> 0").arg(table));
    ctx.exec(QStringLiteral("UPDATE ptype SET CalcCost = 1, MonthCalcCost = 1"));
    writeSysValue(ctx, QStringLiteral("InventoryAccounting"), QString::number(mode));
    return 0;
}

} // namespace

void registerOptionsRebuildProcs(ProcRegistry &registry)
{
    registry.add(QStringLiteral("P_GBL_SystemReBuild"), &systemRebuild);
    registry.add(QStringLiteral("P_Jxc_ChangeInventoryAccounting"), &changeInventoryAccounting);
}

} // namespace accountdb
