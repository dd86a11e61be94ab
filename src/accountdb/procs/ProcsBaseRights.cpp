// Base-data rights procedures (BaseRights.h). @cMode / @lMode name the kind (C S K P D A).
//
// P_BaseRightsGroupInsert(@cMode A add / U modify / C copy with its grants / D delete, @lMode, @Id,
//   @szName, @Comment): above 0 done (A and C: the new group's id). A: -1 name taken. U: -3 super group,
//   -2 name taken by another group, -1 group gone. C: -3 super group, -2 group gone, -1 name taken.
//   D: -3 super group, -2 group has members, -1 group gone.
// P_SetRightGroupToBaseType(@cMode, @GroupID, @BaseTypeID, @Selected 1 grant / 0 revoke, @IsLeaf):
//   1 done; -1 group gone; -2 record gone; -3 super group. A class grants or revokes its leaves.
// P_SetEBeyondBaseRightGroup(@cMode, @EtypeID, @GroupId 0 = no group): 1 done; -1 operator gone;
//   -2 operator is supervisor; -3 group gone; -4 super group.
// P_JXC_RtLoadBaseRight(@cMode): the classes of the kind (TypeId, FullName, ParId, SonNum, leveal).
// P_LoadBaseRights(@cMode, @ParID, @OperatorID, paging) / P_LoadBaseRightsByGroup(@cMode, @ParID,
//   @GroupId, paging): the leaves under a class ("00000" = all) with TypeID, UserCode, FullName and
//   Selected (1 when the operator may use the record / the group holds its grant). Paging is ignored.

#include "AccountDatabase.h"
#include "BaseRights.h"
#include "Procedures.h"

namespace accountdb {

namespace {

using baserights::Kind;

const Kind &kindOf(ProcContext &ctx, const QString &param)
{
    const QString code = ctx.in(param).toString().trimmed().toUpper();
    const Kind *k = code.size() == 1 ? baserights::kind(code[0]) : nullptr;
    if (!k)
        throw DbError(QStringLiteral("基本信息权限类型“%1”无效。").arg(code));
    return *k;
}

// Records of the kind that are in use (accounts have no deleted flag).
QString liveRecords(const Kind &k)
{
    QStringList conditions;
    if (k.baseTable != QStringLiteral("Atypecw"))
        conditions << QStringLiteral("b.Deleted = 0");
    if (!k.baseFilter.isEmpty())
        conditions << QStringLiteral("b.") + k.baseFilter;
    return conditions.isEmpty() ? QStringLiteral("1 = 1") : conditions.join(QStringLiteral(" AND "));
}

bool groupExists(ProcContext &ctx, const Kind &k, qint64 id)
{
    return ctx.value(QStringLiteral("SELECT count(1) FROM %1 WHERE %2 = ?").arg(k.groupTable, k.groupColumn),
                     {id})
               .toInt() > 0;
}

bool nameTaken(ProcContext &ctx, const Kind &k, const QString &name, qint64 exceptId)
{
    return ctx.value(QStringLiteral("SELECT count(1) FROM %1 WHERE RightName = ? AND %2 <> ?")
                         .arg(k.groupTable, k.groupColumn),
                     {name, exceptId})
               .toInt() > 0;
}

qint64 insertGroup(ProcContext &ctx, const Kind &k, const QString &name, const QString &comment)
{
    QSqlQuery q = ctx.exec(QStringLiteral("INSERT INTO %1 (RightName, Comment) VALUES (?, ?) RETURNING %2")
                               .arg(k.groupTable, k.groupColumn),
                           {name, comment});
    return q.next() ? q.value(0).toLongLong() : 0;
}

int groupInsert(ProcContext &ctx)
{
    const QString op = ctx.in(QStringLiteral("@cMode")).toString().trimmed().toUpper();
    const Kind &k = kindOf(ctx, QStringLiteral("@lMode"));
    const qint64 id = ctx.in(QStringLiteral("@Id")).toLongLong();
    const QString name = ctx.in(QStringLiteral("@szName")).toString().trimmed();
    const QString comment = ctx.in(QStringLiteral("@Comment")).toString();
    if (op == u"A")
        return nameTaken(ctx, k, name, 0) ? -1 : int(insertGroup(ctx, k, name, comment));
    if (id == 1)
        return -3;
    const bool exists = groupExists(ctx, k, id);
    if (op == u"U") {
        if (!exists)
            return -1;
        if (nameTaken(ctx, k, name, id))
            return -2;
        ctx.exec(QStringLiteral("UPDATE %1 SET RightName = ?, Comment = ? WHERE %2 = ?")
                     .arg(k.groupTable, k.groupColumn),
                 {name, comment, id});
        return 1;
    }
    if (op == u"C") {
        if (!exists)
            return -2;
        if (nameTaken(ctx, k, name, 0))
            return -1;
        const qint64 copy = insertGroup(ctx, k, name, comment);
        ctx.exec(QStringLiteral("INSERT INTO %1 (%2, TypeID, Deleted) SELECT CAST(? AS INTEGER), TypeID, "
                                "Deleted FROM %1 WHERE %2 = ?")
                     .arg(k.grantTable, k.groupColumn),
                 {copy, id});
        return int(copy);
    }
    if (op == u"D") {
        if (ctx.value(
                   QStringLiteral("SELECT count(1) FROM %1 WHERE %2 = ?").arg(k.memberTable, k.groupColumn),
                   {id})
                .toInt() > 0)
            return -2;
        if (!exists)
            return -1;
        ctx.exec(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(k.groupTable, k.groupColumn), {id});
        return 1;
    }
    return 0;
}

int setGroupToBaseType(ProcContext &ctx)
{
    const Kind &k = kindOf(ctx, QStringLiteral("@cMode"));
    const qint64 group = ctx.in(QStringLiteral("@GroupID")).toLongLong();
    const QString record = ctx.in(QStringLiteral("@BaseTypeID")).toString().trimmed();
    if (group == 1)
        return -3;
    if (!groupExists(ctx, k, group))
        return -1;
    const QString live = liveRecords(k);
    if (ctx.value(
               QStringLiteral("SELECT count(1) FROM %1 b WHERE b.typeId = ? AND %2").arg(k.baseTable, live),
               {record})
            .toInt() == 0)
        return -2;
    // The record itself when a leaf, every leaf below it when a class.
    const QString leaves = QStringLiteral("SELECT b.typeId FROM %1 b WHERE b.Sonnum = 0 AND %2 AND "
                                          "substr(b.typeId, 1, length(CAST(? AS TEXT))) = ?")
                               .arg(k.baseTable, live);
    if (ctx.in(QStringLiteral("@Selected")).toInt() == 1)
        ctx.exec(QStringLiteral("INSERT INTO %1 (%2, TypeID, Deleted) SELECT CAST(? AS INTEGER), t.typeId, 0 "
                                "FROM (%3) AS t WHERE 1 = 1 "
                                "ON CONFLICT (%2, TypeID) DO UPDATE SET Deleted = 0")
                     .arg(k.grantTable, k.groupColumn, leaves),
                 {group, record, record});
    else
        ctx.exec(QStringLiteral("DELETE FROM %1 WHERE %2 = ? AND TypeID IN (%3)")
                     .arg(k.grantTable, k.groupColumn, leaves),
                 {group, record, record});
    return 1;
}

int setOperatorGroup(ProcContext &ctx)
{
    const Kind &k = kindOf(ctx, QStringLiteral("@cMode"));
    const QString op = ctx.in(QStringLiteral("@EtypeID")).toString().trimmed();
    const qint64 group = ctx.in(QStringLiteral("@GroupId")).toLongLong();
    const QVariant manager =
        ctx.value(QStringLiteral("SELECT l.IsManager FROM T_GBL_LoginUser l INNER JOIN Employee e "
                                 "ON e.TypeId = l.ETypeId WHERE l.ETypeId = ? AND e.Deleted <> 1"),
                  {op});
    if (!manager.isValid() || manager.isNull())
        return -1;
    if (manager.toInt() == 1)
        return -2;
    if (group == 1)
        return -4;
    if (group == 0) {
        ctx.exec(QStringLiteral("DELETE FROM %1 WHERE EtypeID = ?").arg(k.memberTable), {op});
        return 1;
    }
    if (!groupExists(ctx, k, group))
        return -3;
    ctx.exec(
        QStringLiteral("INSERT INTO %1 (EtypeID, %2) VALUES (?, ?) ON CONFLICT (EtypeID) DO UPDATE SET %2 = "
                       "excluded.%2")
            .arg(k.memberTable, k.groupColumn),
        {op, group});
    return 1;
}

int loadClasses(ProcContext &ctx)
{
    const Kind &k = kindOf(ctx, QStringLiteral("@cMode"));
    ctx.setResult(
        QStringLiteral(
            "SELECT b.typeId AS TypeId, b.FullName, b.ParId, b.Sonnum AS SonNum, b.Leveal AS leveal "
            "FROM %1 b WHERE b.Sonnum > 0 AND %2 ORDER BY b.typeId")
            .arg(k.baseTable, liveRecords(k)));
    return 0;
}

// The leaves under @ParID with the given "Selected" expression (its parameters first).
void loadLeaves(ProcContext &ctx, const Kind &k, const QString &selected, QVariantList params)
{
    const QString parent = ctx.in(QStringLiteral("@ParID")).toString().trimmed();
    QString sql =
        QStringLiteral("SELECT b.typeId AS TypeID, b.UserCode, b.FullName, %1 AS Selected FROM %2 b "
                       "WHERE b.Sonnum = 0 AND %3")
            .arg(selected, k.baseTable, liveRecords(k));
    if (!parent.isEmpty() && parent != u"00000") {
        sql += QStringLiteral(" AND substr(b.typeId, 1, length(CAST(? AS TEXT))) = ?");
        params << parent << parent;
    }
    ctx.setResult(sql + QStringLiteral(" ORDER BY b.UserCode, b.typeId"), params);
}

int loadOperatorRights(ProcContext &ctx)
{
    const Kind &k = kindOf(ctx, QStringLiteral("@cMode"));
    loadLeaves(
        ctx, k,
        QStringLiteral("CASE WHEN b.typeId IN (%1) THEN 0 ELSE 1 END").arg(baserights::notAllowedSql(k.code)),
        {ctx.in(QStringLiteral("@OperatorID")).toString().trimmed()});
    return 0;
}

int loadGroupRights(ProcContext &ctx)
{
    const Kind &k = kindOf(ctx, QStringLiteral("@cMode"));
    const qint64 group = ctx.in(QStringLiteral("@GroupId")).toLongLong();
    loadLeaves(
        ctx, k,
        QStringLiteral("CASE WHEN ? = 1 OR EXISTS (SELECT 1 FROM %1 r WHERE r.%2 = ? AND r.TypeID = b.typeId "
                       "AND r.Deleted = 0) THEN 1 ELSE 0 END")
            .arg(k.grantTable, k.groupColumn),
        {group, group});
    return 0;
}

} // namespace

void registerBaseRightsProcs(ProcRegistry &registry)
{
    registry.add(QStringLiteral("P_BaseRightsGroupInsert"), &groupInsert);
    registry.add(QStringLiteral("P_SetRightGroupToBaseType"), &setGroupToBaseType);
    registry.add(QStringLiteral("P_SetEBeyondBaseRightGroup"), &setOperatorGroup);
    registry.addReader(QStringLiteral("P_JXC_RtLoadBaseRight"), &loadClasses);
    registry.addReader(QStringLiteral("P_LoadBaseRights"), &loadOperatorRights);
    registry.addReader(QStringLiteral("P_LoadBaseRightsByGroup"), &loadGroupRights);
}

} // namespace accountdb
