// orvane-admin against other processes and operators: the job lock (one whole-account-set job at a
// time, stale holders taken over), rights of the operator, and jobs refused on bad values.

#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include "AccountDatabase.h"
#include "AdminRun.h"
#include "JobLock.h"

using namespace accountdb;

namespace {

QProcess *startAdmin(const QString &dir, const QStringList &args)
{
    auto *p = new QProcess;
    p->setWorkingDirectory(dir);
    p->setStandardInputFile(QProcess::nullDevice());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ORVANE_SYSTEM_PATH"), dir); // backups go below the test's folder
    p->setProcessEnvironment(env);
    p->start(QStringLiteral(ORVANE_ADMIN_PATH), args);
    return p;
}

Run finish(QProcess *p)
{
    std::unique_ptr<QProcess> owner(p);
    if (!p->waitForFinished(180000))
        return {};
    return {p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -1,
            QString::fromUtf8(p->readAllStandardOutput()), QString::fromUtf8(p->readAllStandardError())};
}

// Every line cost and period balance of the account set, as one text.
QString costState(const QString &path)
{
    auto db = AccountDatabase::open(path);
    QString state;
    for (const char *sql :
         {"SELECT PtypeId, Dlyorder, CostPrice, CostTotal FROM DlyBuy ORDER BY Dlyorder",
          "SELECT PtypeId, Dlyorder, CostPrice, CostTotal FROM DlySale ORDER BY Dlyorder",
          "SELECT PtypeId, Dlyorder, CostPrice, CostTotal FROM DlyOther ORDER BY Dlyorder",
          "SELECT PtypeId, KTypeID, Period, Qty, Total FROM GoodsStocksCost ORDER BY 1, 2, 3",
          "SELECT typeId, CalcCost, MonthCalcCost FROM ptype ORDER BY typeId"}) {
        const ResultSet rs = db->query(QString::fromLatin1(sql));
        for (const QVariantList &row : rs.rows)
            for (const QVariant &v : row)
                state += v.toString() + u'|';
    }
    return state;
}

} // namespace

class TstAdminJobs : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_demo; // costed from scratch by every test that needs it: a fresh copy each time

    QString path(const QString &name) const { return m_dir.filePath(name); }

    Run admin(const QStringList &args) { return finish(startAdmin(m_dir.path(), args)); }

    QString freshCopy(const QString &name)
    {
        const QString target = path(name);
        QFile::remove(target);
        if (!QFile::copy(m_demo, target))
            return QString();
        QFile(target).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        return target;
    }

    // An operator who belongs to no group (greyed out in the program) and has no password.
    static void addPlainOperator(AccountDatabase &db)
    {
        db.exec(QStringLiteral(
            "INSERT INTO Employee (TypeId, UserCode, FullName) VALUES ('09998', 'U9998', '李四')"));
        db.exec(QStringLiteral("INSERT INTO T_GBL_LoginUser (ETypeId, Password) VALUES ('09998', '')"));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_demo = path(QStringLiteral("demo.orv"));
        const Run r =
            admin({QStringLiteral("create-demo"), QStringLiteral("--db"), m_demo, QStringLiteral("--goods"),
                   QStringLiteral("40"), QStringLiteral("--lines"), QStringLiteral("4000")});
        QVERIFY2(r.code == 0, qPrintable(r.err));
    }

    // A job is refused at once while another process holds the lock, and runs once it is given back.
    void refusedWhileAnotherJobRuns_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("cost-calc") << QStringList{"cost-calc"};
        QTest::newRow("checkout") << QStringList{"checkout", "--ignore-unaudited", "--ignore-unallocated"};
        QTest::newRow("uncheckout") << QStringList{"uncheckout"};
    }
    void refusedWhileAnotherJobRuns()
    {
        QFETCH(QStringList, args);
        const QString db = freshCopy(QStringLiteral("held.orv"));
        const QString before = costState(db);
        {
            auto holder = AccountDatabase::open(db);
            const JobLockGuard lock(*holder, QStringLiteral("系统重建"), QStringLiteral("00000"),
                                    QStringLiteral("系统管理员"));
            const Run r = admin(args + QStringList{QStringLiteral("--db"), db});
            QCOMPARE(r.code, 1);
            QVERIFY2(r.err.contains(QStringLiteral("“系统重建”正在进行中（操作员 00000 系统管理员，计算机 %1")
                                        .arg(QSysInfo::machineHostName())),
                     qPrintable(r.err));
            QCOMPARE(r.err.count(QStringLiteral("正在进行中")), 1);
            QCOMPARE(costState(db), before);
        }
        if (args.first() == QLatin1String("cost-calc")) {
            const Run r =
                admin(args + QStringList{QStringLiteral("--db"), db, QStringLiteral("--force-zero")});
            QVERIFY2(r.code == 0, qPrintable(r.out + r.err));
            QVERIFY(costState(db) != before);
            // The run is recorded once; the refused one is not.
            auto a = AccountDatabase::open(db);
            QCOMPARE(
                a->value(QStringLiteral(
                             "SELECT group_concat(Event) FROM T_Sys_EventLog WHERE Event LIKE '成本计算%'"))
                    .toString(),
                QStringLiteral("成本计算：共40个存货，成功40个，异常0个"));
        }
    }

    // Rows left by a process that is gone are taken over; a live one elsewhere is not.
    void staleHolders_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<qint64>("pid");
        QTest::addColumn<int>("heartbeatAgeSeconds");
        QTest::addColumn<bool>("refused");
        const QString here = QSysInfo::machineHostName();
        QTest::newRow("this computer, process gone") << here << qint64(999999999) << 0 << false;
        QTest::newRow("this computer, pid reused") << here << qint64(1) << 0 << false;
        QTest::newRow("other computer, silent 11 min") << "ws-7" << qint64(42) << 660 << false;
        QTest::newRow("other computer, alive") << "ws-7" << qint64(42) << 30 << true;
    }
    void staleHolders()
    {
        QFETCH(QString, host);
        QFETCH(qint64, pid);
        QFETCH(int, heartbeatAgeSeconds);
        QFETCH(bool, refused);
        const QString db = freshCopy(QStringLiteral("stale.orv"));
        {
            auto a = AccountDatabase::open(db);
            const QString beat = QDateTime::currentDateTime()
                                     .addSecs(-heartbeatAgeSeconds)
                                     .toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
            QFile bootFile(QStringLiteral("/proc/sys/kernel/random/boot_id"));
            QVERIFY(bootFile.open(QIODevice::ReadOnly));
            // A start time that pid 1 never has: the pid was taken by another process since.
            a->exec(QStringLiteral(
                        "INSERT INTO T_Sys_JobLock VALUES ('account', '成本计算', '00001', '王五', ?, ?, ?, "
                        "'1', 'c', ?, ?)"),
                    {host, QString::fromLatin1(bootFile.readAll()).trimmed(), pid, beat, beat});
        }
        const Run r =
            admin({QStringLiteral("cost-calc"), QStringLiteral("--db"), db, QStringLiteral("--force-zero")});
        QCOMPARE(r.code, refused ? 1 : 0);
        QCOMPARE(r.err.contains(QStringLiteral("“成本计算”正在进行中（操作员 00001 王五，计算机 ws-7")),
                 refused);
        auto a = AccountDatabase::open(db);
        QCOMPARE(a->value(QStringLiteral("SELECT count(*) FROM T_Sys_JobLock")).toInt(), refused ? 1 : 0);
    }

    // The hold's sign of life keeps a job on another computer from being taken for gone.
    void heartbeatRenewsTheHold()
    {
        const QString db = freshCopy(QStringLiteral("beat.orv"));
        auto a = AccountDatabase::open(db);
        const JobLockGuard lock(*a, QStringLiteral("成本计算"), QStringLiteral("00000"), QString());
        a->exec(QStringLiteral("UPDATE T_Sys_JobLock SET Heartbeat = '2000-01-01 00:00:00'"));
        ProcParams beat{{QStringLiteral("@szJob"), QString()}, {QStringLiteral("@nMode"), 3}};
        QCOMPARE(a->callProc(QStringLiteral("P_Sys_JobLock"), beat), 0);
        const QDateTime last =
            QDateTime::fromString(a->value(QStringLiteral("SELECT Heartbeat FROM T_Sys_JobLock")).toString(),
                                  QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        QVERIFY(last.secsTo(QDateTime::currentDateTime()) < 60);
    }

    // Two cost calculations started together: one runs, the other is refused or finds nothing left to
    // do; the costs are those of a run alone, and nothing fails with a locked database.
    void concurrentCostCalcEqualsSoloRun()
    {
        const QString solo = freshCopy(QStringLiteral("solo.orv"));
        const Run alone = admin(
            {QStringLiteral("cost-calc"), QStringLiteral("--db"), solo, QStringLiteral("--force-zero")});
        QVERIFY2(alone.code == 0, qPrintable(alone.err));

        const QString both = freshCopy(QStringLiteral("both.orv"));
        const QStringList args{QStringLiteral("cost-calc"), QStringLiteral("--db"), both,
                               QStringLiteral("--force-zero")};
        QProcess *first = startAdmin(m_dir.path(), args);
        QProcess *second = startAdmin(m_dir.path(), args);
        const Run a = finish(first);
        const Run b = finish(second);
        for (const Run &r : {a, b}) {
            QVERIFY2(r.code == 0 || r.err.contains(QStringLiteral("“成本计算”正在进行中")),
                     qPrintable(r.out + r.err));
            QVERIFY2(!(r.out + r.err).contains(QStringLiteral("locked")), qPrintable(r.out + r.err));
        }
        QVERIFY(a.code == 0 || b.code == 0);
        QCOMPARE(costState(both), costState(solo));
    }

    // Every command the program guards with a right checks it for --operator.
    void rightsOfTheOperator_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("right");
        QTest::newRow("cost-calc") << QStringList{"cost-calc", "--force-zero"} << 2110;
        QTest::newRow("checkout") << QStringList{"checkout", "--ignore-unaudited", "--ignore-unallocated"}
                                  << 1320;
        QTest::newRow("uncheckout") << QStringList{"uncheckout"} << 1321;
        QTest::newRow("backup") << QStringList{"backup", "jobsbak"} << 1308;
        QTest::newRow("exec-sql") << QStringList{"exec-sql", "x.sql"} << 1306;
    }
    void rightsOfTheOperator()
    {
        QFETCH(QStringList, args);
        QFETCH(int, right);
        const QString db = freshCopy(QStringLiteral("rights.orv"));
        QDir(path(QStringLiteral("BackUp"))).removeRecursively();
        {
            auto a = AccountDatabase::open(db);
            addPlainOperator(*a);
        }
        QFile script(path(QStringLiteral("x.sql")));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("UPDATE T_Gbl_SysDataCw SET SubValue = 'x' WHERE SubName = 'CompanyName'\n");
        script.close();
        const QString before = costState(db);
        const QStringList common{QStringLiteral("--db"), db, QStringLiteral("--operator"),
                                 QStringLiteral("U9998")};
        const Run refused = admin(args + common);
        QCOMPARE(refused.code, 1);
        QVERIFY2(
            refused.err.contains(QStringLiteral("你没有这个功能的权限，不能打开。（需要权限：%1").arg(right)),
            qPrintable(refused.err));
        QCOMPARE(costState(db), before);
        QVERIFY(QDir(path(QStringLiteral("BackUp"))).entryList({QStringLiteral("jobsbak*")}).isEmpty());

        {
            auto a = AccountDatabase::open(db);
            a->exec(QStringLiteral("INSERT INTO UserToGroup (UserID, GroupId) VALUES ('09998', 1)"));
            a->exec(QStringLiteral("INSERT OR IGNORE INTO T_Gbl_UserPower (GroupId, LimitNo) VALUES (1, ?)"),
                    {right});
        }
        const Run granted = admin(args + common);
        QVERIFY2(!granted.err.contains(QStringLiteral("你没有这个功能的权限")), qPrintable(granted.err));
        const Run help = admin({args.first(), QStringLiteral("--help")});
        QVERIFY(help.out.contains(QStringLiteral("需要权限：%1").arg(right)));
    }

    // A junk inventory period is refused when written, and a job never starts on one.
    void badPeriod_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("NaN") << "NaN";
        QTest::newRow("letters") << "abc";
        QTest::newRow("empty") << "";
        QTest::newRow("zero") << "0";
        QTest::newRow("not in the calendar") << "190001";
    }
    void badPeriod()
    {
        QFETCH(QString, value);
        const QString db = freshCopy(QStringLiteral("period.orv"));
        const Run written = admin(
            {QStringLiteral("sysvalue"), QStringLiteral("--db"), db, QStringLiteral("JxcPeriod"), value});
        if (value != QLatin1String("190001")) {
            QCOMPARE(written.code, 1);
            QVERIFY2(written.err.contains(QStringLiteral("系统值 JxcPeriod 的值“%1”无效").arg(value)),
                     qPrintable(written.err));
        }
        int openingRows = 0;
        {
            auto a = AccountDatabase::open(db);
            a->exec(QStringLiteral("UPDATE T_Gbl_SysDataCw SET SubValue = ? WHERE SubName = 'JxcPeriod'"),
                    {value});
            openingRows =
                a->value(QStringLiteral("SELECT count(*) FROM GoodsStocksCost WHERE Period = 0")).toInt();
        }
        const QString before = costState(db);
        for (const QString &command : {QStringLiteral("cost-calc"), QStringLiteral("checkout")}) {
            const Run r = admin({command, QStringLiteral("--db"), db});
            QCOMPARE(r.code, 1);
            QVERIFY2(r.err.contains(QStringLiteral("当前进销存期间“%1”无效").arg(value)), qPrintable(r.err));
        }
        QCOMPARE(costState(db), before);
        auto a = AccountDatabase::open(db);
        QCOMPARE(a->value(QStringLiteral("SELECT count(*) FROM GoodsStocksCost WHERE Period = 0")).toInt(),
                 openingRows);
    }

    void unknownGoodsAreNamed()
    {
        const QString db = freshCopy(QStringLiteral("goods.orv"));
        const QString before = costState(db);
        const Run r = admin({QStringLiteral("cost-calc"), QStringLiteral("--db"), db, QStringLiteral("NOPE"),
                             QStringLiteral("ALSO-NOT")});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(QStringLiteral("没有这些存货（或存货类）：NOPE、ALSO-NOT。")),
                 qPrintable(r.err));
        QCOMPARE(costState(db), before);
    }

    void administratorWithoutPasswordIsWarned()
    {
        const QString db = freshCopy(QStringLiteral("pw.orv"));
        const QStringList read{QStringLiteral("sysvalue"), QStringLiteral("--db"), db,
                               QStringLiteral("iniover")};
        QVERIFY(admin(read).err.contains(QStringLiteral("系统管理员（00000）还没有设置密码")));
        {
            auto a = AccountDatabase::open(db);
            a->exec(QStringLiteral("UPDATE T_GBL_LoginUser SET Password = ? WHERE ETypeId = '00000'"),
                    {hashPassword(QStringLiteral("geheim"))});
        }
        QFile pw(path(QStringLiteral("pw.txt")));
        QVERIFY(pw.open(QIODevice::WriteOnly));
        pw.write("geheim\n");
        pw.close();
        const Run r = admin(read + QStringList{QStringLiteral("--password-file"), pw.fileName()});
        QCOMPARE(r.code, 0);
        QVERIFY(!r.err.contains(QStringLiteral("还没有设置密码")));
    }
};

QTEST_GUILESS_MAIN(TstAdminJobs)
#include "tst_admin_jobs.moc"
