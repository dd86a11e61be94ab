// Basic-information bindings of bill fields: a grid column (T_GBL_FreeDomBasicSelect), a header custom field
// (T_GBL_CustomBasicSelect) or a header field's related basic data (T_GBL_FreeDomRelationBasic) receives the
// chosen return field of a record of one kind. BasicType -1 clears a binding; every write carries @Version
// ("CS" when none is given). A kind that does not exist is refused with -1, a bill without the field -2.
//
// P_KOVA_UpdateFreeDomBasicSelect(@VchType, @CMKvColumnNo, @BasicType, @ReturnTypeName, [@DataArea 1],
// @Version) P_KOVA_UpdateOtherBillFreeDomBasicSelect(@CMKvColumnNo, @BasicType, @ReturnTypeName, @Vchtype,
// @Version)
//   the column in every grid of that bill that shows it
// P_KOVA_UpdateAllBillFreeDomBasicSelect(@CMKvColumnNo, @BasicType, @ReturnTypeName, @DataArea, @Version)
//   every bill whose grid of that data area shows the column; returns their number
// P_KOVA_UpdateCustomBasicSelect(@VchType, @DataType, @BasicType, @ReturnTypeName, @Version)
// P_KOVA_UpdateAllBillCustomBasicSelect(@DataType, @BasicType, @ReturnTypeName, @Version)
// P_KOVA_UpdateRelationBasicSelect(@VchType, @SourceDataType, @DestDataType, @BasicType, @ReturnTypeName,
// @Version) P_KOVA_GetBasicFields(@BasicType)  the return fields of a kind: ReturnTypeField, ReturnTypeName,
// OrderNo P_KOVA_FreeDomBasicSelectSet(@VchType, @Version)  the free items and custom columns of a bill with
// their
//   bindings: FieldName, BasicFullName, ReturnTypeName, BasicType, CMKvColumnNo, VchType, DataArea

#include "AccountDatabase.h"
#include "Procedures.h"

namespace accountdb {

namespace {

struct Binding
{
    int basicType = -1;
    QString returnName;
    QString version;
};

// The binding of the call; false when its kind (or its return field) does not exist.
bool readBinding(ProcContext &ctx, Binding &b)
{
    b.basicType = ctx.in(QStringLiteral("@BasicType")).toInt();
    b.returnName = ctx.in(QStringLiteral("@ReturnTypeName")).toString().trimmed();
    b.version = ctx.in(QStringLiteral("@Version")).toString().trimmed();
    if (b.version.isEmpty())
        b.version = QStringLiteral("CS");
    if (b.basicType == -1) {
        b.returnName.clear();
        return true;
    }
    return ctx.value(QStringLiteral("SELECT count(*) FROM FreeDomBasicReturnType WHERE BasicType = ? "
                                    "AND ReturnTypeName = ?"),
                     {b.basicType, b.returnName})
               .toInt() > 0;
}

void storeColumn(ProcContext &ctx, int vchType, int columnNo, int dataArea, const Binding &b)
{
    ctx.exec(
        QStringLiteral("INSERT INTO T_GBL_FreeDomBasicSelect (VchType, CMKvColumnNo, DataArea, BasicType, "
                       "ReturnTypeName, Version) VALUES (?, ?, ?, ?, ?, ?) "
                       "ON CONFLICT (VchType, CMKvColumnNo, DataArea, Version) DO UPDATE SET "
                       "BasicType = excluded.BasicType, ReturnTypeName = excluded.ReturnTypeName"),
        {vchType, columnNo, dataArea, b.basicType, b.returnName, b.version});
}

void storeCustom(ProcContext &ctx, int vchType, int dataType, const Binding &b)
{
    ctx.exec(QStringLiteral(
                 "INSERT INTO T_GBL_CustomBasicSelect (VchType, DataType, BasicType, ReturnTypeName, "
                 "Version) VALUES (?, ?, ?, ?, ?) ON CONFLICT (VchType, DataType, Version) DO UPDATE SET "
                 "BasicType = excluded.BasicType, ReturnTypeName = excluded.ReturnTypeName"),
             {vchType, dataType, b.basicType, b.returnName, b.version});
}

// Stores the call's binding of column @CMKvColumnNo in every grid (VchType, DataArea) the condition selects:
// -1 for a binding that does not exist, -2 when no grid is selected, otherwise the number of grids.
int storeColumnBinding(ProcContext &ctx, const QString &condition, const QVariantList &params)
{
    Binding b;
    if (!readBinding(ctx, b))
        return -1;
    const int columnNo = ctx.in(QStringLiteral("@CMKvColumnNo")).toInt();
    const ResultSet grids = ctx.database().query(
        QStringLiteral("SELECT VchType, DataArea FROM T_Jxc_VchColumn WHERE CMKvColumnNo = ? AND %1 "
                       "ORDER BY VchType, DataArea")
            .arg(condition),
        QVariantList{columnNo} + params);
    for (const QVariantList &grid : grids.rows)
        storeColumn(ctx, grid.at(0).toInt(), columnNo, grid.at(1).toInt(), b);
    return grids.rows.isEmpty() ? -2 : int(grids.rows.size());
}

int updateFreeDomBasicSelect(ProcContext &ctx)
{
    const QVariant area = ctx.in(QStringLiteral("@DataArea"));
    const int result =
        storeColumnBinding(ctx, QStringLiteral("VchType = ? AND DataArea = ?"),
                           {ctx.in(QStringLiteral("@VchType")).toInt(), area.isNull() ? 1 : area.toInt()});
    return result < 0 ? result : 0;
}

int updateOtherBillFreeDomBasicSelect(ProcContext &ctx)
{
    const int result = storeColumnBinding(ctx, QStringLiteral("VchType = ? AND Display = 1"),
                                          {ctx.in(QStringLiteral("@Vchtype")).toInt()});
    return result < 0 ? result : 0;
}

int updateAllBillFreeDomBasicSelect(ProcContext &ctx)
{
    const int result = storeColumnBinding(ctx, QStringLiteral("DataArea = ? AND Display = 1"),
                                          {ctx.in(QStringLiteral("@DataArea")).toInt()});
    return result == -2 ? 0 : result;
}

int updateCustomBasicSelect(ProcContext &ctx)
{
    Binding b;
    if (!readBinding(ctx, b))
        return -1;
    const int vchType = ctx.in(QStringLiteral("@VchType")).toInt();
    const int dataType = ctx.in(QStringLiteral("@DataType")).toInt();
    if (ctx.value(QStringLiteral("SELECT count(*) FROM T_Jxc_VchTitle WHERE VchType = ? AND DataType = ?"),
                  {vchType, dataType})
            .toInt() == 0)
        return -2;
    storeCustom(ctx, vchType, dataType, b);
    return 0;
}

int updateAllBillCustomBasicSelect(ProcContext &ctx)
{
    Binding b;
    if (!readBinding(ctx, b))
        return -1;
    const int dataType = ctx.in(QStringLiteral("@DataType")).toInt();
    const ResultSet bills = ctx.database().query(
        QStringLiteral("SELECT VchType FROM T_Jxc_VchTitle WHERE DataType = ? ORDER BY VchType"), {dataType});
    for (const QVariantList &bill : bills.rows)
        storeCustom(ctx, bill.at(0).toInt(), dataType, b);
    return int(bills.rows.size());
}

int updateRelationBasicSelect(ProcContext &ctx)
{
    Binding b;
    const int vchType = ctx.in(QStringLiteral("@VchType")).toInt();
    const int source = ctx.in(QStringLiteral("@SourceDataType")).toInt();
    b.basicType = ctx.in(QStringLiteral("@BasicType")).toInt();
    b.returnName = ctx.in(QStringLiteral("@ReturnTypeName")).toString().trimmed();
    b.version = ctx.in(QStringLiteral("@Version")).toString().trimmed();
    if (b.version.isEmpty())
        b.version = QStringLiteral("CS");
    if (b.basicType == -1)
        b.returnName.clear();
    else if (ctx.value(
                    QStringLiteral("SELECT count(*) FROM RelationBasicType r JOIN FreeDomBasicReturnType f "
                                   "ON f.BasicType = r.BasicType WHERE r.VchType = ? AND r.TitleDataType = ? "
                                   "AND r.BasicType = ? AND f.ReturnTypeName = ?"),
                    {vchType, source, b.basicType, b.returnName})
                 .toInt() == 0)
        return -1;
    ctx.exec(QStringLiteral("INSERT INTO T_GBL_FreeDomRelationBasic (VchType, SourceDataType, DestDataType, "
                            "BasicType, ReturnTypeName, Version) VALUES (?, ?, ?, ?, ?, ?) "
                            "ON CONFLICT (VchType, DestDataType, Version) DO UPDATE SET SourceDataType = "
                            "excluded.SourceDataType, BasicType = excluded.BasicType, ReturnTypeName = "
                            "excluded.ReturnTypeName"),
             {vchType, source, ctx.in(QStringLiteral("@DestDataType")).toInt(), b.basicType, b.returnName,
              b.version});
    return 0;
}

int getBasicFields(ProcContext &ctx)
{
    ctx.setResult(
        QStringLiteral("SELECT ReturnTypeField, ReturnTypeName, OrderNo FROM FreeDomBasicReturnType "
                       "WHERE BasicType = ? ORDER BY OrderNo"),
        {ctx.in(QStringLiteral("@BasicType")).toInt()});
    return 0;
}

int freeDomBasicSelectSet(ProcContext &ctx)
{
    QString version = ctx.in(QStringLiteral("@Version")).toString().trimmed();
    ctx.setResult(
        QStringLiteral(
            "SELECT CASE WHEN v.FieldNameO = '' THEN v.FieldName ELSE v.FieldNameO END AS FieldName, "
            "coalesce(b.BasicName, '') AS BasicFullName, coalesce(s.ReturnTypeName, '') AS ReturnTypeName, "
            "coalesce(s.BasicType, -1) AS BasicType, v.CMKvColumnNo, v.VchType, v.DataArea "
            "FROM T_Jxc_VchColumn v "
            "LEFT JOIN T_GBL_FreeDomBasicSelect s ON s.VchType = v.VchType AND s.CMKvColumnNo = "
            "v.CMKvColumnNo AND s.DataArea = v.DataArea AND s.BasicType <> -1 "
            "AND (coalesce(s.Version, '') = '' OR s.Version = ?) "
            "LEFT JOIN FreeDomBasicType b ON b.BasicType = s.BasicType "
            "WHERE v.VchType = ? AND v.Display = 1 AND v.CMKvColumnNo IN (41, 42, 43, 44, 45, 80, 81, 82, "
            "83, 84, 111, 112, 113, 114, 115, 116, 125, 126) ORDER BY v.DataArea, v.ColumnOrder"),
        {version.isEmpty() ? QStringLiteral("CS") : version, ctx.in(QStringLiteral("@VchType")).toInt()});
    return 0;
}

} // namespace

void registerLayoutsBasicProcs(ProcRegistry &registry)
{
    registry.add(QStringLiteral("P_KOVA_UpdateFreeDomBasicSelect"), &updateFreeDomBasicSelect);
    registry.add(QStringLiteral("P_KOVA_UpdateOtherBillFreeDomBasicSelect"),
                 &updateOtherBillFreeDomBasicSelect);
    registry.add(QStringLiteral("P_KOVA_UpdateAllBillFreeDomBasicSelect"), &updateAllBillFreeDomBasicSelect);
    registry.add(QStringLiteral("P_KOVA_UpdateCustomBasicSelect"), &updateCustomBasicSelect);
    registry.add(QStringLiteral("P_KOVA_UpdateAllBillCustomBasicSelect"), &updateAllBillCustomBasicSelect);
    registry.add(QStringLiteral("P_KOVA_UpdateRelationBasicSelect"), &updateRelationBasicSelect);
    registry.addReader(QStringLiteral("P_KOVA_GetBasicFields"), &getBasicFields);
    registry.addReader(QStringLiteral("P_KOVA_FreeDomBasicSelectSet"), &freeDomBasicSelectSet);
}

} // namespace accountdb
