// The runtime's wrapper units over the host services of a real account set: SQL with bound values,
// procedures with outputs, host transactions, and the silent abort of CheckError.

#include <QtTest>

#include "AccountDatabase.h"
#include "QuillExceptions.h"
#include "TestAccountSet.h"
#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "Udllsystemintf.h"

using namespace Udlldbservice;

class TestServices : public QObject
{
    Q_OBJECT

private slots:
    void init() { FSet = std::make_unique<TestAccountSet>(); }
    void cleanup() { FSet.reset(); }

    void boundValuesAreStoredUnchanged_data();
    void boundValuesAreStoredUnchanged();
    void openSqlFillsDataSet();
    void valueOfEmptyResultIsNull();
    void procedureOutputsOnly();
    void unknownProcedureRaises();
    void transactionCommitAndRollback();
    void secondBeginTransRefused();
    void transactionScopeRollsBackOnException();
    void checkErrorShowsAndAborts();
    void sysConCacheLoadedFromTable();

private:
    std::unique_ptr<TestAccountSet> FSet;
};

void TestServices::boundValuesAreStoredUnchanged_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("quotes and semicolons") << "x'); DROP TABLE T_Gbl_SysCon; --";
    QTest::newRow("double quotes") << "say \"hi\"; SELECT 1";
    QTest::newRow("question mark") << "what? ?";
    QTest::newRow("chinese") << "期末结账；'成本'";
}

void TestServices::boundValuesAreStoredUnchanged()
{
    QFETCH(QString, value);
    ExecuteSQL(QStringLiteral("INSERT INTO T_Gbl_MessageList (MessageNo, DisPlayName) VALUES (?, ?)"),
               {90001, value});
    QCOMPARE(GetValueFromSQL(QStringLiteral("SELECT DisPlayName FROM T_Gbl_MessageList WHERE MessageNo = ?"),
                             {90001})
                 .toString(),
             value);
    QVERIFY(GetValueFromSQL(QStringLiteral("SELECT count(*) FROM T_Gbl_SysCon")).toInt() > 0);
}

void TestServices::openSqlFillsDataSet()
{
    TClientDataSet ds;
    OpenSQL(QStringLiteral("SELECT ConId, Stats FROM T_Gbl_SysCon WHERE ConId < ? ORDER BY ConId"), {100},
            ds);
    const int expected =
        FSet->Db().value(QStringLiteral("SELECT count(*) FROM T_Gbl_SysCon WHERE ConId < 100")).toInt();
    QCOMPARE(ds.RecordCount(), expected);
    QVERIFY(ds.HasField(QStringLiteral("conid")));
    int previous = -1, rows = 0;
    for (ds.First(); !ds.Eof(); ds.Next(), ++rows) {
        QVERIFY(ds.FieldByName(QStringLiteral("ConId")).AsInteger() > previous);
        previous = ds.FieldByName(QStringLiteral("ConId")).AsInteger();
    }
    QCOMPARE(rows, expected);
}

void TestServices::valueOfEmptyResultIsNull()
{
    QVERIFY(GetValueFromSQL(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = ?"),
                            {QStringLiteral("NoSuchName")})
                .isNull());
}

void TestServices::procedureOutputsOnly()
{
    TParamList out;
    ExecuteProcByName(QStringLiteral("P_GBL_SetSysValue"),
                      {QStringLiteral("@szName"), QStringLiteral("@szValue")},
                      {QStringLiteral("ProcTest"), QStringLiteral("42")}, &out);
    QVERIFY(out.IsEmpty());
    const int result = ExecuteProcByName(QStringLiteral("p_gbl_getsysvalue;1"),
                                         {QStringLiteral("@szName"), QStringLiteral("@szReturn")},
                                         {QStringLiteral("ProcTest"), QString()}, &out);
    QVERIFY(result >= 0);
    QCOMPARE(out.Count(), 1);
    QCOMPARE(out.ParamByName(QStringLiteral("@SZRETURN")).toString(), QStringLiteral("42"));
}

void TestServices::unknownProcedureRaises()
{
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, ExecuteProcByName(QStringLiteral("P_No_Such_Proc"), {}, {}));
}

void TestServices::transactionCommitAndRollback()
{
    BeginTrans();
    ExecuteSQL(QStringLiteral("UPDATE T_Gbl_SysDataCw SET SubValue = ? WHERE SubName = 'iniover'"),
               {QStringLiteral("9")});
    RollBackTrans();
    QVERIFY(GetValueFromSQL(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = 'iniover'"))
                .toString() != QLatin1String("9"));
    BeginTrans();
    ExecuteSQL(QStringLiteral("UPDATE T_Gbl_SysDataCw SET SubValue = ? WHERE SubName = 'iniover'"),
               {QStringLiteral("9")});
    CommitTrans();
    QCOMPARE(GetValueFromSQL(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = 'iniover'"))
                 .toString(),
             QStringLiteral("9"));
    QVERIFY(!InTransaction());
}

void TestServices::secondBeginTransRefused()
{
    BeginTrans();
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, BeginTrans());
    QVERIFY(InTransaction());
    RollBackTrans();
    QVERIFY(!InTransaction());
}

void TestServices::transactionScopeRollsBackOnException()
{
    try {
        TTransaction trans;
        ExecuteSQL(QStringLiteral("UPDATE T_Gbl_MessageList SET DisPlayName = 'changed'"));
        throw std::runtime_error("step failed");
    } catch (const std::runtime_error &) {
    }
    QVERIFY(!InTransaction());
    QCOMPARE(GetValueFromSQL(
                 QStringLiteral("SELECT count(*) FROM T_Gbl_MessageList WHERE DisPlayName = 'changed'"))
                 .toInt(),
             0);
}

void TestServices::checkErrorShowsAndAborts()
{
    Udllmessageintf::CheckError(false, QStringLiteral("不应显示"));
    QVERIFY(FSet->Messages().Messages.isEmpty());
    QVERIFY_THROWS_EXCEPTION(EAbort, Udllmessageintf::CheckError(true, QStringLiteral("请先选择存货。")));
    QCOMPARE(FSet->Messages().Texts(), QStringList{QStringLiteral("请先选择存货。")});
    QCOMPARE(FSet->Messages().Messages.first().Type, TMessageBoxType::mtError);
}

void TestServices::sysConCacheLoadedFromTable()
{
    const int conId = FSet->Db().value(QStringLiteral("SELECT min(ConId) FROM T_Gbl_SysCon")).toInt();
    FSet->Db().exec(QStringLiteral("UPDATE T_Gbl_SysCon SET Stats = 1 WHERE ConId = ?"), {conId});
    FSet->System().ReloadSysCon();
    QVERIFY(Udllsystemintf::CheckSysCon(conId));
    FSet->Db().exec(QStringLiteral("UPDATE T_Gbl_SysCon SET Stats = 0 WHERE ConId = ?"), {conId});
    FSet->System().ReloadSysCon();
    QVERIFY(!Udllsystemintf::CheckSysCon(conId));
}

QTEST_MAIN(TestServices)
#include "tst_services.moc"
