// Audit flows per bill type (the set-up window's procedures).
//
// P_Audit_GetVchtype(@Vchtypes)          bill types of a tree category: vchtype, IsAduit (1 = enabled),
// VchName P_Audit_LoadVchtypeConfig(@Vchtype)    the levels (AuditName, AuditCondition, AuditEtypes = auditor
// names
//                                        joined by "、", AuditType "单人通过"/"全部通过", leveal) and, last,
//                                        the special auditors as level -1
// P_Audit_GetBillAuidtingCount(@nVchType)           returns the number of bills of the type in its flow
// P_Inf_PlugIn_Audit_GetBillAuidtingCount(@nVchType) the same for plug-in bill types (0 for others)
// P_Audit_SetBillIsAudit(@nVchType, @nIsAudit)      switches a built-in type's flow: 0 done (or not a
//                                        built-in type); -1 on: no level nor special auditor; off: bills in
//                                        the flow
// P_Audit_SetPlugInBillIsAudit(...)      the same for plug-in types (0 for others); -1 on: nothing set up;
//                                        -2 off: bills in the flow
// P_Audit_DelVchtypeLeveal(@Vchtype, @leveal)  deletes a level with its auditors and conditions (-1 = the
//                                        special auditors); -1 gone already, -2 bills in the flow. Removing
//                                        the last item switches the flow off.
// P_Audit_CreateVchtypeNdx(@Vchtype)     the AuditNdx row of the type when missing
// P_Audit_CopyAuditDetail(@sVchType, @dVchType, @CopyTeShen)  replaces the target's levels (and special
//                                        auditors) by the source's; rows Msg; -1 refused
// P_Audit_AuditEmployeeSelector(@szEtypeID, @VchType)  candidates: operators (OperatorType 0) and
//                                        departments with a responsible employee (1)
// P_Audit_GetAuditDetailEmployee(@nVchtype, @nLeveal)  the auditors of a level: EtypeName, etypeid,
//                                        OperatorType

#include <QSqlQuery>

#include "AccountDatabase.h"
#include "AuditEngine.h"
#include "Procedures.h"

namespace accountdb {

namespace {

const QString kLevelAuditors = QStringLiteral("\"AuditDetail-E\"");
const QString kSpecialAuditors = QStringLiteral("\"AuditNdx-E\"");

// Names of the auditors of a level (level > 0) or of the special auditors, in entry order.
const QString kAuditorNames = QStringLiteral(
    "SELECT CASE WHEN e.OperatorType = 1 THEN coalesce(d.FullName, '') ELSE coalesce(m.FullName, '') END "
    "AS EtypeName, e.EtypeID AS etypeid, e.OperatorType "
    "FROM %1 e LEFT JOIN Employee m ON e.OperatorType = 0 AND m.TypeId = e.EtypeID "
    "LEFT JOIN Department d ON e.OperatorType = 1 AND d.typeId = e.EtypeID WHERE e.Vchtype = ?%2 "
    "ORDER BY e.OperatorType, e.EtypeID");

QString auditorNames(ProcContext &ctx, const QString &table, int vchtype, int level)
{
    QVariantList params{vchtype};
    if (level > 0)
        params << level;
    QSqlQuery q = ctx.exec(
        kAuditorNames.arg(table, level > 0 ? QStringLiteral(" AND e.Leveal = ?") : QString()), params);
    QStringList names;
    while (q.next())
        names << q.value(0).toString();
    return names.join(QStringLiteral("、"));
}

bool isPlugInType(ProcContext &ctx, int vchtype)
{
    return ctx.value(QStringLiteral("SELECT count(*) FROM T_Inf_PlugIn_Vchtype WHERE Vchtype = ?"), {vchtype})
                   .toInt() > 0 &&
           ctx.value(QStringLiteral("SELECT count(*) FROM T_GBL_Vchtype WHERE Vchtype = ?"), {vchtype})
                   .toInt() == 0;
}

int flowItems(ProcContext &ctx, int vchtype)
{
    return ctx.value(QStringLiteral("SELECT count(*) FROM AuditDetail WHERE Vchtype = ?"), {vchtype})
               .toInt() +
           ctx.value(QStringLiteral("SELECT count(*) FROM \"AuditNdx-E\" WHERE Vchtype = ?"), {vchtype})
               .toInt();
}

void createNdx(ProcContext &ctx, int vchtype)
{
    ctx.exec(QStringLiteral("INSERT INTO AuditNdx (Vchtype) VALUES (?) ON CONFLICT (Vchtype) DO NOTHING"),
             {vchtype});
}

int getVchtype(ProcContext &ctx)
{
    ctx.setResult(
        QStringLiteral("SELECT v.Vchtype AS vchtype, CASE WHEN a.IsAudit = 1 THEN 1 ELSE 0 END AS IsAduit, "
                       "v.Name AS VchName FROM GetVchtype v LEFT JOIN AuditNdx a ON a.Vchtype = v.Vchtype "
                       "WHERE v.Category = ? ORDER BY v.Vchtype"),
        {ctx.in(QStringLiteral("@Vchtypes")).toInt()});
    return 0;
}

int loadVchtypeConfig(ProcContext &ctx)
{
    const int vchtype = ctx.in(QStringLiteral("@Vchtype")).toInt();
    ResultSet &rs = ctx.result();
    rs.columns = {QStringLiteral("AuditName"), QStringLiteral("AuditCondition"),
                  QStringLiteral("AuditEtypes"), QStringLiteral("AuditType"), QStringLiteral("leveal")};
    QSqlQuery q =
        ctx.exec(QStringLiteral("SELECT Leveal, FullName, AuditCondition, AuditType FROM AuditDetail "
                                "WHERE Vchtype = ? AND Deleted = 0 ORDER BY Leveal"),
                 {vchtype});
    QList<QVariantList> levels;
    while (q.next())
        levels.append({q.value(0), q.value(1), q.value(2), q.value(3)});
    for (const QVariantList &l : levels)
        rs.rows.append({l[1], l[2], auditorNames(ctx, kLevelAuditors, vchtype, l[0].toInt()),
                        l[3].toInt() == 1 ? QStringLiteral("全部通过") : QStringLiteral("单人通过"), l[0]});
    const QString special = auditorNames(ctx, kSpecialAuditors, vchtype, 0);
    if (!special.isEmpty())
        rs.rows.append({QStringLiteral("特审人"), QString(), special, QString(), -1});
    ctx.setHasResult(true);
    return 0;
}

int auditingCount(ProcContext &ctx)
{
    return audit::billsInFlow(ctx.database(), ctx.in(QStringLiteral("@nVchType")).toInt());
}

int plugInAuditingCount(ProcContext &ctx)
{
    const int vchtype = ctx.in(QStringLiteral("@nVchType")).toInt();
    return isPlugInType(ctx, vchtype) ? audit::billsInFlow(ctx.database(), vchtype) : 0;
}

// Both switches: the built-in one handles built-in types, the plug-in one plug-in types.
int switchFlow(ProcContext &ctx, bool plugIn)
{
    const int vchtype = ctx.in(QStringLiteral("@nVchType")).toInt();
    if (isPlugInType(ctx, vchtype) != plugIn)
        return 0;
    const bool on = ctx.in(QStringLiteral("@nIsAudit")).toInt() == 1;
    if (on && flowItems(ctx, vchtype) == 0)
        return -1;
    if (!on && audit::billsInFlow(ctx.database(), vchtype) > 0)
        return plugIn ? -2 : -1;
    createNdx(ctx, vchtype);
    ctx.exec(QStringLiteral("UPDATE AuditNdx SET IsAudit = ? WHERE Vchtype = ?"), {on ? 1 : 0, vchtype});
    return 0;
}

int delVchtypeLeveal(ProcContext &ctx)
{
    const int vchtype = ctx.in(QStringLiteral("@Vchtype")).toInt();
    const int level = ctx.in(QStringLiteral("@leveal")).toInt();
    const QVariantList key{vchtype};
    const bool exists =
        level == -1
            ? ctx.value(QStringLiteral("SELECT count(*) FROM \"AuditNdx-E\" WHERE Vchtype = ?"), key)
                      .toInt() > 0
            : ctx.value(QStringLiteral("SELECT count(*) FROM AuditDetail WHERE Vchtype = ? AND Leveal = ?"),
                        {vchtype, level})
                      .toInt() > 0;
    if (!exists)
        return -1;
    if (audit::billsInFlow(ctx.database(), vchtype) > 0)
        return -2;
    if (level == -1) {
        ctx.exec(QStringLiteral("DELETE FROM \"AuditNdx-E\" WHERE Vchtype = ?"), key);
    } else {
        for (const char *table : {"AuditDetail", "\"AuditDetail-E\""})
            ctx.exec(
                QStringLiteral("DELETE FROM %1 WHERE Vchtype = ? AND Leveal = ?").arg(QLatin1String(table)),
                {vchtype, level});
        ctx.exec(QStringLiteral("DELETE FROM AuditConditionDetail WHERE VchType = ? AND Leveal = ?"),
                 {vchtype, level});
    }
    ctx.exec(QStringLiteral("UPDATE AuditNdx SET SonLeveal = coalesce((SELECT max(Leveal) FROM AuditDetail "
                            "WHERE Vchtype = ?), 0) WHERE Vchtype = ?"),
             {vchtype, vchtype});
    if (flowItems(ctx, vchtype) == 0)
        ctx.exec(QStringLiteral("UPDATE AuditNdx SET IsAudit = 0 WHERE Vchtype = ?"), key);
    return 0;
}

int createVchtypeNdx(ProcContext &ctx)
{
    createNdx(ctx, ctx.in(QStringLiteral("@Vchtype")).toInt());
    return 0;
}

int copyAuditDetail(ProcContext &ctx)
{
    const int source = ctx.in(QStringLiteral("@sVchType")).toInt();
    const int target = ctx.in(QStringLiteral("@dVchType")).toInt();
    const bool special =
        ctx.in(QStringLiteral("@CopyTeShen")).toInt() == 1 || ctx.in(QStringLiteral("@CopyTeShen")).toBool();
    ResultSet &rs = ctx.result();
    rs.columns = {QStringLiteral("Msg")};
    ctx.setHasResult(true);
    const auto name = [&](int vchtype) {
        const QVariant n =
            ctx.value(QStringLiteral("SELECT Name FROM GetVchtype WHERE Vchtype = ?"), {vchtype});
        return n.isNull() ? QString::number(vchtype) : n.toString();
    };
    if (audit::billsInFlow(ctx.database(), target) > 0) {
        rs.rows.append(
            {QStringLiteral("【%1】还有单据在审核流程中，不能覆盖其审核流程。").arg(name(target))});
        return -1;
    }
    const int levels =
        ctx.value(QStringLiteral("SELECT count(*) FROM AuditDetail WHERE Vchtype = ?"), {source}).toInt();
    if (levels == 0) {
        rs.rows.append({QStringLiteral("【%1】没有审核流程，不能复制。").arg(name(source))});
        return -1;
    }
    const QVariantList pair{target, source};
    for (const char *table : {"AuditDetail", "\"AuditDetail-E\"", "AuditConditionDetail"})
        ctx.exec(QStringLiteral("DELETE FROM %1 WHERE Vchtype = ?").arg(QLatin1String(table)), {target});
    ctx.exec(QStringLiteral(
                 "INSERT INTO AuditDetail (Vchtype, Leveal, FullName, Deleted, AuditType, AuditCondition) "
                 "SELECT ?, Leveal, FullName, Deleted, AuditType, AuditCondition FROM AuditDetail "
                 "WHERE Vchtype = ?"),
             pair);
    ctx.exec(
        QStringLiteral("INSERT INTO \"AuditDetail-E\" (Vchtype, Leveal, EtypeID, OperatorType) "
                       "SELECT ?, Leveal, EtypeID, OperatorType FROM \"AuditDetail-E\" WHERE Vchtype = ?"),
        pair);
    ctx.exec(
        QStringLiteral("INSERT INTO AuditConditionDetail (VchType, Leveal, factor, lowerLimit, upperLimit, "
                       "footing, RowNo) SELECT ?, Leveal, factor, lowerLimit, upperLimit, footing, RowNo "
                       "FROM AuditConditionDetail WHERE VchType = ?"),
        pair);
    if (special) {
        ctx.exec(QStringLiteral("DELETE FROM \"AuditNdx-E\" WHERE Vchtype = ?"), {target});
        ctx.exec(QStringLiteral("INSERT INTO \"AuditNdx-E\" (Vchtype, EtypeID, OperatorType) "
                                "SELECT ?, EtypeID, OperatorType FROM \"AuditNdx-E\" WHERE Vchtype = ?"),
                 pair);
    }
    createNdx(ctx, target);
    ctx.exec(QStringLiteral(
                 "UPDATE AuditNdx SET SonLeveal = (SELECT max(Leveal) FROM AuditDetail WHERE Vchtype = ?) "
                 "WHERE Vchtype = ?"),
             {target, target});
    rs.rows.append({QStringLiteral("已将【%1】的%2级审核流程复制到【%3】，启用后生效。")
                        .arg(name(source))
                        .arg(levels)
                        .arg(name(target))});
    return 0;
}

int auditEmployeeSelector(ProcContext &ctx)
{
    ctx.setResult(
        QStringLiteral("SELECT TypeId AS Typeid, UserCode, FullName, DFullName, OperatorType FROM ("
                       "SELECT e.TypeId, e.UserCode, e.FullName, '操作员' AS DFullName, 0 AS OperatorType "
                       "FROM Employee e INNER JOIN T_GBL_LoginUser l ON e.TypeId = l.ETypeId "
                       "WHERE e.TypeId <> '00000' AND e.Deleted <> 1 "
                       "UNION ALL SELECT d.typeId, d.UserCode, d.FullName, '部门', 1 FROM Department d "
                       "WHERE d.Deleted = 0 AND d.etypeid <> '') c ORDER BY OperatorType, UserCode"));
    return 0;
}

int auditDetailEmployee(ProcContext &ctx)
{
    ctx.setResult(kAuditorNames.arg(kLevelAuditors, QStringLiteral(" AND e.Leveal = ?")),
                  {ctx.in(QStringLiteral("@nVchtype")).toInt(), ctx.in(QStringLiteral("@nLeveal")).toInt()});
    return 0;
}

} // namespace

void registerAuditProcs(ProcRegistry &registry)
{
    registry.addReader(QStringLiteral("P_Audit_GetVchtype"), &getVchtype);
    registry.addReader(QStringLiteral("P_Audit_LoadVchtypeConfig"), &loadVchtypeConfig);
    registry.addReader(QStringLiteral("P_Audit_GetBillAuidtingCount"), &auditingCount);
    registry.addReader(QStringLiteral("P_Inf_PlugIn_Audit_GetBillAuidtingCount"), &plugInAuditingCount);
    registry.add(QStringLiteral("P_Audit_SetBillIsAudit"),
                 [](ProcContext &ctx) { return switchFlow(ctx, false); });
    registry.add(QStringLiteral("P_Audit_SetPlugInBillIsAudit"),
                 [](ProcContext &ctx) { return switchFlow(ctx, true); });
    registry.add(QStringLiteral("P_Audit_DelVchtypeLeveal"), &delVchtypeLeveal);
    registry.add(QStringLiteral("P_Audit_CreateVchtypeNdx"), &createVchtypeNdx);
    registry.add(QStringLiteral("P_Audit_CopyAuditDetail"), &copyAuditDetail);
    registry.addReader(QStringLiteral("P_Audit_AuditEmployeeSelector"), &auditEmployeeSelector);
    registry.addReader(QStringLiteral("P_Audit_GetAuditDetailEmployee"), &auditDetailEmployee);
    registerAuditEngineProcs(registry);
}

} // namespace accountdb
