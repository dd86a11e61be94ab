// Bill layouts and column formulas.
//
// P_KOVA_LoadVchConfig(@nTabType, @nDataArea, @VchType, @IsPlugInVchtype)  the rows of one configuration
//   tab: header fields (tab type 0) with their binding and related basic data, or the grid columns of a
//   data area (1: ordinary columns and the custom columns 125/126 with their type, 2: the free items) with
//   their formula and binding. Plug-in bill types read the plug-in tables.
// P_Jxc_GetFreeDomConfig(@nVchType, @nDataArea)  the free items of a grid with their system values: the
//   bill-total flag (UserDefineN_Total "T") and the decimals (UserDefineN_Dec).
// P_KOVA_LoadBillColumnName(@VchType, @nDataArea)  the columns a formula may name: fieldname, ColumnName,
//   CMKvColumnNo, IsColumn, visible (numeric columns on the bill).
// P_KOVA_SaveBillFormula(@VchType, @nDataArea, @ColumnName, @FFieldName, @FormulaContent, @Formula, @Calc,
//   @FormulaType, @DetailXML)  replaces the column's formula; the detail document lists the columns it
//   reads. -1 when the bill has no such column.
// P_KOVA_DelBillFormula(@VchType, @nDataArea, @ColumnName)  removes the column's formula.
// P_KOVA_SaveAsAllBillFormula(@VchType, @ColumnName, @FormulaContent, @Formula, @Calc, @FormulaType,
//   @DetailXML)  writes the formula to every system bill type that has the column and every column the
//   formula reads in the same grid; returns the number of grids written.

#include <QXmlStreamReader>

#include "AccountDatabase.h"
#include "Procedures.h"

namespace accountdb {

namespace {

// Grid columns that are free items (configured on their own tab).
const QString kFreeItems =
    QStringLiteral("(41, 42, 43, 44, 45, 80, 81, 82, 83, 84, 111, 112, 113, 114, 115, 116, 117)");
// Bindings this program reads: no version mark or its own.
const QString kOwnVersion = QStringLiteral("(coalesce(%1.Version, '') = '' OR %1.Version = 'CS')");

QString layoutPrefix(const ProcContext &ctx)
{
    return ctx.in(QStringLiteral("@IsPlugInVchtype")).toInt() == 1 ? QStringLiteral("T_Inf_PlugIn_")
                                                                   : QStringLiteral("T_Jxc_");
}

QString sysValue(ProcContext &ctx, const QString &name)
{
    ProcParams p{{QStringLiteral("@szName"), name}, {QStringLiteral("@szReturn"), QString(), true}};
    ctx.call(QStringLiteral("P_GBL_GetSysValue"), p);
    for (const ProcParam &param : p)
        if (param.name.compare(QLatin1String("@szReturn"), Qt::CaseInsensitive) == 0)
            return param.value.toString();
    return QString();
}

int loadTitles(ProcContext &ctx, const QString &prefix)
{
    ctx.setResult(
        QStringLiteral(
            "SELECT t.TitleName, CASE WHEN t.FieldNameO = '' THEN t.TitleName ELSE t.FieldNameO END "
            "AS ShowName, CASE t.DataKind WHEN 2 THEN '日期' WHEN 1 THEN '数字' ELSE '文本' END AS Type, "
            "t.Visible, t.Required AS required, "
            "CASE WHEN c.BasicType IS NULL THEN '' ELSE b.BasicName || '-' || c.ReturnTypeName END "
            "AS ShowReturnTypeName, "
            "CASE WHEN r.BasicType IS NULL THEN '' ELSE s.TitleName || '-' || r.ReturnTypeName END "
            "AS ShowRelationBasic, t.VchType, t.DataType, t.IsSystem, coalesce(c.BasicType, -1) AS "
            "BasicType, coalesce(c.ReturnTypeName, '') AS ReturnTypeName "
            "FROM %1VchTitle t "
            "LEFT JOIN T_GBL_CustomBasicSelect c ON c.VchType = t.VchType AND c.DataType = t.DataType "
            "AND c.BasicType <> -1 AND %2 "
            "LEFT JOIN FreeDomBasicType b ON b.BasicType = c.BasicType "
            "LEFT JOIN T_GBL_FreeDomRelationBasic r ON r.VchType = t.VchType AND r.DestDataType = "
            "t.DataType AND r.BasicType <> -1 AND %3 "
            "LEFT JOIN %1VchTitle s ON s.VchType = r.VchType AND s.DataType = r.SourceDataType "
            "WHERE t.VchType = ? ORDER BY t.TitleOrder")
            .arg(prefix, kOwnVersion.arg(QLatin1String("c")), kOwnVersion.arg(QLatin1String("r"))),
        {ctx.in(QStringLiteral("@VchType")).toInt()});
    return 0;
}

int loadColumns(ProcContext &ctx, const QString &prefix, bool freeItems)
{
    ctx.setResult(
        QStringLiteral(
            "SELECT v.FieldName, CASE WHEN v.FieldNameO = '' THEN v.FieldName ELSE v.FieldNameO END AS "
            "ShowName, "
            "'' AS ColumnType, CASE v.DataKind WHEN 2 THEN '日期' WHEN 1 THEN '数字' ELSE '文本' END AS "
            "Type, "
            "v.Visible, coalesce(f.FormulaContent, '') AS FormulaName, 0 AS BillTotal, 0 AS Digits, "
            "CASE WHEN s.BasicType IS NULL THEN '' ELSE b.BasicName || '-' || s.ReturnTypeName END AS "
            "ShowReturnTypeName, v.VchType, v.CanSet, v.GroupNo, v.FreeDomIndex, v.CMKvColumnNo, v.DataArea, "
            "v.ColumnName AS columnname, coalesce(s.BasicType, -1) AS BasicType, coalesce(s.ReturnTypeName, "
            "'') "
            "AS ReturnTypeName, v.ReadOnly AS readonly, v.Enabled AS enabled "
            "FROM %1VchColumn v "
            "LEFT JOIN BillFormula f ON f.Vchtype = v.VchType AND f.DataArea = v.DataArea AND f.ColumnName = "
            "v.ColumnName "
            "LEFT JOIN T_GBL_FreeDomBasicSelect s ON s.VchType = v.VchType AND s.CMKvColumnNo = "
            "v.CMKvColumnNo "
            "AND s.DataArea = v.DataArea AND s.BasicType <> -1 AND %2 "
            "LEFT JOIN FreeDomBasicType b ON b.BasicType = s.BasicType "
            "WHERE v.VchType = ? AND v.DataArea = ? AND v.Display = 1 AND v.CMKvColumnNo %3 IN %4 "
            "ORDER BY v.ColumnOrder")
            .arg(prefix, kOwnVersion.arg(QLatin1String("s")), freeItems ? QString() : QStringLiteral("NOT"),
                 kFreeItems),
        {ctx.in(QStringLiteral("@VchType")).toInt(), ctx.in(QStringLiteral("@nDataArea")).toInt()});
    // The custom columns 3 and 4 are text or date in every bill at once.
    ResultSet &rs = ctx.result();
    const int number = rs.columnIndex(QStringLiteral("CMKvColumnNo"));
    const int type = rs.columnIndex(QStringLiteral("ColumnType"));
    for (QVariantList &row : rs.rows) {
        const int no = row.at(number).toInt();
        if (no == 125 || no == 126)
            row[type] =
                sysValue(ctx, no == 125 ? QStringLiteral("BillColumnType_Custom3")
                                        : QStringLiteral("BillColumnType_Custom4")) == QLatin1String("1")
                    ? QStringLiteral("日期")
                    : QStringLiteral("文本");
    }
    return 0;
}

int loadVchConfig(ProcContext &ctx)
{
    const QString prefix = layoutPrefix(ctx);
    switch (ctx.in(QStringLiteral("@nTabType")).toInt()) {
    case 0:
        return loadTitles(ctx, prefix);
    case 1:
        return loadColumns(ctx, prefix, false);
    case 2:
        return loadColumns(ctx, prefix, true);
    default:
        return -1;
    }
}

int getFreeDomConfig(ProcContext &ctx)
{
    const ResultSet items = ctx.database().query(
        QStringLiteral("SELECT ColumnName, DataKind FROM T_Jxc_VchColumn WHERE VchType = ? AND DataArea = ? "
                       "AND CMKvColumnNo IN %1 ORDER BY ColumnOrder")
            .arg(kFreeItems),
        {ctx.in(QStringLiteral("@nVchType")).toInt(), ctx.in(QStringLiteral("@nDataArea")).toInt()});
    ResultSet &rs = ctx.result();
    rs.columns = {QStringLiteral("columnname"), QStringLiteral("freedomdatafield"),
                  QStringLiteral("freedomsumtotal"), QStringLiteral("freedomdec")};
    for (const QVariantList &item : items.rows) {
        const QString column = item.at(0).toString();
        const QString field = QString(column).replace(QLatin1String("FreeDom"), QLatin1String("UserDefine"));
        bool ok = false;
        int digits = sysValue(ctx, field + QStringLiteral("_Dec")).toInt(&ok);
        if (!ok)
            digits = item.at(1).toInt() == 1 ? 2 : 0;
        rs.rows.append({column, field,
                        sysValue(ctx, field + QStringLiteral("_Total")) == QLatin1String("T") ? 1 : 0,
                        digits});
    }
    ctx.setHasResult(true);
    return 0;
}

// The column table of a bill type: the system's, or the plug-ins' for a type the system does not have.
QString columnTable(ProcContext &ctx, int vchType)
{
    const bool system =
        ctx.value(QStringLiteral("SELECT count(*) FROM T_GBL_Vchtype WHERE Vchtype = ?"), {vchType}).toInt() >
        0;
    return system || vchType == 0 ? QStringLiteral("T_Jxc_VchColumn")
                                  : QStringLiteral("T_Inf_PlugIn_VchColumn");
}

int loadBillColumnName(ProcContext &ctx)
{
    const int vchType = ctx.in(QStringLiteral("@VchType")).toInt();
    ctx.setResult(QStringLiteral("SELECT FieldName AS fieldname, ColumnName, CMKvColumnNo, 1 AS IsColumn, "
                                 "CASE WHEN Display = 1 AND DataKind = 1 THEN 1 ELSE 0 END AS visible "
                                 "FROM %1 WHERE VchType = ? AND DataArea = ? ORDER BY ColumnOrder")
                      .arg(columnTable(ctx, vchType)),
                  {vchType, ctx.in(QStringLiteral("@nDataArea")).toInt()});
    return 0;
}

// The ColumnName attributes of the detail document, in order.
QStringList detailColumns(const QString &xml)
{
    QStringList columns;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd())
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == QLatin1String("Record"))
            columns << reader.attributes().value(QLatin1String("ColumnName")).toString();
    return columns;
}

void writeFormula(ProcContext &ctx, int vchType, int dataArea, const QString &column,
                  const QString &fieldName)
{
    ctx.exec(QStringLiteral("DELETE FROM BillFormula WHERE Vchtype = ? AND DataArea = ? AND ColumnName = ?"),
             {vchType, dataArea, column});
    const QVariant id = ctx.value(
        QStringLiteral("INSERT INTO BillFormula (Vchtype, DataArea, ColumnName, FieldName, FormulaContent, "
                       "Formula, Calc, FormulaType) VALUES (?, ?, ?, ?, ?, ?, ?, ?) RETURNING ID"),
        {vchType, dataArea, column, fieldName, ctx.in(QStringLiteral("@FormulaContent")).toString().trimmed(),
         ctx.in(QStringLiteral("@Formula")).toString(), ctx.in(QStringLiteral("@Calc")).toInt() == 0 ? 0 : 1,
         ctx.in(QStringLiteral("@FormulaType")).toInt()});
    int row = 0;
    for (const QString &detail : detailColumns(ctx.in(QStringLiteral("@DetailXML")).toString()))
        ctx.exec(
            QStringLiteral("INSERT INTO BillFormulaDetail (FormulaID, RowNo, ColumnName) VALUES (?, ?, ?)"),
            {id, ++row, detail});
}

int saveBillFormula(ProcContext &ctx)
{
    const int vchType = ctx.in(QStringLiteral("@VchType")).toInt();
    const int dataArea = ctx.in(QStringLiteral("@nDataArea")).toInt();
    const QString column = ctx.in(QStringLiteral("@ColumnName")).toString();
    const QVariant fieldName = ctx.value(
        QStringLiteral("SELECT FieldName FROM %1 WHERE VchType = ? AND DataArea = ? AND ColumnName = ?")
            .arg(columnTable(ctx, vchType)),
        {vchType, dataArea, column});
    if (fieldName.isNull())
        return -1;
    const QString caption = ctx.in(QStringLiteral("@FFieldName")).toString();
    writeFormula(ctx, vchType, dataArea, column, caption.isEmpty() ? fieldName.toString() : caption);
    return 0;
}

int delBillFormula(ProcContext &ctx)
{
    ctx.exec(QStringLiteral("DELETE FROM BillFormula WHERE Vchtype = ? AND DataArea = ? AND ColumnName = ?"),
             {ctx.in(QStringLiteral("@VchType")).toInt(), ctx.in(QStringLiteral("@nDataArea")).toInt(),
              ctx.in(QStringLiteral("@ColumnName")).toString()});
    return 0;
}

int saveAsAllBillFormula(ProcContext &ctx)
{
    const QString column = ctx.in(QStringLiteral("@ColumnName")).toString();
    const QStringList needed = detailColumns(ctx.in(QStringLiteral("@DetailXML")).toString());
    const ResultSet grids = ctx.database().query(
        QStringLiteral(
            "SELECT VchType, DataArea, FieldName FROM T_Jxc_VchColumn WHERE ColumnName = ? "
            "AND Display = 1 AND VchType IN (SELECT Vchtype FROM T_GBL_Vchtype) ORDER BY VchType, DataArea"),
        {column});
    int written = 0;
    for (const QVariantList &grid : grids.rows) {
        bool complete = true;
        for (const QString &other : needed)
            complete = complete &&
                       ctx.value(QStringLiteral("SELECT count(*) FROM T_Jxc_VchColumn WHERE VchType = ? "
                                                "AND DataArea = ? AND Display = 1 AND lower(ColumnName) = ?"),
                                 {grid.at(0), grid.at(1), other.toLower()})
                               .toInt() > 0;
        if (!complete)
            continue;
        writeFormula(ctx, grid.at(0).toInt(), grid.at(1).toInt(), column, grid.at(2).toString());
        ++written;
    }
    return written;
}

} // namespace

void registerLayoutsProcs(ProcRegistry &registry)
{
    registry.addReader(QStringLiteral("P_KOVA_LoadVchConfig"), &loadVchConfig);
    registry.addReader(QStringLiteral("P_Jxc_GetFreeDomConfig"), &getFreeDomConfig);
    registry.addReader(QStringLiteral("P_KOVA_LoadBillColumnName"), &loadBillColumnName);
    registry.add(QStringLiteral("P_KOVA_SaveBillFormula"), &saveBillFormula);
    registry.add(QStringLiteral("P_KOVA_DelBillFormula"), &delBillFormula);
    registry.add(QStringLiteral("P_KOVA_SaveAsAllBillFormula"), &saveAsAllBillFormula);
}

} // namespace accountdb
