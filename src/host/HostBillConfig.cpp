#include "HostBillConfig.h"

#include "AccountDatabase.h"
#include "HostSchema.h"

QVariant HostBillConfig::Lookup(int vchType, const QString &column)
{
    accountdb::AccountDatabase *db = FDb ? FDb() : nullptr;
    if (!db)
        return {};
    const QList<int> types =
        BaseType(vchType) != vchType ? QList<int>{vchType, BaseType(vchType)} : QList<int>{vchType};
    for (int type : types) {
        if (!HostSchema::TableName(*db, QStringLiteral("T_GBL_Vchtype")).isEmpty()) {
            const QVariant v = db->value(
                QStringLiteral("SELECT %1 FROM T_GBL_Vchtype WHERE Vchtype = ?").arg(column), {type});
            if (!v.isNull())
                return v;
        }
        if (!HostSchema::TableName(*db, QStringLiteral("T_Inf_PlugIn_Vchtype")).isEmpty()) {
            const QVariant v =
                db->value(QStringLiteral("SELECT %1 FROM T_Inf_PlugIn_Vchtype WHERE Vchtype = ? "
                                         "ORDER BY MainVersion LIMIT 1")
                              .arg(column),
                          {type});
            if (!v.isNull())
                return v;
        }
    }
    return {};
}

QString HostBillConfig::GetBillName(int vchType)
{
    return Lookup(vchType, QStringLiteral("Name")).toString();
}

int HostBillConfig::GetBillFunctionNo(int vchType)
{
    return Lookup(vchType, QStringLiteral("FunctionNo")).toInt();
}

QString HostBillConfig::GetBillTableName(int vchType)
{
    switch (BaseType(vchType)) {
    case 34: // 进货单
    case 6:  // 进货退货单
        return QStringLiteral("dlybuy");
    case 11: // 销售单
    case 45: // 销售退货单
        return QStringLiteral("dlysale");
    default:
        return QStringLiteral("dlyother");
    }
}
