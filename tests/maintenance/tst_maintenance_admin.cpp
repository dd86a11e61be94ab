// orvane-admin backup, restore and exec-sql: exit codes, messages and what they do to the files.

#include <QProcess>
#include <QtTest>

#include "AccountDatabase.h"
#include "tst_maintenance.h"

namespace {
struct TRun
{
    int Code = -1;
    QString Out;
    QString Err;
};

TRun Admin(const QString &systemDir, const QStringList &args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ORVANE_SYSTEM_PATH"), systemDir);
    p.setProcessEnvironment(env);
    p.setStandardInputFile(QProcess::nullDevice()); // never a terminal: nothing is asked
    p.start(QStringLiteral(ORVANE_ADMIN_PATH), args);
    if (!p.waitForFinished(120000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}
} // namespace

void TestMaintenance::adminBackupAndRestore()
{
    AddData(30);
    const QString before = Dump();
    const QString db = FAcct->Path();
    HostSession &session = FAcct->Session();
    const auto run = [&](const QStringList &args) {
        session.CloseDatabase(); // the command line works on the file alone
        const TRun result =
            Admin(FSystemDir->path(), QStringList{args.first(), QStringLiteral("--db"), db} + args.mid(1));
        session.Reopen();
        return result;
    };

    const TRun backup = run({QStringLiteral("backup"), QStringLiteral("夜间")});
    QVERIFY2(backup.Code == 0, qPrintable(backup.Err));
    QVERIFY(backup.Out.contains(QStringLiteral("备份成功")));
    QVERIFY(QFileInfo::exists(BackupFolder() + QStringLiteral("/夜间.bak")));

    FAcct->Db().exec(QStringLiteral("DELETE FROM T_Test_Keep WHERE Id > 3"));
    const QString changed = Dump();
    // Without --yes and without a terminal the restore is refused.
    const TRun unconfirmed = run({QStringLiteral("restore"), QStringLiteral("夜间")});
    QCOMPARE(unconfirmed.Code, 1);
    QVERIFY(unconfirmed.Err.contains(QStringLiteral("--yes")));
    QCOMPARE(Dump(), changed);

    const TRun restore = run({QStringLiteral("restore"), QStringLiteral("--yes"), QStringLiteral("夜间")});
    QVERIFY2(restore.Code == 0, qPrintable(restore.Err));
    QCOMPARE(Dump(), before);
}

void TestMaintenance::adminRefusals_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("leading digit") << QStringList{"backup", "1月"} << 1
                                   << "备份文件名错误，第一位不能使用数字。";
    QTest::newRow("65 characters") << QStringList{"backup", QString(65, u'x')} << 1
                                   << "备份文件名不能为空，且长度不能超过64个字符。";
    QTest::newRow("dot") << QStringList{"backup", "a.b"} << 1
                         << "备份文件名错误，请避免使用特殊字符、小数点、空格。";
    QTest::newRow("existing backup") << QStringList{"backup", "exists"} << 1 << "备份文件名已经存在。";
    QTest::newRow("missing backup") << QStringList{"restore", "--yes", "nosuch"} << 1
                                    << "备份文件名(nosuch)不存在。";
    QTest::newRow("restore of a file that is no backup")
        << QStringList{"restore", "--yes", "junk"} << 1 << "文件不是账套备份";
    // A second --db wins: the account set of the test is not the one created.
    QTest::newRow("create in a missing folder")
        << QStringList{"create", "--db", "@/typo/new.orv"} << 1 << "文件夹不存在";
    QTest::newRow("missing script") << QStringList{"exec-sql", "/nonexistent/x.sql"} << 1 << "文件不存在。";
    QTest::newRow("no name") << QStringList{"backup"} << 2 << "参数个数不对";
}

void TestMaintenance::adminRefusals()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QString, message);
    QCOMPARE(FAcct->Session().Account().BackUpDataBase(QStringLiteral("exists"), QStringLiteral("a")), 0);
    const QString db = FAcct->Path();
    const QString dump = Dump();
    WriteFile(BackupFolder() + QStringLiteral("/junk.bak"), QByteArray(8192, 'j'));
    args.replaceInStrings(QStringLiteral("@"), FAcct->Dir());
    FAcct->Session().CloseDatabase();
    const TRun run =
        Admin(FSystemDir->path(), QStringList{args.first(), QStringLiteral("--db"), db} + args.mid(1));
    FAcct->Session().Reopen();
    QCOMPARE(run.Code, code);
    // Said once: neither repeated with the host's reason nor echoed by a log line.
    QVERIFY2(run.Err.count(message) == 1, qPrintable(run.Err));
    QCOMPARE(Dump(), dump);
    QVERIFY(!QFileInfo::exists(FAcct->Dir() + QStringLiteral("/typo")));
}

void TestMaintenance::adminExecSql()
{
    const QString db = FAcct->Path();
    const QString good = FAcct->Dir() + QStringLiteral("/good.sql");
    const QString bad = FAcct->Dir() + QStringLiteral("/bad.sql");
    for (const auto &[path, text] :
         {std::pair{good, QByteArray("CREATE TABLE T_Admin (a INTEGER);\nGO\nINSERT INTO T_Admin "
                                     "VALUES (1);\n")},
          std::pair{bad, QByteArray("CREATE TABLE T_Other (a INTEGER);\nINSERT INTO T_Other "
                                    "VALUES (1, 2);\n")}}) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    FAcct->Session().CloseDatabase();
    const TRun ok = Admin(FSystemDir->path(), {QStringLiteral("exec-sql"), QStringLiteral("--db"), db, good});
    const TRun failed =
        Admin(FSystemDir->path(), {QStringLiteral("exec-sql"), QStringLiteral("--db"), db, bad});
    FAcct->Session().Reopen();
    QVERIFY2(ok.Code == 0, qPrintable(ok.Err));
    QCOMPARE(FAcct->Db().value(QStringLiteral("SELECT count(*) FROM T_Admin")).toInt(), 1);
    QCOMPARE(failed.Code, 1);
    QVERIFY2(failed.Err.count(QStringLiteral("执行失败。")) == 1 &&
                 failed.Err.count(QStringLiteral("第 2 行")) == 1,
             qPrintable(failed.Err));
    for (const QVariantList &row : FAcct->Db().query(FAcct->Db().dialect().tableNamesQuery()).rows)
        QVERIFY(row[0].toString().compare(QLatin1String("T_Other"), Qt::CaseInsensitive) != 0);
}
