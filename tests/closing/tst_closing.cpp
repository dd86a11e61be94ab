#include "tst_closing.h"

#include <QDate>
#include <QProcess>
#include <QtTest>

#include "AccountDatabase.h"
#include "QuillExceptions.h"
#include "uDllComm.h"
#include "uJobLock.h"
#include "uJxcCheckOutCore.h"

using accountdb::ProcContext;
using accountdb::ProcParams;
using namespace uJxcCheckOutCore;

namespace {

const QString G1 = QStringLiteral("0000100001");
const QString G2 = QStringLiteral("0000100002");
const QString W1 = QStringLiteral("00001");

QString Rec(const QString &ptype, double qty, double price = 0)
{
    return QStringLiteral("<Record PtypeID=\"%1\" Qty=\"%2\" Price=\"%3\"/>").arg(ptype).arg(qty).arg(price);
}

} // namespace

QString TstClosing::Date(int month, int day) const
{
    return QDate(FYear, month, day).toString(QStringLiteral("yyyy-MM-dd"));
}

QVariant TstClosing::Value(const QString &sql, const QVariantList &params)
{
    return FSet->Db().value(sql, params);
}

void TstClosing::Exec(const QString &sql, const QVariantList &params)
{
    FSet->Db().execBatch(sql, params);
}

QString TstClosing::Sys(const QString &name)
{
    return Value(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = ?"), {name}).toString();
}

void TstClosing::SetSys(const QString &name, const QString &value)
{
    Exec(QStringLiteral("UPDATE T_Gbl_SysDataCw SET SubValue = ? WHERE SubName = ?"), {value, name});
}

void TstClosing::Post(int vchtype, const QString &date, const QStringList &records)
{
    ProcParams p{{QStringLiteral("@nVchType"), vchtype},
                 {QStringLiteral("@szDate"), date},
                 {QStringLiteral("@szNumber"), QString()},
                 {QStringLiteral("@szBTypeID"), QString()},
                 {QStringLiteral("@szETypeID"), QString()},
                 {QStringLiteral("@szKTypeID"), W1},
                 {QStringLiteral("@szKTypeID2"), QString()},
                 {QStringLiteral("@szDTypeID"), QString()},
                 {QStringLiteral("@szSummary"), QString()},
                 {QStringLiteral("@szOperatorID"), QStringLiteral("00000")},
                 {QStringLiteral("@szXML"),
                  QStringLiteral("<Root>") + records.join(QString()) + QStringLiteral("</Root>")}};
    const int r = FSet->Db().callProc(QStringLiteral("P_Jxc_PostBill"), p);
    QVERIFY2(r == 0, qPrintable(QStringLiteral("posting bill type %1 failed: %2").arg(vchtype).arg(r)));
}

void TstClosing::CostAll()
{
    const int period = Sys(QStringLiteral("JxcPeriod")).toInt();
    for (const QString &ptype : {G1, G2}) {
        ProcParams p{{QStringLiteral("@szPtypeID"), ptype},
                     {QStringLiteral("@nCurrentPeriod"), period},
                     {QStringLiteral("@nAllStock"), 0},
                     {QStringLiteral("@bIsGM"), 0},
                     {QStringLiteral("@bMonth"), 0}};
        QCOMPARE(FSet->Db().callProc(QStringLiteral("P_Cost_Account_Month"), p), 0);
    }
}

QString TstClosing::Dump(const QString &sql)
{
    const accountdb::ResultSet rs = FSet->Db().query(sql);
    QStringList lines;
    for (const QVariantList &row : rs.rows) {
        QStringList cells;
        for (const QVariant &v : row)
            cells << v.toString();
        lines << cells.join(u'|');
    }
    return lines.join(u'\n');
}

QString TstClosing::State()
{
    QStringList parts;
    for (const char *sql :
         {"SELECT SubName, SubValue FROM T_Gbl_SysDataCw WHERE SubName IN ('JxcPeriod', 'Period', "
          "'UnitMemo') "
          "ORDER BY SubName",
          "SELECT * FROM T_Gbl_MonthProc ORDER BY Period", "SELECT * FROM T_CW_DlyNdx ORDER BY Vchcode",
          "SELECT * FROM T_CW_Dly ORDER BY Dlyorder",
          "SELECT * FROM T_Jxc_PeriodBalance ORDER BY 1, 2, 3, 4, 5",
          "SELECT * FROM T_Jxc_CheckOutLog ORDER BY Period",
          "SELECT * FROM T_Jxc_CheckOutAdjust ORDER BY Vchcode",
          "SELECT * FROM GoodsStocksCost ORDER BY PtypeId, Period, KTypeID, BlockNo",
          "SELECT * FROM DlyNdx ORDER BY Vchcode", "SELECT * FROM DlyOther ORDER BY Dlyorder",
          "SELECT * FROM T_FIFO_InList_Stock ORDER BY ID",
          "SELECT typeId, CalcCost, MonthCalcCost FROM ptype ORDER BY typeId"})
        parts << Dump(QString::fromLatin1(sql));
    return parts.join(QStringLiteral("\n--\n"));
}

void TstClosing::AddPlugIn(const QString &table, const QString &name, bool before, int result)
{
    FSet->Db().procedures().add(name, [this, name, result](ProcContext &ctx) {
        FPlugInCalls.last() << name;
        // A write of the plug-in: it must share the fate of the transaction.
        ctx.exec(
            QStringLiteral("UPDATE T_Gbl_SysDataCw SET SubValue = SubValue || ? WHERE SubName = 'UnitMemo'"),
            {name});
        if (ctx.in(QStringLiteral("@OperatorId")).toString().isEmpty())
            return -99;
        if (result < 0)
            ctx.setOut(QStringLiteral("@ErrMsg"), QStringLiteral("插件拒绝：") + name);
        return result;
    });
    Exec(QStringLiteral("INSERT INTO %1 (ProcName, IsBefore) VALUES (?, ?)").arg(table),
         {name, before ? 1 : 0});
}

void TstClosing::init()
{
    FSet = std::make_unique<TestAccountSet>();
    FYear = Sys(QStringLiteral("CurrentYear")).toInt();
    FP1 = FYear * 100 + 1;
    FP2 = FYear * 100 + 2;
    Exec(QStringLiteral("INSERT INTO ptype (typeId, Sonnum) VALUES ('00001', 2);"
                        "INSERT INTO ptype (typeId, ParId, UserCode, FullName, Costmode) VALUES "
                        "(?, '00001', 'G1', '铝板', 4), (?, '00001', 'G2', '铜线', 4);"
                        "INSERT INTO stock (typeId, FullName) VALUES (?, '总仓')"),
         {G1, G2, W1});
    Post(201, Date(1, 1), {Rec(G1, 10, 5), Rec(G2, 4, 10)});
    SetSys(QStringLiteral("iniover"), QStringLiteral("1"));
    Post(34, Date(1, 5), {Rec(G1, 10, 7)});
    Post(11, Date(1, 20), {Rec(G1, 6, 9), Rec(G2, 4, 15)});
    CostAll();
    FSet->Messages().Clear();
    FPlugInCalls = {QStringList()};
    uDllComm::DllParams.PubVersion2 = 6680;
    uDllComm::DllParams.IsCMSQ = false;
    CalcCostHook = nullptr;
    ShowAuditQueryHook = nullptr;
}

void TstClosing::cleanup()
{
    CalcCostHook = nullptr;
    ShowAuditQueryHook = nullptr;
    FSet.reset();
}

// ---- database and core ------------------------------------------------------------------------------

void TstClosing::preCheckCodes_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");

    QTest::newRow("ready") << QString() << 0 << QString();
    QTest::newRow("not opened") << "UPDATE T_Gbl_SysDataCw SET SubValue = '0' WHERE SubName = 'iniover'" << -4
                                << "系统尚未进行期初结账，不能做月结存。";
    QTest::newRow("closed already")
        << "INSERT INTO T_Jxc_CheckOutLog (Period, NextPeriod) SELECT CAST(SubValue AS INTEGER), 0 "
           "FROM T_Gbl_SysDataCw WHERE SubName = 'JxcPeriod'"
        << -2 << "本期间已经做了期末结账。";
    QTest::newRow("not costed") << "UPDATE ptype SET CalcCost = 1 WHERE UserCode = 'G2'" << -5
                                << "有存货没有进行成本计算，请先计算所有存货成本。";
    QTest::newRow("class marked only") << "UPDATE ptype SET CalcCost = 1 WHERE Sonnum > 0" << 0 << QString();
    QTest::newRow("period outside calendar")
        << "UPDATE T_Gbl_SysDataCw SET SubValue = '190001' WHERE SubName = 'JxcPeriod'" << -1
        << "数据更新失败,请稍后重试。";
    QTest::newRow("overflow") << "UPDATE T_FIFO_OutList_Stock SET CostTotal = 2e14 WHERE Vchtype = 11" << -20
                              << "结转成本的金额太大，系统将无法正确处理，请检查您的单据。";
}

void TstClosing::preCheckCodes()
{
    QFETCH(QString, setup);
    QFETCH(int, code);
    QFETCH(QString, message);
    if (!setup.isEmpty())
        Exec(setup);
    QCOMPARE(PreCheck(), code);
    if (code < 0 && code != NotCostedCode)
        QCOMPARE(PreCheckMessage(code), message);

    // The checkout procedure refuses the same cases and then writes nothing.
    const QString before = State();
    const TRunResult r = RunCheckOut(false);
    if (code == 0) {
        QCOMPARE(int(r.Status), int(TRunStatus::Done));
        QCOMPARE(Sys(QStringLiteral("JxcPeriod")).toInt(), FP2);
        return;
    }
    QCOMPARE(int(r.Status), int(TRunStatus::Refused));
    // A period missing from the calendar stops the job before the procedure runs.
    const QString problem = uJobLock::JxcPeriodProblem();
    QCOMPARE(r.Code, problem.isEmpty() ? code : 0);
    QCOMPARE(r.Message, problem.isEmpty() ? message : problem);
    QCOMPARE(State(), before);
}

void TstClosing::carryForwardVouchers()
{
    // A loss and a consignment delivery in the period too: the delivery moves cost between stock kinds.
    Post(9, Date(1, 25), {Rec(G1, 1)});
    ProcParams p{
        {QStringLiteral("@nVchType"), 25},
        {QStringLiteral("@szDate"), Date(1, 26)},
        {QStringLiteral("@szKTypeID"), W1},
        {QStringLiteral("@szOperatorID"), QStringLiteral("00000")},
        {QStringLiteral("@szXML"), QStringLiteral("<Root><Record PtypeID=\"%1\" Qty=\"2\" UsedType=\"1\"/>"
                                                  "<Record PtypeID=\"%1\" Qty=\"2\" UsedType=\"0\"/></Root>")
                                       .arg(G1)}};
    QCOMPARE(FSet->Db().callProc(QStringLiteral("P_Jxc_PostBill"), p), 0);
    CostAll();

    QCOMPARE(int(RunCheckOut(false).Status), int(TRunStatus::Done));
    QCOMPARE(
        Dump(QStringLiteral("SELECT SourceVchtype, Number, Period, Source, DebitTotal, CreditTotal, Summary "
                            "FROM T_CW_DlyNdx ORDER BY Vchcode")),
        QStringLiteral("11|1|%1|JXCJZ|76|76|结转销售单成本\n"
                       "9|2|%1|JXCJZ|6|6|结转报损单成本\n"
                       "25|3|%1|JXCJZ|12|12|结转委托发货单成本")
            .arg(FP1));
    QCOMPARE(
        Dump(QStringLiteral("SELECT d.SourceVchtype, l.AtypeId, l.Debit, l.Credit FROM T_CW_Dly l "
                            "JOIN T_CW_DlyNdx d ON d.Vchcode = l.Vchcode ORDER BY l.Dlyorder")),
        QStringLiteral("11|1405|0|76\n11|6401|76|0\n9|1405|0|6\n9|1901|6|0\n25|1405|0|12\n25|1406|12|0"));
    QCOMPARE(Dump(QStringLiteral("SELECT Period, NextPeriod, CreatedYear FROM T_Jxc_CheckOutLog")),
             QStringLiteral("%1|%2|0").arg(FP1).arg(FP2));
    QCOMPARE(Sys(QStringLiteral("JxcPeriod")).toInt(), FP2);
    // Bills of a closed period are refused from now on.
    ProcParams late{
        {QStringLiteral("@nVchType"), 34},
        {QStringLiteral("@szDate"), Date(1, 28)},
        {QStringLiteral("@szKTypeID"), W1},
        {QStringLiteral("@szXML"), QStringLiteral("<Root>") + Rec(G1, 1, 1) + QStringLiteral("</Root>")}};
    QCOMPARE(FSet->Db().callProc(QStringLiteral("P_Jxc_PostBill"), late), -3);
}

void TstClosing::periodEndBalances()
{
    // A purchase of the next period, already costed: the closed period's balance must not include it.
    Post(34, Date(2, 3), {Rec(G1, 5, 8)});
    CostAll();
    QCOMPARE(int(RunCheckOut(false).Status), int(TRunStatus::Done));
    QCOMPARE(
        Dump(QStringLiteral("SELECT Period, StockKind, PtypeId, KtypeId, Qty, Total FROM T_Jxc_PeriodBalance "
                            "WHERE StockKind = 'Stock' ORDER BY PtypeId")),
        QStringLiteral("%1|Stock|%2||14|84\n%1|Stock|%3||0|0").arg(FP1).arg(G1, G2));
}

void TstClosing::calendar_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<int>("month"); // of the period closed (0: a period of year 9999)
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("nextYearRows");

    QTest::newRow("next month") << QString() << 1 << 0 << 0;
    QTest::newRow("year end adds the next year") << QString() << 12 << 0 << 12;
    QTest::newRow("end of the calendar") << "INSERT INTO T_Gbl_MonthProc (Period, Year, StartDate, EndDate) "
                                            "VALUES (999912, 9999, '9999-12-01', "
                                            "'9999-12-31')"
                                         << 0 << -3 << 0;
    QTest::newRow("negative days")
        << "UPDATE T_Gbl_MonthProc SET EndDate = (Year + 1) || '-02-10' WHERE Period % 100 = 12" << 12 << -6
        << 0;
}

void TstClosing::calendar()
{
    QFETCH(QString, setup);
    QFETCH(int, month);
    QFETCH(int, code);
    QFETCH(int, nextYearRows);
    if (!setup.isEmpty())
        Exec(setup);
    const int period = month == 0 ? 999912 : FYear * 100 + month;
    SetSys(QStringLiteral("JxcPeriod"), QString::number(period));
    const QString before = State();

    const TRunResult r = RunCheckOut(false);
    const auto nextYear = [this] {
        return Value(QStringLiteral("SELECT count(*) FROM T_Gbl_MonthProc WHERE Year = ?"), {FYear + 1})
            .toInt();
    };
    if (code < 0) {
        QCOMPARE(r.Code, code);
        QCOMPARE(r.Message, CheckOutMessage(code));
        QCOMPARE(State(), before);
        return;
    }
    QCOMPARE(int(r.Status), int(TRunStatus::Done));
    QCOMPARE(nextYear(), nextYearRows);
    const int expectedNext = month == 12 ? (FYear + 1) * 100 + 1 : period + 1;
    QCOMPARE(Sys(QStringLiteral("JxcPeriod")).toInt(), expectedNext);
    if (nextYearRows > 0) {
        QCOMPARE(Dump(QStringLiteral("SELECT StartDate, EndDate FROM T_Gbl_MonthProc WHERE Year = %1 AND "
                                     "Period % 100 IN (1, 2, 12) ORDER BY Period")
                          .arg(FYear + 1)),
                 QStringLiteral("%1-01-01|%1-01-31\n%1-02-01|%1-02-%2\n%1-12-01|%1-12-31")
                     .arg(FYear + 1)
                     .arg(QDate(FYear + 1, 2, 1).daysInMonth()));
    }
    // The reversal takes the created year away again.
    QCOMPARE(int(RunUnCheckOut().Status), int(TRunStatus::Done));
    QCOMPARE(State(), before);
}

void TstClosing::autoImprove()
{
    // A rounding residue: G2 has nothing left but still an amount.
    Exec(QStringLiteral("UPDATE GoodsStocksCost SET Total = 3.5 WHERE PtypeId = ? AND Period = ?"),
         {G2, FP1});

    // A date outside the period gives an error row and writes nothing.
    const QString before = State();
    ProcParams p{{QStringLiteral("@Period"), FP1},
                 {QStringLiteral("@szDate"), Date(2, 1)},
                 {QStringLiteral("@szInputNo"), QStringLiteral("00000")}};
    accountdb::ResultSet rs;
    FSet->Db().callProc(QStringLiteral("P_JXC_JXCCheckOutAutoImprove"), p, &rs);
    QCOMPARE(rs.rows.size(), 1);
    QCOMPARE(rs.rows[0][0].toInt(), -1);
    QCOMPARE(rs.rows[0][1].toString(), QStringLiteral("调整日期%1不在本期间内。").arg(Date(2, 1)));
    QCOMPARE(State(), before);

    const TRunResult r = RunCheckOut(true);
    QCOMPARE(int(r.Status), int(TRunStatus::Done));
    const QString vchcode = Value(QStringLiteral("SELECT Vchcode FROM DlyNdx WHERE Vchtype = 57")).toString();
    QCOMPARE(r.AdjustedBills, QStringLiteral("0,") + vchcode);
    QCOMPARE(
        Dump(QStringLiteral("SELECT PtypeId, Qty, Total, CostTotal, Date FROM DlyOther WHERE Vchtype = 57")),
        QStringLiteral("%1|0|-3.5|-3.5|%2").arg(G2, Date(1, 31)));
    QCOMPARE(
        Value(QStringLiteral("SELECT Total FROM GoodsStocksCost WHERE PtypeId = ? AND Period = ?"), {G2, FP1})
            .toDouble(),
        0.0);
    QCOMPARE(Dump(QStringLiteral("SELECT l.AtypeId, l.Debit, l.Credit FROM T_CW_Dly l JOIN T_CW_DlyNdx d ON "
                                 "d.Vchcode = l.Vchcode WHERE d.Source = 'JXCTJ' ORDER BY l.RowNo")),
             QStringLiteral("1405|0|3.5\n6401|3.5|0"));
    // Only the adjusted goods item is costed again.
    QCOMPARE(Dump(QStringLiteral(
                 "SELECT UserCode, CalcCost, MonthCalcCost FROM ptype WHERE Sonnum = 0 ORDER BY UserCode")),
             QStringLiteral("G1|0|0\nG2|1|1"));
}

void TstClosing::reversalRefusals_data()
{
    QTest::addColumn<bool>("checkOutFirst");
    QTest::addColumn<QString>("setup");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");

    QTest::newRow("never closed") << false << QString() << -9205 << "系统还没有已结账的期间,不能反结账。";
    QTest::newRow("previous period open") << true
                                          << "UPDATE T_Gbl_SysDataCw SET SubValue = CAST(CAST(SubValue AS "
                                             "INTEGER) + 1 AS TEXT) WHERE SubName = 'JxcPeriod'"
                                          << -9204 << "进销存上期还未结账，不能反结账。";
    QTest::newRow("accounting period past") << true
                                            << "UPDATE T_Gbl_SysDataCw SET SubValue = CAST(CAST(SubValue AS "
                                               "INTEGER) + 1 AS TEXT) WHERE SubName = 'Period'"
                                            << -9203 << "财务已经结转，进销存不能反结账。";
    QTest::newRow("voucher void") << true << "UPDATE T_CW_DlyNdx SET Deleted = 1 WHERE Source = 'JXCJZ'"
                                  << -9206 << "上期结转生成的凭证已经作废，不能反结账。";
    QTest::newRow("voucher posted") << true << "UPDATE T_CW_DlyNdx SET Posted = 1 WHERE Source = 'JXCJZ'"
                                    << -9201 << "本期已有单据过账，不能反结账。";
    QTest::newRow("voucher signed") << true << "UPDATE T_CW_DlyNdx SET Signed = 1 WHERE Source = 'JXCJZ'"
                                    << -9207 << "上期结转生成的凭证已经出纳签字，不能反结账。";
    QTest::newRow("voucher audited") << true << "UPDATE T_CW_DlyNdx SET Audited = 1 WHERE Source = 'JXCJZ'"
                                     << -9202 << "上期结转生成的凭证已经审核，不能反结账。";
    QTest::newRow("adjustment merged") << true << "UPDATE T_CW_DlyNdx SET Merged = 1 WHERE Source = 'JXCTJ'"
                                       << -9209 << "自动调整库存生成的调价单凭证已经被合并，请先删除凭证。";
    QTest::newRow("adjustment audited")
        << true << "UPDATE T_CW_DlyNdx SET Audited = 1 WHERE Source = 'JXCTJ'" << -9208
        << "自动调整库存生成的调价单凭证已经被审核或签字，请先取消审核或签字。";
}

void TstClosing::reversalRefusals()
{
    QFETCH(bool, checkOutFirst);
    QFETCH(QString, setup);
    QFETCH(int, code);
    QFETCH(QString, message);
    if (checkOutFirst) {
        Exec(QStringLiteral("UPDATE GoodsStocksCost SET Total = 3.5 WHERE PtypeId = ? AND Period = ?"),
             {G2, FP1});
        QCOMPARE(int(RunCheckOut(true).Status), int(TRunStatus::Done));
    }
    if (!setup.isEmpty())
        Exec(setup);
    const QString before = State();
    const TRunResult r = RunUnCheckOut();
    QCOMPARE(int(r.Status), int(TRunStatus::Refused));
    // A period missing from the calendar stops the job before the procedure runs.
    const QString problem = uJobLock::JxcPeriodProblem();
    QCOMPARE(r.Code, problem.isEmpty() ? code : 0);
    QCOMPARE(r.Message, problem.isEmpty() ? message : problem);
    QCOMPARE(State(), before);
}

void TstClosing::roundTrip_data()
{
    QTest::addColumn<bool>("autoAdjust");
    QTest::newRow("plain") << false;
    QTest::newRow("with automatic adjustment") << true;
}

void TstClosing::roundTrip()
{
    QFETCH(bool, autoAdjust);
    Exec(QStringLiteral("UPDATE GoodsStocksCost SET Total = 3.5 WHERE PtypeId = ? AND Period = ?"),
         {G2, FP1});
    const QString open = State();
    QCOMPARE(int(RunCheckOut(autoAdjust).Status), int(TRunStatus::Done));
    const QString closed = State();
    QVERIFY(closed != open);
    QCOMPARE(int(RunUnCheckOut().Status), int(TRunStatus::Done));
    QCOMPARE(State(), open);
    QCOMPARE(int(RunCheckOut(autoAdjust).Status), int(TRunStatus::Done));
    QCOMPARE(State(), closed);
}

void TstClosing::plugInFailures_data()
{
    QTest::addColumn<bool>("reversal");
    QTest::addColumn<int>("beforeResult");
    QTest::addColumn<int>("afterResult");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QString>("error");

    const QString step = QStringLiteral("step");
    QTest::newRow("checkout: both pass")
        << false << 0 << 1 << QStringList{"P_Before", step, "P_After"} << QString();
    QTest::newRow("checkout: before fails")
        << false << -1 << 0 << QStringList{"P_Before"} << "插件拒绝：P_Before";
    QTest::newRow("checkout: after fails")
        << false << 0 << -7 << QStringList{"P_Before", step, "P_After"} << "插件拒绝：P_After";
    QTest::newRow("reversal: both pass")
        << true << 0 << 0 << QStringList{"P_Before", step, "P_After"} << QString();
    QTest::newRow("reversal: before fails")
        << true << -1 << 0 << QStringList{"P_Before"} << "插件拒绝：P_Before";
    QTest::newRow("reversal: after fails")
        << true << 0 << -1 << QStringList{"P_Before", step, "P_After"} << "插件拒绝：P_After";
}

void TstClosing::plugInFailures()
{
    QFETCH(bool, reversal);
    QFETCH(int, beforeResult);
    QFETCH(int, afterResult);
    QFETCH(QStringList, calls);
    QFETCH(QString, error);
    if (reversal)
        QCOMPARE(int(RunCheckOut(false).Status), int(TRunStatus::Done));
    const QString table =
        reversal ? QStringLiteral("T_Inf_PlugIn_JxcUnCheckOut") : QStringLiteral("T_Inf_PlugIn_JxcCheckOut");
    AddPlugIn(table, QStringLiteral("P_After"), false, afterResult);
    AddPlugIn(table, QStringLiteral("P_Before"), true, beforeResult);
    // Watch the database step between the plug-ins.
    const QString stepName =
        reversal ? QStringLiteral("P_Jxc_UnCheckOut") : QStringLiteral("P_Jxc_JxcCheckOut");
    const accountdb::ProcFn step = *FSet->Db().procedures().find(stepName);
    FSet->Db().procedures().add(stepName, [this, step](ProcContext &ctx) {
        FPlugInCalls.last() << QStringLiteral("step");
        return step(ctx);
    });

    const QString before = State();
    const TRunResult r = reversal ? RunUnCheckOut() : RunCheckOut(false);
    QCOMPARE(FPlugInCalls.last(), calls);
    if (error.isEmpty()) {
        QCOMPARE(int(r.Status), int(TRunStatus::Done));
        QCOMPARE(Sys(QStringLiteral("UnitMemo")), QStringLiteral("P_BeforeP_After"));
        QCOMPARE(Sys(QStringLiteral("JxcPeriod")).toInt(), reversal ? FP1 : FP2);
        return;
    }
    QCOMPARE(int(r.Status), int(TRunStatus::PlugInFailed));
    QCOMPARE(r.Message, error);
    QCOMPARE(State(), before);
}

void TstClosing::jzsyView_data()
{
    QTest::addColumn<int>("vchtype");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("rows");

    QTest::newRow("sales by bill") << 11 << "V" << 0 << "销售单|10|76|7.6";
    QTest::newRow("sales by goods") << 11 << "p" << 0 << QStringLiteral("G1|6|36|6\nG2|4|40|10");
    QTest::newRow("purchase: receipts negative") << 34 << "V" << 0 << "进货单|-10|-70|7";
    QTest::newRow("type without lines") << 9 << "V" << 0 << QString();
    QTest::newRow("unknown mode") << 11 << "X" << -1 << QString();
}

void TstClosing::jzsyView()
{
    QFETCH(int, vchtype);
    QFETCH(QString, mode);
    QFETCH(int, result);
    QFETCH(QString, rows);
    ProcParams p{{QStringLiteral("@Vchtype"), vchtype},
                 {QStringLiteral("@szPeriod"), QString::number(FP1)},
                 {QStringLiteral("@cMode"), mode}};
    accountdb::ResultSet rs;
    QCOMPARE(FSet->Db().callProc(QStringLiteral("P_jxc_JxcJZSYView"), p, &rs), result);
    QStringList lines;
    const bool byGoods = mode.toUpper() == u"P";
    for (const QVariantList &row : std::as_const(rs.rows)) {
        const QString name =
            row[rs.columnIndex(byGoods ? QStringLiteral("UserCode") : QStringLiteral("VCHTYPENAME"))]
                .toString();
        lines << QStringLiteral("%1|%2|%3|%4")
                     .arg(name)
                     .arg(row[rs.columnIndex(QStringLiteral("QTY"))].toDouble())
                     .arg(row[rs.columnIndex(QStringLiteral("TOTAL"))].toDouble())
                     .arg(row[rs.columnIndex(QStringLiteral("Price"))].toDouble());
    }
    QCOMPARE(lines.join(u'\n'), rows);
}

void TstClosing::admin_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("month"); // of the inventory period afterwards
    QTest::addColumn<int>("adjustBills");

    const QString unaudited = QStringLiteral(
        "INSERT INTO DlyndxOrder (Vchtype, Date, Number, Period, Draft) SELECT 7, StartDate, 'DD-1', Period, "
        "4 "
        "FROM T_Gbl_MonthProc WHERE Period = (SELECT CAST(SubValue AS INTEGER) FROM T_Gbl_SysDataCw WHERE "
        "SubName = 'JxcPeriod')");
    const QString residue =
        QStringLiteral("UPDATE GoodsStocksCost SET Total = 3.5 WHERE PtypeId = '0000100002'");
    QTest::newRow("checkout") << QString() << QStringList{"checkout"} << 0 << "本月期末结账成功。" << 2 << 0;
    QTest::newRow("unaudited bills stop it")
        << unaudited << QStringList{"checkout"} << 1 << "本期有1张单据未审核。" << 1 << 0;
    QTest::newRow("unaudited bills ignored")
        << unaudited << QStringList{"checkout", "--ignore-unaudited"} << 0 << "本月期末结账成功。" << 2 << 0;
    QTest::newRow("not costed") << "UPDATE ptype SET CalcCost = 1" << QStringList{"checkout"} << 1
                                << "有存货没有进行成本计算，请先计算所有存货成本。" << 1 << 0;
    QTest::newRow("without adjustment")
        << residue << QStringList{"checkout"} << 0 << "本月期末结账成功。" << 2 << 0;
    QTest::newRow("automatic adjustment")
        << residue << QStringList{"checkout", "--auto-adjust"} << 0 << "本月期末结账成功。" << 2 << 1;
    QTest::newRow("reversal refused")
        << QString() << QStringList{"uncheckout"} << 1 << "系统还没有已结账的期间,不能反结账。" << 1 << 0;
}

void TstClosing::admin()
{
    QFETCH(QString, setup);
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, text);
    QFETCH(int, month);
    QFETCH(int, adjustBills);
    if (!setup.isEmpty())
        Exec(setup);
    QProcess p;
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(QStringLiteral(ORVANE_ADMIN_PATH), args + QStringList{QStringLiteral("--db"), FSet->Path()});
    QVERIFY(p.waitForFinished(60000));
    const QString out = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
    QCOMPARE(p.exitCode(), exitCode);
    QVERIFY2(out.contains(text), qPrintable(out));
    QCOMPARE(Sys(QStringLiteral("JxcPeriod")).toInt(), FYear * 100 + month);
    // A run that closes a month names it and the month it entered.
    const auto monthText = [this](int m) {
        return QStringLiteral("%1年%2月").arg(FYear).arg(m, 2, 10, QLatin1Char('0'));
    };
    if (exitCode == 0)
        QVERIFY2(
            out.contains(
                QStringLiteral("已结账期间：%1。\n当前进销存期间：%2。").arg(monthText(1), monthText(month))),
            qPrintable(out));
    QCOMPARE(Value(QStringLiteral("SELECT count(*) FROM DlyNdx WHERE Vchtype = 57")).toInt(), adjustBills);
}

QTEST_MAIN(TstClosing)
