// SQL script files: splitting, running in order, stopping at the first error, one transaction.

#include <QtTest>

#include "AccountDatabase.h"
#include "HostAccountService.h"
#include "tst_maintenance.h"
#include "uDllComm.h"

namespace {
QString WriteScript(const QString &folder, const QByteArray &text)
{
    const QString path = folder + QStringLiteral("/script.sql");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    f.write(text);
    return path;
}

// A password hash as a script might carry it; it must never reach a log.
const QByteArray kHash = QByteArrayLiteral("$argon2id$v=19$m=65536,t=2,p=1$c2FsdA$aGFzaGhhc2g");

bool TableExists(accountdb::AccountDatabase &db, const QString &name)
{
    return db.sql().tables(QSql::Tables).contains(name, Qt::CaseInsensitive);
}
} // namespace

void TestMaintenance::splitScript_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("statements");
    QTest::addColumn<QList<int>>("lines");
    QTest::newRow("two on two lines")
        << "SELECT 1;\nSELECT 2;" << QStringList{"SELECT 1", "SELECT 2"} << QList<int>{1, 2};
    QTest::newRow("semicolon in a string")
        << "INSERT INTO t VALUES ('a;b');\n\nSELECT 2"
        << QStringList{"INSERT INTO t VALUES ('a;b')", "SELECT 2"} << QList<int>{1, 3};
    QTest::newRow("GO ends a batch") << "SELECT 1\nGO\nSELECT 2\ngo \nSELECT 3"
                                     << QStringList{"SELECT 1", "SELECT 2", "SELECT 3"}
                                     << QList<int>{1, 3, 5};
    QTest::newRow("GO inside a string stays")
        << "SELECT 'x\nGO\ny';\nSELECT 2" << QStringList{"SELECT 'x\nGO\ny'", "SELECT 2"} << QList<int>{1, 4};
    QTest::newRow("GO inside a block comment stays")
        << "/* a\nGO\n*/ SELECT 1;\nSELECT 2" << QStringList{"/* a\nGO\n*/ SELECT 1", "SELECT 2"}
        << QList<int>{3, 4};
    QTest::newRow("word starting with go") << "SELECT 1\nGOTO;\n"
                                           << QStringList{"SELECT 1\nGOTO"} << QList<int>{1};
    QTest::newRow("comment line before a statement")
        << "-- set-up\n-- more\nCREATE TABLE t(a);" << QStringList{"-- set-up\n-- more\nCREATE TABLE t(a)"}
        << QList<int>{3};
    QTest::newRow("trigger body kept whole") << "CREATE TRIGGER tr AFTER INSERT ON t BEGIN\n  UPDATE t SET a "
                                                "= 1;\n  UPDATE t SET a = 2;\nEND;\nSELECT 1"
                                             << QStringList{"CREATE TRIGGER tr AFTER INSERT ON t BEGIN\n  "
                                                            "UPDATE t SET a = 1;\n  UPDATE t SET a = 2;\nEND",
                                                            "SELECT 1"}
                                             << QList<int>{1, 5};
    QTest::newRow("only comments and GO") << "-- nothing\nGO\n/* still nothing */\n"
                                          << QStringList{} << QList<int>{};
    QTest::newRow("CR LF line ends") << "SELECT 1;\r\nGO\r\nSELECT 2;\r\n"
                                     << QStringList{"SELECT 1", "SELECT 2"} << QList<int>{1, 3};
}

void TestMaintenance::splitScript()
{
    QFETCH(QString, script);
    QFETCH(QStringList, statements);
    QFETCH(QList<int>, lines);
    QStringList texts;
    QList<int> starts;
    for (const TScriptStatement &s : HostAccountService::SplitScript(script)) {
        texts << s.Text;
        starts << s.Line;
    }
    QCOMPARE(texts, statements);
    QCOMPARE(starts, lines);
}

void TestMaintenance::execSqlFile_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("rows");          // rows of T_Script afterwards; -1: the table does not exist
    QTest::addColumn<QString>("errorLine"); // in the log text

    QTest::newRow("create and fill") << QByteArray("CREATE TABLE T_Script (a TEXT);\n"
                                                   "INSERT INTO T_Script VALUES ('x;y');\n"
                                                   "INSERT INTO T_Script VALUES ('它''s');\n")
                                     << true << 2 << "";
    QTest::newRow("UTF-8 with BOM and GO batches")
        << QByteArray("\xEF\xBB\xBF"
                      "CREATE TABLE T_Script (a TEXT)\nGO\nINSERT INTO T_Script VALUES ('GO')\nGO\n")
        << true << 1 << "";
    QTest::newRow("error on line 4 undoes everything")
        << QByteArray(
               "CREATE TABLE T_Script (a TEXT);\nINSERT INTO T_Script VALUES ('1');\n\nINSERT INTO T_Nothing "
               "VALUES ('1');\nINSERT INTO T_Script VALUES ('2');\n")
        << false << -1 << "第 4 行";
    QTest::newRow("literal values of a failing statement are masked")
        << "CREATE TABLE T_Script (a TEXT);\nINSERT INTO T_Script VALUES ('" + kHash + "', 424242);\n"
        << false << -1 << "INSERT INTO T_Script VALUES (?, ?)";
    // The file's identity, journal and attached files are not the script's business; reading is.
    QTest::newRow("setting the version is refused")
        << QByteArray("CREATE TABLE T_Script (a TEXT);\nPRAGMA user_version = 0;\n") << false << -1
        << "第 2 行执行失败：脚本不能设置 PRAGMA user_version";
    QTest::newRow("changing the journal is refused")
        << QByteArray("CREATE TABLE T_Script (a TEXT);\nPRAGMA main.journal_mode = DELETE;\n") << false << -1
        << "第 2 行执行失败：脚本不能设置 PRAGMA journal_mode";
    QTest::newRow("attaching a file is refused")
        << QByteArray("CREATE TABLE T_Script (a TEXT);\nATTACH DATABASE 'other.db' AS other;\n") << false
        << -1 << "第 2 行执行失败：脚本不能附加或分离其他数据库文件";
    QTest::newRow("reading the version is allowed")
        << QByteArray(
               "CREATE TABLE T_Script (a TEXT);\nPRAGMA user_version;\nINSERT INTO T_Script VALUES ('1');\n")
        << true << 1 << "";
    QTest::newRow("syntax error after a GO")
        << QByteArray("CREATE TABLE T_Script (a TEXT)\nGO\n-- fill\nINSRT INTO T_Script VALUES ('1')\n")
        << false << -1 << "第 4 行";
    QTest::newRow("the script's own BEGIN and COMMIT join the one transaction")
        << QByteArray(
               "BEGIN TRANSACTION;\nCREATE TABLE T_Script (a TEXT);\nCOMMIT;\nINSERT INTO T_Script VALUES "
               "('1');\nINSERT INTO T_Script VALUES ('1', '2');\n")
        << false << -1 << "第 5 行";
    QTest::newRow("a rollback of everything is refused")
        << QByteArray("CREATE TABLE T_Script (a TEXT);\nROLLBACK;\n") << false << -1 << "第 2 行";
    QTest::newRow("savepoints of the script are its own")
        << QByteArray("CREATE TABLE T_Script (a TEXT);\nSAVEPOINT s;\nINSERT INTO T_Script VALUES "
                      "('1');\nROLLBACK TO "
                      "s;\nRELEASE s;\nINSERT INTO T_Script VALUES ('2');\n")
        << true << 1 << "";
    QTest::newRow("not UTF-8") << QByteArray("CREATE TABLE T_Script (a TEXT); -- \xFF\xFE\xB0\n") << false
                               << -1 << "UTF-8";
}

void TestMaintenance::execSqlFile()
{
    QFETCH(QByteArray, script);
    QFETCH(bool, ok);
    QFETCH(int, rows);
    QFETCH(QString, errorLine);
    if (TestAccountSet::OnServer() && (script.contains("PRAGMA") || script.contains("ATTACH")))
        QSKIP("SQLite's own statements");
    const QString path = WriteScript(FAcct->Dir(), script);
    QVERIFY(!path.isEmpty());
    const QString dump = Dump();

    // Through the export the host calls: one transaction around the host's runner.
    QCOMPARE(DllExecuteSqlFile(QStringLiteral("  ") + path + QStringLiteral(" ")), ok);
    accountdb::AccountDatabase &db = FAcct->Db();
    QVERIFY(!db.inTransaction());
    if (rows < 0)
        QVERIFY(!TableExists(db, QStringLiteral("T_Script")));
    else
        QCOMPARE(db.value(QStringLiteral("SELECT count(*) FROM T_Script")).toInt(), rows);
    HostAccountService &account = FAcct->Session().Account();
    if (ok) {
        QVERIFY(FAcct->Messages().Messages.isEmpty());
        QVERIFY(account.LastError().isEmpty());
        return;
    }
    QCOMPARE(Dump(), dump);
    QCOMPARE(db.schemaVersion(), accountdb::kSchemaVersion);
    if (!db.isServer())
        QCOMPARE(db.value(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
    QCOMPARE(FAcct->Messages().LastText(),
             QStringLiteral("文件名:") + path + QChar(13) + QStringLiteral("执行失败。"));
    QVERIFY2(account.LastError().contains(errorLine), qPrintable(account.LastError()));
    QFile log(BackupFolder() + QStringLiteral("/orvane-account.log"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(log.permissions(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                                    QFileDevice::WriteUser);
    const QByteArray logged = log.readAll();
    QVERIFY(QString::fromUtf8(logged).contains(errorLine));
    QVERIFY(!logged.contains(kHash) && !logged.contains("424242"));
    QVERIFY(!account.LastError().contains(QString::fromLatin1(kHash)));

    // Run on its own (no transaction open), the runner is just as atomic.
    QVERIFY(!account.ExecSqlFile(path));
    QCOMPARE(Dump(), dump);
}

void TestMaintenance::execSqlFileOnFullDisk()
{
    SKIP_ON_SERVER("the size limit of an account-set file");
    accountdb::AccountDatabase &db = FAcct->Db();
    // The file may not grow: SQLite reports a full disk, as it would on a disk without space.
    const int pages = db.value(QStringLiteral("PRAGMA page_count")).toInt();
    db.value(QStringLiteral("PRAGMA max_page_count = %1").arg(pages + 4));
    const QString path = WriteScript(
        FAcct->Dir(), "CREATE TABLE T_Script (a BLOB);\nINSERT INTO T_Script VALUES (zeroblob(1000000));\n");
    HostAccountService &account = FAcct->Session().Account();
    QVERIFY(!account.ExecSqlFile(path));
    QVERIFY2(account.LastError().contains(QStringLiteral("第 2 行执行失败：磁盘空间不足")),
             qPrintable(account.LastError()));
    QVERIFY(!TableExists(db, QStringLiteral("T_Script")));
}

void TestMaintenance::execSqlFileMissing()
{
    QVERIFY(!DllExecuteSqlFile(FAcct->Dir() + QStringLiteral("/none.sql")));
    QCOMPARE(FAcct->Messages().LastText(), QStringLiteral("文件不存在。"));
    QVERIFY(!FAcct->Session().Account().ExecSqlFile(FAcct->Dir() + QStringLiteral("/none.sql")));
}
