// Procedures of the area "sys": system values, the period calendar and the operator log-on.
//
// P_GBL_GetSysValue         @szName -> @szReturn: the named value, empty when there is none.
// P_GBL_SetSysValue         @szName, @szValue -> @ErrMsg: writes (inserts or replaces) the value; -1 for an
//                           empty name, -2 for a value that does not fit a system value of known type
//                           (periods, year, iniover, costing modes, MaxPrice, AutoBackupDate).
// p_gbl_GetPeriodOrDate     @lMode, @lPeriod -> @lPeriod, @szBeginDate, @szEndDate for the accounting
//                           period ("Period"); -1 when the period does not exist, -2 for an unknown mode.
//                           Modes: 0 = the whole calendar, 1 = the current period, 2 = the period that
//                           holds the date @szBeginDate, 3 = period @lPeriod.
// p_gbl_GetJxcPeriodOrDate  the same for the inventory period ("JxcPeriod").
// P_GBL_CheckLogin          @szUserId (operator id or user code), @szPassword -> @szUserName,
//                           @bManager, @szOperatorId: 0 = right, -1 = unknown or deleted operator,
//                           -2 = wrong password. The administrator "00000" counts as manager.

#include <QDate>
#include <QRegularExpression>
#include <cmath>

#include "AccountDatabase.h"
#include "procs/Procedures.h"

namespace accountdb {

namespace {

const QString kAdministrator = QStringLiteral("00000");

int getSysValue(ProcContext &ctx)
{
    const QVariant v = ctx.value(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = ?"),
                                 {ctx.in(QStringLiteral("@szName")).toString().trimmed()});
    ctx.setOut(QStringLiteral("@szReturn"), v.isNull() ? QString() : v.toString());
    return 0;
}

// The rule of a system value whose type the system knows; empty when the value is acceptable.
QString sysValueProblem(const QString &name, const QString &value)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
    const auto key = [&name](const char *k) {
        return name.compare(QLatin1String(k), Qt::CaseInsensitive) == 0;
    };
    const bool isInt = digits.match(value).hasMatch();
    if (key("JxcPeriod") || key("Period") || key("OpenPeriod") || key("RPOpenMonth"))
        return isInt && value.toInt() >= 1 ? QString() : QStringLiteral("应为大于 0 的整数期间号");
    if (key("CurrentYear"))
        return isInt && value.toInt() >= 1900 && value.toInt() <= 9999
                   ? QString()
                   : QStringLiteral("应为 1900 到 9999 的年份");
    if (key("iniover"))
        return value == QLatin1String("0") || value == QLatin1String("1") ? QString()
                                                                          : QStringLiteral("应为 0 或 1");
    if (key("InventoryAccounting") || key("ZeroCostSelect"))
        return isInt && value.toInt() <= 9 ? QString() : QStringLiteral("应为 0 到 9 的整数");
    if (key("AutoBackupDate"))
        return isInt && value.toInt() >= 1 && value.toInt() <= 100 ? QString()
                                                                   : QStringLiteral("应为 1 到 100 的天数");
    if (key("MaxPrice")) {
        bool ok = false;
        const double v = value.trimmed().toDouble(&ok);
        return ok && std::isfinite(v) && v >= 0 ? QString() : QStringLiteral("应为不小于 0 的数");
    }
    return QString();
}

int setSysValue(ProcContext &ctx)
{
    const QString name = ctx.in(QStringLiteral("@szName")).toString().trimmed();
    if (name.isEmpty())
        return -1;
    if (const QString problem = sysValueProblem(name, ctx.in(QStringLiteral("@szValue")).toString());
        !problem.isEmpty()) {
        ctx.setOut(QStringLiteral("@ErrMsg"),
                   QStringLiteral("系统值 %1 的值“%2”无效：%3。")
                       .arg(name, ctx.in(QStringLiteral("@szValue")).toString(), problem));
        return -2;
    }
    ctx.exec(QStringLiteral("INSERT INTO T_Gbl_SysDataCw (SubNo, SubName, SubValue) "
                            "VALUES ((SELECT coalesce(max(SubNo), 0) + 1 FROM T_Gbl_SysDataCw), ?, ?) "
                            "ON CONFLICT (SubName) DO UPDATE SET SubValue = excluded.SubValue"),
             {name, ctx.in(QStringLiteral("@szValue")).toString()});
    return 0;
}

// Fills the outputs from a calendar row query; -1 when it returns no row.
int periodOutputs(ProcContext &ctx, const QString &sql, const QVariantList &params)
{
    QSqlQuery q = ctx.exec(sql, params);
    if (!q.next() || q.value(0).isNull())
        return -1;
    ctx.setOut(QStringLiteral("@lPeriod"), q.value(0).toInt());
    ctx.setOut(QStringLiteral("@szBeginDate"), q.value(1).toString());
    ctx.setOut(QStringLiteral("@szEndDate"), q.value(2).toString());
    q.finish();
    return 0;
}

int periodOrDate(ProcContext &ctx, const QString &currentKey)
{
    const QString byPeriod =
        QStringLiteral("SELECT Period, StartDate, EndDate FROM T_Gbl_MonthProc WHERE Period = ?");
    switch (ctx.in(QStringLiteral("@lMode")).toInt()) {
    case 0: {
        // The whole calendar: first start to last end; @lPeriod is the first period.
        return periodOutputs(
            ctx, QStringLiteral("SELECT min(Period), min(StartDate), max(EndDate) FROM T_Gbl_MonthProc"), {});
    }
    case 1: {
        bool ok = false;
        const int current =
            ctx.value(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = ?"), {currentKey})
                .toString()
                .trimmed()
                .toInt(&ok);
        return ok ? periodOutputs(ctx, byPeriod, {current}) : -1;
    }
    case 2: {
        const QDate date = QDate::fromString(ctx.in(QStringLiteral("@szBeginDate")).toString().trimmed(),
                                             QStringLiteral("yyyy-MM-dd"));
        if (!date.isValid())
            return -1;
        return periodOutputs(
            ctx,
            QStringLiteral("SELECT Period, StartDate, EndDate FROM T_Gbl_MonthProc "
                           "WHERE StartDate <= ? AND EndDate >= ? ORDER BY Period LIMIT 1"),
            {date.toString(QStringLiteral("yyyy-MM-dd")), date.toString(QStringLiteral("yyyy-MM-dd"))});
    }
    case 3:
        return periodOutputs(ctx, byPeriod, {ctx.in(QStringLiteral("@lPeriod")).toInt()});
    default:
        return -2;
    }
}

int checkLogin(ProcContext &ctx)
{
    const QString user = ctx.in(QStringLiteral("@szUserId")).toString().trimmed();
    // The operator id first; a user code only when no id matches.
    QSqlQuery q =
        ctx.exec(QStringLiteral("SELECT l.ETypeId, e.FullName, l.Password, l.IsManager "
                                "FROM T_GBL_LoginUser l INNER JOIN Employee e ON e.TypeId = l.ETypeId "
                                "WHERE e.Deleted = 0 AND (l.ETypeId = ? OR e.UserCode = ?) "
                                "ORDER BY CASE WHEN l.ETypeId = ? THEN 0 ELSE 1 END LIMIT 1"),
                 {user, user, user});
    if (user.isEmpty() || !q.next())
        return -1;
    const QString id = q.value(0).toString();
    const QString name = q.value(1).toString();
    const QString hash = q.value(2).toString();
    const bool manager = q.value(3).toInt() == 1 || id == kAdministrator;
    q.finish();
    if (!verifyPassword(ctx.in(QStringLiteral("@szPassword")).toString(), hash))
        return -2;
    ctx.setOut(QStringLiteral("@szOperatorId"), id);
    ctx.setOut(QStringLiteral("@szUserName"), name);
    ctx.setOut(QStringLiteral("@bManager"), manager);
    return 0;
}

} // namespace

void registerSysProcs(ProcRegistry &registry)
{
    registry.addReader(QStringLiteral("P_GBL_GetSysValue"), &getSysValue);
    registry.add(QStringLiteral("P_GBL_SetSysValue"), &setSysValue);
    registry.addReader(QStringLiteral("p_gbl_GetPeriodOrDate"),
                       [](ProcContext &ctx) { return periodOrDate(ctx, QStringLiteral("Period")); });
    registry.addReader(QStringLiteral("p_gbl_GetJxcPeriodOrDate"),
                       [](ProcContext &ctx) { return periodOrDate(ctx, QStringLiteral("JxcPeriod")); });
    registry.addReader(QStringLiteral("P_GBL_CheckLogin"), &checkLogin);
}

} // namespace accountdb
