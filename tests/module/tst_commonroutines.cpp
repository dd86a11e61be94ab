// Common routines against a real account set: system values, rights, message texts, periods,
// bill numbers and the tolerant parsers.

#include <QtTest>

#include "AccountDatabase.h"
#include "TestAccountSet.h"
#include "Udlldbservice.h"
#include "Udllsystemintf.h"
#include "uBasalMethod.h"
#include "uDllComm.h"
#include "uOrvaneCommon.h"
#include "uTransformFunc.h"

using namespace uOrvaneCommon;

class TestCommonRoutines : public QObject
{
    Q_OBJECT

private slots:
    void init() { FSet = std::make_unique<TestAccountSet>(); }
    void cleanup() { FSet.reset(); }

    void strToIntLoose_data();
    void strToIntLoose();
    void strToFloatLoose_data();
    void strToFloatLoose();
    void formatPeriodText_data();
    void formatPeriodText();
    void priceFormat_data();
    void priceFormat();

    void sysValueRoundTrip();
    void sysConStatsUpdatesRowAndCache();
    void managerRightsString();
    void operatorRightsFromGroupAndPlugIn();
    void hasRightByLimitNoAndClickName();
    void hasLimitPowerAt();
    void detailFlagsKeepTrueEntries();
    void messageTextByAbsoluteNumber();
    void periodDatesFallBackToLogOnDate();
    void anySysCon134To138FollowsEdition();
    void billNumbersRestartByRule_data();
    void billNumbersRestartByRule();

private:
    void AddOperatorWithGroup(const QString &userId, int groupId);
    std::unique_ptr<TestAccountSet> FSet;
};

void TestCommonRoutines::strToIntLoose_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("blanks then digits then letters") << "  12ab" << 12;
    QTest::newRow("letters only") << "ab" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("blanks only") << "   " << 0;
    QTest::newRow("plain") << "202405" << 202405;
    QTest::newRow("sign is not a digit") << "-5" << 0;
}

void TestCommonRoutines::strToIntLoose()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(uTransformFunc::StrToIntLoose(text), expected);
}

void TestCommonRoutines::strToFloatLoose_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("format");
    QTest::addColumn<double>("expected");
    QTest::newRow("blank then negative, 4 places") << " -1.23456"
                                                   << "0.0000" << -1.2346;
    QTest::newRow("second point stops") << "1.2.3"
                                        << "0.0000" << 1.2;
    QTest::newRow("exponent") << "2e3"
                              << "0.0000" << 2000.0;
    QTest::newRow("exponent with sign") << "1.5E-2"
                                        << "0.0000" << 0.015;
    QTest::newRow("exponent letter first") << "e5"
                                           << "0.0000" << 0.0;
    QTest::newRow("letter without digits after") << "3e"
                                                 << "0.0000" << 3.0;
    QTest::newRow("blank") << "  "
                           << "0.0000" << 0.0;
    QTest::newRow("minus only") << "-"
                                << "0.0000" << 0.0;
    QTest::newRow("two places half away from zero") << "2.675"
                                                    << "0.00" << 2.68;
    QTest::newRow("trailing text") << "12.5kg"
                                   << "0.00" << 12.5;
}

void TestCommonRoutines::strToFloatLoose()
{
    QFETCH(QString, text);
    QFETCH(QString, format);
    QFETCH(double, expected);
    QCOMPARE(uTransformFunc::StrToFloatLoose(text, format), expected);
}

void TestCommonRoutines::formatPeriodText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("valid") << "200401"
                           << "2004年01月";
    QTest::newRow("december") << "202412"
                              << "2024年12月";
    QTest::newRow("month 13 unchanged") << "200413"
                                        << "200413";
    QTest::newRow("month 0 unchanged") << "200400"
                                       << "200400";
    QTest::newRow("year before 1900 unchanged") << "189912"
                                                << "189912";
    QTest::newRow("empty period text") << "0年00月"
                                       << "";
    QTest::newRow("not a number") << "abc"
                                  << "abc";
    QTest::newRow("five digits") << "20041"
                                 << "20041";
}

void TestCommonRoutines::formatPeriodText()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(uTransformFunc::FormatPeriodText(text), expected);
}

void TestCommonRoutines::priceFormat_data()
{
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("expected");
    QTest::newRow("4 -> 6 places") << 4 << "0.000000";
    QTest::newRow("5") << 5 << "0.00000";
    QTest::newRow("6") << 6 << "0.000000";
    QTest::newRow("7") << 7 << "0.0000000";
    QTest::newRow("8") << 8 << "0.00000000";
    QTest::newRow("9 -> 6 places") << 9 << "0.000000";
}

void TestCommonRoutines::priceFormat()
{
    QFETCH(int, decimals);
    QFETCH(QString, expected);
    FSet->System().SetPubDefaultDecimal(decimals);
    QCOMPARE(uBasalMethod::GetPriceFormat(), expected);
}

void TestCommonRoutines::sysValueRoundTrip()
{
    const QString tricky = QStringLiteral("x'); DROP TABLE T_Gbl_SysCon; --");
    SetSysValue(QStringLiteral("TestValue"), tricky);
    QCOMPARE(GetSysValue(QStringLiteral("TestValue")), tricky);
    SetSysValue(QStringLiteral("JxcPeriod"), QStringLiteral("7"));
    QCOMPARE(GetJxcPeriod(), 7);
    SetSysValue(QStringLiteral("iniover"), QStringLiteral("1"));
    QVERIFY(!IsIniNotOver());
    // Only the exact text "1" means opened; a value written past the checks is read as it is.
    Udlldbservice::ExecuteSQL(
        QStringLiteral("UPDATE T_Gbl_SysDataCw SET SubValue = ' 1' WHERE SubName = 'iniover'"));
    QVERIFY(IsIniNotOver());
    QCOMPARE(GetSysValue(QStringLiteral("NoSuchValue")), QString());
}

void TestCommonRoutines::sysConStatsUpdatesRowAndCache()
{
    const int conId = FSet->Db().value(QStringLiteral("SELECT min(ConId) FROM T_Gbl_SysCon")).toInt();
    const bool before = Udllsystemintf::CheckSysCon(conId);
    SetSysConStats(conId, !before);
    QCOMPARE(Udllsystemintf::CheckSysCon(conId), !before);
    QCOMPARE(
        FSet->Db().value(QStringLiteral("SELECT Stats FROM T_Gbl_SysCon WHERE ConId = ?"), {conId}).toInt(),
        before ? 0 : 1);
}

void TestCommonRoutines::AddOperatorWithGroup(const QString &userId, int groupId)
{
    auto &db = FSet->Db();
    db.exec(QStringLiteral("INSERT INTO \"group\" (ID, GroupName) VALUES (?, ?)"),
            {groupId, QStringLiteral("组")});
    db.exec(QStringLiteral("INSERT INTO Employee (TypeId, UserCode, FullName) VALUES (?, ?, ?)"),
            {userId, userId, QStringLiteral("操作员")});
    db.exec(QStringLiteral("INSERT INTO T_GBL_LoginUser (ETypeId) VALUES (?)"), {userId});
    db.exec(QStringLiteral("INSERT INTO UserToGroup (UserId, GroupId) VALUES (?, ?)"), {userId, groupId});
    FSet->ActAs(userId, false);
}

void TestCommonRoutines::managerRightsString()
{
    const QString rights = GetFunctionLimitString(1000);
    QCOMPARE(rights.size(), 151);
    QVERIFY(!rights.contains(QLatin1Char('0')));
}

void TestCommonRoutines::operatorRightsFromGroupAndPlugIn()
{
    auto &db = FSet->Db();
    AddOperatorWithGroup(QStringLiteral("0007"), 70);
    for (int detail : {2, 5, 9})
        db.exec(QStringLiteral("INSERT INTO T_Gbl_PowerRelation (LimitNo, DetailNo) VALUES (?, ?)"),
                {4321, detail});
    db.exec(
        QStringLiteral("INSERT INTO T_PlugIn_PowerRelation (Version, LimitNo, DetailNo) VALUES ('CS', ?, ?)"),
        {4321, 150});
    // Group row grants detail 2 only; a plug-in row of another version grants nothing.
    db.exec(QStringLiteral("INSERT INTO T_Gbl_UserPower (GroupId, LimitNo, LimitPower) VALUES (?, ?, ?)"),
            {70, 4321, QStringLiteral("01001")});
    db.exec(QStringLiteral("INSERT INTO T_PlugIn_UserPower (Version, GroupId, LimitNo, LimitPower) "
                           "VALUES ('XX', ?, ?, ?)"),
            {70, 4321, QString(150, QLatin1Char('1'))});
    QString rights = GetFunctionLimitString(4321);
    QCOMPARE(rights.size(), 150);
    QCOMPARE(rights.at(1), QLatin1Char('1')); // detail 2 granted
    QCOMPARE(rights.at(4), QLatin1Char('1')); // detail 5: position 5 of "01001"
    QCOMPARE(rights.at(8), QLatin1Char('0')); // detail 9: the power text is too short
    QCOMPARE(rights.at(149), QLatin1Char('0'));
    QCOMPARE(rights.at(0), QLatin1Char('1')); // detail 1 has no relation row: allowed

    // The CS plug-in row grants detail 150.
    db.exec(QStringLiteral("INSERT INTO T_PlugIn_UserPower (Version, GroupId, LimitNo, LimitPower) "
                           "VALUES ('CS', ?, ?, ?)"),
            {70, 4321, QString(149, QLatin1Char('0')) + QLatin1Char('1')});
    rights = GetFunctionLimitString(4321);
    QCOMPARE(rights.at(149), QLatin1Char('1'));
    QVERIFY(CheckLimitDetail2(4321));
    QVERIFY(CheckLimitDetail145(4321)); // no relation row for detail 145: allowed
}

void TestCommonRoutines::hasRightByLimitNoAndClickName()
{
    auto &db = FSet->Db();
    AddOperatorWithGroup(QStringLiteral("0008"), 80);
    QVERIFY(!HasRightByLimitNo(1330));
    db.exec(QStringLiteral("INSERT INTO T_PlugIn_UserPower (Version, GroupId, LimitNo, LimitPower) "
                           "VALUES ('CS', ?, ?, '')"),
            {80, 1330});
    QVERIFY(HasRightByLimitNo(1330));

    const QVariant clickNo = db.value(QStringLiteral("SELECT FunctionNo FROM T_Gbl_FunctionList "
                                                     "WHERE OnClick = ? AND Version IN ('e', 'em')"),
                                      {QStringLiteral("报警簿")});
    QVERIFY2(!clickNo.isNull(), "the function list holds the warning book");
    QVERIFY(!HasRightByClickName(QStringLiteral("报警簿")));
    db.exec(QStringLiteral("INSERT INTO T_Gbl_UserPower (GroupId, LimitNo, LimitPower) VALUES (?, ?, '')"),
            {80, clickNo});
    QVERIFY(HasRightByClickName(QStringLiteral("报警簿")));
    QVERIFY(!HasRightByClickName(QStringLiteral("报警簿' OR '1'='1")));
}

void TestCommonRoutines::hasLimitPowerAt()
{
    auto &db = FSet->Db();
    AddOperatorWithGroup(QStringLiteral("0009"), 90);
    db.exec(QStringLiteral("INSERT INTO T_Gbl_UserPower (GroupId, LimitNo, LimitPower) VALUES (?, ?, ?)"),
            {90, 555, QStringLiteral("001")});
    QVERIFY(HasLimitPowerAt(555, 3));
    QVERIFY(!HasLimitPowerAt(555, 2));
    QVERIFY(!HasLimitPowerAt(555, 4)); // text too short
    FSet->ActAs(QStringLiteral("0009"), true);
    QVERIFY(HasLimitPowerAt(555, 2));
}

void TestCommonRoutines::detailFlagsKeepTrueEntries()
{
    auto &db = FSet->Db();
    const int functionNo = db.value(QStringLiteral("SELECT min(FunctionNo) FROM T_Gbl_FunctionList")).toInt();
    db.exec(QStringLiteral("INSERT INTO T_Gbl_PowerRelation (LimitNo, DetailNo) VALUES (?, 3)"),
            {functionNo});
    TDetailFlags flags{};
    flags[7] = true;
    GetFunctionDetailFlags(functionNo, flags);
    QVERIFY(flags[3]);
    QVERIFY(flags[7]);
    QVERIFY(!flags[4]);
}

void TestCommonRoutines::messageTextByAbsoluteNumber()
{
    FSet->Db().exec(QStringLiteral("DELETE FROM T_Gbl_MessageList WHERE MessageNo = 5"));
    FSet->Db().exec(QStringLiteral("INSERT INTO T_Gbl_MessageList (MessageNo, DisPlayName) VALUES (5, ?)"),
                    {QStringLiteral("第五条")});
    QCOMPARE(GetMessageText(-5), QStringLiteral("第五条"));
    QCOMPARE(GetMessageText(5), QStringLiteral("第五条"));
    QCOMPARE(GetMessageText(987654), QString());
}

void TestCommonRoutines::periodDatesFallBackToLogOnDate()
{
    FSet->System().State().LogOnDate = QDate(2024, 3, 15);
    QString begin, end;
    QVERIFY(GetPeriodDates(9999, begin, end));
    QCOMPARE(begin, QStringLiteral("2024-03-15"));
    QCOMPARE(end, QStringLiteral("2024-03-15"));
    const int period = FSet->Db().value(QStringLiteral("SELECT min(Period) FROM T_Gbl_MonthProc")).toInt();
    QVERIFY(GetPeriodDates(period, begin, end));
    QCOMPARE(begin, QStringLiteral("%1-%2-01").arg(period / 100).arg(period % 100, 2, 10, QLatin1Char('0')));
    QCOMPARE(GetPeriodEndDate(period), end);
}

void TestCommonRoutines::anySysCon134To138FollowsEdition()
{
    FSet->System().SetOneSysCon(136, true);
    uDllComm::DllParams.PubVersion2 = 2680;
    QVERIFY(!AnySysCon134To138());
    uDllComm::DllParams.PubVersion2 = 3680;
    QVERIFY(AnySysCon134To138());
    FSet->System().SetOneSysCon(136, false);
    for (int c = 134; c <= 138; ++c)
        FSet->System().SetOneSysCon(c, false);
    QVERIFY(!AnySysCon134To138());
    uDllComm::DllParams.PubVersion2 = 6680;
}

void TestCommonRoutines::billNumbersRestartByRule_data()
{
    QTest::addColumn<QString>("lex1");
    QTest::addColumn<QString>("lex3");
    QTest::addColumn<QStringList>("dates");
    QTest::addColumn<QStringList>("sequences"); // the last five digits of each number taken
    const QStringList dates{"2024-01-30", "2024-01-31", "2024-02-01", "2024-02-01", "2025-01-01"};
    QTest::newRow("yearly per type") << "0"
                                     << "0" << dates
                                     << QStringList{"00001", "00002", "00003", "00004", "00001"};
    QTest::newRow("monthly per type")
        << "0"
        << "1" << dates << QStringList{"00001", "00002", "00001", "00002", "00001"};
    QTest::newRow("daily per type") << "0"
                                    << "2" << dates
                                    << QStringList{"00001", "00001", "00001", "00002", "00001"};
    QTest::newRow("all bills yearly")
        << "1"
        << "0" << dates << QStringList{"00001", "00002", "00003", "00004", "00001"};
}

void TestCommonRoutines::billNumbersRestartByRule()
{
    QFETCH(QString, lex1);
    QFETCH(QString, lex3);
    QFETCH(QStringList, dates);
    QFETCH(QStringList, sequences);
    SetSysValue(QStringLiteral("SNLex1"), lex1);
    SetSysValue(QStringLiteral("SNLex3"), lex3);
    const int vchType =
        FSet->Db().value(QStringLiteral("SELECT min(Vchtype) FROM T_GBL_Vchtype WHERE Vchtype > 0")).toInt();
    for (int i = 0; i < dates.size(); ++i) {
        QString preview, taken;
        QVERIFY(GetVchNumber(0, vchType, dates[i], preview, QString()));
        QVERIFY(GetVchNumber(1, vchType, dates[i], taken, QString()));
        QCOMPARE(taken, preview);
        QVERIFY2(taken.endsWith(sequences[i]), qPrintable(taken));
        QVERIFY2(taken.contains(dates[i].left(4)), qPrintable(taken));
    }
    QString none;
    QVERIFY(!GetVchNumber(1, 99999999, dates[0], none, QString()));
    QVERIFY(!GetVchNumber(1, vchType, QStringLiteral("2024-13-01"), none, QString()));
    QVERIFY(GetVchNumber(vchType, dates[0]));
}

QTEST_MAIN(TestCommonRoutines)
#include "tst_commonroutines.moc"
