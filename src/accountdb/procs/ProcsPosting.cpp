// Posting of stock bills (BillPoster) and the procedure over it.
//
// P_Jxc_PostBill(@nVchType, @szDate, @szNumber, @szBTypeID, @szETypeID, @szKTypeID, @szKTypeID2,
//                @szDTypeID, @szSummary, @szOperatorID, @szXML) -> @nVchcode, @ErrMsg
//   Posts one bill: its lines come as "<Root><Record PtypeID= KtypeID= BlockNo= Qty= Price= Total=
//   FeeTotal= UsedType= Appoint= SourceLine= SourceDlyorder= Comment=/></Root>" (only PtypeID and Qty
//   are required). Writes the bill and its lines, one FIFO list row per line (a transfer's receiving
//   line names its issuing line), the stock quantities, and marks the goods for cost calculation.
//   Opening stock is posted with the bill types 201 (warehouses), 203 (consigned out), 206 (production)
//   and 207 (outside processors) while the account set is not yet opened.
//   Results: 0 posted; 1 waiting for audit; -1 unknown bill type; -2 date not in the period calendar; -3
//   period already closed; -4 unknown goods or a goods class; -5 unknown warehouse; -6 bad line; -7 opening
//   stock after the account set was opened; -8 malformed XML; -9 @nAuditVchcode is not a rejected bill of
//   this maker. Nothing is written on an error. Bills under an audit flow wait (AuditEngine.h).

#include <QDate>
#include <QDateTime>
#include <QSqlError>
#include <cmath>

#include "AccountDatabase.h"
#include "AuditEngine.h"
#include "BillPoster.h"
#include "CostingCommon.h"
#include "Kvbasicfun.h"
#include "Procedures.h"

namespace accountdb {

using costing::LineRule;
using costing::StockKind;
using Kvbasicfun::Round2;
using Kvbasicfun::Round4;

namespace {

const QString kDateFormat = QStringLiteral("yyyy-MM-dd");

QString stockKey(StockKind kind, const QString &ptype, const QString &ktype, const QString &block)
{
    return costing::kindName(kind) + u'\x1f' + ptype + u'\x1f' + ktype + u'\x1f' + block;
}

} // namespace

BillPoster::BillPoster(AccountDatabase &db) : m_db(db)
{
    // The inventory period's row is locked before anything else is read: bills are posted one after
    // the other (their codes and line numbers follow the largest ones), and a checkout that closes the
    // period makes the poster wait and then see the period it moved on to.
    m_jxcPeriod =
        db.value(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = 'JxcPeriod'") +
                 db.dialect().forUpdate())
            .toString()
            .trimmed()
            .toInt();
    QSqlQuery q =
        db.exec(QStringLiteral("SELECT Period, StartDate, EndDate FROM T_Gbl_MonthProc ORDER BY Period"));
    while (q.next())
        m_calendar.append({q.value(0).toInt(), q.value(1).toString(), q.value(2).toString()});
    q = db.exec(QStringLiteral("SELECT Vchtype, NumberHead FROM T_GBL_Vchtype"));
    while (q.next())
        m_numberHeads.insert(q.value(0).toInt(), q.value(1).toString());
    q.finish();
    m_stockMode = costing::sysInt(db, QStringLiteral("InventoryAccounting"), 0);
    m_opened = costing::sysInt(db, QStringLiteral("iniover"), 0) == 1;
    m_iniDate =
        db.value(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = 'inidate'")).toString();
    // One posting time per poster: reading the clock per bill costs more than the bill in bulk posting.
    m_postTime = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    m_nextVchcode =
        db.value(QStringLiteral(
                     "SELECT max(v) + 1 FROM (SELECT coalesce(max(Vchcode), 0) AS v FROM DlyNdx UNION ALL "
                     "SELECT coalesce(max(Vchcode), 0) FROM DlyNdxIni) AS counters"))
            .toLongLong();
}

BillPoster::~BillPoster() = default;

QSqlQuery &BillPoster::run(const QString &sql, const QVariantList &params)
{
    auto it = m_queries.find(sql);
    if (it == m_queries.end()) {
        QSqlQuery q(m_db.sql());
        q.setForwardOnly(true);
        if (!q.prepare(sql))
            throw DbError(QStringLiteral("数据库语句错误：") + q.lastError().text() + u'\n' + sql);
        it = m_queries.insert(sql, q);
    }
    QSqlQuery &q = it.value();
    for (int i = 0; i < params.size(); ++i)
        q.bindValue(i, bindable(params[i]));
    if (!q.exec())
        throw DbError(QStringLiteral("单据过账失败：") + q.lastError().text() + u'\n' + sql,
                      m_db.dialect().classify(q.lastError()) == Dialect::Failure::Retry);
    return q;
}

qint64 BillPoster::nextDlyorder(const QString &table)
{
    auto it = m_nextDlyorder.find(table);
    if (it == m_nextDlyorder.end())
        it = m_nextDlyorder.insert(
            table, m_db.value(QStringLiteral("SELECT coalesce(max(Dlyorder), 0) + 1 FROM %1").arg(table))
                       .toLongLong());
    return it.value()++;
}

qint64 BillPoster::fail(int code, const QString &message)
{
    m_error = message;
    return code;
}

bool BillPoster::goodsExists(const QString &ptypeId)
{
    auto it = m_goods.constFind(ptypeId);
    if (it != m_goods.constEnd())
        return it.value();
    QSqlQuery &q =
        run(QStringLiteral("SELECT 1 FROM ptype WHERE typeId = ? AND Sonnum = 0 AND Deleted = 0"), {ptypeId});
    const bool found = q.next();
    q.finish();
    m_goods.insert(ptypeId, found);
    return found;
}

bool BillPoster::warehouseExists(const QString &ktypeId)
{
    auto it = m_warehouses.constFind(ktypeId);
    if (it != m_warehouses.constEnd())
        return it.value();
    QSqlQuery &q =
        run(QStringLiteral("SELECT 1 FROM stock WHERE typeId = ? AND Sonnum = 0 AND Deleted = 0"), {ktypeId});
    const bool found = q.next();
    q.finish();
    m_warehouses.insert(ktypeId, found);
    return found;
}

int BillPoster::periodOf(const QString &date) const
{
    for (const Period &p : m_calendar) {
        if (p.start <= date && date <= p.end)
            return p.period;
    }
    return 0;
}

namespace {

// One checked line, ready to be written.
struct Resolved
{
    LineRule rule;
    int appoint = 0;
    QString ktypeId;
    double qty = 0;
    double total = 0;
    double price = 0;
    double feeTotal = 0;
    double costPrice = 0;
    double costTotal = 0;
    int pair = -1;             // index of the paired line of this bill
    qint64 sourceDlyorder = 0; // line of an earlier bill
    QString sourceTable;       // its table, lower case
};

// The insert statements of the lines and list rows, built once (posting runs them for every line).
const QString &lineInsertSql(const QString &table)
{
    static const QHash<QString, QString> sql = [] {
        QHash<QString, QString> h;
        for (const QString &t :
             {QStringLiteral("DlyBuy"), QStringLiteral("DlySale"), QStringLiteral("DlyOther")})
            h.insert(t, QStringLiteral(
                            "INSERT INTO %1 (Dlyorder, Vchcode, Vchtype, Date, Period, RowNo, PtypeId, "
                            "KtypeId, BtypeId, EtypeId, ProjectId, UsedType, Appoint, Qty, Price, Total, "
                            "CostPrice, CostTotal, FeeTotal, BlockNo, SourceVchcode, SourceDlyorder, Draft, "
                            "Comment) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 0, "
                            "?, 2, ?)")
                            .arg(t));
        return h;
    }();
    return *sql.find(table);
}

const QString &listInsertSql(StockKind kind, bool receipt)
{
    static const QList<QString> sql = [] {
        QList<QString> l;
        for (StockKind k : costing::kAllKinds) {
            l << QStringLiteral(
                     "INSERT INTO %1 (VchSource, Period, Date, Vchtype, Vchcode, Dlyorder, PtypeID, KtypeID, "
                     "BlockNo, Qty, CostPrice, CostTotal, FeeTotal, Appoint, GetVchSource, GetCostDlyorder) "
                     "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                     .arg(costing::inListTable(k))
              << QStringLiteral(
                     "INSERT INTO %1 (VchSource, Period, Date, Vchtype, Vchcode, Dlyorder, PtypeID, KtypeID, "
                     "BlockNo, Qty, CostPrice, CostTotal, FeeTotal, Appoint) "
                     "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                     .arg(costing::outListTable(k));
        }
        return l;
    }();
    return sql[int(kind) * 2 + (receipt ? 0 : 1)];
}

QString lineText(int i)
{
    return QStringLiteral("第%1行：").arg(i + 1);
}

} // namespace

qint64 BillPoster::post(const PostBill &bill)
{
    m_error.clear();
    m_lastDlyorders.clear();
    const int b = costing::baseType(bill.vchtype);
    if (!m_numberHeads.contains(bill.vchtype) && !m_numberHeads.contains(b))
        return fail(UnknownBillType, QStringLiteral("未知的单据类型：%1").arg(bill.vchtype));
    if (costing::isOpeningType(b))
        return postOpening(bill);
    if (!QDate::fromString(bill.date, kDateFormat).isValid())
        return fail(BadDate, QStringLiteral("单据日期无效：%1").arg(bill.date));
    const int period = periodOf(bill.date);
    if (period == 0)
        return fail(BadDate, QStringLiteral("单据日期不在会计期间内：%1").arg(bill.date));
    if (period < m_jxcPeriod)
        return fail(ClosedPeriod, QStringLiteral("单据日期所在期间已经结账：%1").arg(bill.date));
    if (bill.lines.isEmpty())
        return fail(BadLine, QStringLiteral("单据没有明细行。"));

    const QString table = costing::lineTable(b);
    QList<Resolved> lines;
    lines.reserve(bill.lines.size());
    for (int i = 0; i < bill.lines.size(); ++i) {
        const PostLine &l = bill.lines[i];
        const std::optional<LineRule> rule = costing::lineRule(b, l.usedType);
        if (!rule)
            return fail(BadLine, lineText(i) + QStringLiteral("单据类型 %1 没有 UsedType = %2 的明细。")
                                                   .arg(bill.vchtype)
                                                   .arg(l.usedType));
        if (!(l.qty > 0) || !std::isfinite(l.qty) || !std::isfinite(l.price) || !std::isfinite(l.total) ||
            !std::isfinite(l.feeTotal) || l.price < 0)
            return fail(BadLine, lineText(i) + QStringLiteral("数量必须大于零，单价不能为负数。"));
        if (!goodsExists(l.ptypeId))
            return fail(UnknownGoods, lineText(i) + QStringLiteral("存货不存在或不是明细存货：") + l.ptypeId);
        Resolved r;
        r.rule = *rule;
        r.ktypeId = l.ktypeId;
        if (r.ktypeId.isEmpty())
            r.ktypeId = (b == 21 && l.usedType == 1) ? bill.ktypeId2 : bill.ktypeId;
        if ((rule->kind == StockKind::Stock && r.ktypeId.isEmpty()) ||
            (!r.ktypeId.isEmpty() && !warehouseExists(r.ktypeId)))
            return fail(UnknownWarehouse, lineText(i) + QStringLiteral("仓库不存在：") + r.ktypeId);
        r.appoint = rule->appoint < 0 ? (l.appoint == 1 ? 1 : 0) : rule->appoint;
        r.qty = Round4(l.qty);
        r.price = Round4(l.price);
        r.total = l.total != 0 ? Round2(std::fabs(l.total)) : Round2(l.qty * l.price);
        r.feeTotal = Round2(l.feeTotal);
        if (b == 214 && l.usedType == 1 && r.feeTotal == 0)
            r.feeTotal = r.total; // the processing amount is added to the cost of the material
        if (r.appoint == 1) {
            r.costPrice = r.price != 0 ? r.price : Round4(r.total / r.qty);
            r.costTotal = r.total;
        }
        lines.append(r);
    }

    // Links: the paired line of this bill, or the named line of an earlier bill.
    for (int i = 0; i < lines.size(); ++i) {
        Resolved &r = lines[i];
        const PostLine &l = bill.lines[i];
        if (r.rule.link == costing::CostLink::PairLine) {
            const auto fits = [&](int j) {
                return j != i && j >= 0 && j < lines.size() && bill.lines[j].ptypeId == l.ptypeId &&
                       bill.lines[j].usedType == r.rule.pairUsedType;
            };
            if (l.sourceLine > 0) {
                if (!fits(l.sourceLine - 1))
                    return fail(BadLine,
                                lineText(i) +
                                    QStringLiteral("对应的第%1行不是同一存货的配对明细。").arg(l.sourceLine));
                r.pair = l.sourceLine - 1;
            } else {
                for (int j = i - 1; j >= 0 && r.pair < 0; --j)
                    r.pair = fits(j) ? j : -1;
                for (int j = i + 1; j < lines.size() && r.pair < 0; ++j)
                    r.pair = fits(j) ? j : -1;
            }
            if (r.pair < 0)
                return fail(BadLine, lineText(i) + QStringLiteral("找不到同一存货的配对明细。"));
        } else if (r.rule.link == costing::CostLink::SourceLine && l.sourceDlyorder > 0) {
            const QString sourceTable = b == 45 ? QStringLiteral("DlySale") : QStringLiteral("DlyOther");
            QSqlQuery &q =
                run(QStringLiteral("SELECT PtypeId, CostPrice, Vchtype, UsedType FROM %1 WHERE Dlyorder = ?")
                        .arg(sourceTable),
                    {l.sourceDlyorder});
            const bool found = q.next();
            const QString sourcePtype = found ? q.value(0).toString() : QString();
            const double sourceCost = found ? q.value(1).toDouble() : 0;
            const int sourceBase = found ? costing::baseType(q.value(2).toInt()) : 0;
            const int sourceUsed = found ? q.value(3).toInt() : -1;
            q.finish();
            const bool fitting = b == 45 ? sourceBase == 11 : (sourceBase == 184 && sourceUsed == l.usedType);
            if (!found || sourcePtype != l.ptypeId || !fitting)
                return fail(BadLine,
                            lineText(i) +
                                QStringLiteral("原单明细 %1 不存在或不对应。").arg(l.sourceDlyorder));
            r.sourceDlyorder = l.sourceDlyorder;
            r.sourceTable = sourceTable.toLower();
            if (b == 189 && l.usedType == 1) {
                r.costPrice = sourceCost; // leaves stock at its acceptance cost
                r.costTotal = Round2(r.qty * sourceCost);
            }
        } else if (r.rule.linkRequired) {
            return fail(BadLine, lineText(i) + QStringLiteral("必须指定原单明细。"));
        }
    }

    // Write: the bill, its lines, their FIFO rows.
    const qint64 vchcode = bill.vchcode > 0 ? bill.vchcode : m_nextVchcode++;
    QString number = bill.number;
    if (number.isEmpty())
        number = m_numberHeads.value(bill.vchtype, m_numberHeads.value(b)) + u'-' + bill.date.left(4) +
                 bill.date.mid(5, 2) + bill.date.mid(8, 2) + u'-' +
                 QString::number(vchcode).rightJustified(6, u'0');
    double billTotal = 0;
    for (const Resolved &r : lines)
        billTotal += r.total;
    run(QStringLiteral(
            "INSERT INTO DlyNdx (Vchcode, Vchtype, Date, Number, Period, BtypeId, EtypeId, KtypeId, "
            "KTypeID2, DtypeId, Summary, Total, Draft, InputNo, PostTime) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 2, ?, ?)"),
        {vchcode, bill.vchtype, bill.date, number, period, bill.btypeId, bill.etypeId, bill.ktypeId,
         bill.ktypeId2, bill.dtypeId, bill.summary, Round2(billTotal), bill.inputNo, m_postTime});

    QList<qint64> dlyorders;
    dlyorders.reserve(lines.size());
    for (int i = 0; i < lines.size(); ++i)
        dlyorders << nextDlyorder(table);
    const QString source = table.toLower();
    const QString &lineSql = lineInsertSql(table);
    for (int i = 0; i < lines.size(); ++i) {
        const Resolved &r = lines[i];
        const PostLine &l = bill.lines[i];
        const double sign = r.rule.receipt ? 1.0 : -1.0;
        const qint64 linked = r.pair >= 0 ? dlyorders[r.pair] : r.sourceDlyorder;
        run(lineSql,
            {dlyorders[i], vchcode,      bill.vchtype, bill.date,      period,       i + 1,
             l.ptypeId,    r.ktypeId,    bill.btypeId, bill.etypeId,   bill.dtypeId, l.usedType,
             r.appoint,    sign * r.qty, r.price,      sign * r.total, r.costPrice,  sign * r.costTotal,
             r.feeTotal,   l.blockNo,    linked,       l.comment});
        if (r.rule.receipt) {
            run(listInsertSql(r.rule.kind, true),
                {source, period, bill.date, bill.vchtype, vchcode, dlyorders[i], l.ptypeId, r.ktypeId,
                 l.blockNo, r.qty, r.costPrice, r.costTotal, r.feeTotal, r.appoint,
                 r.pair >= 0 ? source : r.sourceTable, linked});
        } else {
            run(listInsertSql(r.rule.kind, false),
                {source, period, bill.date, bill.vchtype, vchcode, dlyorders[i], l.ptypeId, r.ktypeId,
                 l.blockNo, r.qty, r.costPrice, r.costTotal, 0.0, r.appoint});
        }
        const QString key = stockKey(r.rule.kind, l.ptypeId,
                                     r.rule.kind == StockKind::Stock ? r.ktypeId : QString(), l.blockNo);
        m_stockDelta[key] += sign * r.qty;
        m_marked.insert(l.ptypeId);
    }
    m_lastDlyorders = dlyorders;
    return vchcode;
}

qint64 BillPoster::postOpening(const PostBill &bill)
{
    const int b = costing::baseType(bill.vchtype);
    if (m_opened)
        return fail(OpeningAfterStart, QStringLiteral("账套已经开账，不能再录入期初库存。"));
    const QString date = bill.date.isEmpty() ? m_iniDate : bill.date;
    if (!QDate::fromString(date, kDateFormat).isValid())
        return fail(BadDate, QStringLiteral("单据日期无效：%1").arg(date));
    if (bill.lines.isEmpty())
        return fail(BadLine, QStringLiteral("单据没有明细行。"));
    const StockKind kind = costing::openingKind(b);
    for (int i = 0; i < bill.lines.size(); ++i) {
        const PostLine &l = bill.lines[i];
        if (!(l.qty > 0) || !std::isfinite(l.qty) || !std::isfinite(l.total) || l.price < 0 || l.total < 0)
            return fail(BadLine, lineText(i) + QStringLiteral("期初数量必须大于零，金额不能为负数。"));
        if (!goodsExists(l.ptypeId))
            return fail(UnknownGoods, lineText(i) + QStringLiteral("存货不存在或不是明细存货：") + l.ptypeId);
        const QString ktype = l.ktypeId.isEmpty() ? bill.ktypeId : l.ktypeId;
        if ((kind == StockKind::Stock && ktype.isEmpty()) || (!ktype.isEmpty() && !warehouseExists(ktype)))
            return fail(UnknownWarehouse, lineText(i) + QStringLiteral("仓库不存在：") + ktype);
    }

    const qint64 vchcode = m_nextVchcode++;
    const QString table = costing::openingTable(b);
    run(QStringLiteral(
            "INSERT INTO DlyNdxIni (Vchcode, Vchtype, Date, Number, KtypeId, EtypeId, Summary, InputNo) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
        {vchcode, bill.vchtype, date,
         bill.number.isEmpty() ? QStringLiteral("QC-%1").arg(vchcode) : bill.number, bill.ktypeId,
         bill.etypeId, bill.summary, bill.inputNo});
    const QString balance = costing::balanceTable(kind);
    for (int i = 0; i < bill.lines.size(); ++i) {
        const PostLine &l = bill.lines[i];
        const QString ktype = l.ktypeId.isEmpty() ? bill.ktypeId : l.ktypeId;
        const double qty = Round4(l.qty);
        const double total = l.total != 0 ? Round2(l.total) : Round2(l.qty * l.price);
        const double price = Round4(total / qty);
        const qint64 dlyorder = nextDlyorder(table);
        m_lastDlyorders << dlyorder;
        run(QStringLiteral(
                "INSERT INTO %1 (Dlyorder, Vchcode, Vchtype, Date, PtypeId, KtypeId, BlockNo, Qty, Price, "
                "Total, Comment) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                .arg(table),
            {dlyorder, vchcode, bill.vchtype, date, l.ptypeId, ktype, l.blockNo, qty, price, total,
             l.comment});
        run(QStringLiteral(
                "INSERT INTO %1 (VchSource, Period, Date, Vchtype, Vchcode, Dlyorder, PtypeID, KtypeID, "
                "BlockNo, Qty, CostPrice, CostTotal, Appoint) VALUES (?, 0, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 1)")
                .arg(costing::inListTable(kind)),
            {table.toLower(), date, bill.vchtype, vchcode, dlyorder, l.ptypeId, ktype, l.blockNo, qty, price,
             total});
        if (kind == StockKind::Stock)
            run(QStringLiteral("INSERT INTO GoodsStocksCost (PtypeId, KTypeID, BlockNo, Period, Qty, Total) "
                               "VALUES (?, ?, ?, 0, ?, ?) ON CONFLICT (PtypeId, Period, KTypeID, BlockNo) "
                               "DO UPDATE SET Qty = GoodsStocksCost.Qty + excluded.Qty, "
                               "Total = GoodsStocksCost.Total + excluded.Total"),
                {l.ptypeId, m_stockMode == 0 ? QString() : ktype, l.blockNo, qty, total});
        else
            run(QStringLiteral("INSERT INTO %1 (PTypeID, BlockNo, Period, Qty, Total) VALUES (?, ?, 0, ?, ?) "
                               "ON CONFLICT (PTypeID, Period, BlockNo) "
                               "DO UPDATE SET Qty = %1.Qty + excluded.Qty, Total = %1.Total + excluded.Total")
                    .arg(balance),
                {l.ptypeId, l.blockNo, qty, total});
        m_stockDelta[stockKey(kind, l.ptypeId, kind == StockKind::Stock ? ktype : QString(), l.blockNo)] +=
            qty;
        m_marked.insert(l.ptypeId);
    }
    return vchcode;
}

void BillPoster::flush()
{
    for (auto it = m_stockDelta.cbegin(); it != m_stockDelta.cend(); ++it) {
        if (it.value() == 0)
            continue;
        const QStringList k = it.key().split(u'\x1f');
        if (k[0] == costing::kindName(StockKind::Stock))
            run(QStringLiteral("INSERT INTO GoodsStocks (PtypeId, KtypeId, BlockNo, Qty) VALUES (?, ?, ?, ?) "
                               "ON CONFLICT (PtypeId, KtypeId, BlockNo) DO UPDATE SET Qty = GoodsStocks.Qty "
                               "+ excluded.Qty"),
                {k[1], k[2], k[3], it.value()});
        else
            run(QStringLiteral(
                    "INSERT INTO GoodsStocksOther (StockKind, PtypeId, BlockNo, Qty) VALUES (?, ?, ?, ?) "
                    "ON CONFLICT (StockKind, PtypeId, BlockNo) DO UPDATE SET Qty = GoodsStocksOther.Qty + "
                    "excluded.Qty"),
                {k[0], k[1], k[3], it.value()});
    }
    for (const QString &ptype : std::as_const(m_marked))
        run(QStringLiteral("UPDATE ptype SET CalcCost = 1, MonthCalcCost = 1 WHERE typeId = ?"), {ptype});
    m_stockDelta.clear();
    m_marked.clear();
}

namespace {

// Reads the line records of the bill XML into post lines; false with a message on a bad record.
bool readLines(const QString &xml, QList<PostLine> &lines, QString &error)
{
    QList<costing::XmlRecord> records;
    if (!costing::parseRecords(xml, records, &error))
        return false;
    for (int i = 0; i < records.size(); ++i) {
        const costing::XmlRecord &r = records[i];
        PostLine l;
        l.ptypeId = r.value(QStringLiteral("PtypeID")).trimmed();
        l.ktypeId = r.value(QStringLiteral("KtypeID")).trimmed();
        l.blockNo = r.value(QStringLiteral("BlockNo")).trimmed();
        l.comment = r.value(QStringLiteral("Comment"));
        qint64 n = 0;
        const auto optionalNumber = [&](const QString &name, double &target) {
            return !r.contains(name) || costing::numberAttr(r, name, target);
        };
        const auto optionalInt = [&](const QString &name, qint64 &target) {
            return !r.contains(name) || costing::intAttr(r, name, target);
        };
        bool ok = costing::numberAttr(r, QStringLiteral("Qty"), l.qty) &&
                  optionalNumber(QStringLiteral("Price"), l.price) &&
                  optionalNumber(QStringLiteral("Total"), l.total) &&
                  optionalNumber(QStringLiteral("FeeTotal"), l.feeTotal);
        n = 0;
        ok = ok && optionalInt(QStringLiteral("UsedType"), n);
        l.usedType = int(n);
        n = -1;
        ok = ok && optionalInt(QStringLiteral("Appoint"), n);
        l.appoint = int(n);
        n = 0;
        ok = ok && optionalInt(QStringLiteral("SourceLine"), n);
        l.sourceLine = int(n);
        ok = ok && optionalInt(QStringLiteral("SourceDlyorder"), l.sourceDlyorder);
        if (!ok || l.ptypeId.isEmpty()) {
            error = QStringLiteral("第%1条明细的存货或数值无效。").arg(i + 1);
            return false;
        }
        lines.append(l);
    }
    return true;
}

} // namespace

bool readPostBill(ProcContext &ctx, PostBill &bill, QString &error)
{
    bill.vchtype = ctx.in(QStringLiteral("@nVchType")).toInt();
    bill.date = ctx.in(QStringLiteral("@szDate")).toString().trimmed();
    bill.number = ctx.in(QStringLiteral("@szNumber")).toString().trimmed();
    bill.btypeId = ctx.in(QStringLiteral("@szBTypeID")).toString().trimmed();
    bill.etypeId = ctx.in(QStringLiteral("@szETypeID")).toString().trimmed();
    bill.ktypeId = ctx.in(QStringLiteral("@szKTypeID")).toString().trimmed();
    bill.ktypeId2 = ctx.in(QStringLiteral("@szKTypeID2")).toString().trimmed();
    bill.dtypeId = ctx.in(QStringLiteral("@szDTypeID")).toString().trimmed();
    bill.summary = ctx.in(QStringLiteral("@szSummary")).toString();
    bill.inputNo = ctx.in(QStringLiteral("@szOperatorID")).toString().trimmed();
    return readLines(ctx.in(QStringLiteral("@szXML")).toString(), bill.lines, error);
}

namespace {

int postBill(ProcContext &ctx)
{
    ctx.setOut(QStringLiteral("@nVchcode"), 0);
    ctx.setOut(QStringLiteral("@ErrMsg"), QString());
    PostBill bill;
    QString error;
    if (!readPostBill(ctx, bill, error)) {
        ctx.setOut(QStringLiteral("@ErrMsg"), error);
        return -8;
    }
    // A bill of a type under an enabled audit flow waits for its audit; @nAuditVchcode resubmits a
    // rejected one.
    const qint64 resubmit = ctx.in(QStringLiteral("@nAuditVchcode")).toLongLong();
    if (resubmit > 0 || audit::flowEnabled(ctx.database(), bill.vchtype)) {
        const qint64 code = audit::submit(ctx.database(), bill, resubmit, &error);
        ctx.setOut(code < 0 ? QStringLiteral("@ErrMsg") : QStringLiteral("@nVchcode"),
                   code < 0 ? QVariant(error) : QVariant(code));
        if (code < 0)
            return int(code);
        return audit::billState(ctx.database(), code)->state == audit::Waiting ? 1 : 0;
    }
    BillPoster poster(ctx.database());
    const qint64 vchcode = poster.post(bill);
    if (vchcode < 0) {
        ctx.setOut(QStringLiteral("@ErrMsg"), poster.lastError());
        return int(vchcode);
    }
    poster.flush();
    ctx.setOut(QStringLiteral("@nVchcode"), vchcode);
    return 0;
}

} // namespace

void registerPostingProcs(ProcRegistry &registry)
{
    registry.add(QStringLiteral("P_Jxc_PostBill"), &postBill);
}

} // namespace accountdb
