// Run-time library routines: rounding, the in-memory dataset and procedure parameter lists.

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

#include "ClientDataSet.h"
#include "Kvbasicfun.h"
#include "ParamList.h"
#include "QuillExceptions.h"

class TestRuntime : public QObject
{
    Q_OBJECT

private slots:
    void backupPath_data();
    void backupPath();
    void floatToFloatBit_data();
    void floatToFloatBit();
    void floatToStringBit_data();
    void floatToStringBit();
    void doubleToString_data();
    void doubleToString();

    void dataSetNavigation();
    void dataSetFieldConversions_data();
    void dataSetFieldConversions();
    void dataSetUnknownField();
    void dataSetFilter();
    void dataSetDelete();
    void dataSetEdit();
    void dataSetSort();
    void dataSetLocate();
    void dataSetAddField();
    void paramList();
};

// ---------------------------------------------------------------------------------------------
// Rounding

void TestRuntime::floatToFloatBit_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("places");
    QTest::addColumn<double>("expected");

    QTest::newRow("1.005") << 1.005 << 2 << 1.01;
    QTest::newRow("-2.675") << -2.675 << 2 << -2.68;
    QTest::newRow("2.675") << 2.675 << 2 << 2.68;
    QTest::newRow("0.125") << 0.125 << 2 << 0.13;
    QTest::newRow("large") << 1234567.8951 << 2 << 1234567.9;
    QTest::newRow("large negative") << -1234567.895 << 2 << -1234567.9;
    QTest::newRow("no places half") << 2.5 << 0 << 3.0;
    QTest::newRow("no places negative half") << -2.5 << 0 << -3.0;
    QTest::newRow("no places huge") << 1e15 + 0.5 << 0 << 1e15 + 1;
    QTest::newRow("four places") << 1.23456789 << 4 << 1.2346;
    QTest::newRow("four places negative") << -0.00005 << 4 << -0.0001;
    QTest::newRow("four places to zero") << 0.00004 << 4 << 0.0;
    QTest::newRow("tiny negative") << -0.001 << 2 << 0.0;
}

void TestRuntime::floatToFloatBit()
{
    QFETCH(double, value);
    QFETCH(int, places);
    QFETCH(double, expected);
    const double result = Kvbasicfun::FloatToFloatBit(value, places);
    QCOMPARE(result, expected);
    QVERIFY(!(result == 0.0 && std::signbit(result))); // never -0
}

void TestRuntime::floatToStringBit_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("places");
    QTest::addColumn<QString>("expected");

    QTest::newRow("tiny negative") << -0.001 << 2 << "0.00";
    QTest::newRow("1.005") << 1.005 << 2 << "1.01";
    QTest::newRow("-2.675") << -2.675 << 2 << "-2.68";
    QTest::newRow("carry") << 99.995 << 2 << "100.00";
    QTest::newRow("large") << 123456789012.345 << 2 << "123456789012.35";
    QTest::newRow("no places") << 5.0 << 0 << "5";
    QTest::newRow("no places half") << 0.5 << 0 << "1";
    QTest::newRow("four places") << 1.23456 << 4 << "1.2346";
    QTest::newRow("four places negative zero") << -1e-10 << 4 << "0.0000";
    QTest::newRow("pads zeros") << 3.1 << 4 << "3.1000";
}

void TestRuntime::floatToStringBit()
{
    QFETCH(double, value);
    QFETCH(int, places);
    QFETCH(QString, expected);
    QCOMPARE(Kvbasicfun::FloatToStringBit(value, places), expected);
}

void TestRuntime::doubleToString_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("shortest round trip") << 0.1 + 0.2 << "0.30000000000000004";
    QTest::newRow("fraction") << -2.5 << "-2.5";
    QTest::newRow("whole") << 100.0 << "100";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("no exponent") << 1e15 << "1000000000000000";
}

void TestRuntime::doubleToString()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(Kvbasicfun::DoubleToString(value), expected);
}

// ---------------------------------------------------------------------------------------------
// TClientDataSet

namespace {
// ID, Name, Qty: (1, "ann", 2), (2, "bob", 0.5), (3, "cy", 7)
void FillPeople(TClientDataSet &ds)
{
    ds.SetFieldNames({"ID", "Name", "Qty"});
    ds.AppendRow({1, "ann", 2});
    ds.AppendRow({2, "bob", 0.5});
    ds.AppendRow({3, "cy", 7});
}

QStringList Names(TClientDataSet &ds)
{
    QStringList names;
    for (ds.First(); !ds.Eof(); ds.Next())
        names << ds.FieldByName("Name").AsString();
    return names;
}
} // namespace

void TestRuntime::dataSetNavigation()
{
    TClientDataSet ds;
    FillPeople(ds);
    QCOMPARE(ds.RecordCount(), 3);
    ds.First();
    QVERIFY(ds.Bof());
    QCOMPARE(ds.RecNo(), 1);
    QCOMPARE(Names(ds), QStringList({"ann", "bob", "cy"}));
    QVERIFY(ds.Eof());
    ds.Next(); // past the end stays at the end
    QVERIFY(ds.Eof());
    ds.Last();
    QCOMPARE(ds.FieldByName("ID").AsInteger(), 3);
    ds.Prior();
    QCOMPARE(ds.FieldByName("ID").AsInteger(), 2);

    TClientDataSet empty(QStringList{"A"});
    empty.First();
    QVERIFY(empty.Eof());
    QVERIFY(empty.IsEmpty());
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, empty.FieldByName("A").AsString());
}

void TestRuntime::dataSetFieldConversions_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("asString");
    QTest::addColumn<int>("asInteger");
    QTest::addColumn<double>("asFloat");
    QTest::addColumn<bool>("asBoolean");
    QTest::addColumn<bool>("isNull");

    QTest::newRow("integer") << QVariant(5) << "5" << 5 << 5.0 << true << false;
    QTest::newRow("number text") << QVariant(" 12 ") << " 12 " << 12 << 12.0 << true << false;
    QTest::newRow("float") << QVariant(2.25) << "2.25" << 2 << 2.25 << true << false;
    QTest::newRow("null") << QVariant() << "" << 0 << 0.0 << false << true;
    QTest::newRow("true text") << QVariant("True") << "True" << 0 << 0.0 << true << false;
    QTest::newRow("zero text") << QVariant("0") << "0" << 0 << 0.0 << false << false;
    QTest::newRow("boolean") << QVariant(true) << "true" << 1 << 1.0 << true << false;
}

void TestRuntime::dataSetFieldConversions()
{
    QFETCH(QVariant, stored);
    TClientDataSet ds(QStringList{"Value"});
    ds.AppendRow({stored});
    const TField field = ds.FieldByName("value"); // names compare without case
    QTEST(field.AsString(), "asString");
    QTEST(field.AsInteger(), "asInteger");
    QTEST(field.AsFloat(), "asFloat");
    QTEST(field.AsBoolean(), "asBoolean");
    QTEST(field.IsNull(), "isNull");
}

void TestRuntime::dataSetUnknownField()
{
    TClientDataSet ds;
    FillPeople(ds);
    ds.First();
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, ds.FieldByName("Missing"));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, ds.Value("Missing"));
    QVERIFY(!ds.Locate("Missing", 1));
}

void TestRuntime::dataSetFilter()
{
    TClientDataSet ds;
    FillPeople(ds);
    ds.SetFilter([](const TClientDataSet &d, const TClientDataSet::Row &row) {
        return d.ValueIn(row, "Qty").toDouble() >= 1;
    });
    QCOMPARE(ds.RecordCount(), 3); // not yet filtered
    ds.SetFiltered(true);
    QCOMPARE(ds.RecordCount(), 2);
    QCOMPARE(Names(ds), QStringList({"ann", "cy"}));
    QCOMPARE(ds.RowCountAll(), 3);
    ds.SetFiltered(false);
    QCOMPARE(Names(ds), QStringList({"ann", "bob", "cy"}));
}

void TestRuntime::dataSetDelete()
{
    TClientDataSet ds;
    FillPeople(ds);
    ds.First();
    ds.Next();
    ds.Delete(); // bob
    QCOMPARE(ds.RecordCount(), 2);
    QCOMPARE(ds.FieldByName("Name").AsString(), QStringLiteral("cy")); // the row that followed
    ds.Delete();                                                       // the last row
    QVERIFY(ds.Eof());
    QCOMPARE(Names(ds), QStringList({"ann"}));

    // Deleting every row while walking from the first.
    FillPeople(ds);
    ds.First();
    while (!ds.Eof())
        ds.Delete();
    QVERIFY(ds.IsEmpty());
    ds.Delete(); // nothing to delete: no effect
    QCOMPARE(ds.RowCountAll(), 0);

    // Under a filter the hidden rows survive.
    FillPeople(ds);
    ds.SetFilter([](const TClientDataSet &d, const TClientDataSet::Row &row) {
        return d.ValueIn(row, "ID").toInt() != 2;
    });
    ds.SetFiltered(true);
    ds.First();
    ds.Delete(); // ann
    ds.SetFiltered(false);
    QCOMPARE(Names(ds), QStringList({"bob", "cy"}));
}

void TestRuntime::dataSetEdit()
{
    TClientDataSet ds;
    FillPeople(ds);
    ds.First();
    ds.Next();
    ds.FieldByName("Qty").SetAsFloat(4.5);
    ds.SetValue("name", "bea");
    ds.Append();
    QCOMPARE(ds.RecordCount(), 4);
    QVERIFY(ds.FieldByName("ID").IsNull());
    ds.FieldByName("ID").SetAsInteger(9);
    ds.FieldByName("Name").SetAsString("dee");
    ds.First();
    ds.Next();
    QCOMPARE(ds.FieldByName("Qty").AsFloat(), 4.5);
    QCOMPARE(ds.FieldByName("Name").AsString(), QStringLiteral("bea"));
    QCOMPARE(Names(ds), QStringList({"ann", "bea", "cy", "dee"}));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, ds.SetValue("Name", "x")); // at Eof: no current row
}

void TestRuntime::dataSetSort()
{
    TClientDataSet ds(QStringList{"A", "B", "Seq"});
    ds.AppendRow({2, "x", 1});
    ds.AppendRow({1, "y", 2});
    ds.AppendRow({2, "a", 3});
    ds.AppendRow({1, "y", 4});
    ds.AppendRow({QVariant(), "z", 5});
    ds.AppendRow({1.5, "b", 6});
    const auto seqs = [&] {
        QList<int> out;
        for (ds.First(); !ds.Eof(); ds.Next())
            out << ds.FieldByName("Seq").AsInteger();
        return out;
    };
    ds.SetIndexFieldNames("A;B");
    // Nulls first, numbers by value (1.5 between 1 and 2), equal keys keep their order (2 before 4).
    QCOMPARE(seqs(), QList<int>({5, 2, 4, 6, 3, 1}));
    ds.SetIndexFieldNames("b");
    QCOMPARE(seqs(), QList<int>({3, 6, 1, 2, 4, 5}));
    ds.SetIndexFieldNames("");
    QCOMPARE(seqs(), QList<int>({1, 2, 3, 4, 5, 6}));
    // A row appended to a sorted dataset takes its sorted place and becomes current.
    ds.SetIndexFieldNames("A;B");
    ds.AppendRow({1, "a", 7});
    QCOMPARE(ds.RecNo(), 2);
    QCOMPARE(ds.FieldByName("Seq").AsInteger(), 7);
}

void TestRuntime::dataSetLocate()
{
    TClientDataSet ds;
    FillPeople(ds);
    ds.First();
    QVERIFY(ds.Locate("Name", "cy"));
    QCOMPARE(ds.RecNo(), 3);
    QVERIFY(!ds.Locate("Name", "CY")); // exact by default; the cursor stays
    QCOMPARE(ds.RecNo(), 3);
    QVERIFY(ds.Locate("name", "BOB", true));
    QCOMPARE(ds.FieldByName("ID").AsInteger(), 2);
    QVERIFY(ds.Locate("Qty", 2.0)); // 2 stored as integer
    QCOMPARE(ds.FieldByName("Name").AsString(), QStringLiteral("ann"));
    ds.SetFilter([](const TClientDataSet &d, const TClientDataSet::Row &row) {
        return d.ValueIn(row, "ID").toInt() != 3;
    });
    ds.SetFiltered(true);
    QVERIFY(!ds.Locate("Name", "cy")); // hidden by the filter
}

void TestRuntime::dataSetAddField()
{
    TClientDataSet ds;
    FillPeople(ds);
    ds.AddField("Flag", 0);
    ds.AddField("flag", 1); // already there: unchanged
    QCOMPARE(ds.FieldCount(), 4);
    ds.Last();
    QCOMPARE(ds.FieldByName("FLAG").AsInteger(), 0);
    ds.EmptyDataSet();
    QCOMPARE(ds.RecordCount(), 0);
    QCOMPARE(ds.FieldCount(), 4);
    ds.Clear();
    QCOMPARE(ds.FieldCount(), 0);
}

void TestRuntime::paramList()
{
    TParamList params({"@szName", "@szReturn", "@nMissing"}, {"iniover", ""});
    QCOMPARE(params.Count(), 3);
    QCOMPARE(params.ParamByName("@SZNAME").toString(), QStringLiteral("iniover"));
    QVERIFY(params.ParamByName("@nMissing").isNull()); // fewer values than names
    QVERIFY(!params.ParamByName("@nAbsent").isValid());
    QVERIFY(!params.At(1).IsOutput);

    params.SetValue("@szreturn", "1"); // an existing parameter becomes an output
    QCOMPARE(params.Count(), 3);
    QCOMPARE(params.ParamByName("@szReturn").toString(), QStringLiteral("1"));
    QVERIFY(params.FindParam("@szReturn")->IsOutput);
    QCOMPARE(params.At(1).Name, QStringLiteral("@szReturn")); // keeps its written name

    params.SetValue("@ErrMsg", "bad"); // a new output is appended
    QCOMPARE(params.Count(), 4);
    QVERIFY(params.At(3).IsOutput);
    QVERIFY(params.Contains("@errmsg"));
    params.Clear();
    QVERIFY(params.IsEmpty());
}

// Backups live where a new installation of the program does not reach them.
void TestRuntime::backupPath_data()
{
    QTest::addColumn<bool>("systemPathGiven");
    QTest::addColumn<QString>("configured"); // CONFIG.INI [SERVER] BackupFolder
    QTest::addColumn<QString>("expected");   // "<system>" and "<data>" stand for the two folders
    QTest::newRow("user's data folder") << false << ""
                                        << "<data>/orvane/BackUp";
    QTest::newRow("system path of tools and tests") << true << ""
                                                    << "<system>/BackUp";
    QTest::newRow("configured, relative") << true << "../backups"
                                          << "<system>/../backups";
    QTest::newRow("configured, absolute") << false << "/srv/backups"
                                          << "/srv/backups";
}

void TestRuntime::backupPath()
{
    QFETCH(bool, systemPathGiven);
    QFETCH(QString, configured);
    QFETCH(QString, expected);
    QTemporaryDir system;
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    qputenv("ORVANE_SYSTEM_PATH", system.path().toUtf8());
    if (!configured.isEmpty())
        QSettings(system.filePath(QStringLiteral("CONFIG.INI")), QSettings::IniFormat)
            .setValue(QStringLiteral("SERVER/BackupFolder"), configured);
    if (!systemPathGiven && configured.isEmpty())
        qunsetenv("ORVANE_SYSTEM_PATH");
    const QString path = Kvbasicfun::GetBackupPath();
    qunsetenv("ORVANE_SYSTEM_PATH");
    qunsetenv("XDG_DATA_HOME");
    QCOMPARE(path, QDir::cleanPath(QString(expected)
                                       .replace(QStringLiteral("<system>"), system.path())
                                       .replace(QStringLiteral("<data>"), data.path())));
}

QTEST_GUILESS_MAIN(TestRuntime)
#include "tst_runtime.moc"
