// Benchmark of the month-end checkout and its reversal on a generated account set (2,000 goods and
// 1,000,000 bill lines over 12 periods by default). The generated bills keep the costs they were
// posted with: every goods item is taken as costed and its balances are built from its FIFO lists,
// which is what the checkout reads. Then the first period is closed and reopened through the same
// transaction the windows and orvane-admin run. Prints both times; the last line is the checkout's.
//
//   bench_checkout [--goods N] [--lines N] [--periods N] [--seed N] [--keep DIR] [--server URI]
// --keep DIR keeps the prepared account set in DIR and reuses it on the next run (the checkout works
// on a copy). --server URI (the server's maintenance database) prepares and keeps the account set as a
// database on that PostgreSQL server instead.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <cstdio>

#include "AccountDatabase.h"
#include "BenchServer.h"
#include "HostSession.h"
#include "Transaction.h"
#include "demo/DemoGenerator.h"
#include "procs/CostingCommon.h"
#include "uJxcCheckOutCore.h"

namespace {

void Print(const QString &text)
{
    std::puts(text.toUtf8().constData());
    std::fflush(stdout);
}

// Every goods item counts as costed at the costs its lines carry; its balances follow from its lists.
void TakeAsCosted(accountdb::AccountDatabase &db)
{
    accountdb::Transaction transaction(db);
    QStringList goods;
    QSqlQuery q = db.exec(QStringLiteral("SELECT typeId FROM ptype WHERE Sonnum = 0"));
    while (q.next())
        goods << q.value(0).toString();
    q.finish();
    const int stockMode = accountdb::costing::sysInt(db, QStringLiteral("InventoryAccounting"), 0);
    for (const QString &ptype : std::as_const(goods))
        accountdb::costing::writeBalancesFromLists(db, ptype, 0, stockMode, true);
    db.exec(QStringLiteral("UPDATE ptype SET CalcCost = 0, MonthCalcCost = 0"));
    transaction.commit();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption goodsOption(QStringLiteral("goods"), QStringLiteral("goods items"),
                                         QStringLiteral("N"), QStringLiteral("2000"));
    const QCommandLineOption linesOption(QStringLiteral("lines"), QStringLiteral("bill lines"),
                                         QStringLiteral("N"), QStringLiteral("1000000"));
    const QCommandLineOption periodsOption(QStringLiteral("periods"), QStringLiteral("periods with bills"),
                                           QStringLiteral("N"), QStringLiteral("12"));
    const QCommandLineOption seedOption(QStringLiteral("seed"), QStringLiteral("generator seed"),
                                        QStringLiteral("N"), QStringLiteral("20260101"));
    const QCommandLineOption keepOption(
        QStringLiteral("keep"), QStringLiteral("folder that keeps the account set"), QStringLiteral("DIR"));
    const QCommandLineOption serverOption(QStringLiteral("server"),
                                          QStringLiteral("a PostgreSQL server's maintenance database"),
                                          QStringLiteral("URI"));
    parser.addOptions({goodsOption, linesOption, periodsOption, seedOption, keepOption, serverOption});
    parser.process(app);

    QTemporaryDir temp;
    const QString folder = parser.isSet(keepOption) ? parser.value(keepOption) : temp.path();
    QDir().mkpath(folder);
    accountdb::demo::DemoOptions options;
    options.goods = parser.value(goodsOption).toInt();
    options.lines = parser.value(linesOption).toLongLong();
    options.periods = parser.value(periodsOption).toInt();
    options.seed = parser.value(seedOption).toUInt();
    const QString prepared =
        QDir(folder).filePath(accountdb::demo::generatedSetName(QStringLiteral("checkout"), options, u'-') +
                              QStringLiteral(".orv"));
    try {
        std::unique_ptr<TBenchServer> server;
        const QString serverName =
            accountdb::demo::generatedSetName(QStringLiteral("checkout"), options, u'_');
        if (parser.isSet(serverOption))
            server = std::make_unique<TBenchServer>(parser.value(serverOption));
        if (server ? !server->Exists(serverName) : !QFile::exists(prepared)) {
            QElapsedTimer clock;
            clock.start();
            const QString part =
                server ? serverName + QStringLiteral("_part") : prepared + QStringLiteral(".part");
            if (server)
                server->Drop(part);
            auto db = accountdb::AccountDatabase::create(server ? server->Uri(part) : part);
            const accountdb::demo::DemoReport report = accountdb::demo::generateDemo(*db, options);
            TakeAsCosted(*db);
            db.reset();
            if (server)
                server->Rename(part, serverName);
            else
                QFile::rename(part, prepared);
            Print(QStringLiteral("account set: %1 goods, %2 bills, %3 lines (prepared in %4 s)")
                      .arg(report.goods)
                      .arg(report.bills)
                      .arg(report.lines)
                      .arg(clock.elapsed() / 1000.0, 0, 'f', 1));
        } else {
            Print(QStringLiteral("account set: %1 (kept)").arg(server ? serverName : prepared));
        }
        QString work = QDir(folder).filePath(QStringLiteral("checkout-work.orv"));
        if (server) {
            server->Copy(serverName, QStringLiteral("checkout_work"));
            work = server->Uri(QStringLiteral("checkout_work"));
        } else {
            QFile::remove(work);
            QFile::remove(work + QStringLiteral("-wal"));
            QFile::remove(work + QStringLiteral("-shm"));
            if (!QFile::copy(prepared, work)) {
                Print(QStringLiteral("cannot copy the account set to %1").arg(work));
                return 1;
            }
        }
        std::unique_ptr<HostSession> session = HostSession::Open(work);
        session->Install();

        QElapsedTimer clock;
        clock.start();
        const uJxcCheckOutCore::TRunResult closed = uJxcCheckOutCore::RunCheckOut(true);
        const double checkout = clock.elapsed() / 1000.0;
        if (closed.Status != uJxcCheckOutCore::TRunStatus::Done) {
            Print(QStringLiteral("checkout refused: %1 %2").arg(closed.Message, closed.Messages.join(u' ')));
            return 1;
        }
        const int vouchers = session->Db().value(QStringLiteral("SELECT count(*) FROM T_CW_DlyNdx")).toInt();
        const int balances =
            session->Db().value(QStringLiteral("SELECT count(*) FROM T_Jxc_PeriodBalance")).toInt();
        clock.restart();
        const uJxcCheckOutCore::TRunResult reopened = uJxcCheckOutCore::RunUnCheckOut();
        const double reversal = clock.elapsed() / 1000.0;
        if (reopened.Status != uJxcCheckOutCore::TRunStatus::Done) {
            Print(QStringLiteral("reversal refused: %1").arg(reopened.Message));
            return 1;
        }
        session.reset();
        if (server)
            server->Drop(QStringLiteral("checkout_work"));
        else
            QFile::remove(work);
        Print(QStringLiteral("vouchers: %1, period-end balances: %2").arg(vouchers).arg(balances));
        Print(QStringLiteral("reversal: %1 s").arg(reversal, 0, 'f', 3));
        Print(QStringLiteral("checkout: %1 s").arg(checkout, 0, 'f', 3));
    } catch (const accountdb::DbError &e) {
        Print(QStringLiteral("failed: ") + e.message());
        return 1;
    }
    return 0;
}
