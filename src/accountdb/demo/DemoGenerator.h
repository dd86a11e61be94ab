#pragma once
// The demo account set: a trading and manufacturing company with warehouses, goods of every cost
// mode, suppliers, customers, opening stock and bills over several periods (purchases, sales and
// returns, transfers including circular ones, assembly and disassembly, losses, other receipts and
// issues, consignment, production and outsourcing). Everything follows from the seed (std::mt19937):
// the same options give the same account set. All bills go through the bill posting in one
// transaction.

#include <QString>
#include <functional>

namespace accountdb {
class AccountDatabase;
}

namespace accountdb::demo {

struct DemoOptions
{
    quint32 seed = 20260101;
    int goods = 50;      // goods items (leaves), spread over five classes
    qint64 lines = 2000; // bill lines, about (pairs of lines count twice)
    int periods = 2;     // inventory periods with bills, from the account set's first period on
};

// "small" (50 goods, 2,000 lines, 2 periods), "medium" (500, 100,000, 6), "large" (2,000, 1,000,000, 12).
// False for any other name.
bool optionsForSize(const QString &size, DemoOptions &options);

// The name the benchmarks keep a generated account set under: the prefix and the four options joined by
// sep ('-' for a file, '_' for a server database).
QString generatedSetName(const QString &prefix, const DemoOptions &options, QChar sep);

struct DemoReport
{
    int goods = 0;
    int warehouses = 0;
    int suppliers = 0;
    int customers = 0;
    qint64 bills = 0;
    qint64 lines = 0;
    double seconds = 0; // time spent posting the bills
};

// Fills a new, empty account set (refuses one that already has goods or bills; DbError). progress is
// called now and then with the lines posted so far and the target.
DemoReport generateDemo(AccountDatabase &db, const DemoOptions &options,
                        const std::function<void(qint64 done, qint64 target)> &progress = {});

} // namespace accountdb::demo
