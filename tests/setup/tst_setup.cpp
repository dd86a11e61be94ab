#include "tst_setup.h"

#include <QProcess>
#include <QtTest>

#include "AccountDatabase.h"
#include "Udlldbservice.h"
#include "uDllComm.h"
#include "uIniConfigCore.h"
#include "uOrvaneCommon.h"

using namespace uIniConfigCore;

namespace {
QDate D(const char *text)
{
    return QDate::fromString(QLatin1String(text), QStringLiteral("yyyy-MM-dd"));
}
} // namespace

void TstSetup::init()
{
    FSet = std::make_unique<TestAccountSet>();
    uDllComm::DllParams.PubMainVersionNo = QStringLiteral("17.0");
}

void TstSetup::cleanup()
{
    FSet.reset();
}

QVariant TstSetup::Value(const QString &sql, const QVariantList &params)
{
    return FSet->Db().value(sql, params);
}

void TstSetup::Exec(const QString &sql, const QVariantList &params)
{
    FSet->Db().exec(sql, params);
}

QString TstSetup::Sys(const QString &name)
{
    return uOrvaneCommon::GetSysValue(name);
}

QString TstSetup::Chart()
{
    QStringList lines;
    QSqlQuery q = FSet->Db().exec(QStringLiteral(
        "SELECT typeId, parid, leveal, sonnum, UserCode, FullName FROM Atypecw ORDER BY typeId"));
    while (q.next())
        lines << QStringLiteral("%1|%2|%3|%4|%5|%6")
                     .arg(q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                          q.value(3).toString(), q.value(4).toString(), q.value(5).toString());
    return lines.join(u'\n');
}

int TstSetup::Proc(const QString &name, const QStringList &names, const QVariantList &values)
{
    return Udlldbservice::ExecuteProcByName(name, names, values);
}

void TstSetup::changeTrade_data()
{
    QTest::addColumn<int>("trade");
    QTest::addColumn<bool>("vouchers");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("probe"); // code of an account the chart must (not) hold afterwards
    QTest::addColumn<QString>("name");

    QTest::newRow("small enterprises") << 1 << false << 0 << "5001"
                                       << "主营业务收入";
    QTest::newRow("enterprises") << 2 << false << 0 << "6001"
                                 << "主营业务收入";
    QTest::newRow("unknown trade") << 99 << false << -1 << "6001"
                                   << "";
    QTest::newRow("chart used by vouchers") << 2 << true << -2 << "6001"
                                            << "";
}

void TstSetup::changeTrade()
{
    QFETCH(int, trade);
    QFETCH(bool, vouchers);
    QFETCH(int, result);
    QFETCH(QString, probe);
    QFETCH(QString, name);
    QCOMPARE(Proc(QStringLiteral("P_GBL_ChangeTrade;1"), {QStringLiteral("@prm_TradeID")}, {1}), 0);
    uOrvaneCommon::SetSysValue(QStringLiteral("ATypeIDLength5"), QStringLiteral("0"));
    if (vouchers)
        Exec(QStringLiteral(
            "INSERT INTO T_CW_DlyNdx (Vchcode, Period, Date, Number) VALUES (1, 1, '2026-01-31', 1)"));
    const QString before = Chart();

    QCOMPARE(Proc(QStringLiteral("P_GBL_ChangeTrade;1"), {QStringLiteral("@prm_TradeID")}, {trade}), result);
    if (result < 0) {
        QCOMPARE(Chart(), before);
        QCOMPARE(Sys(QStringLiteral("ATypeIDLength5")), QStringLiteral("0"));
        return;
    }
    QCOMPARE(Value(QStringLiteral("SELECT FullName FROM Atypecw WHERE UserCode = ?"), {probe}).toString(),
             name);
    QCOMPARE(Sys(QStringLiteral("TradeID")), QString::number(trade));
    QCOMPARE(Value(QStringLiteral("SELECT count(*) FROM Atypecw")).toInt(),
             Value(QStringLiteral("SELECT count(*) FROM TradeAtypeCW WHERE TradeID = ?"), {trade}).toInt());
    // Every account hangs under an account of the level above with the parent's code as prefix.
    QCOMPARE(Value(QStringLiteral("SELECT count(*) FROM Atypecw a LEFT JOIN Atypecw p ON p.typeId = a.parid "
                                  "WHERE a.leveal > 1 AND (p.typeId IS NULL OR p.leveal <> a.leveal - 1 "
                                  "OR substr(a.UserCode, 1, length(p.UserCode)) <> p.UserCode)"))
                 .toInt(),
             0);
    QCOMPARE(Sys(QStringLiteral("ATypeIDLength5")), QStringLiteral("2"));
}

void TstSetup::codeLengthChange_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("length");
    QTest::addColumn<QStringList>("extra"); // "parent code|code|name" added to the chart first
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("codes"); // "old code=new code" afterwards

    QTest::newRow("level 2 padded") << 2 << 3 << QStringList() << 0
                                    << QStringList{"2221=2221", "222101=2221001", "22210104=222100104"};
    QTest::newRow("level 3 cut of its zero")
        << 3 << 1 << QStringList() << 0 << QStringList{"222101=222101", "22210104=2221014"};
    QTest::newRow("level 9 without accounts")
        << 9 << 4 << QStringList() << 0 << QStringList{"22210104=22210104"};
    QTest::newRow("cut would lose a digit")
        << 3 << 1 << QStringList{"222101|22210110|其他"} << -5 << QStringList{"22210110=22210110"};
    QTest::newRow("two accounts on one code")
        << 2 << 1 << QStringList{"2221|22211|旧编码"} << -5 << QStringList{"222101=222101"};
    QTest::newRow("level 1 is not changed here") << 1 << 3 << QStringList() << -1 << QStringList{"2221=2221"};
}

void TstSetup::codeLengthChange()
{
    QFETCH(int, level);
    QFETCH(int, length);
    QFETCH(QStringList, extra);
    QFETCH(int, result);
    QFETCH(QStringList, codes);
    QCOMPARE(Proc(QStringLiteral("P_GBL_ChangeTrade"), {QStringLiteral("@prm_TradeID")}, {1}), 0);
    for (const QString &row : std::as_const(extra)) {
        const QStringList f = row.split(u'|');
        const QString parent =
            Value(QStringLiteral("SELECT typeId FROM Atypecw WHERE UserCode = ?"), {f[0]}).toString();
        Exec(QStringLiteral("INSERT INTO Atypecw (typeId, parid, leveal, UserCode, FullName) "
                            "SELECT ? || '99999', typeId, leveal + 1, ?, ? FROM Atypecw WHERE typeId = ?"),
             {parent, f[1], f[2], parent});
    }
    const QString before = Chart();
    QMap<QString, QString> typeIds;
    for (const QString &pair : std::as_const(codes)) {
        const QString old = pair.section(u'=', 0, 0);
        typeIds.insert(
            old, Value(QStringLiteral("SELECT typeId FROM Atypecw WHERE UserCode = ?"), {old}).toString());
    }

    QCOMPARE(Proc(QStringLiteral("P_CW_AtypeLenManager;1"),
                  {QStringLiteral("@btCustom01"), QStringLiteral("@btCustom02")}, {level, length}),
             result);
    if (result < 0) {
        QCOMPARE(Chart(), before); // byte for byte
        return;
    }
    for (const QString &pair : std::as_const(codes))
        QCOMPARE(Value(QStringLiteral("SELECT UserCode FROM Atypecw WHERE typeId = ?"),
                       {typeIds.value(pair.section(u'=', 0, 0))})
                     .toString(),
                 pair.section(u'=', 1));
    QCOMPARE(Sys(QStringLiteral("ATypeIDLength%1").arg(level)), QString::number(length));
    // The lengths in use follow the chart.
    TParamList out;
    Udlldbservice::ExecuteProcByName(QStringLiteral("P_GBL_GetAtypeUserCodeLength"),
                                     {QStringLiteral("@Custom%1").arg(level)}, {0}, &out);
    QCOMPARE(out.ParamByName(QStringLiteral("@Custom%1").arg(level)).toInt(), length);
}

void TstSetup::customMonth_data()
{
    QTest::addColumn<QStringList>("calls"); // "mode period start end" with the year 2030
    QTest::addColumn<int>("result");        // of the last call
    QTest::addColumn<int>("rows");          // calendar rows of 2030 afterwards

    QTest::newRow("delete and insert") << QStringList{"D 0", "I 1 2030/01/01 2030/01/31"} << 0 << 1;
    QTest::newRow("reversed dates") << QStringList{"D 0", "I 1 2030/01/31 2030/01/01"} << -2 << 0;
    QTest::newRow("period 13") << QStringList{"D 0", "I 13 2030/01/01 2030/01/31"} << -2 << 0;
    QTest::newRow("overlap") << QStringList{"D 0", "I 1 2030/01/01 2030/01/31", "I 2 2030/01/31 2030/02/28"}
                             << -3 << 1;
    QTest::newRow("period twice") << QStringList{"D 0", "I 1 2030/01/01 2030/01/31",
                                                 "I 1 2030/02/01 2030/02/28"}
                                  << -4 << 1;
    QTest::newRow("nothing stored") << QStringList{"D 0", "S 0"} << -1 << 0;
}

void TstSetup::customMonth()
{
    QFETCH(QStringList, calls);
    QFETCH(int, result);
    QFETCH(int, rows);
    int last = 0;
    for (const QString &call : std::as_const(calls)) {
        const QStringList f = call.split(u' ');
        last = Proc(QStringLiteral("P_GBL_CustomMonth"),
                    {QStringLiteral("@sMode"), QStringLiteral("@Period"), QStringLiteral("@StartDate"),
                     QStringLiteral("@EndDate"), QStringLiteral("@lYear")},
                    {f[0], f[1].toInt(), f.value(2), f.value(3), QStringLiteral("2030")});
    }
    QCOMPARE(last, result);
    QCOMPARE(Value(QStringLiteral("SELECT count(*) FROM T_Gbl_MonthProc WHERE Year = 2030")).toInt(), rows);
    // Before the account set is opened the calendar begins with the year set up: nothing else is left.
    QCOMPARE(Value(QStringLiteral("SELECT count(*) FROM T_Gbl_MonthProc WHERE Year <> 2030")).toInt(), 0);
}

void TstSetup::dateEdit_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("start");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QStringList>("expected"); // "row start end", rows 0-based

    QTest::newRow("first start mid-month: natural months")
        << 2026 << 0 << true << D("2026-01-15") << true
        << QStringList{"0 2026-01-15 2026-01-31", "1 2026-02-01 2026-02-28", "11 2026-12-01 2026-12-31"};
    QTest::newRow("end on a month end: natural months below")
        << 2026 << 2 << false << D("2026-04-30") << true
        << QStringList{"2 2026-03-01 2026-04-30", "3 2026-05-01 2026-05-31", "11 2027-01-01 2027-01-31"};
    QTest::newRow("end mid-month: same-day months")
        << 2026 << 0 << false << D("2026-01-25") << true
        << QStringList{"1 2026-01-26 2026-02-25", "2 2026-02-26 2026-03-25", "11 2026-11-26 2026-12-25"};
    QTest::newRow("same-day month ends at a shorter month's end")
        << 2026 << 0 << false << D("2026-01-30") << true
        << QStringList{"1 2026-01-31 2026-02-28", "2 2026-03-01 2026-03-28"};
    QTest::newRow("past 2099 undone") << 2099 << 0 << true << D("2099-02-01") << false
                                      << QStringList{"0 2099-01-01 2099-01-31", "11 2099-12-01 2099-12-31"};
}

void TstSetup::dateEdit()
{
    QFETCH(int, year);
    QFETCH(int, row);
    QFETCH(bool, start);
    QFETCH(QDate, date);
    QFETCH(bool, accepted);
    QFETCH(QStringList, expected);
    TPeriodRows rows = NaturalMonths(year);
    QCOMPARE(ApplyDateEdit(rows, row, start, date), accepted);
    for (const QString &e : std::as_const(expected)) {
        const QStringList f = e.split(u' ');
        const TPeriodRow &r = rows[f[0].toInt()];
        QCOMPARE(r.Start, D(qPrintable(f[1])));
        QCOMPARE(r.End, D(qPrintable(f[2])));
    }
}

void TstSetup::dayCount_data()
{
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QDate>("end");
    QTest::addColumn<int>("days");
    QTest::newRow("January") << D("2024-01-01") << D("2024-01-31") << 31;
    QTest::newRow("one day") << D("2024-03-05") << D("2024-03-05") << 1;
    QTest::newRow("leap February") << D("2024-02-01") << D("2024-02-29") << 29;
    QTest::newRow("end before start") << D("2024-01-31") << D("2024-01-01") << -31;
    QTest::newRow("no date") << QDate() << D("2024-01-01") << 0;
}

void TstSetup::dayCount()
{
    QFETCH(QDate, start);
    QFETCH(QDate, end);
    QFETCH(int, days);
    QCOMPARE(DayCount(start, end), days);
}

void TstSetup::codeLengthCell_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("sum");
    QTest::addColumn<QString>("message");
    QTest::newRow("level 1 of 3") << 4 << 3 << 19 << "";
    QTest::newRow("level 1 of 5") << 4 << 5 << 21 << kLevel1Length;
    QTest::newRow("level 2 of 0") << 5 << 0 << 18 << kLevelLength;
    QTest::newRow("level 2 of 6") << 5 << 6 << 24 << kLevelLength;
    QTest::newRow("28 in all") << 12 << 1 << 28 << kTotalLength;
    QTest::newRow("25 in all") << 12 << 1 << 25 << "";
}

void TstSetup::codeLengthCell()
{
    QFETCH(int, column);
    QFETCH(int, value);
    QFETCH(int, sum);
    QFETCH(QString, message);
    QCOMPARE(CodeLengthCellProblem(column, value, sum), message);
}

void TstSetup::adminInit_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text"); // in the output
    QTest::addColumn<QString>("openPeriod");

    const QStringList base = {"--company", "测试公司", "--trade",        "1",
                              "--year",    "2026",     "--start-period", "7"};
    QTest::newRow("set up") << base + QStringList{"--code-lengths", "4-2-2"} << 0 << "开账期间 2026年07月"
                            << "202607";
    QTest::newRow("unknown trade") << QStringList{"--company",      "测试公司", "--trade",        "9",
                                                  "--year",         "2026",     "--start-period", "7",
                                                  "--code-lengths", "4-2-2"}
                                   << 1 << "企业类别“9”不存在"
                                   << "";
    QTest::newRow("level 1 of 5") << base + QStringList{"--code-lengths", "5-2-2"} << 1 << kLevel1Length
                                  << "";
    QTest::newRow("level 2 of 0") << base + QStringList{"--code-lengths", "4-0-2"} << 1 << kLevelLength << "";
    QTest::newRow("28 in all") << base + QStringList{"--code-lengths", "4-5-5-5-5-1-1-1-1"} << 1
                               << kTotalLength << "";
    QTest::newRow("year 2100") << QStringList{"--company",      "测试公司", "--trade",        "1",
                                              "--year",         "2100",     "--start-period", "7",
                                              "--code-lengths", "4-2-2"}
                               << 1 << "会计年度"
                               << "";
    QTest::newRow("opened already") << base + QStringList{"--code-lengths", "4-2-2", "opened"} << 1
                                    << kOpenedAlready << "";
}

void TstSetup::adminInit()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QString, text);
    QFETCH(QString, openPeriod);
    const bool opened = args.removeAll(QStringLiteral("opened")) > 0;
    if (opened)
        uOrvaneCommon::SetSysValue(QStringLiteral("iniover"), QStringLiteral("1"));
    const QString path = FSet->Path();
    QProcess admin;
    admin.start(QStringLiteral(ORVANE_ADMIN_PATH), QStringList{"init", "--db", path} + args);
    QVERIFY(admin.waitForFinished(60000));
    const QString output = QString::fromUtf8(admin.readAllStandardOutput() + admin.readAllStandardError());
    QVERIFY2(output.contains(text), qPrintable(output));
    QCOMPARE(admin.exitCode(), code);

    accountdb::AccountDatabase *db = &FSet->Db();
    const auto sys = [&db](const char *name) {
        return db
            ->value(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = ?"),
                    {QLatin1String(name)})
            .toString();
    };
    if (code != 0) {
        // A refusal leaves the account set as it was.
        QCOMPARE(sys("InitSetup"), QString());
        QCOMPARE(db->value(QStringLiteral("SELECT count(*) FROM Atypecw")).toInt(), 0);
        return;
    }
    QCOMPARE(sys("InitSetup"), QStringLiteral("T"));
    QCOMPARE(sys("OpenPeriod"), openPeriod);
    QCOMPARE(sys("companyfullname"), QStringLiteral("测试公司"));
    QCOMPARE(db->value(QStringLiteral("SELECT count(*) FROM T_Gbl_MonthProc WHERE Year = 2026")).toInt(), 12);
    QCOMPARE(db->value(QStringLiteral("SELECT FullName FROM Atypecw WHERE UserCode = '1405'")).toString(),
             QStringLiteral("库存商品"));
}

QTEST_MAIN(TstSetup)
