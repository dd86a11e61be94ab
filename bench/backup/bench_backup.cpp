// bench_backup: backup and restore of the generated account set of the cost calculation benchmark
// (5,000 goods, 1,000,000 bill lines by default): a backup into the backup folder (copy, integrity
// check, catalogue) and a restore of it over the open set (copy, checks, swap, reopen). Each is
// compared with a plain copy of the file followed by fsync, and printed with the bytes it wrote
// (/proc/self/io write_bytes). The last line is "backup: <MB/s> MB/s".
//
//   bench_backup [--goods N] [--lines N] [--keep DIR]
// --keep DIR keeps the generated account set in DIR and reuses it (the same file bench_costcalc
// keeps there).

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
    const QString pristine = QDir(keepDir.isEmpty() ? dir.path() : keepDir)
                                 .filePath(QStringLiteral("costcalc-%1-%2-%3-%4.orv")
                                               .arg(options.goods)
                                               .arg(options.lines)
                                               .arg(options.periods)
                                               .arg(options.seed));
    const QString path = dir.filePath(QStringLiteral("bench.orv"));
    try {
        if (!QFile::exists(pristine)) {
            QElapsedTimer timer;
            timer.start();
            auto db = accountdb::AccountDatabase::create(pristine);
            const accountdb::demo::DemoReport report = accountdb::demo::generateDemo(*db, options);
            db->exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
            std::printf("generated: %lld lines in %.1f s\n", static_cast<long long>(report.lines),
                        Seconds(timer));
        }
        if (!QFile::copy(pristine, path)) {
            std::fprintf(stderr, "bench_backup: cannot copy the account set\n");
            return 1;
        }
        const double size = Mb(QFileInfo(path).size());
        const QString plain = dir.filePath(QStringLiteral("plain-copy.orv"));
        const TMeasure copy = Measure([&] {
            if (!CopyAndSync(path, plain))
                std::fprintf(stderr, "bench_backup: the plain copy failed\n");
        });
        QFile::remove(plain);
        std::printf("account set: %.0f MB; plain copy and fsync: %.2f s, %.0f MB written\n", size,
                    copy.seconds, Mb(copy.written));

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
        for (const auto &[name, m] : {std::pair{"backup", backup}, std::pair{"restore", restore}})
            std::printf("%-8s %.2f s (%.1f x the plain copy), %.0f MB written (%.1f x the file)\n", name,
                        m.seconds, m.seconds / copy.seconds, Mb(m.written), Mb(m.written) / size);
        std::printf("backup: %.0f MB/s\n", size / backup.seconds);
        return restored == lines ? 0 : 1;
    } catch (const accountdb::DbError &e) {
        std::fprintf(stderr, "bench_backup: %s\n", qPrintable(e.message()));
        return 1;
    }
}
