// Procedures of the area "users": operators for the change of operator, passwords, the print password,
// pass-token bindings and the log-on guard. Passwords are compared only as Argon2id hashes
// (verifyPassword) and never leave a procedure: not in an output, an event or an error text.
//
// P_GBL_LoadLoginUser   the operators that may log on (not deleted), the administrator "00000" first,
//                       then by user code: ETYPEID, IsManager, EFULLNAME, ECOMMENT, eUserCode, Pass_Code,
//                       Pass_Level, Pass_Have. 0.
// P_GBL_CheckPassword   @szOperatorID, @szPassword: 1 right, 0 wrong, -1 unknown operator, -3 the operator
//                       must still wait after wrong passwords (@nWait: seconds). A wrong password counts
//                       towards the wait, a right one clears it.
// P_GBL_ChangePassword  @szOperatorID, @szOldPassword, @szNewPassword -> @ErrMsg: 0 changed (event),
//                       -1 unknown operator, -2 old password wrong, -3 new password empty or too long.
// P_GBL_PrintPassword   @cMode "U", @Password (old), @NewPassword: 0 changed, -1 old password wrong,
//                       -2 not changed (new password too long, other mode, no stored print password).
// P_KOVA_PassToken      @cMode, @szEtypeID, @szPassCode, @nPassLevel, @nPassHave.
//                       "R": one row per operator: eUserCode, eFullName, Pass_Code, PassType, PassStatus,
//                       Pass_Level, Pass_Have ("1" bound), EtypeID. "W": binds the token: -2101 it is
//                       bound to another operator, -2102 the operator is bound already, -1 unknown
//                       operator, -2 empty number or negative level. "U": removes the binding: -2101
//                       the operator has none, -1 unknown operator. -3 for another mode.
// P_GBL_LogOnGuard      @cMode, @szOperatorID -> @nWait. "C": 0 may try, -1 must wait @nWait seconds;
//                       "F": counts a wrong password, returns the failures in a row; "S": forgets them, 0.

#include "procs/ProcsUsers.h"

#include <algorithm>

#include "AccountDatabase.h"
#include "EventLog.h"
#include "procs/Procedures.h"

namespace accountdb {

namespace {

constexpr int kMaxPasswordLength = 30;
const QString kAdministrator = QStringLiteral("00000");

QString param(ProcContext &ctx, const char *name)
{
    return ctx.in(QLatin1String(name)).toString();
}

QString operatorId(ProcContext &ctx)
{
    return param(ctx, "@szOperatorID").trimmed();
}

// The password hash of a log-on operator; null when there is no such operator.
QVariant passwordHash(ProcContext &ctx, const QString &id)
{
    return ctx.value(QStringLiteral("SELECT l.Password FROM T_GBL_LoginUser l "
                                    "INNER JOIN Employee e ON e.TypeId = l.ETypeId "
                                    "WHERE l.ETypeId = ? AND e.Deleted = 0"),
                     {id});
}

int loadLoginUser(ProcContext &ctx)
{
    ctx.setResult(
        QStringLiteral("SELECT l.ETypeId AS ETYPEID, l.IsManager AS IsManager, e.FullName AS EFULLNAME, "
                       "e.Comment AS ECOMMENT, e.UserCode AS eUserCode, l.Pass_Code AS Pass_Code, "
                       "l.Pass_Level AS Pass_Level, l.Pass_Have AS Pass_Have "
                       "FROM T_GBL_LoginUser l INNER JOIN Employee e ON e.TypeId = l.ETypeId "
                       "WHERE e.Deleted = 0 "
                       "ORDER BY CASE WHEN l.ETypeId = ? THEN 0 ELSE 1 END, e.UserCode, l.ETypeId"),
        {kAdministrator});
    return 0;
}

int checkPassword(ProcContext &ctx)
{
    const QString id = operatorId(ctx);
    const QVariant hash = passwordHash(ctx, id);
    if (id.isEmpty() || hash.isNull())
        return -1;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    if (const int wait = logOnWaitLeft(ctx, id, now); wait > 0) {
        ctx.setOut(QStringLiteral("@nWait"), wait);
        return -3;
    }
    if (!verifyPassword(param(ctx, "@szPassword"), hash.toString())) {
        recordLogOnFailure(ctx, id, now);
        return 0;
    }
    clearLogOnFailures(ctx, id);
    return 1;
}

int changePassword(ProcContext &ctx)
{
    const QString id = operatorId(ctx);
    const QVariant hash = passwordHash(ctx, id);
    if (id.isEmpty() || hash.isNull()) {
        ctx.setOut(QStringLiteral("@ErrMsg"), QStringLiteral("操作员不存在。"));
        return -1;
    }
    if (!verifyPassword(param(ctx, "@szOldPassword"), hash.toString())) {
        ctx.setOut(QStringLiteral("@ErrMsg"), QStringLiteral("原密码错误，密码修改失败。"));
        return -2;
    }
    const QString newPassword = param(ctx, "@szNewPassword");
    if (newPassword.isEmpty() || newPassword.size() > kMaxPasswordLength) {
        ctx.setOut(QStringLiteral("@ErrMsg"),
                   QStringLiteral("新密码不能为空，也不能超过%1个字符。").arg(kMaxPasswordLength));
        return -3;
    }
    ctx.exec(QStringLiteral("UPDATE T_GBL_LoginUser SET Password = ? WHERE ETypeId = ?"),
             {hashPassword(newPassword), id});
    clearLogOnFailures(ctx, id);
    writeEvent(ctx, id, event::PasswordChange);
    ctx.setOut(QStringLiteral("@ErrMsg"), QString());
    return 0;
}

int printPassword(ProcContext &ctx)
{
    if (param(ctx, "@cMode").trimmed().compare(QLatin1String("U"), Qt::CaseInsensitive) != 0)
        return -2;
    const QString hash =
        ctx.value(QStringLiteral("SELECT Value FROM T_Gbl_Security WHERE Name = 'PrintPassword'")).toString();
    if (!verifyPassword(param(ctx, "@Password"), hash))
        return -1;
    const QString newPassword = param(ctx, "@NewPassword");
    if (newPassword.size() > kMaxPasswordLength)
        return -2;
    QSqlQuery update =
        ctx.exec(QStringLiteral("UPDATE T_Gbl_Security SET Value = ? WHERE Name = 'PrintPassword'"),
                 {hashPassword(newPassword)});
    return update.numRowsAffected() == 1 ? 0 : -2;
}

bool loginUserExists(ProcContext &ctx, const QString &id)
{
    return !ctx.value(QStringLiteral("SELECT 1 FROM T_GBL_LoginUser WHERE ETypeId = ?"), {id}).isNull();
}

int bindToken(ProcContext &ctx, const QString &id)
{
    const QString code = param(ctx, "@szPassCode").trimmed();
    const int level = ctx.in(QStringLiteral("@nPassLevel")).toInt();
    if (code.isEmpty() || code.contains(u'\n') || code.contains(u'\r') || level < 0)
        return -2;
    if (!ctx.value(QStringLiteral("SELECT 1 FROM T_GBL_LoginUser WHERE Pass_Have = 1 AND Pass_Code = ? "
                                  "AND ETypeId <> ?"),
                   {code, id})
             .isNull())
        return -2101;
    if (ctx.value(QStringLiteral("SELECT Pass_Have FROM T_GBL_LoginUser WHERE ETypeId = ?"), {id}).toInt() ==
        1)
        return -2102;
    ctx.exec(QStringLiteral("UPDATE T_GBL_LoginUser SET Pass_Code = ?, Pass_Level = ?, Pass_Have = 1 "
                            "WHERE ETypeId = ?"),
             {code, level, id});
    return 0;
}

int unbindToken(ProcContext &ctx, const QString &id)
{
    if (ctx.value(QStringLiteral("SELECT Pass_Have FROM T_GBL_LoginUser WHERE ETypeId = ?"), {id}).toInt() !=
        1)
        return -2101;
    ctx.exec(QStringLiteral("UPDATE T_GBL_LoginUser SET Pass_Code = '', Pass_Level = 0, Pass_Have = 0 "
                            "WHERE ETypeId = ?"),
             {id});
    return 0;
}

int passToken(ProcContext &ctx)
{
    const QString mode = param(ctx, "@cMode").trimmed().toUpper();
    if (mode == QLatin1String("R")) {
        ctx.setResult(
            QStringLiteral(
                "SELECT e.UserCode AS eUserCode, e.FullName AS eFullName, l.Pass_Code AS Pass_Code, "
                "CASE WHEN l.Pass_Have <> 1 THEN '' WHEN l.Pass_Level = 0 THEN ? ELSE ? END AS PassType, "
                "CASE WHEN l.Pass_Have = 1 THEN ? ELSE ? END AS PassStatus, "
                "l.Pass_Level AS Pass_Level, CAST(l.Pass_Have AS TEXT) AS Pass_Have, "
                "l.ETypeId AS EtypeID "
                "FROM T_GBL_LoginUser l INNER JOIN Employee e ON e.TypeId = l.ETypeId "
                "WHERE e.Deleted = 0 "
                "ORDER BY CASE WHEN l.ETypeId = ? THEN 0 ELSE 1 END, e.UserCode, l.ETypeId"),
            {QStringLiteral("普通"), QStringLiteral("高级"), QStringLiteral("已绑定"),
             QStringLiteral("未绑定"), kAdministrator});
        return 0;
    }
    const QString id = param(ctx, "@szEtypeID").trimmed();
    if (mode != QLatin1String("W") && mode != QLatin1String("U"))
        return -3;
    if (!loginUserExists(ctx, id))
        return -1;
    return mode == QLatin1String("W") ? bindToken(ctx, id) : unbindToken(ctx, id);
}

int logOnGuard(ProcContext &ctx)
{
    const QString mode = param(ctx, "@cMode").trimmed().toUpper();
    const QString id = operatorId(ctx);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    if (mode == QLatin1String("C")) {
        const int wait = logOnWaitLeft(ctx, id, now);
        ctx.setOut(QStringLiteral("@nWait"), wait);
        return wait > 0 ? -1 : 0;
    }
    if (mode == QLatin1String("F"))
        return recordLogOnFailure(ctx, id, now);
    if (mode == QLatin1String("S")) {
        clearLogOnFailures(ctx, id);
        return 0;
    }
    return -3;
}

} // namespace

int logOnDelaySeconds(int failures)
{
    if (failures < 3)
        return 0;
    const int delay = 5 << std::min(failures - 3, 6); // 5, 10, 20, ... 320
    return std::min(delay, 300);
}

int logOnWaitLeft(ProcContext &ctx, const QString &operatorId, const QDateTime &nowUtc)
{
    QSqlQuery q =
        ctx.exec(QStringLiteral("SELECT Failures, LastFailure FROM T_Gbl_LogOnFailure WHERE ETypeId = ?"),
                 {operatorId});
    if (!q.next())
        return 0;
    const int delay = logOnDelaySeconds(q.value(0).toInt());
    // Stored with its "Z", so it reads back as UTC.
    const QDateTime last = QDateTime::fromString(q.value(1).toString(), Qt::ISODate);
    if (delay == 0 || !last.isValid())
        return 0;
    // A clock set back makes the last failure lie in the future: wait the whole delay from now on.
    const qint64 passed = std::max<qint64>(0, last.secsTo(nowUtc));
    return int(std::max<qint64>(0, delay - passed));
}

int recordLogOnFailure(ProcContext &ctx, const QString &operatorId, const QDateTime &nowUtc)
{
    ctx.exec(
        QStringLiteral("INSERT INTO T_Gbl_LogOnFailure (ETypeId, Failures, LastFailure) VALUES (?, 1, ?) "
                       "ON CONFLICT (ETypeId) DO UPDATE SET Failures = T_Gbl_LogOnFailure.Failures + 1, "
                       "LastFailure = excluded.LastFailure"),
        {operatorId, nowUtc.toString(Qt::ISODate)});
    return ctx
        .value(QStringLiteral("SELECT Failures FROM T_Gbl_LogOnFailure WHERE ETypeId = ?"), {operatorId})
        .toInt();
}

void clearLogOnFailures(ProcContext &ctx, const QString &operatorId)
{
    ctx.exec(QStringLiteral("DELETE FROM T_Gbl_LogOnFailure WHERE ETypeId = ?"), {operatorId});
}

void registerUsersProcs(ProcRegistry &registry)
{
    registry.addReader(QStringLiteral("P_GBL_LoadLoginUser"), &loadLoginUser);
    registry.add(QStringLiteral("P_GBL_CheckPassword"), &checkPassword);
    registry.add(QStringLiteral("P_GBL_ChangePassword"), &changePassword);
    registry.add(QStringLiteral("P_GBL_PrintPassword"), &printPassword);
    registry.add(QStringLiteral("P_KOVA_PassToken"), &passToken);
    registry.add(QStringLiteral("P_GBL_LogOnGuard"), &logOnGuard);
}

} // namespace accountdb
