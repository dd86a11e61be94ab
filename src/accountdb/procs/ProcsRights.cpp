// Procedures of the area "rights": groups, their rights, the right list and operators.
//
// P_jxc_InsertGroup      @ckind "N" new, "M" modify, "C" copy (a new group with the rights of @nId),
//                        "D" delete; @nId, @Name, @memo. 0 done (N and C return the new id);
//                        -2 the name (or for M/D the group) is the default group "会计组";
//                        -3 N/M/C: another group has the name, D: operators belong to the group;
//                        -1 the group @nId does not exist or the mode is unknown.
// p_KOVA_SaveLimit       @cMode "A" grants @nFunctionNo to @nGroupID with the detail string
//                        @szPowerLimit, "D" revokes it. -2 the default group, -1 no such group or mode.
// p_jxc_RtLoadLimit      @Version, @szLimitClass "0": the rights the edition offers with a kind:
//                        Functionno, KindID, Caption, by kind and number.
// SL_GetPowerRelation    @nLimitNo: the right's detail rights, Detailno and DisplayName.
// SL_GM_GetPowerRelation the same with the detail rights plug-ins add to the right.
// P_GBL_DealLoginUser    @lMode, @szETypeID: 1 makes an employee an operator (-1 already one, -2 not an
//                        employee or a class), 2 clears his password, 4 deletes the operator (-2 the
//                        administrator, -3 the accounting supervisor), 5 makes him the accounting
//                        supervisor (-2 the administrator). -1 for 2, 4, 5: not an operator.

#include <QRegularExpression>

#include "AccountDatabase.h"
#include "procs/Procedures.h"

namespace accountdb {

namespace {

const QString kDefaultGroup = QStringLiteral("会计组");
const QString kAdministrator = QStringLiteral("00000");
constexpr int kDetailCount = 200;

QString text(ProcContext &ctx, const char *name)
{
    return ctx.in(QLatin1String(name)).toString().trimmed();
}

QString groupName(ProcContext &ctx, int id)
{
    return ctx.value(QStringLiteral("SELECT GroupName FROM \"group\" WHERE ID = ?"), {id}).toString();
}

bool nameTaken(ProcContext &ctx, const QString &name, int exceptId)
{
    return !ctx.value(QStringLiteral("SELECT 1 FROM \"group\" WHERE GroupName = ? AND ID <> ?"),
                      {name, exceptId})
                .isNull();
}

int newGroup(ProcContext &ctx, const QString &name, const QString &memo)
{
    QSqlQuery q =
        ctx.exec(QStringLiteral("INSERT INTO \"group\" (ID, GroupName, Memo) "
                                "SELECT coalesce(max(ID), 0) + 1, ?, ? FROM \"group\" RETURNING ID"),
                 {name, memo});
    q.next();
    return q.value(0).toInt();
}

int insertGroup(ProcContext &ctx)
{
    const QString kind = text(ctx, "@ckind").toUpper();
    const int id = ctx.in(QStringLiteral("@nId")).toInt();
    const QString name = text(ctx, "@Name");
    const QString memo = text(ctx, "@memo");
    if (kind == QLatin1String("N") || kind == QLatin1String("C") || kind == QLatin1String("M")) {
        if (name.isEmpty())
            return -1;
        if (name == kDefaultGroup)
            return -2;
        if (nameTaken(ctx, name, kind == QLatin1String("M") ? id : 0))
            return -3;
    }
    if (kind == QLatin1String("N"))
        return newGroup(ctx, name, memo);
    const QString old = groupName(ctx, id);
    if (old.isEmpty() ||
        (kind != QLatin1String("C") && kind != QLatin1String("M") && kind != QLatin1String("D")))
        return -1;
    if (kind == QLatin1String("C")) {
        const int copy = newGroup(ctx, name, memo);
        ctx.exec(
            QStringLiteral("INSERT INTO T_Gbl_UserPower (GroupID, LimitNo, LimitPower, ETypeId) "
                           "SELECT ?, LimitNo, LimitPower, ETypeId FROM T_Gbl_UserPower WHERE GroupID = ?"),
            {copy, id});
        ctx.exec(QStringLiteral(
                     "INSERT INTO T_PlugIn_UserPower (Version, GroupId, LimitNo, LimitPower) "
                     "SELECT Version, ?, LimitNo, LimitPower FROM T_PlugIn_UserPower WHERE GroupId = ?"),
                 {copy, id});
        return copy;
    }
    if (old == kDefaultGroup)
        return -2;
    if (kind == QLatin1String("M")) {
        ctx.exec(QStringLiteral("UPDATE \"group\" SET GroupName = ?, Memo = ? WHERE ID = ?"),
                 {name, memo, id});
        return 0;
    }
    if (!ctx.value(QStringLiteral("SELECT 1 FROM UserToGroup WHERE GroupId = ?"), {id}).isNull())
        return -3;
    ctx.exec(QStringLiteral("DELETE FROM T_Gbl_UserPower WHERE GroupID = ?"), {id});
    ctx.exec(QStringLiteral("DELETE FROM T_PlugIn_UserPower WHERE GroupId = ?"), {id});
    ctx.exec(QStringLiteral("DELETE FROM \"group\" WHERE ID = ?"), {id});
    return 0;
}

int saveLimit(ProcContext &ctx)
{
    const QString mode = text(ctx, "@cMode").toUpper();
    const int group = ctx.in(QStringLiteral("@nGroupID")).toInt();
    const int right = ctx.in(QStringLiteral("@nFunctionNo")).toInt();
    const QString name = groupName(ctx, group);
    if (name.isEmpty() || right <= 0)
        return -1;
    if (name == kDefaultGroup)
        return -2;
    if (mode == QLatin1String("D")) {
        ctx.exec(QStringLiteral("DELETE FROM T_Gbl_UserPower WHERE GroupID = ? AND LimitNo = ?"),
                 {group, right});
        return 0;
    }
    if (mode != QLatin1String("A"))
        return -1;
    // Only "0"/"1", always the full length: a short string grants nothing beyond its end.
    QString power = ctx.in(QStringLiteral("@szPowerLimit")).toString().left(kDetailCount);
    power.replace(QRegularExpression(QStringLiteral("[^01]")), QStringLiteral("0"));
    power = power.leftJustified(kDetailCount, QLatin1Char('0'));
    ctx.exec(QStringLiteral("INSERT INTO T_Gbl_UserPower (GroupID, LimitNo, LimitPower) VALUES (?, ?, ?) "
                            "ON CONFLICT (GroupID, LimitNo) DO UPDATE SET LimitPower = excluded.LimitPower"),
             {group, right, power});
    return 0;
}

int loadLimit(ProcContext &ctx)
{
    if (text(ctx, "@szLimitClass") != QLatin1String("0"))
        return -1;
    ctx.setResult(
        QStringLiteral("SELECT f.FunctionNo AS Functionno, f.KindID AS KindID, f.Caption AS Caption "
                       "FROM T_Gbl_FunctionList f "
                       "WHERE f.KindID <> '' AND EXISTS (SELECT 1 FROM VersionFunction v "
                       "WHERE v.FunctionNO = f.FunctionNo AND v.PubVersion = ?) "
                       "ORDER BY f.KindID, f.FunctionNo"),
        {ctx.in(QStringLiteral("@Version")).toInt()});
    return 0;
}

int powerRelation(ProcContext &ctx)
{
    ctx.setResult(
        QStringLiteral("SELECT DetailNo AS Detailno, DisplayName AS DisplayName FROM T_Gbl_PowerRelation "
                       "WHERE LimitNo = ? ORDER BY DetailNo"),
        {ctx.in(QStringLiteral("@nLimitNo")).toInt()});
    return 0;
}

int powerRelationWithPlugIns(ProcContext &ctx)
{
    const int right = ctx.in(QStringLiteral("@nLimitNo")).toInt();
    ctx.setResult(
        QStringLiteral("SELECT DetailNo AS Detailno, DisplayName AS DisplayName FROM T_Gbl_PowerRelation "
                       "WHERE LimitNo = ? "
                       "UNION SELECT DetailNo, DisplayName FROM T_PlugIn_PowerRelation "
                       "WHERE Version = 'CS' AND LimitNo = ? AND DetailNo NOT IN "
                       "(SELECT DetailNo FROM T_Gbl_PowerRelation WHERE LimitNo = ?) "
                       "ORDER BY Detailno"),
        {right, right, right});
    return 0;
}

bool isOperator(ProcContext &ctx, const QString &id)
{
    return !ctx.value(QStringLiteral("SELECT 1 FROM T_GBL_LoginUser WHERE ETypeId = ?"), {id}).isNull();
}

int dealLoginUser(ProcContext &ctx)
{
    const int mode = ctx.in(QStringLiteral("@lMode")).toInt();
    const QString id = text(ctx, "@szETypeID");
    if (mode == 1) {
        if (id.isEmpty() || ctx.value(QStringLiteral("SELECT 1 FROM Employee WHERE TypeId = ? AND Sonnum = 0 "
                                                     "AND Deleted = 0"),
                                      {id})
                                .isNull())
            return -2;
        if (isOperator(ctx, id))
            return -1;
        ctx.exec(QStringLiteral("INSERT INTO T_GBL_LoginUser (ETypeId) VALUES (?)"), {id});
        return 0;
    }
    if (!isOperator(ctx, id))
        return -1;
    switch (mode) {
    case 2:
        ctx.exec(QStringLiteral("UPDATE T_GBL_LoginUser SET Password = '' WHERE ETypeId = ?"), {id});
        ctx.exec(QStringLiteral("DELETE FROM T_Gbl_LogOnFailure WHERE ETypeId = ?"), {id});
        return 0;
    case 4:
        if (id == kAdministrator)
            return -2;
        if (ctx.value(QStringLiteral("SELECT IsManager FROM T_GBL_LoginUser WHERE ETypeId = ?"), {id})
                .toInt() == 1)
            return -3;
        ctx.exec(QStringLiteral("DELETE FROM UserToGroup WHERE UserID = ?"), {id});
        ctx.exec(QStringLiteral("DELETE FROM T_Gbl_LogOnFailure WHERE ETypeId = ?"), {id});
        ctx.exec(QStringLiteral("DELETE FROM T_GBL_LoginUser WHERE ETypeId = ?"), {id});
        return 0;
    case 5:
        if (id == kAdministrator)
            return -2;
        // One supervisor: naming another one takes the mark from the last.
        ctx.exec(
            QStringLiteral("UPDATE T_GBL_LoginUser SET IsManager = CASE WHEN ETypeId = ? THEN 1 ELSE 0 END"),
            {id});
        return 0;
    default:
        return -1;
    }
}

} // namespace

void registerRightsProcs(ProcRegistry &registry)
{
    registry.add(QStringLiteral("P_jxc_InsertGroup"), insertGroup);
    registry.add(QStringLiteral("p_KOVA_SaveLimit"), saveLimit);
    registry.addReader(QStringLiteral("p_jxc_RtLoadLimit"), loadLimit);
    registry.addReader(QStringLiteral("SL_GetPowerRelation"), powerRelation);
    registry.addReader(QStringLiteral("SL_GM_GetPowerRelation"), powerRelationWithPlugIns);
    registry.add(QStringLiteral("P_GBL_DealLoginUser"), dealLoginUser);
}

} // namespace accountdb
