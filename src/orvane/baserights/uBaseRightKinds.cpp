#include "uBaseRightKinds.h"

#include "uDllComm.h"

namespace uBaseRightKinds {

const QList<TBaseRightKind> &AllKinds()
{
    static const QList<TBaseRightKind> kinds = {
        {u'C', QStringLiteral("客  户"), QStringLiteral("客户"), QStringLiteral("CrightGroup"),
         QStringLiteral("CRightGroup"), QStringLiteral("T_EtypeID_CrightGroup"), QStringLiteral("客户")},
        {u'S', QStringLiteral("供应商"), QStringLiteral("供应商"), QStringLiteral("SrightGroup"),
         QStringLiteral("SRightGroup"), QStringLiteral("T_EtypeID_SrightGroup"), QStringLiteral("供应商")},
        {u'K', QStringLiteral("仓  库"), QStringLiteral("仓库"), QStringLiteral("KrightGroup"),
         QStringLiteral("KRightGroup"), QStringLiteral("T_EtypeID_KrightGroup"), QStringLiteral("仓库")},
        {u'P', QStringLiteral("存货档案"), QStringLiteral("存货档案"), QStringLiteral("PrightGroup"),
         QStringLiteral("PRightGroup"), QStringLiteral("T_EtypeID_PrightGroup"), QStringLiteral("存货")},
        {u'D', QStringLiteral("部  门"), QStringLiteral("部门"), QStringLiteral("DrightGroup"),
         QStringLiteral("DRightGroup"), QStringLiteral("T_EtypeID_DrightGroup"), QStringLiteral("部门")},
        {u'A', QStringLiteral("会计科目"), QStringLiteral("会计科目"), QStringLiteral("ARightGroup"),
         QStringLiteral("GroupId"), QStringLiteral("T_EtypeID_ARightGroup"), QStringLiteral("科目")},
    };
    return kinds;
}

QList<TBaseRightKind> OfferedKinds()
{
    QList<TBaseRightKind> offered;
    for (const TBaseRightKind &k : AllKinds()) {
        if (uDllComm::DllParams.IsGL && (k.Code == u'K' || k.Code == u'P'))
            continue;
        if (uDllComm::DllParams.PubVersion2 == 2680 && k.Code == u'A')
            continue;
        offered << k;
    }
    return offered;
}

TGridColumn IdColumn(const QString &fieldName)
{
    TGridColumn column;
    column.FieldName = fieldName;
    column.Caption = QStringLiteral("ID号");
    column.Visible = false;
    return column;
}

const TBaseRightKind &KindOf(QChar code)
{
    for (const TBaseRightKind &k : AllKinds())
        if (k.Code == code)
            return k;
    return AllKinds().first();
}

} // namespace uBaseRightKinds
