// Procedures of the first set-up: trade, chart of accounts, code lengths and the period calendar.
//
// P_GBL_ChangeTrade            @prm_TradeID: the chart of accounts becomes the trade's template, the
//                              code lengths ATypeIDLength1..9 the trade's defaults and TradeID/TradeAtype
//                              the trade. -1 unknown trade, -2 the chart is in use (vouchers exist).
// P_GBL_GetAtypeUserCodeLength -> @Custom2 .. @Custom9: the code length of levels 2..9 as the chart uses
//                              them (the own part of an account of that level), else ATypeIDLength<n>.
// P_CW_AtypeLenManager         @btCustom01 level (2..9), @btCustom02 new length (1..5): re-codes every
//                              account of that level (its own part padded with leading zeros or cut
//                              of them) and so every account below; writes ATypeIDLength<n>. -1 bad
//                              arguments, -5 refused: a code would lose a digit other than a leading
//                              zero, or two accounts would get the same code; nothing changes then.
// P_GBL_CustomMonth            @sMode, @lYear, @Period, @StartDate, @EndDate (yyyy/mm/dd or yyyy-mm-dd):
//   D  removes the calendar of the year (before the account set is opened: the whole calendar, for it
//      starts with the opening year); -1 when one of its periods is closed.
//   I  adds period @Period (1..12) of the year; -2 bad period or dates, -3 overlaps another period,
//      -4 the period exists.
//   S  the year's periods: Period (1..12), StartDate, EndDate; -1 when the year has none.

#include <QDate>
#include <QHash>
#include <QSet>

#include "AccountDatabase.h"
#include "Procedures.h"

namespace accountdb {

namespace {

constexpr int kLevels = 9;
const QString kRoot = QStringLiteral("00000");

QString sysValue(ProcContext &ctx, const QString &name)
{
    return ctx.value(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = ?"), {name})
        .toString()
        .trimmed();
}

void setSysValue(ProcContext &ctx, const QString &name, const QString &value)
{
    ProcParams params{{QStringLiteral("@szName"), name}, {QStringLiteral("@szValue"), value}};
    if (ctx.call(QStringLiteral("P_GBL_SetSysValue"), params) < 0)
        throw DbError(QStringLiteral("系统值 %1 写入失败。").arg(name));
}

bool opened(ProcContext &ctx)
{
    return sysValue(ctx, QStringLiteral("iniover")) == QLatin1String("1");
}

int changeTrade(ProcContext &ctx)
{
    const int tradeId = ctx.in(QStringLiteral("@prm_TradeID")).toInt();
    QSqlQuery lengths = ctx.exec(
        QStringLiteral("SELECT AtypeLength1, AtypeLength2, AtypeLength3, AtypeLength4, AtypeLength5, "
                       "AtypeLength6, AtypeLength7, AtypeLength8, AtypeLength9 FROM TradeAtypeLength "
                       "WHERE TradeId = ?"),
        {tradeId});
    QList<int> levelLengths;
    if (lengths.next())
        for (int i = 0; i < kLevels; ++i)
            levelLengths << lengths.value(i).toInt();
    lengths.finish();
    if (ctx.value(QStringLiteral("SELECT count(*) FROM Trade WHERE TradeId = ?"), {tradeId}).toInt() == 0)
        return -1;
    if (ctx.value(QStringLiteral("SELECT count(*) FROM T_CW_DlyNdx")).toInt() > 0)
        return -2;
    ctx.exec(QStringLiteral("DELETE FROM Atypecw"));
    ctx.exec(QStringLiteral("INSERT INTO Atypecw (typeId, parid, leveal, sonnum, UserCode, FullName) "
                            "SELECT typeId, parid, leveal, sonnum, UserCode, FullName FROM TradeAtypeCW "
                            "WHERE TradeID = ?"),
             {tradeId});
    for (int i = 0; i < levelLengths.size(); ++i)
        setSysValue(ctx, QStringLiteral("ATypeIDLength%1").arg(i + 1), QString::number(levelLengths[i]));
    setSysValue(ctx, QStringLiteral("TradeID"), QString::number(tradeId));
    setSysValue(ctx, QStringLiteral("TradeAtype"),
                ctx.value(QStringLiteral("SELECT QuillReportPath FROM Trade WHERE TradeId = ?"), {tradeId})
                    .toString());
    return 0;
}

struct Account
{
    QString typeId;
    QString parid;
    int level = 0;
    QString code;
};

// The chart, parents before their children.
QList<Account> readChart(ProcContext &ctx)
{
    QList<Account> chart;
    QSqlQuery q = ctx.exec(
        QStringLiteral("SELECT typeId, parid, leveal, UserCode FROM Atypecw ORDER BY leveal, typeId"));
    while (q.next())
        chart.append(
            {q.value(0).toString(), q.value(1).toString(), q.value(2).toInt(), q.value(3).toString()});
    return chart;
}

int getUserCodeLength(ProcContext &ctx)
{
    QHash<QString, QString> codes;
    QHash<int, int> used; // level -> length of an own part at that level
    for (const Account &a : readChart(ctx)) {
        codes.insert(a.typeId, a.code);
        if (a.level >= 2 && !used.contains(a.level))
            used.insert(a.level, int(a.code.size() - codes.value(a.parid).size()));
    }
    for (int level = 2; level <= kLevels; ++level) {
        const int length = used.contains(level)
                               ? used.value(level)
                               : sysValue(ctx, QStringLiteral("ATypeIDLength%1").arg(level)).toInt();
        ctx.setOut(QStringLiteral("@Custom%1").arg(level), length);
    }
    return 0;
}

int atypeLenManager(ProcContext &ctx)
{
    const int level = ctx.in(QStringLiteral("@btCustom01")).toInt();
    const int length = ctx.in(QStringLiteral("@btCustom02")).toInt();
    if (level < 2 || level > kLevels || length < 1 || length > 5)
        return -1;
    QHash<QString, QString> oldCodes, newCodes;
    QList<Account> changed;
    for (const Account &a : readChart(ctx)) {
        oldCodes.insert(a.typeId, a.code);
        const QString parentOld = oldCodes.value(a.parid);
        QString part = a.code.mid(parentOld.size());
        if (a.level == level) {
            if (part.size() < length) {
                part = QString(length - part.size(), u'0') + part;
            } else if (part.size() > length) {
                const QString cut = part.left(part.size() - length);
                if (cut != QString(cut.size(), u'0'))
                    return -5;
                part = part.right(length);
            }
        }
        const QString code = newCodes.value(a.parid) + part;
        newCodes.insert(a.typeId, code);
        if (code != a.code)
            changed.append({a.typeId, a.parid, a.level, code});
    }
    QSet<QString> distinct;
    for (const QString &code : std::as_const(newCodes))
        distinct.insert(code);
    if (distinct.size() != newCodes.size())
        return -5;
    // Two passes, so that a code another account still holds is free when it is written.
    for (const Account &a : std::as_const(changed))
        ctx.exec(QStringLiteral("UPDATE Atypecw SET UserCode = ? WHERE typeId = ?"),
                 {QStringLiteral("#") + a.typeId, a.typeId});
    for (const Account &a : std::as_const(changed))
        ctx.exec(QStringLiteral("UPDATE Atypecw SET UserCode = ? WHERE typeId = ?"), {a.code, a.typeId});
    setSysValue(ctx, QStringLiteral("ATypeIDLength%1").arg(level), QString::number(length));
    return 0;
}

QDate parseDate(const QVariant &value)
{
    QString text = value.toString().trimmed();
    text.replace(u'/', u'-');
    return QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
}

int customMonth(ProcContext &ctx)
{
    const QString mode = ctx.in(QStringLiteral("@sMode")).toString().trimmed().toUpper();
    const int year = ctx.in(QStringLiteral("@lYear")).toString().trimmed().toInt();
    if (mode == QLatin1String("S")) {
        ctx.setResult(QStringLiteral("SELECT Period - Year * 100 AS Period, StartDate, EndDate "
                                     "FROM T_Gbl_MonthProc WHERE Year = ? ORDER BY Period"),
                      {year});
        return ctx.result().rows.isEmpty() ? -1 : 0;
    }
    if (mode == QLatin1String("D")) {
        const bool whole = !opened(ctx);
        const QString where = whole ? QStringLiteral("1 = 1") : QStringLiteral("Year = ?");
        const QVariantList params = whole ? QVariantList() : QVariantList{year};
        if (ctx.value(QStringLiteral("SELECT count(*) FROM T_Gbl_MonthProc WHERE Closed = 1 AND ") + where,
                      params)
                .toInt() > 0)
            return -1;
        ctx.exec(QStringLiteral("DELETE FROM T_Gbl_MonthProc WHERE ") + where, params);
        return 0;
    }
    if (mode != QLatin1String("I"))
        return -2;
    const int period = ctx.in(QStringLiteral("@Period")).toInt();
    const QDate start = parseDate(ctx.in(QStringLiteral("@StartDate")));
    const QDate end = parseDate(ctx.in(QStringLiteral("@EndDate")));
    if (period < 1 || period > 12 || year < 1900 || year > 9999 || !start.isValid() || !end.isValid() ||
        start > end)
        return -2;
    const QString from = start.toString(QStringLiteral("yyyy-MM-dd"));
    const QString to = end.toString(QStringLiteral("yyyy-MM-dd"));
    const int number = year * 100 + period;
    if (ctx.value(QStringLiteral("SELECT count(*) FROM T_Gbl_MonthProc WHERE Period = ?"), {number}).toInt() >
        0)
        return -4;
    if (ctx.value(
               QStringLiteral("SELECT count(*) FROM T_Gbl_MonthProc WHERE StartDate <= ? AND EndDate >= ?"),
               {to, from})
            .toInt() > 0)
        return -3;
    ctx.exec(
        QStringLiteral("INSERT INTO T_Gbl_MonthProc (Period, Year, StartDate, EndDate) VALUES (?, ?, ?, ?)"),
        {number, year, from, to});
    return 0;
}

} // namespace

void registerSetupProcs(ProcRegistry &registry)
{
    registry.add(QStringLiteral("P_GBL_ChangeTrade"), changeTrade);
    registry.addReader(QStringLiteral("P_GBL_GetAtypeUserCodeLength"), getUserCodeLength);
    registry.add(QStringLiteral("P_CW_AtypeLenManager"), atypeLenManager);
    registry.add(QStringLiteral("P_GBL_CustomMonth"), customMonth);
}

} // namespace accountdb
