// Benchmark of the cost calculation: a generated account set (5,000 goods, 1,000,000 bill lines over
// 3 periods by default), the full calculation of every goods item as the cost window runs it, and a
// floor: one pass that reads every bill line of the periods and writes its cost back, in one
// transaction. Prints lines per second, the ratio to the floor and the peak memory.
//
//   bench_costcalc [--goods N] [--lines N] [--periods N] [--seed N] [--keep DIR]
// --keep DIR keeps the generated account set in DIR and reuses it on the next run (the calculation
// works on a copy).

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>

#include "AccountDatabase.h"
#include "HostSession.h"
#include "demo/DemoGenerator.h"
#include "uCostCalcProcessMain.h"
#include "uDllComm.h"

namespace {

void Print(const QString &text)
{
    std::puts(text.toUtf8().constData());
    std::fflush(stdout);
}

// Peak resident memory of the process, from /proc/self/status.
QString PeakMemory()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return QString::fromLatin1(line.mid(6).trimmed());
    return QStringLiteral("?");
}

bool CopyAccountSet(const QString &from, const QString &to)
{
    QFile::remove(to);
    return QFile::copy(from, to);
}

// Reads every line of the periods from AFromPeriod on and writes its cost back, in one transaction.
qint64 FloorPass(accountdb::AccountDatabase &db, int AFromPeriod)
{
    qint64 lines = 0;
    db.begin();
    for (const char *table : {"DlyBuy", "DlySale", "DlyOther"}) {
        const QString t = QString::fromLatin1(table);
        QSqlQuery read(db.sql());
        read.setForwardOnly(true);
        read.prepare(QStringLiteral("SELECT Dlyorder, Qty, CostPrice FROM %1 WHERE Period >= ?").arg(t));
        read.addBindValue(AFromPeriod);
        read.exec();
        QSqlQuery write(db.sql());
        write.prepare(QStringLiteral("UPDATE %1 SET CostPrice = ?, CostTotal = ? WHERE Dlyorder = ?").arg(t));
        while (read.next()) {
            const double qty = read.value(1).toDouble();
            const double price = read.value(2).toDouble();
            write.bindValue(0, price);
            write.bindValue(1, qty * price);
            write.bindValue(2, read.value(0));
            write.exec();
            ++lines;
        }
    }
    db.commit();
    return lines;
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
    parser.addOption(
        {QStringLiteral("periods"), QStringLiteral("periods"), QStringLiteral("N"), QStringLiteral("3")});
    parser.addOption(
        {QStringLiteral("seed"), QStringLiteral("seed"), QStringLiteral("N"), QStringLiteral("20260101")});
    parser.addOption({QStringLiteral("keep"), QStringLiteral("folder for the generated account set"),
                      QStringLiteral("DIR")});
    parser.process(app);

    accountdb::demo::DemoOptions options;
    options.goods = parser.value(QStringLiteral("goods")).toInt();
    options.lines = parser.value(QStringLiteral("lines")).toLongLong();
    options.periods = parser.value(QStringLiteral("periods")).toInt();
    options.seed = parser.value(QStringLiteral("seed")).toUInt();

    QTemporaryDir work;
    const QString keepDir = parser.value(QStringLiteral("keep"));
    const QString pristine = QDir(keepDir.isEmpty() ? work.path() : keepDir)
                                 .filePath(QStringLiteral("costcalc-%1-%2-%3-%4.orv")
                                               .arg(options.goods)
                                               .arg(options.lines)
                                               .arg(options.periods)
                                               .arg(options.seed));
    const bool generated = !QFile::exists(pristine);
    if (generated) {
        QElapsedTimer t;
        t.start();
        auto db = accountdb::AccountDatabase::create(pristine);
        const accountdb::demo::DemoReport report = accountdb::demo::generateDemo(*db, options);
        // One file, no write-ahead log beside it, so that it can be copied.
        db->exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        Print(QStringLiteral("generated: %1 goods, %2 bills, %3 lines in %4 s")
                  .arg(report.goods)
                  .arg(report.bills)
                  .arg(report.lines)
                  .arg(double(t.elapsed()) / 1000.0, 0, 'f', 1));
    }

    // Floor: one pass over every line, on its own copy.
    const QString floorPath = work.filePath(QStringLiteral("floor.orv"));
    const QString calcPath = work.filePath(QStringLiteral("calc.orv"));
    if (!CopyAccountSet(pristine, floorPath) || !CopyAccountSet(pristine, calcPath)) {
        Print(QStringLiteral("cannot copy the account set"));
        return 1;
    }
    double floorSeconds = 0;
    qint64 floorLines = 0;
    {
        auto db = accountdb::AccountDatabase::open(floorPath);
        const int period =
            db->value(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = 'JxcPeriod'"))
                .toInt();
        QElapsedTimer t;
        t.start();
        floorLines = FloorPass(*db, period);
        floorSeconds = double(t.nsecsElapsed()) / 1e9;
    }
    QFile::remove(floorPath);
    Print(QStringLiteral("floor: %1 lines read and written in %2 s (%3 lines/s)")
              .arg(floorLines)
              .arg(floorSeconds, 0, 'f', 2)
              .arg(qint64(double(floorLines) / floorSeconds)));

    // The full calculation, item by item.
    std::unique_ptr<HostSession> session = HostSession::Open(calcPath);
    session->Install();
    uDllComm::DllParams.IsGM = false;
    QElapsedTimer t;
    t.start();
    TCostCalcProcess process(true);
    const int items = process.GetCalcPtype(QStringLiteral("00000"));
    int failed = 0, detail = 0;
    QStringList reasons;
    while (!process.ProcessEnd()) {
        if (!process.CalcPtypeCost(detail)) {
            ++failed;
            if (reasons.size() < 5)
                reasons << process.CurrentPtype() + QStringLiteral(": ") + process.LastError();
        }
        process.ProcessNext();
    }
    const double calcSeconds = double(t.nsecsElapsed()) / 1e9;
    const qint64 lines =
        session->Db()
            .value(QStringLiteral(
                       "SELECT (SELECT count(*) FROM DlyBuy WHERE Period >= ?) + (SELECT count(*) FROM "
                       "DlySale WHERE Period >= ?) + (SELECT count(*) FROM DlyOther WHERE Period >= ?)"),
                   {process.JxcPeriod(), process.JxcPeriod(), process.JxcPeriod()})
            .toLongLong();
    session.reset();
    for (const QString &r : std::as_const(reasons))
        Print(QStringLiteral("  failed %1").arg(r));
    const qint64 rate = qint64(double(lines) / calcSeconds);
    Print(QStringLiteral("calculation: %1 goods (%2 failed), %3 bill lines (%4 counted) in %5 s")
              .arg(items)
              .arg(failed)
              .arg(lines)
              .arg(detail)
              .arg(calcSeconds, 0, 'f', 2));
    Print(QStringLiteral("ratio to the floor: %1 (target <= 3); target 50000 lines/s, <= 20 s")
              .arg(calcSeconds / floorSeconds, 0, 'f', 2));
    Print(QStringLiteral("peak memory (VmHWM): %1%2")
              .arg(PeakMemory(),
                   generated ? QStringLiteral(" (generation included; --keep DIR to reuse the account set)")
                             : QString()));
    Print(QStringLiteral("costcalc: %1 lines/s").arg(rate));
    return 0;
}
