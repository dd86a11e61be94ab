// Benchmark of the cost calculation: a generated account set (5,000 goods, 1,000,000 bill lines over
// 3 periods by default), the full calculation of every goods item as the cost window runs it, and a
// floor: one pass that reads every bill line of the periods and writes its cost back, in one
// transaction. Prints lines per second, the ratio to the floor, the bytes written beside the file
// size, and the peak memory.
//
// First it costs a small generated set (100 goods, 20,000 lines, the default seed) and compares a
// checksum of every line cost, list row, match, balance and mark with the one the item-by-item
// calculation produced before chunked commits and statement reuse (kReferenceChecksum): the costs
// must stay the same to the cent. The exit code is 1 when they differ.
//
//   bench_costcalc [--goods N] [--lines N] [--periods N] [--seed N] [--keep DIR] [--checksum FILE]
// --keep DIR keeps the generated account sets in DIR and reuses them on the next run (the
// calculation works on a copy). --checksum FILE prints the checksum of a costed account set and ends.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>

#include "AccountDatabase.h"
#include "HostSession.h"
#include "ProcSelf.h"
#include "demo/DemoGenerator.h"
#include "uCostCalcProcessMain.h"
#include "uDllComm.h"
#include "uOrvaneCommon.h"

namespace {

// The checksum of the check set (100 goods, 20,000 lines, 3 periods, seed 20260101) costed item by
// item with a commit per item.
constexpr char kReferenceChecksum[] = "078d259c18b88d3cc93ddaadc91b3f92a760cac3";

void Print(const QString &text)
{
    std::puts(text.toUtf8().constData());
    std::fflush(stdout);
}

// Peak resident memory of the process.
QString PeakMemory()
{
    const QByteArray peak = ProcSelfField("status", "VmHWM");
    return peak.isEmpty() ? QStringLiteral("?") : QString::fromLatin1(peak);
}

double CpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

QString Megabytes(qint64 bytes)
{
    return QString::number(double(bytes) / (1024.0 * 1024.0), 'f', 1) + QStringLiteral(" MB");
}

// SHA-1 over everything the calculation writes, in a fixed order: line costs, FIFO list rows, matches,
// balances and the goods' marks. Amounts to 2 decimals, prices and quantities to 4.
QString CostChecksum(accountdb::AccountDatabase &db)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    const auto add = [&](const QString &sql, int amountColumns) {
        QSqlQuery q = db.exec(sql);
        const int columns = q.record().count();
        while (q.next()) {
            for (int c = 0; c < columns; ++c) {
                const QVariant v = q.value(c);
                const bool number = v.typeId() == QMetaType::Double;
                const int places = c >= columns - amountColumns ? 2 : 4;
                hash.addData((number ? QString::number(v.toDouble(), 'f', places) : v.toString()).toUtf8());
                hash.addData("|");
            }
            hash.addData("\n");
        }
    };
    for (const char *t : {"DlyBuy", "DlySale", "DlyOther"})
        add(QStringLiteral("SELECT Dlyorder, CostPrice, Price, CostTotal, Total FROM %1 ORDER BY Dlyorder")
                .arg(QLatin1String(t)),
            2);
    for (const char *kind : {"Stock", "Commission", "Produce", "Consign"}) {
        for (const char *side : {"In", "Out"})
            add(QStringLiteral("SELECT ID, CostPrice, CostTotal FROM T_FIFO_%1List_%2 ORDER BY ID")
                    .arg(QLatin1String(side), QLatin1String(kind)),
                1);
        add(QStringLiteral("SELECT ID, MatchedQty, MatchedTotal FROM T_FIFO_InList_%1 ORDER BY ID")
                .arg(QLatin1String(kind)),
            1);
    }
    add(QStringLiteral(
            "SELECT PtypeID, Period, Dest, InTable, InDlyorder, OutTable, OutDlyorder, Qty, Price, "
            "Comment, Total FROM T_FIFO_MatchList ORDER BY PtypeID, Period, Dest, InTable, "
            "InDlyorder, OutTable, OutDlyorder, Qty, Price, Total"),
        1);
    add(QStringLiteral("SELECT PtypeId, KTypeID, BlockNo, Period, Qty, Total FROM GoodsStocksCost "
                       "ORDER BY PtypeId, KTypeID, BlockNo, Period, Qty, Total"),
        1);
    for (const char *t : {"CommissionCost", "GoodsStocksCostSC", "GoodsStocksCostWeiWai"})
        add(QStringLiteral("SELECT PTypeID, BlockNo, Period, Qty, Total FROM %1 "
                           "ORDER BY PTypeID, BlockNo, Period, Qty, Total")
                .arg(QLatin1String(t)),
            1);
    add(QStringLiteral("SELECT typeId, CalcCost, MonthCalcCost FROM ptype ORDER BY typeId"), 0);
    return QString::fromLatin1(hash.result().toHex());
}

// The account set of the options in ADir, generated when it is not there yet.
QString PristineSet(const QString &ADir, const accountdb::demo::DemoOptions &options, bool &AGenerated)
{
    const QString path =
        QDir(ADir).filePath(accountdb::demo::generatedSetName(QStringLiteral("costcalc"), options, u'-') +
                            QStringLiteral(".orv"));
    AGenerated = !QFile::exists(path);
    if (AGenerated) {
        QElapsedTimer t;
        t.start();
        auto db = accountdb::AccountDatabase::create(path);
        const accountdb::demo::DemoReport report = accountdb::demo::generateDemo(*db, options);
        // One file, no write-ahead log beside it, so that it can be copied.
        db->exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        Print(QStringLiteral("generated: %1 goods, %2 bills, %3 lines in %4 s")
                  .arg(report.goods)
                  .arg(report.bills)
                  .arg(report.lines)
                  .arg(double(t.elapsed()) / 1000.0, 0, 'f', 1));
    }
    return path;
}

struct TCalcRun
{
    int items = 0;
    int failed = 0;
    int detail = 0;
    qint64 lines = 0;
    double seconds = 0;
    double cpuSeconds = 0; // of this process: the rest of the time it waited (storage, other load)
    qint64 written = 0;
    QStringList reasons;
    QString checksum;
};

// The full calculation of every goods item that needs it, as the progress window runs it.
TCalcRun CostEveryItem(const QString &APath)
{
    TCalcRun run;
    std::unique_ptr<HostSession> session = HostSession::Open(APath);
    session->Install();
    uDllComm::DllParams.IsGM = false;
    const qint64 written = WrittenBytes();
    QElapsedTimer t;
    t.start();
    const double cpu = CpuSeconds();
    {
        TCostCalcProcess process(true);
        run.items = process.GetCalcPtype(QStringLiteral("00000"));
        while (!process.ProcessEnd()) {
            if (!process.CalcPtypeCost(run.detail)) {
                ++run.failed;
                if (run.reasons.size() < 5)
                    run.reasons << process.CurrentPtype() + QStringLiteral(": ") + process.LastError();
            }
            process.ProcessNext();
        }
        process.CommitPending();
    }
    run.seconds = double(t.nsecsElapsed()) / 1e9;
    run.cpuSeconds = CpuSeconds() - cpu;
    const int period = uOrvaneCommon::GetJxcPeriod();
    run.lines = session->Db()
                    .value(QStringLiteral("SELECT (SELECT count(*) FROM DlyBuy WHERE Period >= ?) + (SELECT "
                                          "count(*) FROM DlySale WHERE Period >= ?) + (SELECT count(*) FROM "
                                          "DlyOther WHERE Period >= ?)"),
                           {period, period, period})
                    .toLongLong();
    run.checksum = CostChecksum(session->Db());
    session.reset(); // closing the last connection copies the write-ahead log back
    run.written = WrittenBytes() - written;
    return run;
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
    parser.addOption({QStringLiteral("keep"), QStringLiteral("folder for the generated account sets"),
                      QStringLiteral("DIR")});
    parser.addOption({QStringLiteral("checksum"),
                      QStringLiteral("print the checksum of a costed account set"), QStringLiteral("FILE")});
    parser.process(app);

    if (parser.isSet(QStringLiteral("checksum"))) {
        auto db = accountdb::AccountDatabase::open(parser.value(QStringLiteral("checksum")));
        Print(CostChecksum(*db));
        return 0;
    }

    accountdb::demo::DemoOptions options;
    options.goods = parser.value(QStringLiteral("goods")).toInt();
    options.lines = parser.value(QStringLiteral("lines")).toLongLong();
    options.periods = parser.value(QStringLiteral("periods")).toInt();
    options.seed = parser.value(QStringLiteral("seed")).toUInt();

    QTemporaryDir work;
    const QString keepDir = parser.value(QStringLiteral("keep"));
    const QString setDir = keepDir.isEmpty() ? work.path() : keepDir;
    const QString calcPath = work.filePath(QStringLiteral("calc.orv"));

    // The same costs as the reference calculation, on the small check set.
    accountdb::demo::DemoOptions check;
    check.goods = 100;
    check.lines = 20000;
    check.periods = 3;
    bool generated = false;
    if (!CopyAccountSet(PristineSet(setDir, check, generated), calcPath)) {
        Print(QStringLiteral("cannot copy the account set"));
        return 1;
    }
    const TCalcRun checkRun = CostEveryItem(calcPath);
    const bool same = checkRun.checksum == QLatin1String(kReferenceChecksum);
    Print(QStringLiteral("check set: %1 goods, %2 lines costed in %3 s; checksum %4 %5")
              .arg(checkRun.items)
              .arg(checkRun.lines)
              .arg(checkRun.seconds, 0, 'f', 2)
              .arg(checkRun.checksum,
                   same ? QStringLiteral("(the reference costs)")
                        : QStringLiteral("DIFFERS from the reference ") + QLatin1String(kReferenceChecksum)));

    const QString pristine = PristineSet(setDir, options, generated);
    const qint64 fileSize = QFileInfo(pristine).size();

    // Floor: one pass over every line, on its own copy.
    const QString floorPath = work.filePath(QStringLiteral("floor.orv"));
    if (!CopyAccountSet(pristine, floorPath) || !CopyAccountSet(pristine, calcPath)) {
        Print(QStringLiteral("cannot copy the account set"));
        return 1;
    }
    double floorSeconds = 0;
    qint64 floorLines = 0;
    qint64 floorWritten = WrittenBytes();
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
    floorWritten = WrittenBytes() - floorWritten;
    QFile::remove(floorPath);
    Print(QStringLiteral("floor: %1 lines read and written in %2 s (%3 lines/s), %4 written")
              .arg(floorLines)
              .arg(floorSeconds, 0, 'f', 2)
              .arg(qint64(double(floorLines) / floorSeconds))
              .arg(Megabytes(floorWritten)));

    const TCalcRun run = CostEveryItem(calcPath);
    for (const QString &r : std::as_const(run.reasons))
        Print(QStringLiteral("  failed %1").arg(r));
    const qint64 rate = qint64(double(run.lines) / run.seconds);
    Print(QStringLiteral("calculation: %1 goods (%2 failed), %3 bill lines (%4 counted) in %5 s (%6 s of "
                         "processor time); checksum %7")
              .arg(run.items)
              .arg(run.failed)
              .arg(run.lines)
              .arg(run.detail)
              .arg(run.seconds, 0, 'f', 2)
              .arg(run.cpuSeconds, 0, 'f', 2)
              .arg(run.checksum));
    Print(QStringLiteral("bytes written: %1, %2 x the account-set file (%3; target <= 3)")
              .arg(Megabytes(run.written))
              .arg(double(run.written) / double(fileSize), 0, 'f', 2)
              .arg(Megabytes(fileSize)));
    Print(QStringLiteral("ratio to the floor: %1 (target <= 3); target 50000 lines/s")
              .arg(run.seconds / floorSeconds, 0, 'f', 2));
    Print(QStringLiteral("peak memory (VmHWM): %1%2 (target <= 400 MB)")
              .arg(PeakMemory(),
                   generated ? QStringLiteral(" (generation included; --keep DIR to reuse the account set)")
                             : QString()));
    Print(QStringLiteral("costcalc: %1 lines/s").arg(rate));
    return same ? 0 : 1;
}
