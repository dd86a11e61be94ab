// Bill entry on a real account set: saving as draft, posting and submitting to an audit flow, required
// fields, stock-limit warnings, red-word reversal, and orvane-admin running a month from base data to
// the checkout.

#include <QDate>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "AccountDatabase.h"
#include "AuditEngine.h"
#include "BillFixture.h"
#include "TestAccountSet.h"

using accountdb::ProcParams;

namespace {

using billfixture::G1;
using billfixture::W1;
using billfixture::W2;

QString line(double qty, double price)
{
    return QStringLiteral("<Record PtypeID=\"%1\" Qty=\"%2\" Price=\"%3\"/>").arg(G1).arg(qty).arg(price);
}

struct Saved
{
    int result = 0;
    qint64 vchcode = 0;
    QString number;
    QString error;
};

struct Run
{
    int code = -1;
    QString out;
    QString err;
};

} // namespace

class TstBillEntry : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestAccountSet> FSet;
    QString FDate;

    accountdb::AccountDatabase &Db() { return FSet->Db(); }
    QVariant Value(const QString &sql, const QVariantList &params = {}) { return Db().value(sql, params); }
    double Stock(const QString &ktype = W1)
    {
        return Value(QStringLiteral("SELECT coalesce(sum(Qty), 0) FROM GoodsStocks WHERE KtypeId = ?"),
                     {ktype})
            .toDouble();
    }
    int Count(const QString &table)
    {
        return Value(QStringLiteral("SELECT count(*) FROM %1").arg(table)).toInt();
    }

    Saved Save(int vchtype, const QString &lines, int mode = 1, qint64 vchcode = 0, bool ignoreWarn = false,
               const QString &etype = QString())
    {
        ProcParams p{{QStringLiteral("@nVchcode"), vchcode},
                     {QStringLiteral("@nVchType"), vchtype},
                     {QStringLiteral("@szDate"), FDate},
                     {QStringLiteral("@szNumber"), QString()},
                     {QStringLiteral("@szETypeID"), etype},
                     {QStringLiteral("@szKTypeID"), W1},
                     {QStringLiteral("@szKTypeID2"), W2},
                     {QStringLiteral("@szOperatorID"), QStringLiteral("00000")},
                     {QStringLiteral("@szXML"), QStringLiteral("<Root>%1</Root>").arg(lines)},
                     {QStringLiteral("@nMode"), mode},
                     {QStringLiteral("@bIgnoreWarn"), ignoreWarn}};
        Saved s;
        s.result = Db().callProc(QStringLiteral("P_Bill_Save"), p);
        for (const accountdb::ProcParam &o : p) {
            if (o.name == QLatin1String("@nVchcode") && o.isOutput)
                s.vchcode = o.value.toLongLong();
            else if (o.name == QLatin1String("@szNumber") && o.isOutput)
                s.number = o.value.toString();
            else if (o.name == QLatin1String("@ErrMsg"))
                s.error = o.value.toString();
        }
        return s;
    }

private slots:
    void init()
    {
        FSet = std::make_unique<TestAccountSet>();
        FDate = billfixture::Seed(Db());
    }
    void cleanup() { FSet.reset(); }

    void save_data()
    {
        QTest::addColumn<int>("vchtype");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("setup"); // SQL run before the save
        QTest::addColumn<bool>("ignoreWarn");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("message"); // part of the refusal
        QTest::addColumn<double>("stock");    // in W1 afterwards
        QTest::addColumn<int>("bills");       // rows of DlyNdx afterwards
        const QString required =
            QStringLiteral("UPDATE T_Jxc_VchTitle SET Required = 1, FieldNameO = '业务员' WHERE VchType = 34 "
                           "AND DataField = 'EtypeId'");
        const QString lowLimit =
            QStringLiteral(
                "INSERT INTO T_Jxc_PtypeWarn (PtypeId, KtypeId, WarnDown) VALUES ('%1', '00000', 95)")
                .arg(G1);
        QTest::newRow("purchase posted") << 34 << 1 << QString() << false << 0 << QString() << 110.0 << 2;
        QTest::newRow("draft moves no stock")
            << 34 << 0 << QString() << false << 2 << QString() << 100.0 << 2;
        QTest::newRow("required field by its caption")
            << 34 << 1 << required << false << -10 << QStringLiteral("业务员不能为空") << 100.0 << 1;
        QTest::newRow("required also for a draft")
            << 34 << 0 << required << false << -10 << QStringLiteral("业务员不能为空") << 100.0 << 1;
        QTest::newRow("sale below the lower limit warns")
            << 11 << 1 << lowLimit << false << -12 << QStringLiteral("低于下限95") << 100.0 << 1;
        QTest::newRow("warning accepted") << 11 << 1 << lowLimit << true << 0 << QString() << 90.0 << 2;
        QTest::newRow("purchase keeps clear of the lower limit")
            << 34 << 1 << lowLimit << false << 0 << QString() << 110.0 << 2;
        QTest::newRow("closed period") << 34 << 1
                                       << QStringLiteral("UPDATE T_Gbl_SysDataCw SET SubValue = '999999' "
                                                         "WHERE SubName = 'JxcPeriod'")
                                       << false << -3 << QStringLiteral("已经结账") << 100.0 << 1;
    }
    void save()
    {
        QFETCH(int, vchtype);
        QFETCH(int, mode);
        QFETCH(QString, setup);
        QFETCH(bool, ignoreWarn);
        QFETCH(int, result);
        QFETCH(QString, message);
        QFETCH(double, stock);
        QFETCH(int, bills);
        if (!setup.isEmpty())
            Db().exec(setup);
        const int numbersBefore =
            Value(QStringLiteral("SELECT SNMax FROM T_GBL_Vchtype WHERE Vchtype = ?"), {vchtype}).toInt();
        const Saved s = Save(vchtype, line(10, 3), mode, 0, ignoreWarn);
        QCOMPARE(s.result, result);
        QVERIFY2(s.error.contains(message), qPrintable(s.error));
        QCOMPARE(Stock(), stock);
        QCOMPARE(Count(QStringLiteral("DlyNdx")) + Count(QStringLiteral("DlyNdxIni")), bills);
        // A refused bill takes no number; a saved one takes the next of its type's pattern.
        const int numbersAfter =
            Value(QStringLiteral("SELECT SNMax FROM T_GBL_Vchtype WHERE Vchtype = ?"), {vchtype}).toInt();
        QCOMPARE(numbersAfter - numbersBefore, result >= 0 ? 1 : 0);
        if (result >= 0)
            QCOMPARE(
                Value(QStringLiteral("SELECT Number FROM DlyNdx WHERE Vchcode = ?"), {s.vchcode}).toString(),
                s.number);
        QCOMPARE(Count(QStringLiteral("BakDly")), result == 2 ? 1 : 0);
        QCOMPARE(Count(QStringLiteral("T_FIFO_InList_Stock")) + Count(QStringLiteral("T_FIFO_OutList_Stock")),
                 result == 0 ? 2 : 1);
    }

    void draftPostedLater()
    {
        const Saved draft = Save(34, line(10, 3), 0);
        QCOMPARE(draft.result, 2);
        // Posting the draft refuses bad lines and keeps the draft.
        const Saved bad = Save(34, QStringLiteral("<Record PtypeID=\"nope\" Qty=\"1\"/>"), 1, draft.vchcode);
        QCOMPARE(bad.result, -4);
        QCOMPARE(Value(QStringLiteral("SELECT Draft FROM DlyNdx WHERE Vchcode = ?"), {draft.vchcode}).toInt(),
                 1);
        const Saved posted = Save(34, line(10, 3), 1, draft.vchcode);
        QCOMPARE(posted.result, 0);
        QCOMPARE(
            Value(QStringLiteral("SELECT count(*) FROM DlyNdx WHERE Vchcode = ?"), {draft.vchcode}).toInt(),
            0);
        QCOMPARE(Count(QStringLiteral("BakDly")), 0);
        QCOMPARE(Stock(), 110.0);
        // A posted bill is not saved over.
        QCOMPARE(Save(34, line(1, 3), 1, posted.vchcode).result, -11);
    }

    void flowWaitsForAudit()
    {
        Db().execBatch(QStringLiteral(
            "INSERT INTO T_GBL_LoginUser (ETypeId) VALUES ('E1');"
            "INSERT INTO AuditDetail (Vchtype, Leveal, FullName, AuditType) VALUES (34, 1, '级1', 0);"
            "INSERT INTO AuditDetail (Vchtype, Leveal, FullName, AuditType) VALUES (34, 2, '级2', 0);"
            "INSERT INTO \"AuditDetail-E\" (Vchtype, Leveal, EtypeID, OperatorType) VALUES (34, 1, "
            "'E1', 0);"
            "INSERT INTO \"AuditDetail-E\" (Vchtype, Leveal, EtypeID, OperatorType) VALUES (34, 2, "
            "'E1', 0);"
            "INSERT INTO AuditNdx (Vchtype, IsAudit, SonLeveal) VALUES (34, 1, 2)"));
        const Saved s = Save(34, line(10, 3));
        QCOMPARE(s.result, 1);
        QCOMPARE(Stock(), 100.0);
        QCOMPARE(
            accountdb::audit::runStep(Db(), s.vchcode, QStringLiteral("E1"), accountdb::audit::Pass, {}).code,
            int(accountdb::audit::Passed));
        QCOMPARE(Stock(), 100.0);
        QCOMPARE(
            accountdb::audit::runStep(Db(), s.vchcode, QStringLiteral("E1"), accountdb::audit::Pass, {}).code,
            int(accountdb::audit::Posted));
        QCOMPARE(Stock(), 110.0);
        QCOMPARE(Value(QStringLiteral("SELECT Number FROM DlyNdx WHERE Vchcode = ?"), {s.vchcode}).toString(),
                 s.number);
    }

    void redWord_data()
    {
        QTest::addColumn<int>("vchtype");
        QTest::addColumn<double>("w1"); // stock of W1 after the bill, before its reversal
        QTest::addColumn<double>("w2");
        QTest::newRow("purchase") << 34 << 110.0 << 0.0;
        QTest::newRow("sale") << 11 << 90.0 << 0.0;
        QTest::newRow("transfer") << 21 << 90.0 << 10.0;
        QTest::newRow("other receipt") << 140 << 110.0 << 0.0;
        QTest::newRow("loss") << 9 << 90.0 << 0.0;
    }
    void redWord()
    {
        QFETCH(int, vchtype);
        QFETCH(double, w1);
        QFETCH(double, w2);
        const Saved s = Save(vchtype, line(10, 3));
        QCOMPARE(s.result, 0);
        QCOMPARE(Stock(W1), w1);
        QCOMPARE(Stock(W2), w2);
        ProcParams p{{QStringLiteral("@nVchcode"), s.vchcode},
                     {QStringLiteral("@szOperatorID"), QStringLiteral("00000")}};
        QCOMPARE(Db().callProc(QStringLiteral("P_Bill_RedWord"), p), 0);
        QCOMPARE(Stock(W1), 100.0);
        QCOMPARE(Stock(W2), 0.0);
        QCOMPARE(Value(QStringLiteral("SELECT RedOld FROM DlyNdx WHERE Vchcode = ?"), {s.vchcode}).toString(),
                 QStringLiteral("T"));
        QCOMPARE(Value(QStringLiteral("SELECT count(*) FROM DlyNdx WHERE RedWord = 'T'")).toInt(), 1);
        // Neither the original nor its reversal is reversed again.
        const qint64 red =
            Value(QStringLiteral("SELECT Vchcode FROM DlyNdx WHERE RedWord = 'T'")).toLongLong();
        for (qint64 code : {s.vchcode, red}) {
            ProcParams again{{QStringLiteral("@nVchcode"), code}};
            QCOMPARE(Db().callProc(QStringLiteral("P_Bill_RedWord"), again), -2);
        }
        QCOMPARE(Stock(W1), 100.0);
    }

    // The month from base data to the checkout, by orvane-admin alone: the sale is costed at the
    // purchase price and the period moves on.
    void commandLineMonth()
    {
        QTemporaryDir dir;
        const QString db = TestAccountSet::OnServer() ? TestAccountSet::NewServerDatabase()
                                                      : dir.filePath(QStringLiteral("m.orv"));
        const auto admin = [&](QStringList args) {
            QProcess p;
            p.setStandardInputFile(QProcess::nullDevice());
            args << QStringLiteral("--db") << db;
            p.start(QStringLiteral(ORVANE_ADMIN_PATH), args);
            p.waitForFinished(120000);
            return Run{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                       QString::fromUtf8(p.readAllStandardOutput()),
                       QString::fromUtf8(p.readAllStandardError())};
        };
        const auto file = [&](const QString &name, const QString &text) {
            QFile f(dir.filePath(name));
            f.open(QIODevice::WriteOnly);
            f.write(text.toUtf8());
            return f.fileName();
        };
        const QStringList steps[] = {
            {"create"},
            {"init", "--company", "测试", "--trade", "1", "--year", "2026", "--start-period", "1",
             "--code-lengths", "4-2-2", "--natural-months"},
            {"base", "add", "--kind", "goods", "--set", "UserCode=P01", "--set", "FullName=螺丝"},
            {"base", "add", "--kind", "warehouses", "--set", "UserCode=K01", "--set", "FullName=总仓"},
            {"base", "add", "--kind", "partners", "--set", "UserCode=B01", "--set", "FullName=甲公司"},
            {"base", "add", "--kind", "employees", "--set", "UserCode=E01", "--set", "FullName=张三"},
            {"sysvalue", "iniover", "1"},
            {"flow"}, // the sale's one-level audit flow, set up by the test
            {"bill", "new", "--type", "34", "--from-json",
             file("buy.json", R"({"date": "2026-01-05", "partner": "B01", "warehouse": "K01",
                                  "lines": [{"goods": "P01", "qty": 10, "price": 5.5}]})")},
            {"bill", "new", "--type", "11", "--from-json",
             file("sale.json", R"([{"date": "2026-01-06", "partner": "B01", "warehouse": "K01",
                                   "lines": [{"goods": "P01", "qty": 4, "price": 9}]}])")},
        };
        QString saleCode;
        for (const QStringList &step : steps) {
            if (step.first() == QLatin1String("create") && TestAccountSet::OnServer())
                continue; // the server's account set exists already
            if (step.first() == QLatin1String("flow")) {
                accountdb::AccountDatabase::open(db)->execBatch(QStringLiteral(
                    "INSERT INTO AuditDetail (Vchtype, Leveal, FullName) VALUES (11, 1, '主管');"
                    "INSERT INTO \"AuditDetail-E\" (Vchtype, Leveal, EtypeID) VALUES (11, 1, '00000');"
                    "INSERT INTO AuditNdx (Vchtype, IsAudit, SonLeveal) VALUES (11, 1, 1)"));
                continue;
            }
            const Run r = admin(step);
            QVERIFY2(r.code == 0, qPrintable(step.join(u' ') + u'\n' + r.err));
            if (step.contains(QStringLiteral("11")))
                saleCode = r.out.section(u'\t', 0, 0);
        }
        QVERIFY(!saleCode.isEmpty());
        // The sale waits for its audit; the checkout refuses it until then.
        QCOMPARE(admin({"checkout"}).code, 1);
        for (const QStringList &step :
             {QStringList{"audit", "--bill", saleCode}, QStringList{"cost-calc"}, QStringList{"checkout"}}) {
            const Run r = admin(step);
            QVERIFY2(r.code == 0, qPrintable(step.join(u' ') + u'\n' + r.err + r.out));
        }
        auto set = accountdb::AccountDatabase::open(db);
        QCOMPARE(set->value(QStringLiteral("SELECT CostPrice FROM DlySale")).toDouble(), 5.5);
        QCOMPARE(
            set->value(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = 'JxcPeriod'"))
                .toString(),
            QStringLiteral("202602"));
        // A refused bill file saves nothing and names the bill and the reason.
        const Run bad = admin({"bill", "new", "--type", "34", "--from-json",
                               file("bad.json", R"([{"date": "2026-02-03", "warehouse": "K01",
                                                    "lines": [{"goods": "P01", "qty": 1}]},
                                                   {"date": "2026-02-03", "warehouse": "K01",
                                                    "lines": [{"goods": "P99", "qty": 1}]}])")});
        QCOMPARE(bad.code, 1);
        QVERIFY2(bad.err.contains(QStringLiteral("第2张单据没有保存：第1行：存货编号 P99 不存在。")),
                 qPrintable(bad.err));
        QCOMPARE(set->value(QStringLiteral("SELECT count(*) FROM DlyNdx")).toInt(), 2);
    }
};

QTEST_GUILESS_MAIN(TstBillEntry)
#include "tst_billentry.moc"
