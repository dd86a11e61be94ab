// Bill export: the list of bills to export and the rows of one bill.
//
// p_jxc_Disp_Export(@szBEGINDate, @szENDDate, @Vchtype, @szETypeID, @szSummary, @szBTypeID, @szKTypeID,
//                   @szDTypeID, @szComment, @Draft, @RedOld, @OperatorID)
//   Posted bills (drafts too when @Draft is empty) dated in the range, of the bill type named @Vchtype
//   (all when empty), of the handler, unit, warehouse and department given ("00000" = all; a class
//   takes its members), whose summary contains @szSummary, without the reversed ones when @RedOld is
//   "F". One row per bill, ordered by date and code, with the codes and names of its base data. Bills
//   that name a unit, warehouse, department or goods the operator @OperatorID may not use are left out.
//
// p_jxc_ExportBillData(@vchcode, @draft, @Vchtype) -> @Custom1, @Custom2
//   The lines of one bill with goods code and name, positive quantity and amounts, the line's warehouse
//   and the goods' parent class (parnetName, parnetCode). DetailSign is the line's UsedType, which tells
//   the lines of transfers, assemblies and the production and outsourcing pairs apart. A line that takes
//   its cost from a line of an earlier bill (a sales return, an outsourcing return) names it in
//   BtypeOtherCode as "<bill number>/<row>". @Custom1 is the bill's Draft state, @Custom2 its bill type
//   number.
//
// p_jxc_CheckImportData(@szUserCode, @szFullName, @cMode)
//   Whether a value of an import file exists here: @cMode "P" goods, "B" unit, "E" handler, "K"
//   warehouse, "D" department (by code; only leaves, not deleted), "V" bill type (by name). Returns
//   1 when it exists, 0 when not, -1 for an unknown mode.
//
// p_jxc_LoadDlyForJS(@Custom1, @Vchcode)
//   The goods rows of a sales bill for the tax-invoice export ("dly": the posted lines): goods id and
//   name, unit, size and model (规格), positive quantity and amounts, tax rate (per cent), price and
//   discount.

#include "ProcsBillIo.h"
#include "AccountDatabase.h"
#include "BaseRights.h"
#include "CostingCommon.h"
#include "Procedures.h"

namespace accountdb {

namespace {

// Bills the operator may see in full: no unit, warehouse or department of the head and no goods or
// warehouse of a line is one his base-data rights forbid.
QString exportRightsFilter(const QString &operatorId, QVariantList &params)
{
    const QString units = baserights::notAllowedSql(u'B');
    const QString stocks = baserights::notAllowedSql(u'K');
    QString filter =
        QStringLiteral(" AND d.BtypeId NOT IN (%1) AND d.BtypeId2 NOT IN (%1) AND d.KtypeId NOT IN "
                       "(%2) AND d.KTypeID2 NOT IN (%2) AND d.DtypeId NOT IN (%3)")
            .arg(units, stocks, baserights::notAllowedSql(u'D'));
    params << operatorId << operatorId << operatorId << operatorId << operatorId;
    for (const char *table : {"DlyBuy", "DlySale", "DlyOther"}) {
        filter += QStringLiteral(" AND NOT EXISTS (SELECT 1 FROM %1 l WHERE l.Vchcode = d.Vchcode AND "
                                 "(l.PtypeId IN (%2) OR l.KtypeId IN (%3)))")
                      .arg(QLatin1String(table), baserights::notAllowedSql(u'P'), stocks);
        params << operatorId << operatorId;
    }
    return filter;
}

// "@x = '00000' or the column is x or one of its members" for a base-data filter.
void addTypeFilter(QString &where, QVariantList &params, const QString &column, const QString &id)
{
    const QString value = id.trimmed();
    if (value.isEmpty() || value == QStringLiteral("00000"))
        return;
    where += QStringLiteral(" AND %1 LIKE ?").arg(column);
    params << value + u'%';
}

int dispExport(ProcContext &ctx)
{
    QString where = QStringLiteral(" WHERE d.Date >= ? AND d.Date <= ?");
    QVariantList params{ctx.in(QStringLiteral("@szBEGINDate")).toString(),
                        ctx.in(QStringLiteral("@szENDDate")).toString()};
    const QString typeName = ctx.in(QStringLiteral("@Vchtype")).toString().trimmed();
    if (!typeName.isEmpty()) {
        where += QStringLiteral(" AND v.Name = ?");
        params << typeName;
    }
    addTypeFilter(where, params, QStringLiteral("d.EtypeId"),
                  ctx.in(QStringLiteral("@szETypeID")).toString());
    addTypeFilter(where, params, QStringLiteral("d.BtypeId"),
                  ctx.in(QStringLiteral("@szBTypeID")).toString());
    addTypeFilter(where, params, QStringLiteral("d.KtypeId"),
                  ctx.in(QStringLiteral("@szKTypeID")).toString());
    addTypeFilter(where, params, QStringLiteral("d.DtypeId"),
                  ctx.in(QStringLiteral("@szDTypeID")).toString());
    const QString summary = ctx.in(QStringLiteral("@szSummary")).toString().trimmed();
    if (!summary.isEmpty()) {
        where += QStringLiteral(" AND d.Summary LIKE ?");
        params << u'%' + summary + u'%';
    }
    const QString comment = ctx.in(QStringLiteral("@szComment")).toString().trimmed();
    if (!comment.isEmpty()) {
        where += QStringLiteral(" AND d.Comment LIKE ?");
        params << u'%' + comment + u'%';
    }
    if (!ctx.in(QStringLiteral("@Draft")).toString().trimmed().isEmpty())
        where += QStringLiteral(" AND d.Draft = 2");
    if (ctx.in(QStringLiteral("@RedOld")).toString().trimmed() == QStringLiteral("F"))
        where += QStringLiteral(" AND d.RedOld = 'F'");
    where += exportRightsFilter(ctx.in(QStringLiteral("@OperatorID")).toString(), params);
    ctx.setResult(
        QStringLiteral(
            "SELECT 0 AS checked, coalesce(v.Name, '') AS nvchtype, d.Number AS number, "
            "coalesce(e.FullName, '') AS netypeid, coalesce(b.FullName, '') AS nbtypeid, "
            "coalesce(b2.FullName, '') AS BFullName2, coalesce(k.FullName, '') AS nktypeid, "
            "coalesce(dp.FullName, '') AS ndeptid, '' AS mfullname, d.Total AS total, d.Summary AS summary, "
            "CASE WHEN d.Draft = 2 THEN '' ELSE '草稿' END AS draftname, d.Vchcode AS vchcode, "
            "d.Vchtype AS vchtype, d.RedWord AS redword, d.Draft AS draft, coalesce(b.UserCode, '') AS "
            "bbtypeid, "
            "coalesce(k.UserCode, '') AS bktypeid, coalesce(e.UserCode, '') AS betypeid, "
            "coalesce(dp.UserCode, '') AS bdeptid, coalesce(k2.FullName, '') AS nktypeid2, "
            "coalesce(k2.UserCode, '') AS bktypeid2, d.Date AS date, coalesce(b2.UserCode, '') AS "
            "BUserCode2, "
            "'' AS musercode "
            "FROM DlyNdx d LEFT JOIN T_GBL_Vchtype v ON v.Vchtype = d.Vchtype "
            "LEFT JOIN btype b ON b.typeId = d.BtypeId LEFT JOIN btype b2 ON b2.typeId = d.BtypeId2 "
            "LEFT JOIN Employee e ON e.TypeId = d.EtypeId LEFT JOIN stock k ON k.typeId = d.KtypeId "
            "LEFT JOIN stock k2 ON k2.typeId = d.KTypeID2 LEFT JOIN Department dp ON dp.typeId = d.DtypeId") +
            where + QStringLiteral(" ORDER BY d.Date, d.Vchcode"),
        params);
    return 0;
}

int exportBillData(ProcContext &ctx)
{
    const qint64 vchcode = ctx.in(QStringLiteral("@vchcode")).toLongLong();
    const QVariant found =
        ctx.value(QStringLiteral("SELECT Vchtype FROM DlyNdx WHERE Vchcode = ?"), {vchcode});
    const int vchtype = found.isValid() ? found.toInt() : ctx.in(QStringLiteral("@Vchtype")).toInt();
    ctx.setOut(QStringLiteral("@Custom1"), ctx.in(QStringLiteral("@draft")).toString());
    ctx.setOut(QStringLiteral("@Custom2"), QString::number(vchtype));
    ctx.setResult(
        QStringLiteral(
            "SELECT p.UserCode AS UserCode, p.FullName AS FullName, abs(l.Qty) AS Qty, l.Price AS price, "
            "abs(l.Total) AS total, l.Discount AS discount, l.DiscountPrice AS DiscountPrice, "
            "abs(l.DiscountTotal) AS discounttotal, l.Tax AS tax, l.TaxPrice AS TaxPrice, "
            "abs(l.TaxTotal) AS TaxTotal, l.Comment AS comment, l.ProDate AS Prodate, l.BlockNo AS BlockNo, "
            "l.GoodsNo AS GoodsNo, '' AS UserDefined01Code, '' AS UserDefined01Name, '' AS "
            "UserDefined02Code, "
            "'' AS UserDefined02Name, '' AS UserDefined03Code, '' AS UserDefined03Name, "
            "'' AS UserDefined04Code, '' AS UserDefined04Name, coalesce(k.UserCode, '') AS KTypeCode, "
            "coalesce(k.FullName, '') AS KFullName, 0 AS QtyOther, "
            "CASE WHEN s.Vchcode IS NOT NULL AND s.Vchcode <> l.Vchcode "
            "THEN sn.Number || '/' || CAST(s.RowNo AS TEXT) ELSE '' END AS BtypeOtherCode, "
            "l.UsedType AS DetailSign, coalesce(pp.FullName, '') AS parnetName, "
            "coalesce(pp.UserCode, '') AS parnetCode, l.Comment AS Memo, 0 AS CashOver "
            "FROM %1 l JOIN ptype p ON p.typeId = l.PtypeId LEFT JOIN ptype pp ON pp.typeId = p.ParId "
            "LEFT JOIN stock k ON k.typeId = l.KtypeId "
            "LEFT JOIN %2 s ON l.SourceDlyorder > 0 AND s.Dlyorder = l.SourceDlyorder "
            "LEFT JOIN DlyNdx sn ON sn.Vchcode = s.Vchcode WHERE l.Vchcode = ? ORDER BY l.RowNo, l.Dlyorder")
            .arg(costing::lineTable(costing::baseType(vchtype)), billio::sourceTable(vchtype)),
        {vchcode});
    return 0;
}

int checkImportData(ProcContext &ctx)
{
    const QString code = ctx.in(QStringLiteral("@szUserCode")).toString().trimmed();
    const QString mode = ctx.in(QStringLiteral("@cMode")).toString().trimmed().toUpper();
    if (mode == QStringLiteral("V"))
        return ctx.value(QStringLiteral("SELECT 1 FROM T_GBL_Vchtype WHERE Name = ?"), {code}).isValid() ? 1
                                                                                                         : 0;
    const QString table = billio::baseTable(mode);
    if (table.isEmpty())
        return -1;
    return billio::typeIdOf(ctx, table, code).isEmpty() ? 0 : 1;
}

int loadDlyForJs(ProcContext &ctx)
{
    ctx.setResult(
        QStringLiteral("SELECT l.PtypeId AS PTYPEID, p.FullName AS PFULLNAME, p.Unit1 AS UNIT, "
                       "p.Unit1 AS UNIT1, '' AS UNIT2, p.Standard AS STANDARD, abs(l.Qty) AS QTY, "
                       "abs(l.Total) AS TOTAL, l.Tax AS TAX, l.Price AS PRICE, l.Discount AS DISCOUNT, "
                       "abs(l.DiscountTotal) AS DISCOUNTTOTAL, abs(l.TaxTotal) AS TAXTOTAL "
                       "FROM DlySale l LEFT JOIN ptype p ON p.typeId = l.PtypeId "
                       "WHERE l.Vchcode = ? ORDER BY l.RowNo, l.Dlyorder"),
        {ctx.in(QStringLiteral("@Vchcode")).toLongLong()});
    return 0;
}

} // namespace

namespace billio {

QString baseTable(const QString &mode)
{
    if (mode == QStringLiteral("P"))
        return QStringLiteral("ptype");
    if (mode == QStringLiteral("B"))
        return QStringLiteral("btype");
    if (mode == QStringLiteral("E"))
        return QStringLiteral("Employee");
    if (mode == QStringLiteral("K"))
        return QStringLiteral("stock");
    if (mode == QStringLiteral("D"))
        return QStringLiteral("Department");
    return QString();
}

QString sourceTable(int vchtype)
{
    return costing::baseType(vchtype) == 45 ? QStringLiteral("DlySale") : QStringLiteral("DlyOther");
}

QString typeIdOf(ProcContext &ctx, const QString &table, const QString &userCode)
{
    if (userCode.isEmpty())
        return QString();
    return ctx
        .value(QStringLiteral("SELECT typeId FROM %1 WHERE UserCode = ? AND Sonnum = 0 AND Deleted = 0 "
                              "ORDER BY typeId LIMIT 1")
                   .arg(table),
               {userCode})
        .toString();
}

} // namespace billio

void registerBillIoProcs(ProcRegistry &registry)
{
    registry.addReader(QStringLiteral("p_jxc_Disp_Export"), &dispExport);
    registry.addReader(QStringLiteral("p_jxc_ExportBillData"), &exportBillData);
    registry.addReader(QStringLiteral("p_jxc_CheckImportData"), &checkImportData);
    registry.addReader(QStringLiteral("p_jxc_LoadDlyForJS"), &loadDlyForJs);
    registerBillIoImportProcs(registry);
}

} // namespace accountdb
