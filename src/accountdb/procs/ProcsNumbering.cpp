// Bill numbers.
//
// p_jxc_GetVchNumber(@nWork, @nVchType, @szDate, @szNumberIn, @szNumber out
//                    [, @szOperatorName, @szComputerName])
//   Makes a bill number from the bill type's pattern (T_GBL_Vchtype.SNFormat; the first style when the
//   type has none) and the counter chosen by the numbering rules SNLex1/SNLex3:
//     SNLex1 = 1            one counter for all bills, restarting each year   (AllBillsNumber)
//     SNLex1 = 0, SNLex3 = 0 a counter per bill type, restarting each year    (BillYearNumber)
//     SNLex1 = 0, SNLex3 = 1 a counter per bill type, restarting each month   (billmonthnumber)
//     SNLex1 = 0, SNLex3 = 2 a counter per bill type, restarting each day     (billdaynumber)
//   Work modes:
//     0  preview: the number the next bill of that date would get; counters unchanged
//     1  take: advances the counter (and T_GBL_Vchtype.SNMax) and returns the new number
//     2  give back: when @szNumberIn is the last number taken in its scope, steps the counter back
//        (a bill that was abandoned before saving); otherwise nothing changes
//     3  check: succeeds when numbers can be made for the type and date; returns the preview
//   Results: 0 success; -1 unknown bill type; -2 date not "yyyy-mm-dd"; -3 unknown work mode.
//   Called on its own it is one write transaction begun as a writer, so two workstations taking numbers
//   of one type at the same time read and advance the counter one after the other.
//
// P_KOVA_SaveBillSNFormat(@VchType, @SNFormat)
//   Stores the number pattern of one bill type, or of every bill type when @VchType is 0.
//   Results: 0 success; -1 unknown bill type; -2 pattern longer than 200 characters.
//
// P_KOVA_SerialNumberRules(@cMode, @ID, @Code, @FullName, @Default, @SNFormat, @SNLex)
//   Serial-number rules (SerialNumRules). "A" adds a rule (code and name) and returns its id; "U"
//   renames rule @ID and returns @ID; "S" stores the pattern and sequence option of rule @ID.
//   Results: -1 code or name used by another rule; -2 no rule @ID; -3 unknown mode; -4 pattern too long
//   or sequence option out of range.

#include <QDateTime>
#include <QSysInfo>

#include "AccountDatabase.h"
#include "Procedures.h"
#include "uBillNumberFormat.h"

namespace accountdb {

namespace {

const QString kDefaultPattern = QStringLiteral("单据前缀\r-\ryyyy\r-\rmm\r-\rdd\r-\r[00000]\r");

// The counter row of one numbering scope: its table and key.
struct CounterScope
{
    QString table;
    QStringList keyColumns;
    QVariantList key;

    QString where() const { return keyColumns.join(QStringLiteral(" = ? AND ")) + QStringLiteral(" = ?"); }
    QString conflict() const { return keyColumns.join(QStringLiteral(", ")); }
    QString placeholders() const { return QStringLiteral("?, ").repeated(keyColumns.size()); }
};

int sysInt(ProcContext &ctx, const QString &name)
{
    return ctx.value(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = ?"), {name})
        .toString()
        .trimmed()
        .toInt();
}

CounterScope scopeFor(ProcContext &ctx, int vchType, const QDate &date)
{
    if (sysInt(ctx, QStringLiteral("SNLex1")) == 1)
        return {QStringLiteral("AllBillsNumber"), {QStringLiteral("Year")}, {date.year()}};
    switch (sysInt(ctx, QStringLiteral("SNLex3"))) {
    case 1:
        return {QStringLiteral("billmonthnumber"),
                {QStringLiteral("Vchtype"), QStringLiteral("Year"), QStringLiteral("Month")},
                {vchType, date.year(), date.month()}};
    case 2:
        return {QStringLiteral("billdaynumber"),
                {QStringLiteral("Vchtype"), QStringLiteral("BillDate")},
                {vchType, date.toString(QStringLiteral("yyyy-MM-dd"))}};
    default:
        return {QStringLiteral("BillYearNumber"),
                {QStringLiteral("Vchtype"), QStringLiteral("Year")},
                {vchType, date.year()}};
    }
}

// The counter's last number; with `lock` the row is made when missing and locked until the transaction
// ends, so that two workstations taking numbers of one scope take them one after the other.
qint64 readCounter(ProcContext &ctx, const CounterScope &scope, bool lock)
{
    if (lock && ctx.database().isServer())
        ctx.exec(QStringLiteral("INSERT INTO %1 (%2, MaxNo) VALUES (%3) ON CONFLICT (%2) DO NOTHING")
                     .arg(scope.table, scope.conflict(), scope.placeholders() + u'0'),
                 scope.key);
    const QString select = QStringLiteral("SELECT MaxNo FROM %1 WHERE %2").arg(scope.table, scope.where()) +
                           (lock ? ctx.database().dialect().forUpdate() : QString());
    const QVariant current = ctx.value(select, scope.key);
    return current.isNull() ? 0 : current.toLongLong();
}

void setCounter(ProcContext &ctx, const CounterScope &scope, qint64 value)
{
    QVariantList params = scope.key;
    params << value;
    ctx.exec(QStringLiteral("INSERT INTO %1 (%2, MaxNo) VALUES (%3?) ON CONFLICT (%2) DO UPDATE SET MaxNo = "
                            "excluded.MaxNo")
                 .arg(scope.table, scope.conflict(), scope.placeholders()),
             params);
}

int getVchNumber(ProcContext &ctx)
{
    const int work = ctx.in(QStringLiteral("@nWork")).toInt();
    const int vchType = ctx.in(QStringLiteral("@nVchType")).toInt();
    const QDate date = QDate::fromString(ctx.in(QStringLiteral("@szDate")).toString().trimmed(),
                                         QStringLiteral("yyyy-MM-dd"));
    ctx.setOut(QStringLiteral("@szNumber"), QString());
    if (work < 0 || work > 3)
        return -3;
    if (!date.isValid())
        return -2;
    QSqlQuery type = ctx.exec(QStringLiteral("SELECT coalesce(SNFormat, ''), coalesce(NumberHead, '') "
                                             "FROM T_GBL_Vchtype WHERE Vchtype = ?"),
                              {vchType});
    if (!type.next())
        return -1;
    QString pattern = type.value(0).toString();
    if (pattern.trimmed().isEmpty())
        pattern = kDefaultPattern;
    const QString head = type.value(1).toString();
    const QString computer = ctx.has(QStringLiteral("@szComputerName"))
                                 ? ctx.in(QStringLiteral("@szComputerName")).toString()
                                 : QSysInfo::machineHostName();
    const QString op = ctx.in(QStringLiteral("@szOperatorName")).toString();
    const QDateTime when(date, QTime::currentTime());

    const CounterScope scope = scopeFor(ctx, vchType, date);
    const qint64 last = readCounter(ctx, scope, work == 1 || work == 2);
    const auto numberAfter = [&](qint64 seq) {
        return FormatBillNumber(pattern, seq, when, computer, head, op);
    };

    switch (work) {
    case 1:
        setCounter(ctx, scope, last + 1);
        ctx.exec(QStringLiteral("UPDATE T_GBL_Vchtype SET SNMax = coalesce(SNMax, 0) + 1 WHERE Vchtype = ?"),
                 {vchType});
        ctx.setOut(QStringLiteral("@szNumber"), numberAfter(last));
        return 0;
    case 2:
        if (last > 0 && numberAfter(last - 1) == ctx.in(QStringLiteral("@szNumberIn")).toString()) {
            setCounter(ctx, scope, last - 1);
            ctx.exec(QStringLiteral(
                         "UPDATE T_GBL_Vchtype SET SNMax = CASE WHEN SNMax > 1 THEN SNMax - 1 ELSE 0 END "
                         "WHERE Vchtype = ?"),
                     {vchType});
        }
        return 0;
    default: // 0 preview, 3 check
        ctx.setOut(QStringLiteral("@szNumber"), numberAfter(last));
        return 0;
    }
}

constexpr int kMaxPatternLength = 200;

int saveBillSNFormat(ProcContext &ctx)
{
    const int vchType = ctx.in(QStringLiteral("@VchType")).toInt();
    const QString pattern = ctx.in(QStringLiteral("@SNFormat")).toString();
    if (pattern.size() > kMaxPatternLength)
        return -2;
    if (vchType == 0) {
        ctx.exec(QStringLiteral("UPDATE T_GBL_Vchtype SET SNFormat = ?"), {pattern});
        return 0;
    }
    return ctx.exec(QStringLiteral("UPDATE T_GBL_Vchtype SET SNFormat = ? WHERE Vchtype = ?"),
                    {pattern, vchType})
                       .numRowsAffected() > 0
               ? 0
               : -1;
}

int serialNumberRules(ProcContext &ctx)
{
    const QString mode = ctx.in(QStringLiteral("@cMode")).toString().trimmed().toUpper();
    const qint64 id = ctx.in(QStringLiteral("@ID")).toLongLong();
    const QString code = ctx.in(QStringLiteral("@Code")).toString().trimmed();
    const QString name = ctx.in(QStringLiteral("@FullName")).toString().trimmed();
    const auto exists = [&ctx](qint64 rule) {
        return ctx.value(QStringLiteral("SELECT count(*) FROM SerialNumRules WHERE ID = ?"), {rule}).toInt() >
               0;
    };
    const auto taken = [&]() {
        return ctx.value(
                      QStringLiteral("SELECT count(*) FROM SerialNumRules WHERE (Code = ? OR FullName = ?) "
                                     "AND ID <> ?"),
                      {code, name, id})
                   .toInt() > 0;
    };
    if (mode == QLatin1String("A")) {
        if (taken())
            return -1;
        ctx.exec(QStringLiteral("INSERT INTO SerialNumRules (\"Default\", Code, FullName, SNFormat, SNLex) "
                                "VALUES (?, ?, ?, '', 0)"),
                 {ctx.in(QStringLiteral("@Default")).toInt() == 1 ? 1 : 0, code, name});
        return ctx.value(QStringLiteral("SELECT ID FROM SerialNumRules WHERE Code = ?"), {code}).toInt();
    }
    if (mode == QLatin1String("U")) {
        if (!exists(id))
            return -2;
        if (taken())
            return -1;
        ctx.exec(QStringLiteral("UPDATE SerialNumRules SET Code = ?, FullName = ? WHERE ID = ?"),
                 {code, name, id});
        return int(id);
    }
    if (mode == QLatin1String("S")) {
        const QString pattern = ctx.in(QStringLiteral("@SNFormat")).toString();
        const int lex = ctx.in(QStringLiteral("@SNLex")).toInt();
        if (!exists(id))
            return -2;
        if (pattern.size() > kMaxPatternLength || lex < 0 || lex > 2)
            return -4;
        ctx.exec(QStringLiteral("UPDATE SerialNumRules SET SNFormat = ?, SNLex = ? WHERE ID = ?"),
                 {pattern, lex, id});
        return 0;
    }
    return -3;
}

} // namespace

void registerNumberingProcs(ProcRegistry &registry)
{
    registry.add(QStringLiteral("p_jxc_GetVchNumber"), getVchNumber);
    registry.add(QStringLiteral("P_KOVA_SaveBillSNFormat"), saveBillSNFormat);
    registry.add(QStringLiteral("P_KOVA_SerialNumberRules"), serialNumberRules);
}

} // namespace accountdb
