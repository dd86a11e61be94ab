// Procedures of the cost calculation.
//
// P_Cost_GetNeededCalcPtype(@Ptypeid, @Period, @bMonth, @bIsGM)
//   The goods to calculate: @Ptypeid "00000" (or empty) = every goods item marked for calculation
//   (CalcCost = 1, and with @bMonth also those whose last calculation accepted a zero cost,
//   MonthCalcCost = 1); otherwise the named goods and the goods of the named classes (comma-separated
//   ids), marked or not. Columns ptypeid, Costmode, RecPrice, RefPrice, UserCode, FullName, and the
//   marks CalcCost, MonthCalcCost as read (the calculation checks them again when it saves), by id.
//   Brings the FIFO receipts' MatchedQty / MatchedTotal of the listed goods up to @Period.
// P_Cost_GetAllBillsByPtype(@Ptypeid, @JxcPeriod, @nCostMode, @nAllStock, @bIsGM)
//   The opening balances (Vchtype -1 stock, -2 consigned out, with @bIsGM -3 production, -4
//   outsourcing; from the latest balance period before @JxcPeriod, per warehouse when @nAllStock <> 0,
//   per batch when @nCostMode = 3), then every posted line of the goods from @JxcPeriod on in the order
//   Period, Date, Vchcode, Dlyorder. Columns Period, Date, Vchcode, Vchtype, UsedType, Appoint, Qty
//   (issues negative), Price, Total (the cost; for given costs the given one, for the completion of
//   simple outsourcing the processing amount), Ktypeid, BlockNo, Dlyorder, SourceDlyorder, TableName.
// P_Cost_SaveCost(@PtypeID, @JXCPeriod, @BuyXML, @SaleXML, @OtherXML, @SQL)
//   In one transaction: runs @SQL (balance statements built by the calculation) and writes the line
//   costs of the three "<Root><Record Total= Price= Dlyorder= Flag=/></Root>" texts (Flag 1: the
//   line's amount is its cost too). -1 with @ErrMsg on malformed XML or a period below 1, nothing
//   written.
// P_Cost_FIFO_UpdateCost(@PtypeID, @JXCPeriod, @IsGM, @StockMode, @MonthCalc, @xml)
//   Writes the FIFO result: receipt and issue costs (InList / OutList records by list row ID and Dest
//   kind) into the lists and their bill lines, the matches (MatchList), the receipts' matched amounts,
//   the period balances, and clears the goods' calculation mark. -1 with @ErrMsg on malformed XML,
//   rows that are not the goods item's or a period below 1; nothing written then.
// P_Cost_FIFO_GetCheckAcceptInStock(@PtypeID, @JXCPeriod, @StockMode)
//   The stock receipts as the FIFO loader reads them, with completion acceptances (174, 184) at the
//   cost their bill line carries now (expense allocation may change it after posting).
// P_Cost_FIFO_GetConsignBackOutStock(@PtypeID, @JXCPeriod, @StockMode)
//   The stock issues as the FIFO loader reads them, with returns of outsourced goods (189) at the
//   current cost of the acceptance they return.
// P_Cost_Account_Month: ProcsCostMonth.cpp.

#include <QSqlQuery>

#include "AccountDatabase.h"
#include "CostingCommon.h"
#include "Kvbasicfun.h"
#include "Procedures.h"

namespace accountdb {

void registerPostingProcs(ProcRegistry &registry);   // ProcsPosting.cpp
void registerCostMonthProcs(ProcRegistry &registry); // ProcsCostMonth.cpp

using costing::StockKind;
using Kvbasicfun::Round2;
using Kvbasicfun::Round4;

namespace {

const QString kAllGoods = QStringLiteral("00000");

bool boolIn(ProcContext &ctx, const QString &name)
{
    const QVariant v = ctx.in(name);
    if (v.typeId() == QMetaType::QString)
        return v.toString().trimmed() == u"1" ||
               v.toString().trimmed().compare(u"true", Qt::CaseInsensitive) == 0;
    return v.toInt() != 0 || v.toBool();
}

int getNeededCalcPtype(ProcContext &ctx)
{
    const QString ids = ctx.in(QStringLiteral("@Ptypeid")).toString().trimmed();
    const int period = ctx.in(QStringLiteral("@Period")).toInt();
    const bool month = boolIn(ctx, QStringLiteral("@bMonth"));
    QString where;
    QVariantList params;
    if (ids.isEmpty() || ids == kAllGoods) {
        where = QStringLiteral("(CalcCost = 1 OR (? = 1 AND MonthCalcCost = 1))");
        params << (month ? 1 : 0);
    } else {
        QStringList parts;
        for (const QString &raw : ids.split(u',', Qt::SkipEmptyParts)) {
            const QString id = raw.trimmed();
            if (id.isEmpty())
                continue;
            parts << QStringLiteral("substr(typeId, 1, length(?)) = ?");
            params << id << id;
        }
        if (parts.isEmpty())
            parts << QStringLiteral("0 = 1");
        where = QStringLiteral("(") + parts.join(QStringLiteral(" OR ")) + u')';
    }
    ctx.setResult(
        QStringLiteral("SELECT typeId AS ptypeid, Costmode, RecPrice, RefPrice, UserCode, FullName, "
                       "CalcCost, MonthCalcCost "
                       "FROM ptype WHERE Sonnum = 0 AND Deleted = 0 AND ") +
            where + QStringLiteral(" ORDER BY typeId"),
        params);
    const int idColumn = ctx.result().columnIndex(QStringLiteral("ptypeid"));
    for (const QVariantList &row : std::as_const(ctx.result().rows)) {
        const QString ptype = row[idColumn].toString();
        if (ctx.value(QStringLiteral("SELECT 1 FROM T_FIFO_MatchList WHERE PtypeID = ? LIMIT 1"), {ptype})
                .isValid())
            costing::refreshMatched(ctx.database(), ptype, period);
    }
    return 0;
}

int getAllBillsByPtype(ProcContext &ctx)
{
    const QString ptype = ctx.in(QStringLiteral("@Ptypeid")).toString().trimmed();
    const int period = ctx.in(QStringLiteral("@JxcPeriod")).toInt();
    const bool byBatch = ctx.in(QStringLiteral("@nCostMode")).toInt() == 3;
    const bool byWarehouse = ctx.in(QStringLiteral("@nAllStock")).toInt() != 0;
    const bool isGM = boolIn(ctx, QStringLiteral("@bIsGM"));

    ResultSet &rs = ctx.result();
    rs.columns = QStringList{QStringLiteral("Period"),
                             QStringLiteral("Date"),
                             QStringLiteral("Vchcode"),
                             QStringLiteral("Vchtype"),
                             QStringLiteral("UsedType"),
                             QStringLiteral("Appoint"),
                             QStringLiteral("Qty"),
                             QStringLiteral("Price"),
                             QStringLiteral("Total"),
                             QStringLiteral("Ktypeid"),
                             QStringLiteral("BlockNo"),
                             QStringLiteral("Dlyorder"),
                             QStringLiteral("SourceDlyorder"),
                             QStringLiteral("TableName")};
    rs.rows.clear();
    ctx.setHasResult(true);

    // Opening balances: the latest balance period before the current one, per key the mode needs.
    const struct
    {
        StockKind kind;
        int vchtype;
    } openings[] = {{StockKind::Stock, -1},
                    {StockKind::Commission, -2},
                    {StockKind::Produce, -3},
                    {StockKind::Consign, -4}};
    for (const auto &o : openings) {
        if (!isGM && (o.kind == StockKind::Produce || o.kind == StockKind::Consign))
            continue;
        const QString table = costing::balanceTable(o.kind);
        const bool stock = o.kind == StockKind::Stock;
        const QString goods = stock ? QStringLiteral("PtypeId") : QStringLiteral("PTypeID");
        const QVariant latest = ctx.value(
            QStringLiteral("SELECT max(Period) FROM %1 WHERE %2 = ? AND Period < ?").arg(table, goods),
            {ptype, period});
        if (latest.isNull())
            continue;
        const QString key = stock && byWarehouse ? QStringLiteral("KTypeID") : QStringLiteral("''");
        const QString block = byBatch ? QStringLiteral("BlockNo") : QStringLiteral("''");
        const ResultSet sums =
            ctx.database().query(QStringLiteral("SELECT %3 AS k, %4 AS b, sum(Qty), sum(Total) FROM %1 "
                                                "WHERE %2 = ? AND Period = ? GROUP BY k, b ORDER BY k, b")
                                     .arg(table, goods, key, block),
                                 {ptype, latest.toInt()});
        for (const QVariantList &q : sums.rows) {
            const double qty = Round4(q[2].toDouble());
            const double total = Round2(q[3].toDouble());
            if (qty == 0 && total == 0)
                continue;
            rs.rows.append({latest.toInt(), QString(), 0, o.vchtype, 0, 1, qty,
                            qty != 0 ? Round4(total / qty) : 0.0, total, q[0].toString(), q[1].toString(), 0,
                            0, QString()});
        }
    }

    // Posted lines of the current period and later.
    QStringList parts;
    QVariantList params;
    for (const QString &table :
         {QStringLiteral("DlyBuy"), QStringLiteral("DlySale"), QStringLiteral("DlyOther")}) {
        parts << QStringLiteral(
                     "SELECT Period, Date, Vchcode, Vchtype, UsedType, Appoint, Qty, "
                     "CASE WHEN b = 214 AND UsedType = 1 THEN 0 "
                     "     WHEN b IN (174, 184) AND UsedType = 1 AND Appoint = 1 THEN Price ELSE CostPrice "
                     "END, "
                     "CASE WHEN b = 214 AND UsedType = 1 THEN FeeTotal "
                     "     WHEN b IN (174, 184) AND UsedType = 1 AND Appoint = 1 THEN Total ELSE CostTotal "
                     "END, "
                     "KtypeId, BlockNo, Dlyorder, SourceDlyorder, '%1' "
                     "FROM (SELECT *, CASE WHEN Vchtype > 10000 THEN Vchtype / 10000 ELSE Vchtype END AS b "
                     "      FROM %2 WHERE PtypeId = ? AND Period >= ? AND Draft = 2 AND Qty <> 0) AS l")
                     .arg(table.toLower(), table);
        params << ptype << period;
    }
    // Read whole through the statement cache: the text is the same for every goods item.
    rs.rows += ctx.database()
                   .query(parts.join(QStringLiteral(" UNION ALL ")) + QStringLiteral(" ORDER BY 1, 2, 3, 12"),
                          params)
                   .rows;
    return 0;
}

// One cost record of the save XML texts.
struct LineCost
{
    QString table;
    qint64 dlyorder = 0;
    double price = 0;
    double total = 0;
    int flag = 0;
};

bool readSaveXml(const QString &xml, const QString &table, QList<LineCost> &out, QString &error)
{
    QList<costing::XmlRecord> records;
    if (!costing::parseRecords(xml, records, &error))
        return false;
    for (const costing::XmlRecord &r : records) {
        LineCost c;
        c.table = table;
        qint64 flag = 0;
        if (!costing::intAttr(r, QStringLiteral("Dlyorder"), c.dlyorder) ||
            !costing::numberAttr(r, QStringLiteral("Price"), c.price) ||
            !costing::numberAttr(r, QStringLiteral("Total"), c.total) ||
            (r.contains(QStringLiteral("Flag")) && !costing::intAttr(r, QStringLiteral("Flag"), flag))) {
            error = QStringLiteral("成本记录无效（%1）。").arg(table);
            return false;
        }
        c.flag = flag == 1 ? 1 : 0;
        out.append(c);
    }
    return true;
}

// Period 0 holds the opening balances, which no calculation may replace.
bool refuseBadPeriod(ProcContext &ctx, int period)
{
    if (period >= 1)
        return false;
    ctx.setOut(QStringLiteral("@ErrMsg"), QStringLiteral("存货期间 %1 无效。").arg(period));
    return true;
}

int saveCost(ProcContext &ctx)
{
    ctx.setOut(QStringLiteral("@ErrMsg"), QString());
    if (refuseBadPeriod(ctx, ctx.in(QStringLiteral("@JXCPeriod")).toInt()))
        return -1;
    const QString ptype = ctx.in(QStringLiteral("@PtypeID")).toString().trimmed();
    QList<LineCost> costs;
    QString error;
    if (!readSaveXml(ctx.in(QStringLiteral("@BuyXML")).toString(), QStringLiteral("DlyBuy"), costs, error) ||
        !readSaveXml(ctx.in(QStringLiteral("@SaleXML")).toString(), QStringLiteral("DlySale"), costs,
                     error) ||
        !readSaveXml(ctx.in(QStringLiteral("@OtherXML")).toString(), QStringLiteral("DlyOther"), costs,
                     error)) {
        ctx.setOut(QStringLiteral("@ErrMsg"), error);
        return -1;
    }
    const QString sql = ctx.in(QStringLiteral("@SQL")).toString();
    if (!sql.trimmed().isEmpty())
        ctx.database().execBatch(sql);
    costing::LineCostWriter writer(ctx.database());
    for (const LineCost &c : std::as_const(costs)) {
        // The procedure's savepoint undoes everything written so far.
        if (!writer.write(c.table, c.dlyorder, ptype, Round4(c.price), c.total, c.flag))
            throw DbError(QStringLiteral("成本保存失败：%1 中没有存货 %2 的明细 %3。")
                              .arg(c.table, ptype)
                              .arg(c.dlyorder));
    }
    return 0;
}

// A FIFO list row of the goods item, as the update needs it.
struct ListRow
{
    QString source;
    qint64 dlyorder = 0;
    int period = 0;
    double feeTotal = 0;
};

QHash<qint64, ListRow> listRows(ProcContext &ctx, const QString &table, const QString &ptype)
{
    QHash<qint64, ListRow> rows;
    const ResultSet rs = ctx.database().query(
        QStringLiteral("SELECT ID, VchSource, Dlyorder, Period, FeeTotal FROM %1 WHERE PtypeID = ?")
            .arg(table),
        {ptype});
    for (const QVariantList &r : rs.rows)
        rows.insert(r[0].toLongLong(), {r[1].toString(), r[2].toLongLong(), r[3].toInt(), r[4].toDouble()});
    return rows;
}

struct CostRecord
{
    StockKind kind;
    qint64 id;
    double price;
    double total;
};

struct MatchRecord
{
    StockKind kind;
    QString inTable, outTable, comment;
    qint64 inVchtype, inVchcode, inDlyorder, outVchtype, outVchcode, outDlyorder;
    double qty, price, total;
};

int fifoUpdateCost(ProcContext &ctx)
{
    ctx.setOut(QStringLiteral("@ErrMsg"), QString());
    const QString ptype = ctx.in(QStringLiteral("@PtypeID")).toString().trimmed();
    const int period = ctx.in(QStringLiteral("@JXCPeriod")).toInt();
    const bool isGM = boolIn(ctx, QStringLiteral("@IsGM"));
    const int stockMode = ctx.in(QStringLiteral("@StockMode")).toInt();
    const bool monthCalc = boolIn(ctx, QStringLiteral("@MonthCalc"));
    const auto refuse = [&ctx](const QString &message) {
        ctx.setOut(QStringLiteral("@ErrMsg"), message);
        return -1;
    };
    if (refuseBadPeriod(ctx, period))
        return -1;

    QHash<QString, QList<costing::XmlRecord>> sections;
    QString error;
    if (!costing::parseSections(ctx.in(QStringLiteral("@xml")).toString(), sections, &error))
        return refuse(error);
    for (auto it = sections.cbegin(); it != sections.cend(); ++it) {
        if (it.key() != u"InList" && it.key() != u"OutList" && it.key() != u"MatchList")
            return refuse(QStringLiteral("XML 中有未知部分：") + it.key());
    }

    // Read and check everything before the first write.
    QHash<StockKind, QHash<qint64, ListRow>> inRows, outRows;
    const auto rowsOf = [&](bool in, StockKind kind) -> QHash<qint64, ListRow> & {
        auto &map = in ? inRows : outRows;
        if (!map.contains(kind))
            map.insert(kind,
                       listRows(ctx, in ? costing::inListTable(kind) : costing::outListTable(kind), ptype));
        return map[kind];
    };
    QList<CostRecord> ins, outs;
    for (const bool in : {true, false}) {
        for (const costing::XmlRecord &r :
             sections.value(in ? QStringLiteral("InList") : QStringLiteral("OutList"))) {
            const std::optional<StockKind> kind = costing::kindFromName(r.value(QStringLiteral("Dest")));
            CostRecord c{StockKind::Stock, 0, 0, 0};
            if (!kind || !costing::intAttr(r, QStringLiteral("ID"), c.id) ||
                !costing::numberAttr(r, QStringLiteral("Price"), c.price) ||
                !costing::numberAttr(r, QStringLiteral("Total"), c.total))
                return refuse(QStringLiteral("成本记录无效。"));
            c.kind = *kind;
            if (!rowsOf(in, c.kind).contains(c.id))
                return refuse(QStringLiteral("先进先出记录 %1 不属于存货 %2。").arg(c.id).arg(ptype));
            (in ? ins : outs).append(c);
        }
    }
    QList<MatchRecord> matches;
    for (const costing::XmlRecord &r : sections.value(QStringLiteral("MatchList"))) {
        const std::optional<StockKind> kind = costing::kindFromName(r.value(QStringLiteral("Dest")));
        MatchRecord m{};
        bool ok = kind.has_value();
        ok = ok && costing::intAttr(r, QStringLiteral("InVchtype"), m.inVchtype) &&
             costing::intAttr(r, QStringLiteral("InVchcode"), m.inVchcode) &&
             costing::intAttr(r, QStringLiteral("InDlyorder"), m.inDlyorder) &&
             costing::intAttr(r, QStringLiteral("OutVchtype"), m.outVchtype) &&
             costing::intAttr(r, QStringLiteral("OutVchcode"), m.outVchcode) &&
             costing::intAttr(r, QStringLiteral("OutDlyorder"), m.outDlyorder) &&
             costing::numberAttr(r, QStringLiteral("Qty"), m.qty) &&
             costing::numberAttr(r, QStringLiteral("Price"), m.price) &&
             costing::numberAttr(r, QStringLiteral("Total"), m.total);
        if (!ok)
            return refuse(QStringLiteral("匹配记录无效。"));
        m.kind = *kind;
        m.inTable = r.value(QStringLiteral("InTable")).toLower();
        m.outTable = r.value(QStringLiteral("OutTable")).toLower();
        m.comment = r.value(QStringLiteral("Comment"));
        matches.append(m);
    }
    // Issue periods of the matches.
    QHash<QString, int> outPeriods;
    for (StockKind kind : costing::kAllKinds) {
        for (const ListRow &row : rowsOf(false, kind))
            outPeriods.insert(costing::kindName(kind) + u'|' + row.source + u'|' +
                                  QString::number(row.dlyorder),
                              row.period);
    }
    QList<int> matchPeriods;
    for (const MatchRecord &m : std::as_const(matches)) {
        const auto it = outPeriods.constFind(costing::kindName(m.kind) + u'|' + m.outTable + u'|' +
                                             QString::number(m.outDlyorder));
        if (it == outPeriods.constEnd())
            return refuse(
                QStringLiteral("匹配记录的出库明细 %1 不属于存货 %2。").arg(m.outDlyorder).arg(ptype));
        matchPeriods << it.value();
    }

    // Costs of the rows of this period on, and of their bill lines.
    costing::LineCostWriter writer(ctx.database());
    for (const bool in : {true, false}) {
        for (const CostRecord &c : in ? std::as_const(ins) : std::as_const(outs)) {
            const ListRow &row = rowsOf(in, c.kind)[c.id];
            if (row.period < period)
                continue;
            const double price = Round4(c.price);
            const double total = Round2(c.total);
            const QString list = in ? costing::inListTable(c.kind) : costing::outListTable(c.kind);
            // The bill line's write also sets the list row it names; when that is this very row, its
            // value is the one that stands, and the row is written once.
            const QString table = costing::knownLineTable(row.source);
            QString written;
            if (!table.isEmpty())
                writer.write(table, row.dlyorder, ptype, price, in ? Round2(total + row.feeTotal) : total, -1,
                             &written);
            if (written != list || row.source != table.toLower())
                ctx.exec(QStringLiteral("UPDATE %1 SET CostPrice = ?, CostTotal = ? WHERE ID = ?").arg(list),
                         {price, total, c.id});
        }
    }

    ctx.exec(QStringLiteral("DELETE FROM T_FIFO_MatchList WHERE PtypeID = ? AND Period >= ?"),
             {ptype, period});
    QVariantList values;
    values.reserve(matches.size() * 15);
    for (int i = 0; i < matches.size(); ++i) {
        const MatchRecord &m = matches[i];
        values << ptype << matchPeriods[i] << costing::kindName(m.kind) << m.inTable << m.inVchtype
               << m.inVchcode << m.inDlyorder << m.outTable << m.outVchtype << m.outVchcode << m.outDlyorder
               << Round4(m.qty) << Round4(m.price) << Round2(m.total) << m.comment;
    }
    costing::insertRows(
        ctx.database(),
        QStringLiteral("INSERT INTO T_FIFO_MatchList (PtypeID, Period, Dest, InTable, InVchtype, "
                       "InVchcode, InDlyorder, OutTable, OutVchtype, OutVchcode, OutDlyorder, "
                       "Qty, Price, Total, Comment) VALUES "),
        15, values);
    costing::refreshMatched(ctx.database(), ptype, period);
    costing::writeBalancesFromLists(ctx.database(), ptype, period, stockMode, isGM);
    ctx.exec(monthCalc ? QStringLiteral("UPDATE ptype SET CalcCost = 0 WHERE typeId = ?")
                       : QStringLiteral("UPDATE ptype SET CalcCost = 0, MonthCalcCost = 0 WHERE typeId = ?"),
             {ptype});
    return 0;
}

// The rows of a query the loaders run for every goods item, through the statement cache.
void setCachedResult(ProcContext &ctx, const QString &sql, const QVariantList &params)
{
    ctx.result() = ctx.database().query(sql, params);
    ctx.setHasResult(true);
}

const QString kLoaderKey = QStringLiteral("CASE ? WHEN 0 THEN '' ELSE %1.KtypeID END AS KtypeID");

int checkAcceptInStock(ProcContext &ctx)
{
    const QString ptype = ctx.in(QStringLiteral("@PtypeID")).toString().trimmed();
    const int period = ctx.in(QStringLiteral("@JXCPeriod")).toInt();
    const int stockMode = ctx.in(QStringLiteral("@StockMode")).toInt();
    setCachedResult(
        ctx,
        QStringLiteral("SELECT i.ID, i.VchSource, i.Period, i.Vchtype, i.Vchcode, i.Dlyorder, ") +
            kLoaderKey.arg(QStringLiteral("i")) +
            QStringLiteral(
                ", i.Qty, CASE WHEN d.Dlyorder IS NULL THEN i.CostPrice ELSE d.Price END AS CostPrice, "
                "CASE WHEN d.Dlyorder IS NULL THEN i.CostTotal ELSE abs(d.Total) END AS CostTotal, "
                "i.FeeTotal, CASE WHEN i.Period < ? THEN 1 ELSE i.Appoint END AS Appoint, "
                "i.MatchedQty, i.MatchedTotal, i.GetVchSource, i.GetCostDlyorder "
                "FROM T_FIFO_InList_Stock i "
                "LEFT JOIN DlyOther d ON i.VchSource = 'dlyother' AND d.Dlyorder = i.Dlyorder "
                "  AND i.Period >= ? AND i.Appoint = 1 AND d.UsedType = 1 "
                "  AND (CASE WHEN d.Vchtype > 10000 THEN d.Vchtype / 10000 ELSE d.Vchtype END) IN (174, 184) "
                "WHERE i.PtypeID = ? AND (i.Period >= ? OR i.Qty - i.MatchedQty > 0) AND i.Qty <> 0 "
                "ORDER BY i.Period, i.Date, i.Vchcode, i.Dlyorder"),
        {stockMode, period, period, ptype, period});
    return 0;
}

int consignBackOutStock(ProcContext &ctx)
{
    const QString ptype = ctx.in(QStringLiteral("@PtypeID")).toString().trimmed();
    const int period = ctx.in(QStringLiteral("@JXCPeriod")).toInt();
    const int stockMode = ctx.in(QStringLiteral("@StockMode")).toInt();
    setCachedResult(
        ctx,
        QStringLiteral("SELECT o.ID, o.VchSource, o.Vchtype, o.Vchcode, o.Dlyorder, ") +
            kLoaderKey.arg(QStringLiteral("o")) +
            QStringLiteral(
                ", o.Qty, CASE WHEN s.Dlyorder IS NULL THEN o.CostPrice ELSE s.CostPrice END AS CostPrice, "
                "CASE WHEN s.Dlyorder IS NULL THEN o.CostTotal ELSE o.Qty * s.CostPrice END AS CostTotal, "
                "o.FeeTotal, CASE WHEN s.Dlyorder IS NULL THEN o.Appoint ELSE 1 END AS Appoint, "
                "CASE WHEN s.Dlyorder IS NULL THEN 0 ELSE 1 END AS Returned "
                "FROM T_FIFO_OutList_Stock o "
                "LEFT JOIN DlyOther d ON o.VchSource = 'dlyother' AND d.Dlyorder = o.Dlyorder "
                "  AND (CASE WHEN d.Vchtype > 10000 THEN d.Vchtype / 10000 ELSE d.Vchtype END) = 189 "
                "LEFT JOIN DlyOther s ON s.Dlyorder = d.SourceDlyorder "
                "WHERE o.PtypeID = ? AND o.Period >= ? AND o.Qty <> 0 "
                "ORDER BY o.Period, o.Date, o.Vchcode, o.Dlyorder"),
        {stockMode, ptype, period});
    // Amounts are rounded as every cost amount is; the marker column is only for that.
    ResultSet &rs = ctx.result();
    const int total = rs.columnIndex(QStringLiteral("CostTotal"));
    const int returned = rs.columnIndex(QStringLiteral("Returned"));
    for (QVariantList &row : rs.rows) {
        if (row[returned].toInt() == 1)
            row[total] = Round2(row[total].toDouble());
        row.removeAt(returned);
    }
    rs.columns.removeAt(returned);
    return 0;
}

// Switches the connection to the settings of a long costing run (@On = 1) and back (@On = 0).
int setBulkWriteSettings(ProcContext &ctx)
{
    AccountDatabase &db = ctx.database();
    for (const QString &statement :
         costing::bulkWriteSettings(db, ctx.in(QStringLiteral("@On")).toInt() == 1))
        db.exec(statement);
    return 0;
}

} // namespace

void registerCostingProcs(ProcRegistry &registry)
{
    registry.addReader(QStringLiteral("P_Cost_BulkWriteSettings"), &setBulkWriteSettings);
    registry.add(QStringLiteral("P_Cost_GetNeededCalcPtype"), &getNeededCalcPtype);
    registry.add(QStringLiteral("P_Cost_GetAllBillsByPtype"), &getAllBillsByPtype);
    registry.add(QStringLiteral("P_Cost_SaveCost"), &saveCost);
    registry.add(QStringLiteral("P_Cost_FIFO_UpdateCost"), &fifoUpdateCost);
    registry.add(QStringLiteral("P_Cost_FIFO_GetCheckAcceptInStock"), &checkAcceptInStock);
    registry.add(QStringLiteral("P_Cost_FIFO_GetConsignBackOutStock"), &consignBackOutStock);
    registerCostMonthProcs(registry);
    registerPostingProcs(registry);
}

} // namespace accountdb
