// Stock limits (T_Jxc_PtypeWarn): KtypeId "00000" holds the limits over all warehouses, any other id
// those of one warehouse. WarnUp 999999999 is "no upper limit"; a row that warns nothing (lower 0, no
// upper) is never stored.
//
// P_KOVA_PKuCunWarn(@OperatorID)   the all-warehouse rows: ptypeid, PUSERCODE, PFULLNAME, WarnDown, WarnUp
// P_KOVA_KPKuCunWarn(@OperatorID)  the per-warehouse rows: KTypeID, PtypeId, PUSERCODE, PFULLNAME,
//                                  WarnDown, WarnUp, ordered by warehouse
// P_JXC_SavePtypeWarn(@PTypeXML)   replaces the all-warehouse limits by the document's rows
// P_JXC_SavePartStocksWarn(@PTypeXML) replaces the per-warehouse limits by the document's rows
//   Both check every row first (goods item present and not a class, warehouse a leaf, 0 <= lower < upper
//   <= 100000000 or no upper, no item twice) and answer one row (RowNo, PTypeID, Msg) per failure; with
//   any failure nothing is written.
// P_JXC_ImportPtypeSaleQty(@PTypeXML)  the document's rows with the safe stock as lower limit: the
//   quantity sold (sales less sales returns, posted) in the 90 days up to today divided by 3, i.e. one
//   month of sales. Rows that cannot take it keep their values and carry ErrorMsg.
// p_jxc_InsertWarn(@szPTypeID, @szKTypeID, @Custom1 upper, @Custom2 lower)  stores one pair (both 0
//   removes it); -100 when the goods item is a class or deleted.

#include <QDate>
#include <QRegularExpression>
#include <QSet>

#include "AccountDatabase.h"
#include "Kvbasicfun.h"
#include "Procedures.h"

namespace accountdb {

namespace {

constexpr double kNoUpper = 999999999;
constexpr double kMaxLimit = 100000000;
const QString kAllStocks = QStringLiteral("00000");

using XmlRecord = QHash<QString, QString>;

QString unescapeXml(QString text)
{
    text.replace(QLatin1String("&lt;"), QLatin1String("<"));
    text.replace(QLatin1String("&gt;"), QLatin1String(">"));
    text.replace(QLatin1String("&apos;"), QLatin1String("'"));
    text.replace(QLatin1String("&quot;"), QLatin1String("\""));
    text.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return text;
}

// The documents of the limit windows: <Record name="value" ... /> with "&", "<" and "'" escaped but the
// straight double quote left as it is, so a value ends where the next ` name="` (or the closing `/>`)
// begins rather than at the first quote.
QList<XmlRecord> parseRecords(const QString &xml)
{
    static const QRegularExpression attribute(QStringLiteral(R"((?:^|" )(\w+)=")"));
    QList<XmlRecord> records;
    int from = 0;
    for (;;) {
        const int start = xml.indexOf(QLatin1String("<Record "), from);
        if (start < 0)
            break;
        const int bodyStart = start + 8;
        int end = xml.indexOf(QLatin1String("\" />"), bodyStart);
        int closeLength = 4;
        if (end < 0) {
            end = xml.indexOf(QLatin1String("/>"), bodyStart);
            closeLength = 2;
            if (end < 0)
                break;
        }
        const QString body = xml.mid(bodyStart, end - bodyStart);
        XmlRecord record;
        QList<QRegularExpressionMatch> matches;
        for (auto it = attribute.globalMatch(body); it.hasNext();)
            matches << it.next();
        for (int i = 0; i < matches.size(); ++i) {
            const int valueStart = int(matches[i].capturedEnd());
            const int valueEnd =
                i + 1 < matches.size() ? int(matches[i + 1].capturedStart()) : int(body.size());
            record.insert(matches[i].captured(1).toLower(),
                          unescapeXml(body.mid(valueStart, valueEnd - valueStart)));
        }
        records << record;
        from = end + closeLength;
    }
    return records;
}

struct GoodsState
{
    bool exists = false;
    bool isClass = false;
    QString userCode, fullName;
};

GoodsState goods(ProcContext &ctx, const QString &ptypeId)
{
    GoodsState g;
    QSqlQuery q = ctx.exec(
        QStringLiteral("SELECT Sonnum, Deleted, UserCode, FullName FROM ptype WHERE typeId = ?"), {ptypeId});
    if (q.next()) {
        g.exists = q.value(1).toInt() == 0;
        g.isClass = q.value(0).toInt() > 0;
        g.userCode = q.value(2).toString();
        g.fullName = q.value(3).toString();
    }
    return g;
}

// Validates a save document; fills the failure rows of the result. True when every row is fine.
bool checkLimits(ProcContext &ctx, const QList<XmlRecord> &records, bool perStock)
{
    ResultSet &rs = ctx.result();
    rs.columns = QStringList{QStringLiteral("RowNo"), QStringLiteral("PTypeID"), QStringLiteral("Msg")};
    ctx.setHasResult(true);
    QSet<QString> seen;
    for (int i = 0; i < records.size(); ++i) {
        const XmlRecord &r = records[i];
        const QString ptypeId = r.value(QStringLiteral("ptypeid")).trimmed();
        const QString ktypeId = r.value(QStringLiteral("ktypeid")).trimmed();
        const QString name = r.value(QStringLiteral("pfullname"));
        const QString where =
            perStock ? QStringLiteral("仓库[%1]存货[%2]").arg(r.value(QStringLiteral("kfullname")), name)
                     : QStringLiteral("第%1行存货[%2]").arg(i + 1).arg(name);
        const double down = r.value(QStringLiteral("warndown")).toDouble();
        const double up = r.value(QStringLiteral("warnup")).toDouble();
        QString msg;
        const GoodsState g = goods(ctx, ptypeId);
        if (!g.exists)
            msg = where + QStringLiteral("已经被删除。");
        else if (g.isClass)
            msg = where + QStringLiteral("是存货类别，不能设置报警上下限。");
        else if (perStock &&
                 ctx.value(QStringLiteral("SELECT count(*) FROM stock WHERE typeId = ? AND Sonnum = 0 "
                                          "AND Deleted = 0"),
                           {ktypeId})
                         .toInt() == 0)
            msg = where + QStringLiteral("的仓库已经被分类或删除。");
        else if (down < 0 || down > kMaxLimit || up < 0 || (up > kMaxLimit && up != kNoUpper))
            msg = where + QStringLiteral("的报警上下限超出范围（0～100000000）。");
        else if (up != kNoUpper && down >= up)
            msg = where + QStringLiteral("报警上限必须大于报警下限。");
        else if (seen.contains(ktypeId + u'|' + ptypeId))
            msg = where + QStringLiteral("重复。");
        seen.insert(ktypeId + u'|' + ptypeId);
        if (!msg.isEmpty())
            rs.rows.append({i + 1, ptypeId, msg});
    }
    return rs.rows.isEmpty();
}

void insertLimits(ProcContext &ctx, const QList<XmlRecord> &records, bool perStock)
{
    for (const XmlRecord &r : records) {
        const double down = Kvbasicfun::FloatToFloatBit(r.value(QStringLiteral("warndown")).toDouble(), 4);
        const double up = Kvbasicfun::FloatToFloatBit(r.value(QStringLiteral("warnup")).toDouble(), 4);
        if (down == 0 && up == kNoUpper)
            continue;
        ctx.exec(QStringLiteral(
                     "INSERT INTO T_Jxc_PtypeWarn (PtypeId, KtypeId, WarnDown, WarnUp) VALUES (?, ?, ?, ?)"),
                 {r.value(QStringLiteral("ptypeid")).trimmed(),
                  perStock ? r.value(QStringLiteral("ktypeid")).trimmed() : kAllStocks, down, up});
    }
}

int savePtypeWarn(ProcContext &ctx)
{
    const QList<XmlRecord> records = parseRecords(ctx.in(QStringLiteral("@PTypeXML")).toString());
    if (!checkLimits(ctx, records, false))
        return 0;
    ctx.exec(QStringLiteral("DELETE FROM T_Jxc_PtypeWarn WHERE KtypeId = ?"), {kAllStocks});
    insertLimits(ctx, records, false);
    return 0;
}

int savePartStocksWarn(ProcContext &ctx)
{
    const QList<XmlRecord> records = parseRecords(ctx.in(QStringLiteral("@PTypeXML")).toString());
    if (!checkLimits(ctx, records, true))
        return 0;
    ctx.exec(QStringLiteral("DELETE FROM T_Jxc_PtypeWarn WHERE KtypeId <> ?"), {kAllStocks});
    insertLimits(ctx, records, true);
    return 0;
}

int importPtypeSaleQty(ProcContext &ctx)
{
    const QList<XmlRecord> records = parseRecords(ctx.in(QStringLiteral("@PTypeXML")).toString());
    ResultSet &rs = ctx.result();
    rs.columns =
        QStringList{QStringLiteral("ptypeid"),  QStringLiteral("PUSERCODE"), QStringLiteral("PFULLNAME"),
                    QStringLiteral("WarnDown"), QStringLiteral("WarnUp"),    QStringLiteral("ErrorMsg")};
    ctx.setHasResult(true);
    const QDate today = QDate::currentDate();
    const QVariantList range{today.addDays(-89).toString(QStringLiteral("yyyy-MM-dd")),
                             today.toString(QStringLiteral("yyyy-MM-dd"))};
    for (const XmlRecord &r : records) {
        const QString ptypeId = r.value(QStringLiteral("ptypeid")).trimmed();
        const double oldDown = r.value(QStringLiteral("warndown")).toDouble();
        const double up = r.value(QStringLiteral("warnup")).toDouble();
        const GoodsState g = goods(ctx, ptypeId);
        if (!g.exists || g.isClass) {
            rs.rows.append({ptypeId, g.userCode, r.value(QStringLiteral("pfullname")), oldDown, up,
                            QStringLiteral("存货[%1]已经被分类或删除，不能导入安全库存。")
                                .arg(r.value(QStringLiteral("pfullname")))});
            continue;
        }
        const double sold =
            -ctx.value(QStringLiteral("SELECT coalesce(sum(Qty), 0) FROM DlySale WHERE PtypeId = ? "
                                      "AND Vchtype IN (11, 45) AND Draft = 2 AND Date BETWEEN ? AND ?"),
                       QVariantList{ptypeId} + range)
                 .toDouble();
        const double safe = Kvbasicfun::FloatToFloatBit(qMax(0.0, sold) / 3, 4);
        if (up != kNoUpper && safe >= up) {
            rs.rows.append({ptypeId, g.userCode, g.fullName, oldDown, up,
                            QStringLiteral("存货[%1]的安全库存%2不小于报警上限，未导入。")
                                .arg(g.fullName, Kvbasicfun::FloatToStringBit(safe, 4))});
            continue;
        }
        rs.rows.append({ptypeId, g.userCode, g.fullName, safe, up, QString()});
    }
    return 0;
}

int insertWarn(ProcContext &ctx)
{
    const QString ptypeId = ctx.in(QStringLiteral("@szPTypeID")).toString().trimmed();
    QString ktypeId = ctx.in(QStringLiteral("@szKTypeID")).toString().trimmed();
    if (ktypeId.isEmpty())
        ktypeId = kAllStocks;
    const double up = Kvbasicfun::FloatToFloatBit(ctx.in(QStringLiteral("@Custom1")).toDouble(), 4);
    const double down = Kvbasicfun::FloatToFloatBit(ctx.in(QStringLiteral("@Custom2")).toDouble(), 4);
    const GoodsState g = goods(ctx, ptypeId);
    if (!g.exists || g.isClass)
        return -100;
    ctx.exec(QStringLiteral("DELETE FROM T_Jxc_PtypeWarn WHERE PtypeId = ? AND KtypeId = ?"),
             {ptypeId, ktypeId});
    if (up != 0 || down != 0)
        ctx.exec(QStringLiteral(
                     "INSERT INTO T_Jxc_PtypeWarn (PtypeId, KtypeId, WarnDown, WarnUp) VALUES (?, ?, ?, ?)"),
                 {ptypeId, ktypeId, down, up});
    return 0;
}

int pKuCunWarn(ProcContext &ctx)
{
    ctx.setResult(
        QStringLiteral("SELECT w.PtypeId AS ptypeid, p.UserCode AS PUSERCODE, p.FullName AS PFULLNAME, "
                       "p.Sonnum AS sonnum, w.WarnDown, w.WarnUp FROM T_Jxc_PtypeWarn w "
                       "JOIN ptype p ON p.typeId = w.PtypeId WHERE w.KtypeId = ? ORDER BY p.UserCode"),
        {kAllStocks});
    return 0;
}

int kpKuCunWarn(ProcContext &ctx)
{
    ctx.setResult(
        QStringLiteral("SELECT w.KtypeId AS KTypeID, w.PtypeId AS PtypeId, p.UserCode AS PUSERCODE, "
                       "p.FullName AS PFULLNAME, w.WarnDown, w.WarnUp FROM T_Jxc_PtypeWarn w "
                       "JOIN ptype p ON p.typeId = w.PtypeId WHERE w.KtypeId <> ? "
                       "ORDER BY w.KtypeId, p.UserCode"),
        {kAllStocks});
    return 0;
}

} // namespace

void registerWarnProcs(ProcRegistry &registry)
{
    registry.addReader(QStringLiteral("P_KOVA_PKuCunWarn"), pKuCunWarn);
    registry.addReader(QStringLiteral("P_KOVA_KPKuCunWarn"), kpKuCunWarn);
    registry.add(QStringLiteral("P_JXC_SavePtypeWarn"), savePtypeWarn);
    registry.add(QStringLiteral("P_JXC_SavePartStocksWarn"), savePartStocksWarn);
    registry.addReader(QStringLiteral("P_JXC_ImportPtypeSaleQty"), importPtypeSaleQty);
    registry.add(QStringLiteral("p_jxc_InsertWarn"), insertWarn);
    registerWarnListProcs(registry);
}

} // namespace accountdb
