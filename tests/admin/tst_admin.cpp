// orvane-admin through its command line: exit codes, messages, and what lands in the account set.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "AccountDatabase.h"
#include "AdminRun.h"

using namespace accountdb;

namespace {} // namespace

class TstAdmin : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_db;   // an account set created through the library
    QString m_hash; // of "geheim", hashed once (Argon2id is slow on purpose)

    Run admin(const QStringList &args, const QString &demoDb = QString())
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("ORVANE_DEMO_DB"));
        if (!demoDb.isEmpty())
            env.insert(QStringLiteral("ORVANE_DEMO_DB"), demoDb);
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(m_dir->path());
        p.setStandardInputFile(QProcess::nullDevice()); // never a terminal: no password prompt
        p.start(QStringLiteral(ORVANE_ADMIN_PATH), args);
        if (!p.waitForFinished(60000))
            return {};
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
    }

    QString path(const QString &name) const { return m_dir->filePath(name); }

    // Every row of the account set but the log-on records: the event log and the count of wrong
    // passwords note even a refused command.
    QString dataWithoutEventLog() const
    {
        if (!QFile::exists(m_db))
            return QString();
        auto db = AccountDatabase::open(m_db);
        QString all;
        const ResultSet tables =
            db->query(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT IN "
                                     "('T_Sys_EventLog', 'T_Gbl_LogOnFailure') ORDER BY name"));
        for (const QVariantList &t : tables.rows)
            for (const QVariantList &row :
                 db->query(QStringLiteral("SELECT * FROM \"%1\"").arg(t[0].toString())).rows)
                for (const QVariant &v : row)
                    all += v.toString() + u'|';
        return all;
    }

    void writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

private slots:
    void initTestCase() { m_hash = hashPassword(QStringLiteral("geheim")); }
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_db = path(QStringLiteral("set.orv"));
        auto db = AccountDatabase::create(m_db);
        db->exec(QStringLiteral(
            "INSERT INTO Employee (TypeId, UserCode, FullName) VALUES ('00007', 'U7', '张三')"));
        db->exec(QStringLiteral("INSERT INTO T_GBL_LoginUser (ETypeId, Password) VALUES ('00007', ?)"),
                 {m_hash});
        writeFile(QStringLiteral("right.pw"), "geheim\n");
        writeFile(QStringLiteral("wrong.pw"), "falsch\n");
    }
    void cleanup() { m_dir.reset(); }

    void create_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("demoDb");
        QTest::addColumn<QString>("file");
        QTest::newRow("--db FILE") << QStringList{"create", "--db", "new.orv"} << ""
                                   << "new.orv";
        QTest::newRow("default from ORVANE_DEMO_DB") << QStringList{"create"} << "env.orv"
                                                     << "env.orv";
        QTest::newRow("default demo/demo.orv") << QStringList{"create"} << ""
                                               << "demo/demo.orv";
    }
    void create()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, demoDb);
        QFETCH(QString, file);
        QVERIFY(QDir(m_dir->path()).mkpath(QFileInfo(file).path())); // a new set goes into an existing folder
        const Run r = admin(args, demoDb.isEmpty() ? QString() : path(demoDb));
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY(r.out.contains(QStringLiteral("已创建账套")));
        auto db = AccountDatabase::open(path(file));
        QCOMPARE(db->schemaVersion(), kSchemaVersion);
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("no command") << QStringList{} << 2 << "";
        QTest::newRow("unknown command") << QStringList{"drop"} << 2 << "未知命令：drop";
        QTest::newRow("create over existing")
            << QStringList{"create", "--db", "set.orv"} << 1 << "文件已经存在";
        QTest::newRow("create in a missing folder")
            << QStringList{"create", "--db", "a/b/new.orv"} << 1 << "文件夹不存在";
        QTest::newRow("create, unknown option") << QStringList{"create", "--force"} << 2 << "force";
        QTest::newRow("create, extra argument")
            << QStringList{"create", "--db", "n.orv", "x"} << 2 << "参数个数不对";
        QTest::newRow("create, empty --db") << QStringList{"create", "--db", ""} << 2 << "--db";
        QTest::newRow("sysvalue without name")
            << QStringList{"sysvalue", "--db", "set.orv"} << 2 << "参数个数不对";
        QTest::newRow("sysvalue, three arguments")
            << QStringList{"sysvalue", "--db", "set.orv", "a", "b", "c"} << 2 << "参数个数不对";
        QTest::newRow("sysvalue, blank name")
            << QStringList{"sysvalue", "--db", "set.orv", " "} << 2 << "不能为空";
        QTest::newRow("sysvalue, missing file")
            << QStringList{"sysvalue", "--db", "none.orv", "iniover"} << 1 << "账套文件不存在";
        QTest::newRow("sysvalue, not an account set")
            << QStringList{"sysvalue", "--db", "right.pw", "iniover"} << 1 << "文件不是有效的账套";
        QTest::newRow("unknown operator")
            << QStringList{"sysvalue", "--db", "set.orv", "--operator", "99", "iniover"} << 1
            << "操作员不存在";
        QTest::newRow("password needed, none given")
            << QStringList{"sysvalue", "--db", "set.orv", "--operator", "00007", "iniover"} << 1
            << "--password-file";
        QTest::newRow("wrong password")
            << QStringList{"sysvalue",        "--db",     "set.orv", "--operator", "00007",
                           "--password-file", "wrong.pw", "iniover"}
            << 1 << "密码错误";
        QTest::newRow("operator may not write")
            << QStringList{"sysvalue",        "--db",     "set.orv", "--operator", "00007",
                           "--password-file", "right.pw", "iniover", "1"}
            << 1 << "只有系统管理员";
    }
    void refusals()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, message);
        const QString before = dataWithoutEventLog();
        const Run r = admin(args);
        QCOMPARE(r.code, code);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QCOMPARE(dataWithoutEventLog(), before);
        QVERIFY(!QFile::exists(path(QStringLiteral("n.orv"))));
    }

    void helpOnEveryCommand_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("create") << "create";
        QTest::newRow("sysvalue") << "sysvalue";
    }
    void helpOnEveryCommand()
    {
        QFETCH(QString, command);
        const Run r = admin({command, QStringLiteral("--help")});
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.contains(QStringLiteral("--db")));
        const Run list = admin({QStringLiteral("--help")});
        QCOMPARE(list.code, 0);
        QVERIFY(list.out.contains(command));
    }

    void sysValueReadWrite_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("printed");
        QTest::addColumn<QString>("stored"); // read back through the library under "CompanyName"
        const QString injection = QStringLiteral("x'); DROP TABLE T_Gbl_SysCon; --");
        QTest::newRow("read seeded value") << QStringList{"iniover"} << "0"
                                           << "";
        QTest::newRow("read missing value") << QStringList{"NoSuchKey"} << ""
                                            << "";
        QTest::newRow("write then print") << QStringList{"companyname", "示例公司"} << "示例公司"
                                          << "示例公司";
        QTest::newRow("write quotes and semicolons")
            << QStringList{"COMPANYNAME", injection} << injection << injection;
        QTest::newRow("operator with password reads")
            << QStringList{"--operator", "U7", "--password-file", "right.pw", "iniover"} << "0"
            << "";
    }
    void sysValueReadWrite()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, printed);
        QFETCH(QString, stored);
        const Run r =
            admin(QStringList{QStringLiteral("sysvalue"), QStringLiteral("--db"), QStringLiteral("set.orv")} +
                  args);
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(r.out, printed + u'\n');
        auto db = AccountDatabase::open(m_db);
        QCOMPARE(
            db->value(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = 'CompanyName'"))
                .toString(),
            stored);
        QVERIFY(db->value(QStringLiteral("SELECT count(*) FROM T_Gbl_SysCon")).toInt() > 0);
    }
};

QTEST_GUILESS_MAIN(TstAdmin)
#include "tst_admin.moc"
