// FIFO costing benchmark: matching and pricing of one million receipt and issue lines over several
// stock lists, and the cost equations of a ring of transfers. Prints figures; asserts nothing.
#include "uCostCalcProcess.h"
#include "uCostEquation.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <random>
#include <sys/resource.h>

namespace {
// CPU time of the process (user + system): the machine is shared by several builds, so wall time
// would measure the neighbours too. The program is single-threaded; on an idle machine both agree.
struct Clock
{
    static double now()
    {
        rusage u{};
        getrusage(RUSAGE_SELF, &u);
        return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
               double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
    }
};

double Seconds(double from)
{
    return Clock::now() - from;
}

long PeakKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

struct TRandom
{
    std::mt19937_64 gen{20240601};
    // A positive quantity or price with 4 decimals in (0, max].
    double Amount(int max) { return double(gen() % (uint64_t(max) * 10000) + 1) / 10000.0; }
    bool Chance(int percent) { return int(gen() % 100) < percent; }
};

struct TTransfer
{
    int dlyorder;
    double qty;
};

// Loads "lists" stock lists of "perList" receipts and "perList" issues each. Receipts are purchases
// of known cost, or the receiving side of a transfer from the previous list (5 % of its issues, some
// with a fee); issues are sales of unknown cost, transfers, or issues of given cost (5 %).
void Load(TAllStockList &all, int lists, int perList, TRandom &rnd)
{
    const QString buy = QStringLiteral("dlybuy"), sale = QStringLiteral("dlysale"),
                  diff = QStringLiteral("dlydiff"), stock = QStringLiteral("Stock");
    int nextId = 1, nextDly = 1;
    std::vector<TTransfer> previous(perList, TTransfer{0, 0}), current(perList, TTransfer{0, 0});
    for (int k = 0; k < lists; ++k) {
        const QString ktype = QStringLiteral("K%1").arg(k);
        for (int i = 0; i < perList; ++i) {
            TInRecord I;
            I.ID = nextId++;
            I.Vchcode = i;
            I.Dlyorder = nextDly++;
            I.Stock = stock;
            if (previous[i].dlyorder != 0) {
                I.Table = diff;
                I.Vchtype = 21;
                I.Appoint = 0;
                I.Qty = previous[i].qty;
                I.FeeTotal = rnd.Chance(30) ? CostRounding::Round2(rnd.Amount(20)) : 0;
                I.LeftQty = I.Qty;
                I.OutTable = diff;
                I.OutDlyorder = previous[i].dlyorder;
            } else {
                I.Table = buy;
                I.Vchtype = 34;
                I.Appoint = 1;
                I.Qty = rnd.Amount(100);
                I.Price = rnd.Amount(500);
                I.Total = CostRounding::Round2(I.Qty * I.Price);
                I.LeftQty = I.Qty;
                I.LeftTotal = I.Total;
                I.CostCacled = true;
            }
            all.AddInRecord(ktype, std::move(I));
        }
        for (int i = 0; i < perList; ++i) {
            TOutRecord O;
            O.ID = nextId++;
            O.Vchcode = i;
            O.Dlyorder = nextDly++;
            O.Stock = stock;
            O.Qty = rnd.Amount(80);
            O.LeftQty = O.Qty;
            current[i] = TTransfer{0, 0};
            if (k + 1 < lists && rnd.Chance(5)) {
                O.Table = diff;
                O.Vchtype = 21;
                current[i] = TTransfer{O.Dlyorder, O.Qty};
            } else if (rnd.Chance(5)) {
                O.Table = sale;
                O.Vchtype = 11;
                O.Appoint = 1;
                O.NoFeePrice = O.Price = rnd.Amount(500);
                O.Total = O.LeftTotal = CostRounding::Round2(O.Qty * O.Price);
            } else {
                O.Table = sale;
                O.Vchtype = 11;
            }
            all.AddOutRecord(ktype, std::move(O));
        }
        std::swap(previous, current);
    }
}

// A ring of n warehouses: each buys 10 units and receives 6 from the one before it, and sends 8 on to
// the next, so every transfer's cost depends on the previous one, round the ring.
std::vector<double> RingMatrix(int n)
{
    std::vector<double> m(size_t(n) * size_t(n + 1), 0.0);
    const size_t w = size_t(n) + 1;
    for (int i = 0; i < n; ++i) {
        m[i * w + i] = 8;
        m[i * w + (i + n - 1) % n] -= 6 - 0.0001 * (i % 7);
        m[i * w + n] = 20 + i % 13;
    }
    return m;
}

void LoadRing(TAllStockList &all, int n)
{
    const QString buy = QStringLiteral("dlybuy"), diff = QStringLiteral("dlydiff"),
                  stock = QStringLiteral("Stock");
    for (int i = 0; i < n; ++i) {
        const QString ktype = QStringLiteral("K%1").arg(i);
        TInRecord P;
        P.ID = 2 * i + 1;
        P.Table = buy;
        P.Vchtype = 34;
        P.Dlyorder = 100000 + i;
        P.Appoint = 1;
        P.Qty = P.LeftQty = 2;
        P.Price = 10 + i % 5;
        P.Total = P.LeftTotal = P.Qty * P.Price;
        P.CostCacled = true;
        P.Stock = stock;
        all.AddInRecord(ktype, std::move(P));
        TInRecord R;
        R.ID = 2 * i + 2;
        R.Table = diff;
        R.Vchtype = 21;
        R.Dlyorder = 200000 + i;
        R.Qty = R.LeftQty = 8;
        R.OutTable = diff;
        R.OutDlyorder = 300000 + (i + n - 1) % n;
        R.Stock = stock;
        all.AddInRecord(ktype, std::move(R));
        TOutRecord T;
        T.ID = i + 1;
        T.Table = diff;
        T.Vchtype = 21;
        T.Dlyorder = 300000 + i;
        T.Qty = T.LeftQty = 8;
        T.Stock = stock;
        all.AddOutRecord(ktype, std::move(T));
    }
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int lists = 8;
    const int perList = 62500; // 8 x (62,500 receipts + 62,500 issues) = 1,000,000 records
    const int records = lists * perList * 2;

    double recordsPerSecond = 0;
    {
        TRandom rnd;
        TAllStockList all;
        double t = Clock::now();
        Load(all, lists, perList, rnd);
        const double load = Seconds(t);

        t = Clock::now();
        all.SetInOutRelationship();
        const double relate = Seconds(t);
        t = Clock::now();
        const bool matched = all.CreateMatchRecord();
        const double match = Seconds(t);
        t = Clock::now();
        all.CalcCost();
        const double price = Seconds(t);
        const int left = all.AllUnknownOutCostRecordCount();
        t = Clock::now();
        int zeroCostCalls = 0;
        const bool solved = all.CalcUnknownCost([&zeroCostCalls](int, double, double &p) {
            ++zeroCostCalls;
            p = 1;
            return true;
        });
        const double unknown = Seconds(t);
        const double core = relate + match + price + unknown;
        recordsPerSecond = records / core;

        size_t matches = 0;
        for (const auto &list : all.Lists())
            matches += list->MatchRecordList.size();
        std::printf(
            "records: %d in %d stock lists, %zu matches (matched: %s, solved: %s, unknown after pricing: "
            "%d, substitute asked: %d)\n",
            records, lists, matches, matched ? "yes" : "no", solved ? "yes" : "no", left, zeroCostCalls);
        std::printf("load:            %8.3f s\n", load);
        std::printf("relationship:    %8.3f s\n", relate);
        std::printf("matching:        %8.3f s\n", match);
        std::printf("pricing:         %8.3f s\n", price);
        std::printf("equations:       %8.3f s\n", unknown);
        std::printf("match + price:   %8.3f s  (target <= 1 s)\n", core);
        std::printf("peak memory:     %8.1f MB (target <= 400 MB)\n", PeakKb() / 1024.0);
    }
    {
        // The update XML of a 100,000-record item (the text of a million would not fit the memory target).
        TRandom rnd;
        TAllStockList all;
        Load(all, 2, 25000, rnd);
        all.SetInOutRelationship();
        all.CreateMatchRecord();
        all.CalcCost();
        all.CalcUnknownCost([](int, double, double &p) {
            p = 1;
            return true;
        });
        const double t = Clock::now();
        const QString xml = all.GetUpdateXML();
        std::printf("update XML:      %8.3f s for 100000 records (%lld characters)\n", Seconds(t),
                    static_cast<long long>(xml.size()));
    }
    for (const int n : {100, 300, 1000}) {
        std::vector<double> m = RingMatrix(n);
        double t = Clock::now();
        const bool ok = CostEquation::SolveEquation(n, m);
        const double solve = Seconds(t);

        TAllStockList all;
        LoadRing(all, n);
        all.SetInOutRelationship();
        all.CreateMatchRecord();
        all.CalcCost();
        t = Clock::now();
        const bool ringOk = all.CalcUnknownCost({});
        const double ring = Seconds(t);
        std::printf("equations n=%4d: solve %8.4f s (%s), ring of transfers %8.4f s (%s)%s\n", n, solve,
                    ok ? "solved" : "singular", ring, ringOk ? "solved" : "failed",
                    n == 1000 ? "  (target <= 1.5 s)" : "");
    }
    {
        // Dense worst case for comparison: every unknown depends on every other one.
        const int n = 1000;
        std::mt19937_64 gen(7);
        std::vector<double> m(size_t(n) * (n + 1));
        for (int i = 0; i < n; ++i)
            for (int j = 0; j <= n; ++j)
                m[size_t(i) * (n + 1) + j] =
                    i == j ? 1000.0 + double(gen() % 1000) : -double(gen() % 1000) / 1000.0;
        const double t = Clock::now();
        const bool ok = CostEquation::SolveEquation(n, m);
        std::printf("equations n=1000 dense: %8.3f s (%s)\n", Seconds(t), ok ? "solved" : "singular");
    }
    std::printf("peak memory:     %8.1f MB\n", PeakKb() / 1024.0);
    std::printf("fifo: %.0f records/s\n", recordsPerSecond);
    return 0;
}
