// bench_backup [MB]: backup and restore of a generated account set of at least MB megabytes (default
// 520): one table of random blobs and texts written in one transaction, then a backup into the
// backup folder (copy, integrity check, catalogue) and a restore of it over the open set (copy,
// checks, swap, reopen). Prints both times; the last line is "backup: <MB/s> MB/s".

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>

#include "AccountDatabase.h"
#include "HostAccountService.h"
#include "Transaction.h"

namespace {
void Fill(accountdb::AccountDatabase &db, qint64 megabytes)
{
    db.exec(QStringLiteral("CREATE TABLE T_Bench_Blob (Id INTEGER PRIMARY KEY, Name TEXT, Data BLOB)"));
    QRandomGenerator rng(20240501);
    constexpr int kBlob = 60 * 1024;
    const qint64 rows = megabytes * 1024 * 1024 / (kBlob + 200) + 1;
    QByteArray blob(kBlob, Qt::Uninitialized);
    accountdb::Transaction t(db);
    for (qint64 i = 0; i < rows; ++i) {
        rng.fillRange(reinterpret_cast<quint32 *>(blob.data()), kBlob / 4);
        const QString name = QStringLiteral("单据%1-").arg(i) + QString::fromLatin1(blob.left(90).toBase64());
        db.exec(QStringLiteral("INSERT INTO T_Bench_Blob (Name, Data) VALUES (?, ?)"), {name, blob});
    }
    t.commit();
    db.value(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
}

double Seconds(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const qint64 megabytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : 520;
    QTemporaryDir dir(QCoreApplication::applicationDirPath() + QStringLiteral("/bench_backup-XXXXXX"));
    if (!dir.isValid() || megabytes <= 0) {
        std::fprintf(stderr, "bench_backup: no work folder or a bad size\n");
        return 1;
    }
    qputenv("ORVANE_SYSTEM_PATH", dir.path().toUtf8());
    const QString path = dir.filePath(QStringLiteral("bench.orv"));
    try {
        std::unique_ptr<accountdb::AccountDatabase> db = accountdb::AccountDatabase::create(path);
        QElapsedTimer timer;
        timer.start();
        Fill(*db, megabytes);
        const double size = double(QFileInfo(path).size()) / (1024.0 * 1024.0);
        std::printf("generated: %.0f MB in %.2f s\n", size, Seconds(timer));

        HostAccountService account(HostAccountService::HeldBy(db));
        timer.restart();
        const int backup = account.BackUpDataBase(QStringLiteral("bench"), QStringLiteral("bench"));
        const double backupSeconds = Seconds(timer);
        if (backup != 0) {
            std::fprintf(stderr, "bench_backup: backup failed (%d): %s\n", backup,
                         qPrintable(account.LastError()));
            return 1;
        }
        db->exec(QStringLiteral("DELETE FROM T_Bench_Blob WHERE Id % 2 = 0"));

        timer.restart();
        const int restore = account.RestoreDataBase(QStringLiteral("bench"));
        const double restoreSeconds = Seconds(timer);
        if (restore != 0) {
            std::fprintf(stderr, "bench_backup: restore failed (%d): %s\n", restore,
                         qPrintable(account.LastError()));
            return 1;
        }
        const qint64 rows = db->value(QStringLiteral("SELECT count(*) FROM T_Bench_Blob")).toLongLong();
        std::printf("rows after restore: %lld\n", rows);
        std::printf("backup:  %.2f s (%.0f MB/s), target <= 10 s\n", backupSeconds, size / backupSeconds);
        std::printf("restore: %.2f s (%.0f MB/s), target <= 10 s\n", restoreSeconds, size / restoreSeconds);
        std::printf("backup: %.0f MB/s\n", size / backupSeconds);
    } catch (const accountdb::DbError &e) {
        std::fprintf(stderr, "bench_backup: %s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
