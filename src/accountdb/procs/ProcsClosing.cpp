// Procedures of the month-end checkout of the inventory period and its reversal.
//
// P_Jxc_CheckJxcCheckOut
//   0 when the current inventory period ("JxcPeriod") can be closed: -4 the account set is not opened
//   yet ("iniover" <> "1"); -2 the period is closed already (it has a checkout log row, i.e. the period
//   was set back without a reversal); -5 goods wait for cost calculation (CalcCost = 1); -1 the period
//   is not in the calendar. It also builds the carry-forward vouchers without writing them, so that an
//   amount beyond what the books can hold raises the overflow error ("溢出") before any question.
// P_Jxc_JxcCheckOut(@szEndDate, @szOperator)
//   Closes the period: the same refusals as the check, then one carry-forward voucher per bill type
//   (the cost of its lines by stock kind against the type's counter account) and one for the period's
//   automatic stock adjustments, the period-end balances of every stock kind, the log row, and
//   "JxcPeriod" moved to the next calendar period. When the calendar ends with this period the next
//   year is added (each period one year on, the first starting the day after the last one ended):
//   -3 when that year would be beyond 9999, -6 when a period of it would have a negative number of days.
//   Nothing is written when the result is negative.
// P_JXC_JXCCheckOutAutoImprove(@Period, @szDate, @szInputNo)
//   For every stock balance (goods, warehouse, batch) at the end of the period whose quantity is zero
//   and whose amount is not: a cost adjustment bill (type 57, one line of quantity 0) that takes the
//   amount out, with its FIFO receipt row and the balances of the period and later corrected. Result
//   set Vchcode, ErrorMessage: one row per bill, or rows with Vchcode -1 and the reason (the period is
//   not the current inventory period, the date is not in it, no bill number).
// P_Jxc_UnCheckOut(@cMode, @szEndDate, @szOperator)
//   Reopens the last closed period (@cMode 1): deletes its vouchers, its period-end balances, its
//   automatic adjustments (bills, receipt rows, balance corrections, numbers given back, the goods'
//   calculation marks when no later line needs them), the calendar
//   year its checkout created when no bill uses it, and moves "JxcPeriod" back. Refusals: -9205 no
//   period was ever closed; -9204 the period before the current one is not closed; -9203 the accounting
//   period is past it; -9206 / -9201 / -9207 / -9202 a carry-forward voucher is void / posted to the
//   ledger / signed by the cashier / audited; -9209 / -9208 an adjustment voucher is merged / audited or
//   signed; -1 an unknown mode. Nothing is changed when the result is negative.
// P_jxc_JxcJZSYView(@Vchtype, @szPeriod, @cMode)
//   The cost carried forward for one base bill type and period: "V" one row per bill (VCHTYPENAME, DATE,
//   NUMBER, QTY, TOTAL, Price, vchcode, vchtype, redword, redold), "P" one row per goods item (ptypeid,
//   UserCode, FullName, QTY, TOTAL, Price). A bill's figures are those of the stock side it moves
//   (the warehouses when it touches them, else the first other stock kind), issues positive.

#include <QDate>
#include <QMap>
#include <QSqlQuery>
#include <array>
#include <cmath>

#include "AccountDatabase.h"
#include "CostingCommon.h"
#include "EventLog.h"
#include "Kvbasicfun.h"
#include "Procedures.h"

namespace accountdb {

using costing::StockKind;
using Kvbasicfun::Round2;
using Kvbasicfun::Round4;

namespace {

const QString kDateFormat = QStringLiteral("yyyy-MM-dd");
const QString kCarryForwardSource = QStringLiteral("JXCJZ");
const QString kAdjustSource = QStringLiteral("JXCTJ");
constexpr int kAdjustBillType = 57;
// Bill types whose cost is carried forward, in voucher order.
constexpr int kCarryForwardTypes[] = {11, 45,  16,  141, 9,   25,  30,  26,  172, 173,
                                      21, 176, 174, 182, 183, 184, 189, 212, 213, 214};
// Amounts are kept to the cent; beyond this a double no longer holds every cent.
constexpr double kMaxAmount = 9.0e13;

enum Refusal {
    NotInCalendar = -1,
    AlreadyClosed = -2,
    EndOfCalendar = -3,
    NotOpened = -4,
    NotCosted = -5,
    NegativeDays = -6,
};

int sysInt(ProcContext &ctx, const QString &name)
{
    return costing::sysInt(ctx.database(), name, 0);
}

// The inventory period, its row locked until the transaction ends: bills being posted into the period
// are finished first, and those that come after wait and then find it closed.
int lockedPeriod(ProcContext &ctx)
{
    return ctx
        .value(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = 'JxcPeriod'") +
               ctx.database().dialect().forUpdate())
        .toString()
        .trimmed()
        .toInt();
}

// The id of a new row as SQLite gives it, one past the largest, so that a reversal and a new checkout
// write the same rows again. A server's identity counter is set to it for the inserts elsewhere that
// leave the id out (moving it back is safe: the rows above were deleted, and their writers wait for the
// period or the job lock that the checkout and its reversal hold).
qint64 newRowId(ProcContext &ctx, const QString &table, const QString &column)
{
    const qint64 id =
        ctx.value(QStringLiteral("SELECT coalesce(max(%2), 0) + 1 FROM %1").arg(table, column)).toLongLong();
    if (ctx.database().isServer())
        ctx.value(QStringLiteral("SELECT setval(pg_get_serial_sequence(?, ?), ?)"),
                  {table.toLower(), column.toLower(), id});
    return id;
}

bool isClosed(ProcContext &ctx, int period)
{
    return ctx.value(QStringLiteral("SELECT 1 FROM T_Jxc_CheckOutLog WHERE Period = ?"), {period}).isValid();
}

bool periodDates(ProcContext &ctx, int period, QString &start, QString &end)
{
    QSqlQuery q =
        ctx.exec(QStringLiteral("SELECT StartDate, EndDate FROM T_Gbl_MonthProc WHERE Period = ?"), {period});
    if (!q.next())
        return false;
    start = q.value(0).toString();
    end = q.value(1).toString();
    return true;
}

int checkOutRefusal(ProcContext &ctx, int period)
{
    if (ctx.value(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = 'iniover'"))
            .toString()
            .trimmed() != u"1")
        return NotOpened;
    QString start, end;
    if (!periodDates(ctx, period, start, end))
        return NotInCalendar;
    if (isClosed(ctx, period))
        return AlreadyClosed;
    if (ctx.value(QStringLiteral(
                      "SELECT 1 FROM ptype WHERE CalcCost = 1 AND Sonnum = 0 AND Deleted = 0 LIMIT 1"))
            .isValid())
        return NotCosted;
    return 0;
}

// ---- vouchers ---------------------------------------------------------------------------------------

struct VoucherLine
{
    QString atypeId;
    QString atypeName;
    double debit = 0;
    double credit = 0;
};

struct Voucher
{
    QString source;
    int vchtype = 0;
    QString summary;
    QList<VoucherLine> lines;
};

using KindAmounts = std::array<double, 4>; // in the order of costing::kAllKinds

struct Accounts
{
    QHash<QString, QPair<QString, QString>> byKind;    // kind name -> (id, name)
    QHash<int, QPair<QString, QString>> counterByType; // bill type -> (id, name)
    QHash<int, QString> typeNames;
};

Accounts loadAccounts(ProcContext &ctx)
{
    Accounts a;
    QSqlQuery q = ctx.exec(QStringLiteral("SELECT StockKind, AtypeId, AtypeName FROM T_Jxc_StockKindAtype"));
    while (q.next())
        a.byKind.insert(q.value(0).toString(), {q.value(1).toString(), q.value(2).toString()});
    q = ctx.exec(QStringLiteral("SELECT Vchtype, AtypeId, AtypeName FROM T_Jxc_CarryForwardAtype"));
    while (q.next())
        a.counterByType.insert(q.value(0).toInt(), {q.value(1).toString(), q.value(2).toString()});
    q = ctx.exec(QStringLiteral("SELECT Vchtype, Name FROM T_GBL_Vchtype"));
    while (q.next())
        a.typeNames.insert(q.value(0).toInt(), q.value(1).toString());
    return a;
}

void checkRange(double amount, const QString &what)
{
    if (!std::isfinite(amount) || std::fabs(amount) > kMaxAmount)
        throw DbError(QStringLiteral("结转成本时金额溢出：%1 的金额 %2 超出可以记账的范围。")
                          .arg(what, QString::number(amount, 'f', 2)));
}

// Stock-side lines per kind (debit when the stock grew), balanced by the type's counter account.
// An empty list when every amount rounds to zero.
QList<VoucherLine> voucherLines(const Accounts &accounts, int vchtype, const KindAmounts &amounts)
{
    QList<VoucherLine> lines;
    double net = 0;
    for (size_t k = 0; k < amounts.size(); ++k) {
        const double a = Round2(amounts[k]);
        if (a == 0)
            continue;
        const auto account = accounts.byKind.value(costing::kindName(costing::kAllKinds[k]));
        lines.append({account.first, account.second, a > 0 ? a : 0, a < 0 ? -a : 0});
        net += a;
    }
    net = Round2(net);
    if (net != 0) {
        const auto counter = accounts.counterByType.value(vchtype);
        lines.append({counter.first, counter.second, net < 0 ? -net : 0, net > 0 ? net : 0});
    }
    bool any = false;
    for (const VoucherLine &l : lines)
        any = any || l.debit != 0 || l.credit != 0;
    return any ? lines : QList<VoucherLine>();
}

QList<Voucher> buildVouchers(ProcContext &ctx, int period)
{
    const Accounts accounts = loadAccounts(ctx);
    QMap<int, KindAmounts> byType;
    for (size_t k = 0; k < std::size(costing::kAllKinds); ++k) {
        const StockKind kind = costing::kAllKinds[k];
        for (int side = 0; side < 2; ++side) {
            const QString table = side == 0 ? costing::inListTable(kind) : costing::outListTable(kind);
            QSqlQuery q = ctx.exec(
                QStringLiteral(
                    "SELECT Vchtype, sum(CostTotal + FeeTotal) FROM %1 WHERE Period = ? GROUP BY Vchtype")
                    .arg(table),
                {period});
            while (q.next()) {
                const int b = costing::baseType(q.value(0).toInt());
                const double amount = q.value(1).toDouble();
                checkRange(amount, accounts.typeNames.value(b));
                KindAmounts &sums = byType[b];
                sums[k] += side == 0 ? amount : -amount;
            }
        }
    }
    QList<Voucher> vouchers;
    for (int b : kCarryForwardTypes) {
        const auto it = byType.constFind(b);
        if (it == byType.cend())
            continue;
        for (double a : *it)
            checkRange(a, accounts.typeNames.value(b));
        const QList<VoucherLine> lines = voucherLines(accounts, b, *it);
        if (!lines.isEmpty())
            vouchers.append({kCarryForwardSource, b,
                             QStringLiteral("结转%1成本").arg(accounts.typeNames.value(b)), lines});
    }
    KindAmounts adjusted{};
    adjusted[0] =
        ctx.value(QStringLiteral("SELECT coalesce(sum(Total), 0) FROM T_Jxc_CheckOutAdjust WHERE Period = ?"),
                  {period})
            .toDouble();
    checkRange(adjusted[0], accounts.typeNames.value(kAdjustBillType));
    const QList<VoucherLine> adjustLines = voucherLines(accounts, kAdjustBillType, adjusted);
    if (!adjustLines.isEmpty())
        vouchers.append({kAdjustSource, kAdjustBillType, QStringLiteral("自动调整库存"), adjustLines});
    return vouchers;
}

void writeVoucher(ProcContext &ctx, const Voucher &v, int period, const QString &date, const QString &op)
{
    const qint64 vchcode =
        ctx.value(QStringLiteral("SELECT coalesce(max(Vchcode), 0) + 1 FROM T_CW_DlyNdx")).toLongLong();
    const int number = ctx.value(QStringLiteral("SELECT coalesce(max(Number), 0) + 1 FROM T_CW_DlyNdx "
                                                "WHERE Period = ? AND VchWord = '记'"),
                                 {period})
                           .toInt();
    double debit = 0, credit = 0;
    for (const VoucherLine &l : v.lines) {
        debit += l.debit;
        credit += l.credit;
    }
    ctx.exec(
        QStringLiteral("INSERT INTO T_CW_DlyNdx (Vchcode, Period, Date, VchWord, Number, Summary, Source, "
                       "SourceVchtype, DebitTotal, CreditTotal, InputNo) "
                       "VALUES (?, ?, ?, '记', ?, ?, ?, ?, ?, ?, ?)"),
        {vchcode, period, date, number, v.summary, v.source, v.vchtype, Round2(debit), Round2(credit), op});
    int row = 0;
    for (const VoucherLine &l : v.lines)
        ctx.exec(
            QStringLiteral("INSERT INTO T_CW_Dly (Dlyorder, Vchcode, RowNo, AtypeId, AtypeName, Summary, "
                           "Debit, Credit) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
            {newRowId(ctx, QStringLiteral("T_CW_Dly"), QStringLiteral("Dlyorder")), vchcode, ++row, l.atypeId,
             l.atypeName, v.summary, l.debit, l.credit});
}

// ---- calendar ---------------------------------------------------------------------------------------

struct NewYear
{
    int result = 0; // 0, EndOfCalendar or NegativeDays
    int year = 0;
    QList<QVariantList> rows; // Period, Year, StartDate, EndDate
};

// The year after the calendar's last one: every period one year on, contiguous with the last period.
NewYear planNextYear(ProcContext &ctx)
{
    NewYear plan;
    const int lastYear = ctx.value(QStringLiteral("SELECT max(Year) FROM T_Gbl_MonthProc")).toInt();
    plan.year = lastYear + 1;
    if (plan.year > 9999) {
        plan.result = EndOfCalendar;
        return plan;
    }
    QSqlQuery q =
        ctx.exec(QStringLiteral("SELECT Period, EndDate FROM T_Gbl_MonthProc WHERE Year = ? ORDER BY Period"),
                 {lastYear});
    QList<QPair<int, QDate>> periods;
    while (q.next())
        periods.append({q.value(0).toInt(), QDate::fromString(q.value(1).toString(), kDateFormat)});
    if (periods.isEmpty() || !periods.last().second.isValid()) {
        plan.result = EndOfCalendar;
        return plan;
    }
    QDate start = periods.last().second.addDays(1);
    for (const auto &p : periods) {
        // A period that ends with its month ends with the same month next year (February of a leap year).
        QDate end = p.second.addYears(1);
        if (p.second.day() == p.second.daysInMonth() && end.isValid())
            end = QDate(end.year(), end.month(), end.daysInMonth());
        if (!end.isValid() || start > end) {
            plan.result = NegativeDays;
            return plan;
        }
        plan.rows.append({plan.year * 100 + p.first % 100, plan.year, start.toString(kDateFormat),
                          end.toString(kDateFormat)});
        start = end.addDays(1);
    }
    return plan;
}

// ---- period-end balances ----------------------------------------------------------------------------

void writePeriodBalances(ProcContext &ctx, int period)
{
    for (StockKind kind : costing::kAllKinds) {
        const QString table = costing::balanceTable(kind);
        const bool stock = kind == StockKind::Stock;
        const QString goods = stock ? QStringLiteral("PtypeId") : QStringLiteral("PTypeID");
        const QString ktype = stock ? QStringLiteral("g.KTypeID") : QStringLiteral("''");
        const QString sameKey = stock ? QStringLiteral(" AND h.KTypeID = g.KTypeID") : QString();
        ctx.exec(
            QStringLiteral("INSERT INTO T_Jxc_PeriodBalance (Period, StockKind, PtypeId, KtypeId, BlockNo, "
                           "Qty, Total) "
                           "SELECT ?, ?, g.%2, %3, g.BlockNo, g.Qty, g.Total FROM %1 g "
                           "WHERE g.Period = (SELECT max(h.Period) FROM %1 h WHERE h.%2 = g.%2%4 "
                           "AND h.BlockNo = g.BlockNo AND h.Period <= ?)")
                .arg(table, goods, ktype, sameKey),
            {period, costing::kindName(kind), period});
    }
}

// ---- procedures -------------------------------------------------------------------------------------

int checkJxcCheckOut(ProcContext &ctx)
{
    const int period = sysInt(ctx, QStringLiteral("JxcPeriod"));
    const int refusal = checkOutRefusal(ctx, period);
    if (refusal < 0)
        return refusal;
    buildVouchers(ctx, period);
    return 0;
}

int jxcCheckOut(ProcContext &ctx)
{
    const int period = lockedPeriod(ctx);
    const int refusal = checkOutRefusal(ctx, period);
    if (refusal < 0)
        return refusal;
    QString start, end;
    periodDates(ctx, period, start, end);
    const QVariant next =
        ctx.value(QStringLiteral("SELECT min(Period) FROM T_Gbl_MonthProc WHERE Period > ?"), {period});
    NewYear plan;
    if (next.isNull()) {
        plan = planNextYear(ctx);
        if (plan.result < 0)
            return plan.result;
    }
    const QList<Voucher> vouchers = buildVouchers(ctx, period);

    // Everything is checked: from here on the period is closed.
    const QString op = ctx.in(QStringLiteral("@szOperator")).toString();
    for (const Voucher &v : vouchers)
        writeVoucher(ctx, v, period, end, op);
    writePeriodBalances(ctx, period);
    int nextPeriod = next.toInt();
    if (next.isNull()) {
        for (const QVariantList &row : std::as_const(plan.rows))
            ctx.exec(
                QStringLiteral(
                    "INSERT INTO T_Gbl_MonthProc (Period, Year, StartDate, EndDate) VALUES (?, ?, ?, ?)"),
                row);
        nextPeriod = plan.rows.first().first().toInt();
    }
    ctx.exec(
        QStringLiteral("INSERT INTO T_Jxc_CheckOutLog (Period, NextPeriod, CreatedYear, EndDate, OperatorId) "
                       "VALUES (?, ?, ?, ?, ?)"),
        {period, nextPeriod, next.isNull() ? plan.year : 0, ctx.in(QStringLiteral("@szEndDate")).toString(),
         op});
    ctx.exec(QStringLiteral("UPDATE T_Gbl_SysDataCw SET SubValue = ? WHERE SubName = 'JxcPeriod'"),
             {QString::number(nextPeriod)});
    writeEvent(ctx, op, event::CheckOut.arg(period));
    return 0;
}

struct AdjustCandidate
{
    QString ptype;
    QString ktype;
    QString block;
    int period;
    double qty;
    double total;
};

int checkOutAutoImprove(ProcContext &ctx)
{
    ResultSet &rs = ctx.result();
    rs.columns = QStringList{QStringLiteral("Vchcode"), QStringLiteral("ErrorMessage")};
    ctx.setHasResult(true);
    const auto error = [&rs](const QString &text) {
        rs.rows.append({-1, text});
        return 0;
    };
    const int period = ctx.in(QStringLiteral("@Period")).toInt();
    const QString date = ctx.in(QStringLiteral("@szDate")).toString().trimmed();
    const QString op = ctx.in(QStringLiteral("@szInputNo")).toString();
    if (period != lockedPeriod(ctx))
        return error(QStringLiteral("调整期间%1不是当前进销存期间。").arg(period));
    QString start, end;
    if (!periodDates(ctx, period, start, end))
        return error(QStringLiteral("调整期间%1不在会计期间表中。").arg(period));
    if (!QDate::fromString(date, kDateFormat).isValid() || date < start || date > end)
        return error(QStringLiteral("调整日期%1不在本期间内。").arg(date));

    QList<AdjustCandidate> candidates;
    QSqlQuery q = ctx.exec(
        QStringLiteral(
            "SELECT g.PtypeId, g.KTypeID, g.BlockNo, g.Period, g.Qty, g.Total FROM GoodsStocksCost g "
            "WHERE g.Period = (SELECT max(h.Period) FROM GoodsStocksCost h WHERE h.PtypeId = g.PtypeId "
            "AND h.KTypeID = g.KTypeID AND h.BlockNo = g.BlockNo AND h.Period <= ?) "
            "AND abs(g.Qty) < 0.00005 AND abs(g.Total) >= 0.005 "
            "ORDER BY g.PtypeId, g.KTypeID, g.BlockNo"),
        {period});
    while (q.next())
        candidates.append({q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                           q.value(3).toInt(), q.value(4).toDouble(), q.value(5).toDouble()});
    q.finish();

    for (const AdjustCandidate &c : std::as_const(candidates)) {
        const double change = -Round2(c.total);
        ProcParams number{{QStringLiteral("@nWork"), 1},
                          {QStringLiteral("@nVchType"), kAdjustBillType},
                          {QStringLiteral("@szDate"), date},
                          {QStringLiteral("@szNumberIn"), QString()},
                          {QStringLiteral("@szNumber"), QString()}};
        if (ctx.call(QStringLiteral("p_jxc_GetVchNumber"), number) < 0) {
            error(QStringLiteral("存货%1的调价单无法取得单据编号。").arg(c.ptype));
            continue;
        }
        QString billNumber;
        for (const ProcParam &p : std::as_const(number))
            if (p.name.compare(QLatin1String("@szNumber"), Qt::CaseInsensitive) == 0)
                billNumber = p.value.toString();
        const qint64 vchcode =
            ctx
                .value(QStringLiteral(
                    "SELECT max(v) + 1 FROM (SELECT coalesce(max(Vchcode), 0) AS v FROM DlyNdx UNION ALL "
                    "SELECT coalesce(max(Vchcode), 0) FROM DlyNdxIni) AS counters"))
                .toLongLong();
        const qint64 dlyorder =
            ctx.value(QStringLiteral("SELECT coalesce(max(Dlyorder), 0) + 1 FROM DlyOther")).toLongLong();
        const QString summary = QStringLiteral("期末结账自动调整库存");
        ctx.exec(QStringLiteral(
                     "INSERT INTO DlyNdx (Vchcode, Vchtype, Date, Number, Period, KtypeId, Summary, Total, "
                     "Draft, InputNo) VALUES (?, ?, ?, ?, ?, ?, ?, ?, 2, ?)"),
                 {vchcode, kAdjustBillType, date, billNumber, period, c.ktype, summary, change, op});
        ctx.exec(
            QStringLiteral("INSERT INTO DlyOther (Dlyorder, Vchcode, Vchtype, Date, Period, RowNo, PtypeId, "
                           "KtypeId, Appoint, Qty, Price, Total, CostPrice, CostTotal, BlockNo, Comment) "
                           "VALUES (?, ?, ?, ?, ?, 1, ?, ?, 1, 0, 0, ?, 0, ?, ?, ?)"),
            {dlyorder, vchcode, kAdjustBillType, date, period, c.ptype, c.ktype, change, change, c.block,
             summary});
        ctx.exec(
            QStringLiteral("INSERT INTO T_FIFO_InList_Stock (ID, VchSource, Period, Date, Vchtype, Vchcode, "
                           "Dlyorder, PtypeID, KtypeID, BlockNo, Qty, CostPrice, CostTotal, Appoint) "
                           "VALUES (?, 'dlyother', ?, ?, ?, ?, ?, ?, ?, ?, 0, 0, ?, 1)"),
            {newRowId(ctx, QStringLiteral("T_FIFO_InList_Stock"), QStringLiteral("ID")), period, date,
             kAdjustBillType, vchcode, dlyorder, c.ptype, c.ktype, c.block, change});
        ctx.exec(QStringLiteral("UPDATE GoodsStocksCost SET Total = round(CAST(Total + ? AS NUMERIC), 2) "
                                "WHERE PtypeId = ? AND KTypeID = ? AND BlockNo = ? AND Period >= ?"),
                 {change, c.ptype, c.ktype, c.block, period});
        const bool inserted = c.period < period;
        if (inserted)
            ctx.exec(
                QStringLiteral("INSERT INTO GoodsStocksCost (PtypeId, KTypeID, BlockNo, Period, Qty, Total) "
                               "VALUES (?, ?, ?, ?, ?, ?)"),
                {c.ptype, c.ktype, c.block, period, c.qty, Round2(c.total + change)});
        ctx.exec(
            QStringLiteral("INSERT INTO T_Jxc_CheckOutAdjust (Vchcode, Period, Dlyorder, PtypeId, KtypeId, "
                           "BlockNo, Total, InsertedRow, Number, PrevMonthCalcCost) "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, "
                           "(SELECT MonthCalcCost FROM ptype WHERE typeId = ?))"),
            {vchcode, period, dlyorder, c.ptype, c.ktype, c.block, change, inserted ? 1 : 0, billNumber,
             c.ptype});
        rs.rows.append({vchcode, QString()});
    }
    return 0;
}

int unCheckOutRefusal(ProcContext &ctx, int current, int &previous)
{
    if (!ctx.value(QStringLiteral("SELECT 1 FROM T_Jxc_CheckOutLog LIMIT 1")).isValid())
        return -9205;
    const QVariant prev =
        ctx.value(QStringLiteral("SELECT max(Period) FROM T_Gbl_MonthProc WHERE Period < ?"), {current});
    if (prev.isNull() || !isClosed(ctx, prev.toInt()))
        return -9204;
    previous = prev.toInt();
    if (previous < sysInt(ctx, QStringLiteral("Period")))
        return -9203;
    const auto flagged = [&](const QString &source, const QString &condition) {
        return ctx
            .value(
                QStringLiteral("SELECT 1 FROM T_CW_DlyNdx WHERE Period = ? AND Source = ? AND (%1) LIMIT 1")
                    .arg(condition),
                {previous, source})
            .isValid();
    };
    if (flagged(kCarryForwardSource, QStringLiteral("Deleted <> 0")))
        return -9206;
    if (flagged(kCarryForwardSource, QStringLiteral("Posted <> 0")))
        return -9201;
    if (flagged(kCarryForwardSource, QStringLiteral("Signed <> 0")))
        return -9207;
    if (flagged(kCarryForwardSource, QStringLiteral("Audited <> 0")))
        return -9202;
    if (flagged(kAdjustSource, QStringLiteral("Merged <> 0")))
        return -9209;
    if (flagged(kAdjustSource, QStringLiteral("Audited <> 0 OR Signed <> 0 OR Posted <> 0 OR Deleted <> 0")))
        return -9208;
    return 0;
}

void undoAdjustments(ProcContext &ctx, int period)
{
    struct Adjust
    {
        qint64 vchcode, dlyorder;
        QString ptype, ktype, block, number;
        double total;
        bool inserted;
        int monthCalcCost;
    };
    QList<Adjust> adjusts;
    QSqlQuery q =
        ctx.exec(QStringLiteral("SELECT Vchcode, Dlyorder, PtypeId, KtypeId, BlockNo, Number, Total, "
                                "InsertedRow, PrevMonthCalcCost FROM T_Jxc_CheckOutAdjust WHERE Period = ? "
                                "ORDER BY Vchcode DESC"),
                 {period});
    while (q.next())
        adjusts.append({q.value(0).toLongLong(), q.value(1).toLongLong(), q.value(2).toString(),
                        q.value(3).toString(), q.value(4).toString(), q.value(5).toString(),
                        q.value(6).toDouble(), q.value(7).toInt() != 0, q.value(8).toInt()});
    q.finish();
    for (const Adjust &a : std::as_const(adjusts)) {
        if (a.inserted)
            ctx.exec(QStringLiteral(
                         "DELETE FROM GoodsStocksCost WHERE PtypeId = ? AND KTypeID = ? AND BlockNo = ? "
                         "AND Period = ?"),
                     {a.ptype, a.ktype, a.block, period});
        ctx.exec(QStringLiteral("UPDATE GoodsStocksCost SET Total = round(CAST(Total - ? AS NUMERIC), 2) "
                                "WHERE PtypeId = ? AND KTypeID = ? AND BlockNo = ? AND Period >= ?"),
                 {a.total, a.ptype, a.ktype, a.block, period});
        ctx.exec(
            QStringLiteral("DELETE FROM T_FIFO_InList_Stock WHERE VchSource = 'dlyother' AND Dlyorder = ?"),
            {a.dlyorder});
        const QString date =
            ctx.value(QStringLiteral("SELECT Date FROM DlyNdx WHERE Vchcode = ?"), {a.vchcode}).toString();
        ctx.exec(QStringLiteral("DELETE FROM DlyOther WHERE Vchcode = ?"), {a.vchcode});
        ctx.exec(QStringLiteral("DELETE FROM DlyNdx WHERE Vchcode = ?"), {a.vchcode});
        // The number goes back when it is still the last one taken (no later bill of the type).
        ProcParams giveBack{{QStringLiteral("@nWork"), 2},
                            {QStringLiteral("@nVchType"), kAdjustBillType},
                            {QStringLiteral("@szDate"), date},
                            {QStringLiteral("@szNumberIn"), a.number},
                            {QStringLiteral("@szNumber"), QString()}};
        ctx.call(QStringLiteral("p_jxc_GetVchNumber"), giveBack);
        // The checkout marked the goods for calculation because of the adjustment; without lines after
        // the reopened period nothing else needs it.
        ctx.exec(QStringLiteral(
                     "UPDATE ptype SET CalcCost = 0, MonthCalcCost = ? WHERE typeId = ? AND NOT EXISTS ("
                     "SELECT 1 FROM DlyBuy WHERE PtypeId = ? AND Period > ? UNION ALL "
                     "SELECT 1 FROM DlySale WHERE PtypeId = ? AND Period > ? UNION ALL "
                     "SELECT 1 FROM DlyOther WHERE PtypeId = ? AND Period > ?)"),
                 {a.monthCalcCost, a.ptype, a.ptype, period, a.ptype, period, a.ptype, period});
    }
    ctx.exec(QStringLiteral("DELETE FROM T_Jxc_CheckOutAdjust WHERE Period = ?"), {period});
}

int unCheckOut(ProcContext &ctx)
{
    const int current = lockedPeriod(ctx);
    int previous = 0;
    const int refusal = unCheckOutRefusal(ctx, current, previous);
    if (refusal < 0)
        return refusal;
    if (ctx.in(QStringLiteral("@cMode")).toInt() != 1)
        return -1;

    ctx.exec(QStringLiteral("DELETE FROM T_CW_DlyNdx WHERE Period = ? AND Source IN (?, ?)"),
             {previous, kCarryForwardSource, kAdjustSource});
    ctx.exec(QStringLiteral("DELETE FROM T_Jxc_PeriodBalance WHERE Period = ?"), {previous});
    undoAdjustments(ctx, previous);
    const int createdYear =
        ctx.value(QStringLiteral("SELECT CreatedYear FROM T_Jxc_CheckOutLog WHERE Period = ?"), {previous})
            .toInt();
    if (createdYear > 0 &&
        !ctx.value(QStringLiteral("SELECT 1 FROM DlyNdx WHERE Period >= ? AND Period < ? LIMIT 1"),
                   {createdYear * 100, (createdYear + 1) * 100})
             .isValid())
        ctx.exec(QStringLiteral("DELETE FROM T_Gbl_MonthProc WHERE Year = ?"), {createdYear});
    ctx.exec(QStringLiteral("DELETE FROM T_Jxc_CheckOutLog WHERE Period = ?"), {previous});
    ctx.exec(QStringLiteral("UPDATE T_Gbl_SysDataCw SET SubValue = ? WHERE SubName = 'JxcPeriod'"),
             {QString::number(previous)});
    writeEvent(ctx, ctx.in(QStringLiteral("@szOperator")).toString(), event::UnCheckOut.arg(previous));
    return 0;
}

// ---- carry-forward view -----------------------------------------------------------------------------

struct ViewSums
{
    KindAmounts qty{};
    KindAmounts total{};
    std::array<bool, 4> touched{};

    // The stock side the bill moves: the warehouses when it touches them, else the first other kind.
    QPair<double, double> figures() const
    {
        for (size_t k = 0; k < touched.size(); ++k)
            if (touched[k])
                return {Round4(qty[k]), Round2(total[k])};
        return {0, 0};
    }
};

int jzsyView(ProcContext &ctx)
{
    const int b = ctx.in(QStringLiteral("@Vchtype")).toInt();
    const int period = ctx.in(QStringLiteral("@szPeriod")).toString().trimmed().toInt();
    const QString mode = ctx.in(QStringLiteral("@cMode")).toString().trimmed().toUpper();
    if (mode != u"V" && mode != u"P")
        return -1;
    const bool byGoods = mode == u"P";

    QMap<QString, ViewSums> sums; // bill code or goods id
    QStringList order;
    for (size_t k = 0; k < std::size(costing::kAllKinds); ++k) {
        const StockKind kind = costing::kAllKinds[k];
        for (int side = 0; side < 2; ++side) {
            const QString table = side == 0 ? costing::inListTable(kind) : costing::outListTable(kind);
            QSqlQuery q = ctx.exec(
                QStringLiteral(
                    "SELECT %2, sum(Qty), sum(CostTotal + FeeTotal) FROM %1 WHERE Period = ? AND "
                    "(CASE WHEN Vchtype > 10000 THEN Vchtype / 10000 ELSE Vchtype END) = ? GROUP BY %2")
                    .arg(table, byGoods ? QStringLiteral("PtypeID") : QStringLiteral("Vchcode")),
                {period, b});
            while (q.next()) {
                const QString key = q.value(0).toString();
                ViewSums &s = sums[key];
                // Issues count positive: the cost leaves the stock side into the voucher.
                const double sign = side == 0 ? -1.0 : 1.0;
                s.qty[k] += sign * q.value(1).toDouble();
                s.total[k] += sign * q.value(2).toDouble();
                s.touched[k] = true;
            }
        }
    }
    ResultSet &rs = ctx.result();
    ctx.setHasResult(true);
    const auto price = [](double qty, double total) { return qty != 0 ? Round4(total / qty) : 0.0; };
    if (byGoods) {
        rs.columns =
            QStringList{QStringLiteral("ptypeid"), QStringLiteral("UserCode"), QStringLiteral("FullName"),
                        QStringLiteral("QTY"),     QStringLiteral("TOTAL"),    QStringLiteral("Price")};
        QSqlQuery q = ctx.exec(
            QStringLiteral("SELECT typeId, UserCode, FullName FROM ptype ORDER BY UserCode, typeId"));
        while (q.next()) {
            const auto it = sums.constFind(q.value(0).toString());
            if (it == sums.cend())
                continue;
            const auto f = it->figures();
            rs.rows.append({q.value(0), q.value(1), q.value(2), f.first, f.second, price(f.first, f.second)});
        }
        return 0;
    }
    rs.columns =
        QStringList{QStringLiteral("VCHTYPENAME"), QStringLiteral("DATE"),    QStringLiteral("NUMBER"),
                    QStringLiteral("QTY"),         QStringLiteral("TOTAL"),   QStringLiteral("Price"),
                    QStringLiteral("vchcode"),     QStringLiteral("vchtype"), QStringLiteral("redword"),
                    QStringLiteral("redold")};
    QSqlQuery q =
        ctx.exec(QStringLiteral("SELECT d.Vchcode, coalesce(t.Name, ''), d.Date, d.Number, d.Vchtype, "
                                "d.RedWord, d.RedOld FROM DlyNdx d LEFT JOIN T_GBL_Vchtype t ON "
                                "t.Vchtype = d.Vchtype WHERE d.Period = ? AND "
                                "(CASE WHEN d.Vchtype > 10000 THEN d.Vchtype / 10000 ELSE d.Vchtype END) = ? "
                                "ORDER BY d.Date, d.Number, d.Vchcode"),
                 {period, b});
    while (q.next()) {
        const auto it = sums.constFind(q.value(0).toString());
        if (it == sums.cend())
            continue;
        const auto f = it->figures();
        rs.rows.append({q.value(1), q.value(2), q.value(3), f.first, f.second, price(f.first, f.second),
                        q.value(0), q.value(4), q.value(5), q.value(6)});
    }
    return 0;
}

} // namespace

void registerClosingProcs(ProcRegistry &registry)
{
    registry.add(QStringLiteral("P_Jxc_CheckJxcCheckOut"), &checkJxcCheckOut);
    registry.add(QStringLiteral("P_Jxc_JxcCheckOut"), &jxcCheckOut);
    registry.add(QStringLiteral("P_JXC_JXCCheckOutAutoImprove"), &checkOutAutoImprove);
    registry.add(QStringLiteral("P_Jxc_UnCheckOut"), &unCheckOut);
    registry.add(QStringLiteral("P_jxc_JxcJZSYView"), &jzsyView);
}

} // namespace accountdb
