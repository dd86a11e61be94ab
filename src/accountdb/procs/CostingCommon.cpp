#include "CostingCommon.h"

#include <QMap>
#include <QSqlError>
#include <QXmlStreamReader>
#include <cmath>

#include "AccountDatabase.h"
#include "Kvbasicfun.h"

namespace accountdb::costing {

using Kvbasicfun::Round2;
using Kvbasicfun::Round4;

QString kindName(StockKind kind)
{
    switch (kind) {
    case StockKind::Stock:
        return QStringLiteral("Stock");
    case StockKind::Commission:
        return QStringLiteral("Commission");
    case StockKind::Produce:
        return QStringLiteral("Produce");
    case StockKind::Consign:
        return QStringLiteral("Consign");
    }
    return {};
}

std::optional<StockKind> kindFromName(const QString &name)
{
    for (StockKind k : kAllKinds) {
        if (kindName(k).compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return k;
    }
    return std::nullopt;
}

QString inListTable(StockKind kind)
{
    return QStringLiteral("T_FIFO_InList_") + kindName(kind);
}

QString outListTable(StockKind kind)
{
    return QStringLiteral("T_FIFO_OutList_") + kindName(kind);
}

QString balanceTable(StockKind kind)
{
    switch (kind) {
    case StockKind::Stock:
        return QStringLiteral("GoodsStocksCost");
    case StockKind::Commission:
        return QStringLiteral("CommissionCost");
    case StockKind::Produce:
        return QStringLiteral("GoodsStocksCostSC");
    case StockKind::Consign:
        return QStringLiteral("GoodsStocksCostWeiWai");
    }
    return {};
}

namespace {
LineRule rule(StockKind kind, bool receipt, int appoint, CostLink link = CostLink::None,
              int pairUsedType = -1)
{
    LineRule r;
    r.kind = kind;
    r.receipt = receipt;
    r.appoint = appoint;
    r.link = link;
    r.linkRequired = link == CostLink::PairLine;
    r.pairUsedType = pairUsedType;
    return r;
}
} // namespace

std::optional<LineRule> lineRule(int b, int u)
{
    using K = StockKind;
    switch (b) {
    case 14:
    case 34:
    case 140:
    case 161:
        return rule(K::Stock, true, 1);
    case 6:
        return rule(K::Stock, false, 1);
    case 9:
    case 11:
        return rule(K::Stock, false, 0);
    case 141:
        return rule(K::Stock, false, -1);
    case 45:
        return rule(K::Stock, true, 0, CostLink::SourceLine);
    case 16:
        if (u == 1)
            return rule(K::Stock, false, 0);
        if (u == 2)
            return rule(K::Stock, true, 1);
        return std::nullopt;
    case 21:
        if (u == 0)
            return rule(K::Stock, false, 0);
        if (u == 1)
            return rule(K::Stock, true, 0, CostLink::PairLine, 0);
        return std::nullopt;
    case 25:
        if (u == 1)
            return rule(K::Stock, false, 0);
        if (u == 0)
            return rule(K::Commission, true, 0, CostLink::PairLine, 1);
        return std::nullopt;
    case 26:
        return rule(K::Commission, false, 0);
    case 30:
        if (u == 0)
            return rule(K::Commission, false, 0);
        if (u == 1)
            return rule(K::Stock, true, 0, CostLink::PairLine, 0);
        return std::nullopt;
    case 32:
        return rule(K::Commission, true, 1);
    case 172:
        if (u == 1)
            return rule(K::Stock, false, 0);
        if (u == 2)
            return rule(K::Produce, true, 0, CostLink::PairLine, 1);
        return std::nullopt;
    case 173:
        if (u == 2)
            return rule(K::Produce, false, 0);
        if (u == 1)
            return rule(K::Stock, true, 0, CostLink::PairLine, 2);
        return std::nullopt;
    case 174:
        if (u == 1)
            return rule(K::Stock, true, 1);
        if (u == 2)
            return rule(K::Produce, false, 0);
        return std::nullopt;
    case 176:
        return rule(K::Produce, false, 0);
    case 182:
    case 212:
        if (u == 1)
            return rule(K::Stock, false, 0);
        if (u == 2)
            return rule(K::Consign, true, 0, CostLink::PairLine, 1);
        return std::nullopt;
    case 183:
    case 213:
        if (u == 2)
            return rule(K::Consign, false, 0);
        if (u == 1)
            return rule(K::Stock, true, 0, CostLink::PairLine, 2);
        return std::nullopt;
    case 184:
        if (u == 1)
            return rule(K::Stock, true, 1);
        if (u == 2)
            return rule(K::Consign, false, 0);
        return std::nullopt;
    case 189: {
        // The return of accepted goods leaves stock at their acceptance cost and goes back to the
        // processor at the cost of the acceptance's outsourcing issue; both name their line.
        LineRule r = u == 1 ? rule(K::Stock, false, 1, CostLink::SourceLine)
                            : rule(K::Consign, true, 0, CostLink::SourceLine);
        if (u != 1 && u != 2)
            return std::nullopt;
        r.linkRequired = true;
        return r;
    }
    case 214:
        if (u == 2)
            return rule(K::Consign, false, 0);
        if (u == 1)
            return rule(K::Stock, true, 0, CostLink::PairLine, 2);
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

bool isOpeningType(int b)
{
    return b == 201 || b == 203 || b == 206 || b == 207;
}

StockKind openingKind(int b)
{
    switch (b) {
    case 203:
        return StockKind::Commission;
    case 206:
        return StockKind::Produce;
    case 207:
        return StockKind::Consign;
    default:
        return StockKind::Stock;
    }
}

QString openingTable(int b)
{
    switch (b) {
    case 203:
        return QStringLiteral("DlyIniCom");
    case 206:
        return QStringLiteral("DlyIniProduce");
    case 207:
        return QStringLiteral("DlyIniConsign");
    default:
        return QStringLiteral("DlyIni");
    }
}

QString lineTable(int b)
{
    switch (b) {
    case 6:
    case 34:
    case 161:
        return QStringLiteral("DlyBuy");
    case 11:
    case 26:
    case 45:
        return QStringLiteral("DlySale");
    default:
        return QStringLiteral("DlyOther");
    }
}

QString knownLineTable(const QString &vchSource)
{
    const QString s = vchSource.trimmed().toLower();
    if (s == u"dlybuy")
        return QStringLiteral("DlyBuy");
    if (s == u"dlysale")
        return QStringLiteral("DlySale");
    if (s == u"dlyother")
        return QStringLiteral("DlyOther");
    return {};
}

bool costIsAmount(int b, int u, int appoint)
{
    switch (b) {
    case 9:
    case 21:
    case 141:
    case 172:
    case 173:
    case 182:
    case 183:
    case 189:
    case 212:
    case 213:
    case 214:
        return true;
    case 16:
        return u == 1;
    case 174:
    case 176:
    case 184:
        return appoint == 0;
    default:
        return false;
    }
}

LineCostWriter::LineCostWriter(AccountDatabase &db) : m_db(db) {}

void LineCostWriter::startItem(const QString &ptypeId)
{
    if (ptypeId == m_ptype)
        return;
    m_lines.clear();
    m_listIds.clear();
    m_ptype = ptypeId;
}

const QHash<qint64, LineCostWriter::LineInfo> &LineCostWriter::linesOf(const QString &table,
                                                                       const QString &ptypeId)
{
    startItem(ptypeId);
    auto it = m_lines.find(table);
    if (it == m_lines.end()) {
        QHash<qint64, LineInfo> lines;
        const ResultSet rs = m_db.query(
            QStringLiteral(
                "SELECT Dlyorder, Vchtype, UsedType, Appoint, Qty, FeeTotal FROM %1 WHERE PtypeId = ?")
                .arg(table),
            {ptypeId});
        lines.reserve(rs.rows.size());
        for (const QVariantList &r : rs.rows)
            lines.insert(r[0].toLongLong(),
                         {r[1].toInt(), r[2].toInt(), r[3].toInt(), r[4].toDouble(), r[5].toDouble()});
        it = m_lines.insert(table, lines);
    }
    return it.value();
}

const QHash<qint64, qint64> &LineCostWriter::listIdsOf(const QString &list, const QString &source)
{
    auto it = m_listIds.find(list + u'|' + source);
    if (it == m_listIds.end()) {
        // All the goods item's rows of the list at once, by the goods index: a condition on VchSource
        // as well would steer the query to the (VchSource, Dlyorder) index and every row of a source.
        const ResultSet rs = m_db.query(
            QStringLiteral("SELECT VchSource, Dlyorder, ID FROM %1 WHERE PtypeID = ?").arg(list), {m_ptype});
        m_listIds.insert(list + u'|' + source, {});
        for (const QVariantList &r : rs.rows)
            m_listIds[list + u'|' + r[0].toString()].insert(r[1].toLongLong(), r[2].toLongLong());
        it = m_listIds.find(list + u'|' + source);
    }
    return it.value();
}

bool LineCostWriter::write(const QString &table, qint64 dlyorder, const QString &ptypeId, double price,
                           double total, int amountIsCost, QString *listTable)
{
    if (listTable)
        listTable->clear();
    const QHash<qint64, LineInfo> &lines = linesOf(table, ptypeId);
    const auto found = lines.constFind(dlyorder);
    if (found == lines.constEnd())
        return false;
    const LineInfo &line = found.value();
    if (amountIsCost < 0)
        amountIsCost = costIsAmount(baseType(line.vchtype), line.usedType, line.appoint) ? 1 : 0;
    const double sign = line.qty < 0 ? -1.0 : 1.0;
    const double amount = Round2(std::fabs(total));
    if (amountIsCost == 1) {
        m_db.exec(QStringLiteral("UPDATE %1 SET CostPrice = ?, CostTotal = ?, Price = ?, Total = ? "
                                 "WHERE Dlyorder = ?")
                      .arg(table),
                  {price, sign * amount, price, sign * amount, dlyorder});
    } else {
        m_db.exec(QStringLiteral("UPDATE %1 SET CostPrice = ?, CostTotal = ? WHERE Dlyorder = ?").arg(table),
                  {price, sign * amount, dlyorder});
    }
    const std::optional<LineRule> r = lineRule(baseType(line.vchtype), line.usedType);
    if (!r)
        return true;
    // A receipt's list row keeps its cost without the fee, which it carries separately.
    const double listTotal = r->receipt ? Round2(amount - line.feeTotal) : amount;
    const QString list = r->receipt ? inListTable(r->kind) : outListTable(r->kind);
    const QHash<qint64, qint64> &ids = listIdsOf(list, table.toLower());
    const auto id = ids.constFind(dlyorder);
    if (id != ids.constEnd())
        m_db.exec(QStringLiteral("UPDATE %1 SET CostPrice = ?, CostTotal = ? WHERE ID = ?").arg(list),
                  {price, listTotal, id.value()});
    if (listTable)
        *listTable = list;
    return true;
}

void insertRows(AccountDatabase &db, const QString &head, int columns, const QVariantList &values)
{
    // Statements of 16, 8, 4, 2 and 1 rows: few texts, each compiled once and reused, and small enough
    // that compiling one stays cheap (the cost of numbering the parameters grows with their square).
    QString row = QStringLiteral("(?");
    for (int c = 1; c < columns; ++c)
        row += QStringLiteral(", ?");
    row += u')';
    const qsizetype rows = columns > 0 ? values.size() / columns : 0;
    qsizetype first = 0;
    for (qsizetype n = 16; n >= 1; n /= 2) {
        if (rows - first < n)
            continue;
        QString sql = head + row;
        for (qsizetype i = 1; i < n; ++i)
            sql += QStringLiteral(", ") + row;
        for (; rows - first >= n; first += n)
            db.exec(sql, values.mid(first * columns, n * columns));
    }
}

void writeBalancesFromLists(AccountDatabase &db, const QString &ptypeId, int fromPeriod, int stockMode,
                            bool isGM)
{
    for (StockKind kind : kAllKinds) {
        const bool gmKind = kind == StockKind::Produce || kind == StockKind::Consign;
        if (gmKind && !isGM)
            continue;
        const bool byWarehouse = kind == StockKind::Stock && stockMode != 0;
        const QString keyExpr = byWarehouse ? QStringLiteral("KtypeID") : QStringLiteral("''");
        const ResultSet rs =
            db.query(QStringLiteral("SELECT k, Period, sum(q), sum(t) FROM ("
                                    " SELECT %1 AS k, Period, Qty AS q, CostTotal + FeeTotal AS t"
                                    " FROM %2 WHERE PtypeID = ?"
                                    " UNION ALL"
                                    " SELECT %1, Period, -Qty, -(CostTotal + FeeTotal)"
                                    " FROM %3 WHERE PtypeID = ?"
                                    ") AS m GROUP BY k, Period ORDER BY Period")
                         .arg(keyExpr, inListTable(kind), outListTable(kind)),
                     {ptypeId, ptypeId});
        struct Movement
        {
            QString key;
            int period;
            double qty;
            double total;
        };
        QList<Movement> moves;
        int lastPeriod = fromPeriod;
        for (const QVariantList &r : rs.rows) {
            moves.append({r[0].toString(), r[1].toInt(), r[2].toDouble(), r[3].toDouble()});
            lastPeriod = std::max(lastPeriod, moves.last().period);
        }

        const QString table = balanceTable(kind);
        const QString goodsColumn =
            kind == StockKind::Stock ? QStringLiteral("PtypeId") : QStringLiteral("PTypeID");
        db.exec(QStringLiteral("DELETE FROM %1 WHERE %2 = ? AND Period >= ? AND Period > 0")
                    .arg(table, goodsColumn),
                {ptypeId, fromPeriod});
        if (moves.isEmpty())
            continue;
        const QString head =
            kind == StockKind::Stock
                ? QStringLiteral(
                      "INSERT INTO GoodsStocksCost (PtypeId, KTypeID, BlockNo, Period, Qty, Total) "
                      "VALUES ")
                : QStringLiteral("INSERT INTO %1 (PTypeID, BlockNo, Period, Qty, Total) VALUES ").arg(table);
        const int columns = kind == StockKind::Stock ? 6 : 5;
        QVariantList values;

        QMap<QString, QPair<double, double>> balance; // key -> (qty, total), ordered for stable output
        int next = 0;
        for (int period : periodsFrom(db, fromPeriod)) {
            if (period > lastPeriod)
                break;
            while (next < moves.size() && moves[next].period <= period) {
                auto &b = balance[moves[next].key];
                b.first += moves[next].qty;
                b.second += moves[next].total;
                ++next;
            }
            for (auto it = balance.cbegin(); it != balance.cend(); ++it) {
                values << ptypeId;
                if (kind == StockKind::Stock)
                    values << it.key();
                values << QString() << period << Round4(it.value().first) << Round2(it.value().second);
            }
        }
        insertRows(db, head, columns, values);
    }
}

void refreshMatched(AccountDatabase &db, const QString &ptypeId, int period)
{
    for (StockKind kind : kAllKinds) {
        const QString in = inListTable(kind);
        db.exec(QStringLiteral(
                    "UPDATE %1 SET "
                    "MatchedQty = coalesce((SELECT sum(m.Qty) FROM T_FIFO_MatchList m WHERE m.Dest = ? "
                    "  AND m.InTable = %1.VchSource AND m.InDlyorder = %1.Dlyorder AND m.Period < ?), 0), "
                    "MatchedTotal = coalesce((SELECT sum(m.Total) FROM T_FIFO_MatchList m WHERE m.Dest = ? "
                    "  AND m.InTable = %1.VchSource AND m.InDlyorder = %1.Dlyorder AND m.Period < ?), 0) "
                    "WHERE PtypeID = ? AND Period < ?")
                    .arg(in),
                {kindName(kind), period, kindName(kind), period, ptypeId, period});
        // Receipts of the current period and later are matched afresh by every calculation.
        db.exec(QStringLiteral("UPDATE %1 SET MatchedQty = 0, MatchedTotal = 0 "
                               "WHERE PtypeID = ? AND Period >= ? AND (MatchedQty <> 0 OR MatchedTotal <> 0)")
                    .arg(in),
                {ptypeId, period});
    }
}

namespace {

bool readRecordsOf(QXmlStreamReader &xml, const QString &parent, QList<XmlRecord> &records, QString *error)
{
    while (xml.readNextStartElement()) {
        if (xml.name() != u"Record") {
            if (error)
                *error =
                    QStringLiteral("XML 中有未知元素：%1（在 %2 中）").arg(xml.name().toString(), parent);
            return false;
        }
        records.append(XmlRecord(xml.attributes()));
        xml.skipCurrentElement();
    }
    return !xml.hasError();
}

bool finish(QXmlStreamReader &xml, QString *error)
{
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (error)
                *error = QStringLiteral("XML 的根元素之后还有内容。");
            return false;
        }
    }
    if (xml.hasError()) {
        if (error)
            *error =
                QStringLiteral("XML 格式错误：%1（第 %2 行）").arg(xml.errorString()).arg(xml.lineNumber());
        return false;
    }
    return true;
}

bool openRoot(QXmlStreamReader &xml, QString *error)
{
    if (!xml.readNextStartElement() || xml.name() != u"Root") {
        if (error)
            *error = xml.hasError() ? QStringLiteral("XML 格式错误：") + xml.errorString()
                                    : QStringLiteral("XML 的根元素必须是 Root。");
        return false;
    }
    return true;
}

} // namespace

bool parseRecords(const QString &xml, QList<XmlRecord> &records, QString *error)
{
    records.clear();
    if (xml.trimmed().isEmpty())
        return true;
    QXmlStreamReader reader(xml);
    if (!openRoot(reader, error))
        return false;
    if (!readRecordsOf(reader, QStringLiteral("Root"), records, error)) {
        if (error && error->isEmpty())
            *error = QStringLiteral("XML 格式错误：") + reader.errorString();
        if (error && reader.hasError())
            *error = QStringLiteral("XML 格式错误：%1（第 %2 行）")
                         .arg(reader.errorString())
                         .arg(reader.lineNumber());
        return false;
    }
    return finish(reader, error);
}

bool parseSections(const QString &xml, QHash<QString, QList<XmlRecord>> &sections, QString *error)
{
    sections.clear();
    QXmlStreamReader reader(xml);
    if (!openRoot(reader, error))
        return false;
    while (reader.readNextStartElement()) {
        const QString name = reader.name().toString();
        QList<XmlRecord> &records = sections[name];
        if (!readRecordsOf(reader, name, records, error)) {
            if (error && reader.hasError())
                *error = QStringLiteral("XML 格式错误：%1（第 %2 行）")
                             .arg(reader.errorString())
                             .arg(reader.lineNumber());
            return false;
        }
    }
    return finish(reader, error);
}

bool numberAttr(const XmlRecord &r, const QString &name, double &value)
{
    if (!r.contains(name))
        return false;
    bool ok = false;
    value = r.view(name).trimmed().toDouble(&ok);
    return ok && std::isfinite(value);
}

bool intAttr(const XmlRecord &r, const QString &name, qint64 &value)
{
    if (!r.contains(name))
        return false;
    bool ok = false;
    value = r.view(name).trimmed().toLongLong(&ok);
    return ok;
}

QList<int> periodsFrom(AccountDatabase &db, int from)
{
    QList<int> periods;
    const ResultSet rs = db.query(
        QStringLiteral("SELECT Period FROM T_Gbl_MonthProc WHERE Period >= ? ORDER BY Period"), {from});
    for (const QVariantList &r : rs.rows)
        periods << r[0].toInt();
    return periods;
}

int sysInt(AccountDatabase &db, const QString &name, int fallback)
{
    bool ok = false;
    const int v = db.value(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = ?"), {name})
                      .toString()
                      .trimmed()
                      .toInt(&ok);
    return ok ? v : fallback;
}

bool sysCon(AccountDatabase &db, int conId)
{
    return db.value(QStringLiteral("SELECT Stats FROM T_Gbl_SysCon WHERE ConId = ?"), {conId}).toInt() == 1;
}

QStringList bulkWriteSettings(const AccountDatabase &db, bool on)
{
    if (db.isServer())
        return {};
    // A chunk of a large account set changes a page or two of nearly every bill page; copying the log
    // back after every chunk would write them all twice. (The savepoint sub-journal of each goods item
    // is in memory on every connection, see AccountDatabase.)
    if (on)
        return {QStringLiteral("PRAGMA wal_autocheckpoint = 262144"),
                QStringLiteral("PRAGMA cache_size = -262144")};
    // One copy back at the end, without waiting for readers.
    return {QStringLiteral("PRAGMA wal_autocheckpoint = 1000"), QStringLiteral("PRAGMA cache_size = -65536"),
            QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)")};
}

} // namespace accountdb::costing
