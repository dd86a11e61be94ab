#include "BaseRights.h"

namespace accountdb::baserights {

const QList<Kind> &kinds()
{
    static const QList<Kind> list = {
        {u'C', QStringLiteral("客  户"), QStringLiteral("CrightGroup"), QStringLiteral("CRightGroup"),
         QStringLiteral("T_EtypeID_CrightGroup"), QStringLiteral("T_Cright"), QStringLiteral("btype"),
         QStringLiteral("BtypeKind <> 0"), 13},
        {u'S', QStringLiteral("供应商"), QStringLiteral("SrightGroup"), QStringLiteral("SRightGroup"),
         QStringLiteral("T_EtypeID_SrightGroup"), QStringLiteral("T_Sright"), QStringLiteral("btype"),
         QStringLiteral("BtypeKind <> 1"), 14},
        {u'K', QStringLiteral("仓  库"), QStringLiteral("KrightGroup"), QStringLiteral("KRightGroup"),
         QStringLiteral("T_EtypeID_KrightGroup"), QStringLiteral("T_Kright"), QStringLiteral("stock"),
         QString(), 6},
        {u'P', QStringLiteral("存货档案"), QStringLiteral("PrightGroup"), QStringLiteral("PRightGroup"),
         QStringLiteral("T_EtypeID_PrightGroup"), QStringLiteral("T_Pright"), QStringLiteral("ptype"),
         QString(), 2},
        {u'D', QStringLiteral("部  门"), QStringLiteral("DrightGroup"), QStringLiteral("DRightGroup"),
         QStringLiteral("T_EtypeID_DrightGroup"), QStringLiteral("T_Dright"), QStringLiteral("Department"),
         QString(), 7},
        {u'A', QStringLiteral("会计科目"), QStringLiteral("ARightGroup"), QStringLiteral("GroupId"),
         QStringLiteral("T_EtypeID_ARightGroup"), QStringLiteral("T_ATypeRight"), QStringLiteral("Atypecw"),
         QString(), 1},
    };
    return list;
}

const Kind *kind(QChar code)
{
    for (const Kind &k : kinds())
        if (k.code == code)
            return &k;
    return nullptr;
}

namespace {

QString viewName(QChar code)
{
    return QStringLiteral("V_UserNot%1rights").arg(code);
}

// The (operator, record) pairs of one kind: the operator is in a group other than the super group, is
// not the supervisor, and the group holds no live grant of the leaf record.
QString pairsSelect(const Kind &k)
{
    return QStringLiteral("SELECT m.EtypeID AS EtypeID, b.typeId AS TypeId FROM %1 m CROSS JOIN %2 b "
                          "WHERE m.%3 <> 1 AND b.Sonnum = 0%4 "
                          "AND NOT EXISTS (SELECT 1 FROM T_GBL_LoginUser l WHERE l.ETypeId = m.EtypeID "
                          "AND l.IsManager = 1) "
                          "AND NOT EXISTS (SELECT 1 FROM %5 r WHERE r.%3 = m.%3 AND r.TypeID = b.typeId "
                          "AND r.Deleted = 0)")
        .arg(k.memberTable, k.baseTable, k.groupColumn,
             k.baseFilter.isEmpty() ? QString() : QStringLiteral(" AND b.") + k.baseFilter, k.grantTable);
}

} // namespace

QString notAllowedSql(QChar code)
{
    return QStringLiteral("SELECT TypeId FROM %1 WHERE EtypeID = ?").arg(viewName(code));
}

QStringList viewDdl()
{
    QStringList ddl;
    for (const Kind &k : kinds())
        ddl << QStringLiteral("CREATE VIEW %1 AS %2").arg(viewName(k.code), pairsSelect(k));
    ddl << QStringLiteral(
               "CREATE VIEW %1 AS SELECT EtypeID, TypeId FROM %2 UNION SELECT EtypeID, TypeId FROM %3")
               .arg(viewName(u'B'), viewName(u'C'), viewName(u'S'));
    return ddl;
}

} // namespace accountdb::baserights
