// The host's account interface on a real account set: backups, restores, the due check.

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "AccountDatabase.h"
#include "HostAccountService.h"
#include "PrivateFiles.h"
#include "Udlldbservice.h"
#include "tst_maintenance.h"

namespace {

QByteArray FileHash(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256)
                                       : QByteArray();
}

QStringList FolderFiles(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

QString SysValue(accountdb::AccountDatabase &db, const QString &name)
{
    return db.value(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = ?"), {name})
        .toString();
}

void SetSysValue(accountdb::AccountDatabase &db, const QString &name, const QString &value)
{
    accountdb::ProcParams p{{QStringLiteral("@szName"), name}, {QStringLiteral("@szValue"), value}};
    db.callProc(QStringLiteral("P_GBL_SetSysValue"), p);
}

int FileMode(const QString &path)
{
    struct stat st
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

// The id of a process that has ended (a child that exited at once and was reaped).
qint64 EndedProcessId()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

} // namespace

void TestMaintenance::backupWritesFileAndCatalogue()
{
    SKIP_ON_SERVER("copies of account-set files");
    AddData(20);
    HostAccountService &account = FAcct->Session().Account();
    QCOMPARE(account.BackupFolder(), BackupFolder());
    QVERIFY(account.CheckBackUp());
    QCOMPARE(account.BackUpDataBase(QStringLiteral("月末"), QStringLiteral("测试账套")), 0);

    const QString file = BackupFolder() + QStringLiteral("/月末.bak");
    QVERIFY(QFileInfo(file).isFile());
    // Nothing but the backup and the catalogue is left in the folder.
    QCOMPARE(FolderFiles(BackupFolder()),
             (QStringList{QStringLiteral("BackUp.INI"), QStringLiteral("月末.bak")}));
    QSettings ini(BackupFolder() + QStringLiteral("/BackUp.INI"), QSettings::IniFormat);
    QCOMPARE(ini.value(QStringLiteral("月末/ZTNAME")).toString(), QStringLiteral("测试账套"));
    QCOMPARE(ini.value(QStringLiteral("月末/DATABASENAME")).toString(), QStringLiteral("test.orv"));
    QCOMPARE(ini.value(QStringLiteral("月末/BACKUPNAME")).toString(), QStringLiteral("月末"));
    QVERIFY(QDateTime::fromString(ini.value(QStringLiteral("月末/DATE")).toString(),
                                  QStringLiteral("yyyy-MM-dd hh:mm:ss"))
                .isValid());

    // The backup is an account set of its own with the same rows.
    {
        auto copy = accountdb::AccountDatabase::open(file);
        QCOMPARE(copy->value(QStringLiteral("SELECT count(*) FROM T_Test_Keep")).toInt(), 20);
    }
    QVERIFY(!SysValue(FAcct->Db(), HostAccountService::LastBackupKey).isEmpty());
    QVERIFY(!account.CheckBackUp());
}

void TestMaintenance::backupNeverOverwrites()
{
    SKIP_ON_SERVER("copies of account-set files");
    HostAccountService &account = FAcct->Session().Account();
    QCOMPARE(account.BackUpDataBase(QStringLiteral("first"), QStringLiteral("a")), 0);
    const QByteArray before = FileHash(BackupFolder() + QStringLiteral("/first.bak"));
    AddData(3);
    QCOMPARE(account.BackUpDataBase(QStringLiteral("first"), QStringLiteral("a")), -1);
    QCOMPARE(FileHash(BackupFolder() + QStringLiteral("/first.bak")), before);

    // A file of that name that the catalogue does not know is not overwritten either.
    WriteFile(BackupFolder() + QStringLiteral("/stranger.bak"), "not mine");
    QCOMPARE(account.BackUpDataBase(QStringLiteral("stranger"), QStringLiteral("a")), -1);
    QCOMPARE(FileHash(BackupFolder() + QStringLiteral("/stranger.bak")),
             QCryptographicHash::hash("not mine", QCryptographicHash::Sha256));
    // Nor a catalogue entry whose file went missing.
    QVERIFY(QFile::remove(BackupFolder() + QStringLiteral("/first.bak")));
    QCOMPARE(account.BackUpDataBase(QStringLiteral("first"), QStringLiteral("a")), -1);
}

void TestMaintenance::failedBackupLeavesNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("inTransaction");
    QTest::addColumn<int>("code");
    QTest::newRow("open transaction") << "monthly" << true << HostAccountService::ErrAborted;
    QTest::newRow("path in the name") << "../escape" << false << HostAccountService::ErrBadName;
    QTest::newRow("hidden name") << ".hidden" << false << HostAccountService::ErrBadName;
}

void TestMaintenance::failedBackupLeavesNothing()
{
    SKIP_ON_SERVER("copies of account-set files");
    QFETCH(QString, name);
    QFETCH(bool, inTransaction);
    QFETCH(int, code);
    HostAccountService &account = FAcct->Session().Account();
    if (inTransaction)
        FAcct->Db().begin();
    const int result = account.BackUpDataBase(name, QStringLiteral("a"));
    if (inTransaction)
        FAcct->Db().rollback();
    QCOMPARE(result, HostAccountService::FailedBit | code);
    QVERIFY(!account.LastError().isEmpty());
    // Only the log is left: no half-written copy, no catalogue entry, nothing outside the folder.
    QCOMPARE(FolderFiles(BackupFolder()), QStringList{QStringLiteral("orvane-account.log")});
    QVERIFY(!QFileInfo::exists(FSystemDir->path() + QStringLiteral("/escape.bak")));
    QVERIFY(SysValue(FAcct->Db(), HostAccountService::LastBackupKey).isEmpty());
}

void TestMaintenance::roundTripGivesBackTheData_data()
{
    QTest::addColumn<bool>("byPath");
    QTest::newRow("by catalogue name") << false;
    QTest::newRow("by file path") << true;
}

void TestMaintenance::roundTripGivesBackTheData()
{
    QFETCH(bool, byPath);
    AddData(200);
    const QString before = Dump();
    HostAccountService &account = FAcct->Session().Account();
    QCOMPARE(account.BackUpDataBase(QStringLiteral("keep"), QStringLiteral("a")), 0);

    // Change data after the backup.
    accountdb::AccountDatabase &db = FAcct->Db();
    db.exec(QStringLiteral("DELETE FROM T_Test_Keep WHERE Id % 3 = 0"));
    db.exec(QStringLiteral("UPDATE T_Test_Keep SET Name = 'changed' WHERE Id < 10"));
    SetSysValue(db, QStringLiteral("BackupProbe"), QStringLiteral("备份后"));
    QVERIFY(Dump() != before);

    QString source = QStringLiteral("keep");
    if (byPath) {
        source = FSystemDir->path() + QStringLiteral("/elsewhere/keep copy.bak");
        QVERIFY(QDir().mkpath(QFileInfo(source).absolutePath()));
        QVERIFY(QFile::copy(BackupFolder() + QStringLiteral("/keep.bak"), source));
    }
    QCOMPARE(account.RestoreDataBase(source), 0);
    QVERIFY(account.LastError().isEmpty());
    QCOMPARE(Dump(), before);
    // The services work on the restored file: the wrapper units reach the new connection.
    QCOMPARE(Udlldbservice::GetValueFromSQL(QStringLiteral("SELECT count(*) FROM T_Test_Keep")).toInt(), 200);
    QCOMPARE(&FAcct->Session().DbService().Database(), &FAcct->Db());
    // Nothing of the swap is left beside the account set.
    if (TestAccountSet::OnServer()) {
        QCOMPARE(FAcct->Db()
                     .value(QStringLiteral("SELECT count(*) FROM pg_database WHERE datname LIKE ?"),
                            {FAcct->Path().section(u'/', -1) + QStringLiteral("\\_%")})
                     .toInt(),
                 0);
        return;
    }
    const QStringList beside = QDir(FAcct->Dir()).entryList(QDir::Files | QDir::Hidden);
    for (const QString &f : beside)
        QVERIFY2(f == u"test.orv" || f == u"test.orv-wal" || f == u"test.orv-shm", qPrintable(f));
}

void TestMaintenance::refusedRestoreChangesNothing_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("code");
    QTest::newRow("missing") << "missing" << -1;
    QTest::newRow("text file") << "text" << HostAccountService::ErrNotAccountSet;
    QTest::newRow("empty file") << "empty" << HostAccountService::ErrNotAccountSet;
    QTest::newRow("database of another program") << "foreign" << HostAccountService::ErrNotAccountSet;
    QTest::newRow("truncated at a page") << "truncated" << HostAccountService::ErrCorrupt;
    QTest::newRow("truncated mid-page") << "cut" << HostAccountService::ErrCorrupt;
    QTest::newRow("corrupt pages") << "corrupt" << HostAccountService::ErrCorrupt;
    QTest::newRow("newer version") << "newer" << HostAccountService::ErrNewerVersion;
}

void TestMaintenance::refusedRestoreChangesNothing()
{
    QFETCH(QString, kind);
    QFETCH(int, code);
    const bool fileBytes = kind != u"missing" && kind != u"text" && kind != u"empty" && kind != u"foreign";
    if (TestAccountSet::OnServer() && fileBytes)
        QSKIP("pages of an account-set file");
    AddData(300);
    HostAccountService &account = FAcct->Session().Account();
    QCOMPARE(account.BackUpDataBase(QStringLiteral("good"), QStringLiteral("a")), 0);
    QFile good(BackupFolder() + QStringLiteral("/good.bak"));
    QVERIFY(good.open(QIODevice::ReadOnly));
    const QByteArray bytes = good.readAll();
    const int pageSize = 4096;
    if (fileBytes)
        QCOMPARE(int(quint8(bytes[16])) << 8 | quint8(bytes[17]), pageSize);

    const QString bad = BackupFolder() + QStringLiteral("/bad.bak");
    if (kind == u"text") {
        WriteFile(bad, QByteArray("CREATE TABLE x(a);\n").repeated(200));
    } else if (kind == u"empty") {
        WriteFile(bad, QByteArray());
    } else if (kind == u"foreign") {
        {
            auto other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("foreign"));
            other.setDatabaseName(bad);
            QVERIFY(other.open());
            QSqlQuery(QStringLiteral("CREATE TABLE t(a)"), other);
            other.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("foreign"));
    } else if (kind == u"truncated") {
        WriteFile(bad, bytes.left(bytes.size() - 3 * pageSize));
    } else if (kind == u"cut") {
        WriteFile(bad, bytes.left(bytes.size() / 2 + 123));
    } else if (kind == u"corrupt") {
        // Scribble over the b-tree page headers of pages 2 to 40; the size stays right.
        QByteArray broken = bytes;
        for (int page = 1; page < 40; ++page)
            broken.replace(page * pageSize, 12, QByteArray(12, '\x5A'));
        WriteFile(bad, broken);
    } else if (kind == u"newer") {
        QByteArray newer = bytes;
        const quint32 version = accountdb::kSchemaVersion + 1;
        for (int i = 0; i < 4; ++i)
            newer[60 + i] = char(version >> (24 - 8 * i));
        WriteFile(bad, newer);
    }

    accountdb::AccountDatabase *before = &FAcct->Db();
    const QString dump = Dump();
    const int result = account.RestoreDataBase(QStringLiteral("bad"));
    QCOMPARE(result, code);
    QVERIFY(!account.LastError().isEmpty());
    QCOMPARE(Dump(), dump);
    // Refused before anything was closed: the same connection goes on.
    QCOMPARE(&FAcct->Db(), before);
    if (TestAccountSet::OnServer())
        return;
    QStringList beside = QDir(FAcct->Dir()).entryList(QDir::Files | QDir::Hidden);
    beside.removeAll(QStringLiteral("test.orv-wal"));
    beside.removeAll(QStringLiteral("test.orv-shm"));
    QCOMPARE(beside, QStringList{QStringLiteral("test.orv")});
}

void TestMaintenance::restoreRefusedWhileAnotherConnectionHoldsTheSet()
{
    AddData(10);
    HostAccountService &account = FAcct->Session().Account();
    QCOMPARE(account.BackUpDataBase(QStringLiteral("b"), QStringLiteral("a")), 0);
    FAcct->Db().exec(QStringLiteral("DELETE FROM T_Test_Keep"));
    const QString dump = Dump();
    {
        // Another user of the same file (a second connection, as another program would hold).
        auto other = accountdb::AccountDatabase::open(FAcct->Path());
        QCOMPARE(other->value(QStringLiteral("SELECT count(*) FROM T_Test_Keep")).toInt(), 0);
        QCOMPARE(account.RestoreDataBase(QStringLiteral("b")), HostAccountService::ErrInUse);
        QCOMPARE(Dump(), dump);
        QCOMPARE(other->value(QStringLiteral("SELECT count(*) FROM T_Test_Keep")).toInt(), 0);
    }
    // Once the other user has left, the restore goes through.
    QCOMPARE(account.RestoreDataBase(QStringLiteral("b")), 0);
    QCOMPARE(FAcct->Db().value(QStringLiteral("SELECT count(*) FROM T_Test_Keep")).toInt(), 10);
}

void TestMaintenance::newFilesAreOwnerOnly()
{
    SKIP_ON_SERVER("copies of account-set files");
    AddData(5);
    HostAccountService &account = FAcct->Session().Account();
    const mode_t previous = ::umask(022);
    const int backup = account.BackUpDataBase(QStringLiteral("私密"), QStringLiteral("a"));
    const int failed = account.BackUpDataBase(QStringLiteral("../x"), QStringLiteral("a")); // writes the log
    ::umask(previous);
    QCOMPARE(backup, 0);
    QCOMPARE(failed, HostAccountService::FailedBit | HostAccountService::ErrBadName);
    for (const QString &name :
         {QStringLiteral("私密.bak"), QStringLiteral("BackUp.INI"), QStringLiteral("orvane-account.log")})
        QVERIFY2(FileMode(BackupFolder() + u'/' + name) == 0600, qPrintable(name));

    // A restore gives the account set back the mode it had.
    QVERIFY(::chmod(QFile::encodeName(FAcct->Path()).constData(), 0640) == 0);
    QCOMPARE(account.RestoreDataBase(QStringLiteral("私密")), 0);
    QCOMPARE(FileMode(FAcct->Path()), 0640);
}

void TestMaintenance::killedJobLeftoversRemoved()
{
    SKIP_ON_SERVER("copies of account-set files");
    HostAccountService &account = FAcct->Session().Account();
    QVERIFY(QDir().mkpath(BackupFolder()));
    // Tags as a killed job and as a running one would leave them.
    const QString living = accountdb::leftoverTag();
    QString ended = living;
    ended.replace(QRegularExpression(QStringLiteral("^p\\d+h")),
                  QStringLiteral("p%1h").arg(EndedProcessId()));
    QVERIFY(ended != living);
    const QString set = QFileInfo(FAcct->Path()).fileName();
    const QString dir = FAcct->Dir();
    const QStringList killed{BackupFolder() + QStringLiteral("/.backup-%1-Ab12Cd.part").arg(ended),
                             dir + QStringLiteral("/.%1.restore-%2-Xy34Zw").arg(set, ended),
                             dir + QStringLiteral("/.%1.restore-%2-Xy34Zw-wal").arg(set, ended),
                             dir + QStringLiteral("/%1.replaced-%2-1700000000000").arg(set, ended)};
    const QStringList kept{
        BackupFolder() + QStringLiteral("/.backup-%1-Ef56Gh.part").arg(living),
        dir + QStringLiteral("/.%1.restore-%2-Uv78St").arg(set, living),
        dir + QStringLiteral("/.%1.restore-Qr90Op").arg(set),              // no tag: not provably a leftover
        dir + QStringLiteral("/.other.orv.restore-%1-Mn12Lk").arg(ended)}; // another set's
    for (const QString &f : killed + kept)
        WriteFile(f, "left over");

    const auto remaining = [&] {
        QStringList out;
        for (const QString &f : killed + kept) {
            if (QFileInfo::exists(f))
                out << f;
        }
        return out;
    };
    QCOMPARE(account.BackUpDataBase(QStringLiteral("b"), QStringLiteral("a")), 0);
    QCOMPARE(remaining(), kept);

    // A restore cleans up just the same.
    for (const QString &f : killed)
        WriteFile(f, "left over");
    QCOMPARE(account.RestoreDataBase(QStringLiteral("b")), 0);
    QCOMPARE(remaining(), kept);
}

void TestMaintenance::deleteBackup()
{
    SKIP_ON_SERVER("copies of account-set files");
    HostAccountService &account = FAcct->Session().Account();
    QCOMPARE(account.BackUpDataBase(QStringLiteral("one"), QStringLiteral("a")), 0);
    QCOMPARE(account.BackUpDataBase(QStringLiteral("two"), QStringLiteral("a")), 0);
    QVERIFY(account.DeleteBackup(QStringLiteral("one")));
    QVERIFY(!QFileInfo::exists(BackupFolder() + QStringLiteral("/one.bak")));
    QSettings ini(BackupFolder() + QStringLiteral("/BackUp.INI"), QSettings::IniFormat);
    QCOMPARE(ini.childGroups(), QStringList{QStringLiteral("two")});
    QVERIFY(!account.DeleteBackup(QStringLiteral("one")));
    QVERIFY(!account.DeleteBackup(QStringLiteral("../test")));
    QVERIFY(QFileInfo::exists(BackupFolder() + QStringLiteral("/two.bak")));
}

void TestMaintenance::checkBackUpDue_data()
{
    QTest::addColumn<QString>("interval");
    QTest::addColumn<int>("daysAgo"); // -1: never backed up
    QTest::addColumn<bool>("due");
    QTest::newRow("never backed up") << "3" << -1 << true;
    QTest::newRow("interval passed") << "3" << 3 << true;
    QTest::newRow("interval not yet passed") << "3" << 2 << false;
    QTest::newRow("daily, backed up today") << "1" << 0 << false;
    QTest::newRow("daily, backed up yesterday") << "1" << 1 << true;
    QTest::newRow("empty interval counts as 3") << "" << 2 << false;
    QTest::newRow("out-of-range interval counts as 3") << "500" << 3 << true;
    QTest::newRow("100 days") << "100" << 99 << false;
}

void TestMaintenance::checkBackUpDue()
{
    QFETCH(QString, interval);
    QFETCH(int, daysAgo);
    QFETCH(bool, due);
    accountdb::AccountDatabase &db = FAcct->Db();
    SetSysValue(db, QStringLiteral("AutoBackupDate"), interval);
    if (daysAgo >= 0)
        SetSysValue(
            db, HostAccountService::LastBackupKey,
            QDateTime::currentDateTime().addDays(-daysAgo).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    QCOMPARE(FAcct->Session().Account().CheckBackUp(), due);
}
