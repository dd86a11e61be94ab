// The built libOrvane.so loaded the way the host loads it, driven through its exports against a
// real temporary account set; and the host's refusal of broken modules.

#include <QtTest>

#include "AccountDatabase.h"
#include "ModuleLoader.h"
#include "TestAccountSet.h"

namespace {
QString BinPath(const QString &name)
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(name);
}
} // namespace

class TestExports : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { FSet = std::make_unique<TestAccountSet>(); }
    void cleanup() { FSet.reset(); }

    void checkValid_data();
    void checkValid();
    void tenMenuRecords();
    void informationExportsAreEmpty();
    void openReportIsAlwaysFalse();
    void dispatchKeysAreExact_data();
    void dispatchKeysAreExact();
    void secondInitDllFuncFails();
    void executeSqlFileMissing();
    void repairReports_data();
    void repairReports();

    void loaderRefusesBrokenModules_data();
    void loaderRefusesBrokenModules();
    void hostProgramCheck();
    void hostProgramRefusesBrokenModule();

private:
    ModuleLoader FLoader;
    std::unique_ptr<TestAccountSet> FSet;
};

void TestExports::initTestCase()
{
    QVERIFY2(FLoader.Load(BinPath(QStringLiteral("libOrvane.so"))), qPrintable(FLoader.Error()));
    FSet = std::make_unique<TestAccountSet>();
    FLoader.Initialise(FSet->Session().Params());
    FSet.reset();
}

void TestExports::checkValid_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<bool>("valid");
    QTest::newRow("same") << "V17.0" << true;
    QTest::newRow("blanks around") << "  V17.0 " << true;
    QTest::newRow("lower-case first letter") << "v17.0" << false;
    QTest::newRow("other version") << "V17.1" << false;
    QTest::newRow("empty") << "" << false;
}

void TestExports::checkValid()
{
    QFETCH(QString, version);
    QFETCH(bool, valid);
    QString message = QStringLiteral("stale");
    QCOMPARE(FLoader.CheckValid(version, message), valid);
    QCOMPARE(message,
             valid ? QString() : QStringLiteral("【系统维护】版本与【主程序】版本不一致，请重新安装软件。"));
}

void TestExports::tenMenuRecords()
{
    TMenuRegArray menus(13);
    menus[5].ModuleName = QStringLiteral("junk");
    FLoader.GetAllRegMenus(menus);
    QCOMPARE(menus.size(), 10);
    QCOMPARE(menus[0].ModuleName, QStringLiteral("Orvane.dll"));
    QCOMPARE(menus[0].Pair, QStringLiteral("3,2"));
    QCOMPARE(menus[1].ModuleName, QStringLiteral("Orvane.dll"));
    QCOMPARE(menus[1].Pair, QString());
    for (int i = 0; i < 2; ++i)
        QVERIFY(menus[i].Value1 == 0 && menus[i].Value2 == 0 && menus[i].Value3 == 0 &&
                menus[i].Text.isEmpty());
    for (int i = 2; i < 10; ++i)
        QVERIFY(menus[i].ModuleName.isEmpty() && menus[i].Pair.isEmpty());
}

void TestExports::informationExportsAreEmpty()
{
    for (auto fn : {FLoader.GetDllCaption, FLoader.GetDllDeveloper, FLoader.GetMainVersion,
                    FLoader.GetDllFileVersion}) {
        QString text = QStringLiteral("stale");
        fn(text);
        QCOMPARE(text, QString());
    }
    QString path = QStringLiteral("stale");
    FLoader.GetSqlFilePath(path, QStringLiteral("a"), QStringLiteral("b"));
    QCOMPARE(path, QString());
}

void TestExports::openReportIsAlwaysFalse()
{
    QVERIFY(!FLoader.DllOpenReport(0, QString(), 0));
    QVERIFY(!FLoader.DllOpenReport(1, QStringLiteral("x"), -1));
}

void TestExports::dispatchKeysAreExact_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("found");
    QTest::newRow("registered") << "Orvane.dll账套修复" << true;
    QTest::newRow("trailing blank") << "Orvane.dll账套修复 " << false;
    QTest::newRow("exit with trailing blank") << "Orvane.dll退出 " << false;
    QTest::newRow("lower-case module name") << "orvane.dll账套修复" << false;
    QTest::newRow("entry name alone") << "账套修复" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("unknown") << "Orvane.dll不存在" << false;
}

void TestExports::dispatchKeysAreExact()
{
    QFETCH(QString, key);
    QFETCH(bool, found);
    FSet->Session().Install();
    // Repair of a sound account set succeeds and reports, so result and report tell whether it ran.
    QCOMPARE(FLoader.Call(key), found);
    QCOMPARE(FSet->Messages().Messages.isEmpty(), !found);
}

void TestExports::secondInitDllFuncFails()
{
    bool raised = false;
    try {
        FLoader.InitDllFunc();
    } catch (const std::exception &) {
        raised = true;
    }
    QVERIFY(raised);
    QVERIFY(FLoader.Call(QStringLiteral("Orvane.dll账套修复")));
}

void TestExports::repairReports_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("report");
    QTest::newRow("sound") << QString()
                           << "账套修复完成。\n完整性检查：正常。\n数据引用检查：正常。\n索引已全部重建。";
    QTest::newRow("dangling group member") << "INSERT INTO UserToGroup (UserID, GroupId) VALUES ('none', 1)"
                                           << "账套修复完成。\n完整性检查：正常。\n数据引用检查：1 "
                                              "行引用了不存在的记录（表 UserToGroup），请检查这些数据。"
                                              "\n索引已全部重建。";
}

void TestExports::repairReports()
{
    QFETCH(QString, damage);
    QFETCH(QString, report);
    if (!damage.isEmpty()) {
        SKIP_ON_SERVER("a server enforces every reference: the damage cannot be made");
        FSet->Db().exec(QStringLiteral("PRAGMA foreign_keys = OFF"));
        FSet->Db().exec(damage);
        FSet->Db().exec(QStringLiteral("PRAGMA foreign_keys = ON"));
    }
    QVERIFY(FLoader.Call(QStringLiteral("Orvane.dll账套修复")));
    QCOMPARE(FSet->Messages().Texts(), QStringList{report});
}

void TestExports::executeSqlFileMissing()
{
    QVERIFY(!FLoader.DllExecuteSqlFile(FSet->Dir() + QStringLiteral("/none.sql  ")));
    QCOMPARE(FSet->Messages().Texts(), QStringList{QStringLiteral("文件不存在。")});
    QCOMPARE(FSet->Messages().Messages.first().Kind, QStringLiteral("warning"));
    QVERIFY(!FSet->Db().inTransaction());
}

void TestExports::loaderRefusesBrokenModules_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("loads");
    QTest::addColumn<QString>("errorPart");
    QTest::newRow("missing export") << "liborvane_broken_missing.so" << false << "CallFunction";
    QTest::newRow("wrong version") << "liborvane_broken_version.so" << true << "版本不一致";
    QTest::newRow("no such file") << "libnothing.so" << false << "找不到模块文件";
}

void TestExports::loaderRefusesBrokenModules()
{
    QFETCH(QString, file);
    QFETCH(bool, loads);
    QFETCH(QString, errorPart);
    ModuleLoader loader;
    QCOMPARE(loader.Load(BinPath(file)), loads);
    if (loads)
        QVERIFY(!loader.Check());
    QVERIFY2(loader.Error().contains(errorPart), qPrintable(loader.Error()));
}

void TestExports::hostProgramCheck()
{
    QProcess host;
    host.start(BinPath(QStringLiteral("orvane")), {QStringLiteral("--check"), QStringLiteral("--db"),
                                                   FSet->Dir() + QStringLiteral("/check.orv")});
    QVERIFY(host.waitForFinished(60000));
    const QString out = QString::fromUtf8(host.readAllStandardOutput());
    QCOMPARE(host.exitCode(), 0);
    QVERIFY2(out.contains(QStringLiteral("CheckValid: True")), qPrintable(out));
    QVERIFY2(out.contains(QStringLiteral("Menus: 10")), qPrintable(out));
    QVERIFY2(out.contains(QStringLiteral("0: Orvane.dll | 0 | 0 | 0 |  | 3,2")), qPrintable(out));
}

void TestExports::hostProgramRefusesBrokenModule()
{
    for (const QString &lib :
         {QStringLiteral("liborvane_broken_missing.so"), QStringLiteral("liborvane_broken_version.so")}) {
        QProcess host;
        host.start(BinPath(QStringLiteral("orvane")),
                   {QStringLiteral("--check"), QStringLiteral("--module"), BinPath(lib)});
        QVERIFY(host.waitForFinished(60000));
        QVERIFY2(host.exitCode() != 0, qPrintable(lib));
    }
}

QTEST_MAIN(TestExports)
#include "tst_exports.moc"
