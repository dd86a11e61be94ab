// bench_backup: backup and restore of the generated account set of the cost calculation benchmark
// (5,000 goods, 1,000,000 bill lines by default): a backup into the backup folder (copy, integrity
// check, catalogue) and a restore of it over the open set (copy, checks, swap, reopen). Each is
// compared with a plain copy of the file followed by fsync, and printed with the bytes it wrote
// (/proc/self/io write_bytes). The last line is "backup: <MB/s> MB/s".
//
//   bench_backup [--goods N] [--lines N] [--keep DIR] [--server URI]
// --keep DIR keeps the generated account set in DIR and reuses it (the same file bench_costcalc
// keeps there). --server URI (the server's maintenance database) works on a database kept on that
// PostgreSQL server instead: the backup is the server's dump, the restore loads it and swaps databases,
// and the floor they are compared with is a copy of the database on the server.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <unistd.h>

#include "AccountDatabase.h"
#include "BenchServer.h"
#include "HostAccountService.h"
#include "ProcSelf.h"
#include "demo/DemoGenerator.h"

namespace {
double Seconds(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

double Mb(qint64 bytes)
{
    return double(bytes) / (1024.0 * 1024.0);
}

// The floor of a backup: the file copied in 1 MB blocks and synced to disk.
bool CopyAndSync(const QString &from, const QString &to)
{
    QFile in(from);
    QFile out(to);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (qint64 n; (n = in.read(block.data(), block.size())) > 0;)
        if (out.write(block.constData(), n) != n)
            return false;
    return out.flush() && ::fsync(out.handle()) == 0;
}

struct TMeasure
{
    double seconds = 0;
    qint64 written = 0;
};

template <class F> TMeasure Measure(F AWork)
{
    const qint64 written = WrittenBytes();
    QElapsedTimer timer;
    timer.start();
    AWork();
    return {Seconds(timer), WrittenBytes() - written};
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("goods"), QStringLiteral("goods items"), QStringLiteral("N"),
                      QStringLiteral("5000")});
    parser.addOption({QStringLiteral("lines"), QStringLiteral("bill lines"), QStringLiteral("N"),
                      QStringLiteral("1000000")});
    parser.addOption({QStringLiteral("keep"), QStringLiteral("folder for the generated account set"),
                      QStringLiteral("DIR")});
    parser.addOption({QStringLiteral("server"), QStringLiteral("a PostgreSQL server's maintenance database"),
                      QStringLiteral("URI")});
    parser.process(app);

    QTemporaryDir dir(QCoreApplication::applicationDirPath() + QStringLiteral("/bench_backup-XXXXXX"));
    if (!dir.isValid()) {
        std::fprintf(stderr, "bench_backup: no work folder\n");
        return 1;
    }
    qputenv("ORVANE_SYSTEM_PATH", dir.path().toUtf8());
    accountdb::demo::DemoOptions options;
    options.goods = parser.value(QStringLiteral("goods")).toInt();
    options.lines = parser.value(QStringLiteral("lines")).toLongLong();
    options.periods = 3;
    const QString keepDir = parser.value(QStringLiteral("keep"));
    const QString pristine =
        QDir(keepDir.isEmpty() ? dir.path() : keepDir)
            .filePath(accountdb::demo::generatedSetName(QStringLiteral("costcalc"), options, u'-') +
                      QStringLiteral(".orv"));
    QString path = dir.filePath(QStringLiteral("bench.orv"));
    try {
        std::unique_ptr<TBenchServer> server;
        const QString serverName =
            accountdb::demo::generatedSetName(QStringLiteral("costcalc"), options, u'_');
        if (parser.isSet(QStringLiteral("server")))
            server = std::make_unique<TBenchServer>(parser.value(QStringLiteral("server")));
        if (server ? !server->Exists(serverName) : !QFile::exists(pristine)) {
            QElapsedTimer timer;
            timer.start();
            const QString part = serverName + QStringLiteral("_part");
            if (server)
                server->Drop(part);
            auto db = accountdb::AccountDatabase::create(server ? server->Uri(part) : pristine);
            const accountdb::demo::DemoReport report = accountdb::demo::generateDemo(*db, options);
            if (!server)
                db->exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
            db.reset();
            if (server)
                server->Rename(part, serverName);
            std::printf("generated: %lld lines in %.1f s\n", static_cast<long long>(report.lines),
                        Seconds(timer));
        }
        double size = 0;
        TMeasure copy;
        if (server) {
            path = server->Uri(QStringLiteral("backup_work"));
            copy = Measure([&] { server->Copy(serverName, QStringLiteral("backup_work")); });
            const auto db = accountdb::AccountDatabase::open(path);
            size = Mb(db->value(QStringLiteral("SELECT pg_database_size(current_database())")).toLongLong());
            std::printf("account set: %.0f MB on the server; a copy on the server: %.2f s\n", size,
                        copy.seconds);
        } else {
            if (!QFile::copy(pristine, path)) {
                std::fprintf(stderr, "bench_backup: cannot copy the account set\n");
                return 1;
            }
            size = Mb(QFileInfo(path).size());
            const QString plain = dir.filePath(QStringLiteral("plain-copy.orv"));
            copy = Measure([&] {
                if (!CopyAndSync(path, plain))
                    std::fprintf(stderr, "bench_backup: the plain copy failed\n");
            });
            QFile::remove(plain);
            std::printf("account set: %.0f MB; plain copy and fsync: %.2f s, %.0f MB written\n", size,
                        copy.seconds, Mb(copy.written));
        }

        std::unique_ptr<accountdb::AccountDatabase> db = accountdb::AccountDatabase::open(path);
        const QString countLines = QStringLiteral("SELECT count(*) FROM DlySale");
        const qint64 lines = db->value(countLines).toLongLong();
        HostAccountService account(HostAccountService::HeldBy(db));
        int result = 0;
        const TMeasure backup = Measure(
            [&] { result = account.BackUpDataBase(QStringLiteral("bench"), QStringLiteral("bench")); });
        if (result != 0) {
            std::fprintf(stderr, "bench_backup: backup failed (%d): %s\n", result,
                         qPrintable(account.LastError()));
            return 1;
        }
        db->exec(QStringLiteral("DELETE FROM DlySale WHERE Dlyorder % 2 = 0"));
        const TMeasure restore = Measure([&] { result = account.RestoreDataBase(QStringLiteral("bench")); });
        if (result != 0) {
            std::fprintf(stderr, "bench_backup: restore failed (%d): %s\n", result,
                         qPrintable(account.LastError()));
            return 1;
        }
        const qint64 restored = db->value(countLines).toLongLong();
        std::printf("sale lines after restore: %lld of %lld\n", static_cast<long long>(restored),
                    static_cast<long long>(lines));
        if (server) {
            // The tools write in processes of their own: the dump's size stands for what they wrote.
            const double dump = Mb(QFileInfo(account.BackupFilePath(QStringLiteral("bench"))).size());
            for (const auto &[name, m] : {std::pair{"backup", backup}, std::pair{"restore", restore}})
                std::printf("%-8s %.2f s (%.1f x the copy on the server), dump %.0f MB\n", name, m.seconds,
                            m.seconds / copy.seconds, dump);
            db.reset();
            server->Drop(QStringLiteral("backup_work"));
        } else {
            for (const auto &[name, m] : {std::pair{"backup", backup}, std::pair{"restore", restore}})
                std::printf("%-8s %.2f s (%.1f x the plain copy), %.0f MB written (%.1f x the file)\n", name,
                            m.seconds, m.seconds / copy.seconds, Mb(m.written), Mb(m.written) / size);
        }
        std::printf("backup: %.0f MB/s\n", size / backup.seconds);
        return restored == lines ? 0 : 1;
    } catch (const accountdb::DbError &e) {
        std::fprintf(stderr, "bench_backup: %s\n", qPrintable(e.message()));
        return 1;
    }
}
