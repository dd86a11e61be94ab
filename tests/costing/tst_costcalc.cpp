// Cost calculation: the average walk and its rule tables (pure), and the item-by-item process on
// small account sets (average and FIFO results against hand-computed figures, zero and too-large
// costs, forced zero costs, typed costs, balances).
#include <QtTest>

#include "AccountDatabase.h"
#include "TestAccountSet.h"
#include "Udlldbservice.h"
#include "uCostAverage.h"
#include "uCostCalcProcessMain.h"
#include "uDllComm.h"
#include "uOrvaneCommon.h"

#include <memory>
#include <random>

Q_DECLARE_METATYPE(TAverageAction)

namespace {
TAverageLine Line(int period, int vchtype, double qty, double price = 0, double total = 0, int usedType = 0,
                  int appoint = 0, const QString &ktype = QString(), const QString &block = QString(),
                  int dly = 0)
{
    TAverageLine L;
    L.Period = period;
    L.Vchtype = vchtype;
    L.Qty = qty;
    L.Price = price;
    L.Total = total;
    L.UsedType = usedType;
    L.Appoint = appoint;
    L.Ktypeid = ktype;
    L.BlockNo = block;
    L.Dlyorder = dly;
    return L;
}

TAverageCostCalc::TSettings Settings(int costMode = 0, int stockMode = 0, bool isGM = false)
{
    TAverageCostCalc::TSettings s;
    s.CostMode = costMode;
    s.StockMode = stockMode;
    s.IsGM = isGM;
    return s;
}

const TBalanceRow *FindBalance(const std::vector<TBalanceRow> &rows, TCostPoolKind kind, int period,
                               const QString &ktype = QString(), const QString &block = QString())
{
    for (const TBalanceRow &r : rows)
        if (r.Kind == kind && r.Period == period && r.KtypeID == ktype && r.BlockNo == block)
            return &r;
    return nullptr;
}
} // namespace

class TestCostCalc : public QObject
{
    Q_OBJECT

private slots:
    // Pure: thresholds and rule tables
    void zeroAndTooLarge_data();
    void zeroAndTooLarge();
    void averageAction_data();
    void averageAction();
    void saveFlag_data();
    void saveFlag();

    // Pure: the walk
    void walkPricesIssuesAtRunningAverage();
    void walkWritesBalancesBeforeNextPeriod();
    void walkConservesEveryPool_data();
    void walkConservesEveryPool();
    void walkKeysPoolsByWarehouseAndBatch();
    void walkTransferAndCommission();
    void walkZeroCostPaths_data();
    void walkZeroCostPaths();
    void walkOutsourcing();
    void walkFailsOnBaseType215();
    void walkLastPrices();

    // The process on small account sets
    void init();
    void cleanup();
    void processReadsSettings_data();
    void processReadsSettings();
    void averageModesAgainstHandFigures_data();
    void averageModesAgainstHandFigures();
    void averageBalancesPerPeriodAndConservation();
    void itemWithoutLinesClearsBalances();
    void zeroAndTooLargeCosts_data();
    void zeroAndTooLargeCosts();
    void baseType215FailsItem();
    void fifoAgainstHandFigures();
    void monthEndModeAndAfterCostingProcedures();
    void itemListAndCounts();
    void chunkKeepsItemsWholeAndCommitsOnRequest();
    void itemSaveChecksPeriodAndMark_data();
    void itemSaveChecksPeriodAndMark();
    void invalidPeriodIsRefused_data();
    void invalidPeriodIsRefused();

private:
    std::unique_ptr<TestAccountSet> FSet;
};

// ---------------------------------------------------------------------------------------------
// Thresholds and rule tables

void TestCostCalc::zeroAndTooLarge_data()
{
    QTest::addColumn<double>("price");
    QTest::addColumn<double>("maxPrice");
    QTest::addColumn<bool>("minusIsZero");
    QTest::addColumn<bool>("zero");
    QTest::addColumn<bool>("tooLarge");
    QTest::newRow("0.0001 is not zero") << 0.0001 << 1e10 << false << false << false;
    QTest::newRow("0.00009 is zero") << 0.00009 << 1e10 << false << true << false;
    QTest::newRow("-0.00009 is zero") << -0.00009 << 1e10 << false << true << false;
    QTest::newRow("negative kept without flag 164") << -3.0 << 1e10 << false << false << false;
    QTest::newRow("negative is zero with flag 164") << -3.0 << 1e10 << true << true << false;
    QTest::newRow("-0.0001 is zero with flag 164") << -0.0001 << 1e10 << true << true << false;
    QTest::newRow("flag 164 leaves positives") << 2.0 << 1e10 << true << false << false;
    QTest::newRow("equal to the limit is accepted") << 100.0 << 100.0 << false << false << false;
    QTest::newRow("above the limit") << 100.0001 << 100.0 << false << false << true;
    QTest::newRow("negative beyond the limit") << -100.5 << 100.0 << false << false << true;
    QTest::newRow("limit taken as absolute value") << 50.0 << -40.0 << false << false << true;
}

void TestCostCalc::zeroAndTooLarge()
{
    QFETCH(double, price);
    QFETCH(double, maxPrice);
    QFETCH(bool, minusIsZero);
    QFETCH(bool, zero);
    QFETCH(bool, tooLarge);
    TCostLimits limits;
    limits.MaxPrice = maxPrice;
    limits.MinusIsZero = minusIsZero;
    QCOMPARE(limits.IsZeroCost(price), zero);
    QCOMPARE(limits.IsTooLarge(price), tooLarge);
}

void TestCostCalc::averageAction_data()
{
    QTest::addColumn<int>("vchtype");
    QTest::addColumn<int>("usedType");
    QTest::addColumn<int>("appoint");
    QTest::addColumn<TAverageAction>("action");
    using A = TAverageAction;
    QTest::newRow("purchase at own cost") << 34 << 0 << 1 << A::StockReceipt;
    QTest::newRow("purchase variant 340001") << 340001 << 0 << 1 << A::StockReceipt;
    QTest::newRow("purchase without given cost fails") << 34 << 0 << 0 << A::NoRule;
    QTest::newRow("sale") << 11 << 0 << 0 << A::StockIssue;
    QTest::newRow("sale return at average") << 45 << 0 << 0 << A::StockIssue;
    QTest::newRow("loss") << 9 << 0 << 0 << A::StockIssue;
    QTest::newRow("other issue") << 141 << 0 << 0 << A::StockIssue;
    QTest::newRow("other issue with given cost") << 141 << 0 << 1 << A::StockReceipt;
    QTest::newRow("assembly components") << 16 << 1 << 0 << A::StockIssue;
    QTest::newRow("assembly product unpriced fails") << 16 << 2 << 0 << A::NoRule;
    QTest::newRow("transfer out") << 21 << 0 << 0 << A::StockIssue;
    QTest::newRow("transfer in") << 21 << 1 << 0 << A::ReceiptAtPrevPrice;
    QTest::newRow("consignment out of stock") << 25 << 1 << 0 << A::StockIssue;
    QTest::newRow("consignment into commission") << 25 << 0 << 0 << A::CommissionLine;
    QTest::newRow("consignment return from stock side") << 30 << 1 << 0 << A::StockIssue;
    QTest::newRow("consignment return commission side") << 30 << 0 << 0 << A::CommissionLine;
    QTest::newRow("consignment return given, commission side") << 30 << 0 << 1 << A::CommissionLine;
    QTest::newRow("consignment return given, stock side") << 30 << 1 << 1 << A::StockReceipt;
    QTest::newRow("consignment adjustment given") << 32 << 0 << 1 << A::CommissionLine;
    QTest::newRow("consignment adjustment not given fails") << 32 << 0 << 0 << A::NoRule;
    QTest::newRow("consignment settlement") << 26 << 0 << 0 << A::CommissionLine;
    QTest::newRow("material issue") << 172 << 1 << 0 << A::StockIssue;
    QTest::newRow("material issue given") << 172 << 1 << 1 << A::StockReceipt;
    QTest::newRow("material into production") << 172 << 2 << 0 << A::ProduceReceipt;
    QTest::newRow("material return") << 173 << 1 << 0 << A::StockIssue;
    QTest::newRow("completion into stock") << 174 << 1 << 0 << A::StockReceipt;
    QTest::newRow("completion out of production") << 174 << 2 << 0 << A::ProduceIssue;
    QTest::newRow("completion given, production side") << 174 << 2 << 1 << A::ProduceReceipt;
    QTest::newRow("production loss") << 176 << 0 << 0 << A::ProduceIssue;
    QTest::newRow("production loss given") << 176 << 0 << 1 << A::ProduceReceipt;
    QTest::newRow("outsourcing issue") << 182 << 1 << 0 << A::StockIssue;
    QTest::newRow("outsourcing issue, processor side") << 182 << 2 << 0 << A::ConsignReceipt;
    QTest::newRow("simple outsourcing issue given") << 212 << 1 << 1 << A::StockReceipt;
    QTest::newRow("outsourcing acceptance into stock") << 184 << 1 << 0 << A::StockReceipt;
    QTest::newRow("outsourcing acceptance, processor side") << 184 << 2 << 0 << A::ConsignIssue;
    QTest::newRow("outsourcing acceptance given, processor side") << 184 << 2 << 1 << A::ConsignReceipt;
    QTest::newRow("outsourcing return into stock") << 189 << 1 << 0 << A::StockReceipt;
    QTest::newRow("outsourcing return, processor side") << 189 << 2 << 0 << A::ConsignReturn;
    QTest::newRow("simple outsourcing completion") << 214 << 1 << 0 << A::ConsignReceipt;
    QTest::newRow("simple outsourcing, processor side") << 214 << 2 << 0 << A::ConsignIssue;
    QTest::newRow("base type 215 fails") << 215 << 0 << 1 << A::NoRule;
    QTest::newRow("variant of 215 fails") << 2150003 << 1 << 0 << A::NoRule;
    QTest::newRow("base type 180 is outsourcing") << 180 << 0 << 0 << A::ConsignReceipt;
    QTest::newRow("base type 170 is production") << 170 << 0 << 0 << A::ProduceReceipt;
}

void TestCostCalc::averageAction()
{
    QFETCH(int, vchtype);
    QFETCH(int, usedType);
    QFETCH(int, appoint);
    QFETCH(TAverageAction, action);
    QCOMPARE(GetAverageAction(BaseVchtype(vchtype), usedType, appoint), action);
}

void TestCostCalc::saveFlag_data()
{
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("u");
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("flag");
    QTest::newRow("sale") << 11 << 0 << 0 << 0;
    QTest::newRow("loss") << 9 << 0 << 0 << 1;
    QTest::newRow("transfer") << 21 << 1 << 0 << 1;
    QTest::newRow("assembly components") << 16 << 1 << 0 << 1;
    QTest::newRow("assembly product") << 16 << 2 << 1 << 0;
    QTest::newRow("completion calculated") << 174 << 2 << 0 << 1;
    QTest::newRow("completion given") << 174 << 2 << 1 << 0;
    QTest::newRow("outsourcing acceptance calculated") << 184 << 1 << 0 << 1;
    QTest::newRow("outsourcing return") << 189 << 2 << 1 << 1;
    QTest::newRow("simple outsourcing") << 214 << 1 << 1 << 1;
    QTest::newRow("purchase") << 34 << 0 << 1 << 0;
}

void TestCostCalc::saveFlag()
{
    QFETCH(int, b);
    QFETCH(int, u);
    QFETCH(int, a);
    QFETCH(int, flag);
    QCOMPARE(GetSaveFlag(b, u, a), flag);
}

// ---------------------------------------------------------------------------------------------
// The walk

void TestCostCalc::walkPricesIssuesAtRunningAverage()
{
    TAverageCostCalc calc;
    calc.Reset(Settings());
    QVERIFY(calc.AddOpening(Line(0, -1, 10, 0, 50))); // 10 at 5
    std::vector<TAverageLine> lines{
        Line(1, 34, 10, 7, 70, 0, 1),     // pool 20 / 120: average 6
        Line(1, 11, -5),                  // issue at 6
        Line(1, 34, 5, 10.5, 52.5, 0, 1), // pool 20 / 142.5: average 7.125
        Line(1, 11, -3),                  // 3 x 7.125 = 21.375 -> 21.38
    };
    QVERIFY(calc.Calc(lines, 1));
    QCOMPARE(lines[1].Price, 6.0);
    QCOMPARE(lines[1].Total, -30.0);
    QCOMPARE(lines[3].Price, 7.125);
    QCOMPARE(lines[3].Total, -21.38);
    const TBalanceRow *b = FindBalance(calc.Balances(), TCostPoolKind::Stock, 1);
    QVERIFY(b);
    QCOMPARE(b->Qty, 17.0);
    QCOMPARE(b->Total, 121.12);
    // The commission pool writes its (empty) row as well; production kinds only with IsGM.
    QVERIFY(FindBalance(calc.Balances(), TCostPoolKind::Commission, 1));
    QVERIFY(!FindBalance(calc.Balances(), TCostPoolKind::Produce, 1));
    QCOMPARE(int(calc.Balances().size()), 2);
}

void TestCostCalc::walkWritesBalancesBeforeNextPeriod()
{
    TAverageCostCalc calc;
    calc.Reset(Settings());
    std::vector<TAverageLine> lines{
        Line(1, 34, 10, 4, 40, 0, 1),
        Line(1, 11, -4),             // 4 x 4
        Line(2, 34, 6, 9, 54, 0, 1), // period 2: pool 12 / 78, average 6.5
        Line(2, 11, -12),            // empties the pool
        Line(3, 11, -1),             // empty pool: cost zero, kept (no callback)
    };
    calc.OnUnacceptableCost = [](const TAverageLine &, double &) { return true; };
    QVERIFY(calc.Calc(lines, 1));
    const auto &rows = calc.Balances();
    QCOMPARE(int(rows.size()), 6);
    // Period 1 closes with the state before the first line of period 2.
    QCOMPARE(rows[0].Period, 1);
    QCOMPARE(rows[0].Qty, 6.0);
    QCOMPARE(rows[0].Total, 24.0);
    QCOMPARE(rows[2].Period, 2);
    QCOMPARE(rows[2].Qty, 0.0);
    QCOMPARE(rows[2].Total, 0.0);
    QCOMPARE(rows[4].Period, 3);
    QCOMPARE(rows[4].Qty, -1.0);
    QCOMPARE(lines[3].Total, -78.0);
    QCOMPARE(lines[4].Total, 0.0);
}

void TestCostCalc::walkConservesEveryPool_data()
{
    QTest::addColumn<int>("costMode");
    QTest::addColumn<int>("stockMode");
    QTest::addColumn<unsigned>("seed");
    QTest::newRow("whole company") << 0 << 0 << 1u;
    QTest::newRow("per warehouse") << 0 << 1 << 2u;
    QTest::newRow("per batch") << 3 << 0 << 3u;
    QTest::newRow("per warehouse and batch") << 3 << 1 << 4u;
}

void TestCostCalc::walkConservesEveryPool()
{
    // Stock value at period end = opening + receipts - issues, for every pool entry and period.
    QFETCH(int, costMode);
    QFETCH(int, stockMode);
    QFETCH(unsigned, seed);
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> pick(0, 2);
    std::uniform_int_distribution<int> qty(1, 20);
    std::uniform_int_distribution<int> cents(100, 9999);
    const QStringList ktypes{QStringLiteral("K1"), QStringLiteral("K2"), QStringLiteral("K3")};
    const QStringList blocks{QStringLiteral("B1"), QStringLiteral("B2"), QStringLiteral("B3")};

    TAverageCostCalc calc;
    calc.Reset(Settings(costMode, stockMode));
    calc.OnUnacceptableCost = [](const TAverageLine &, double &) { return true; };
    std::vector<TAverageLine> lines;
    for (int period = 1; period <= 3; ++period) {
        for (int i = 0; i < 200; ++i) {
            const QString k = ktypes[pick(rng)];
            const QString b = blocks[pick(rng)];
            const double q = qty(rng);
            if (pick(rng) == 0) {
                const double price = cents(rng) / 100.0;
                lines.push_back(Line(period, 34, q, price, CostRounding::Round2(q * price), 0, 1, k, b));
            } else {
                lines.push_back(Line(period, 11, -q, 0, 0, 0, 0, k, b));
            }
        }
    }
    QVERIFY(calc.Calc(lines, 1));

    // Expected per key and period from the priced lines.
    auto key = [&](const TAverageLine &L) {
        const QString k = stockMode ? L.Ktypeid : QString();
        const QString b = costMode == 3 ? L.BlockNo : QString();
        return k + u'|' + b;
    };
    QHash<QString, std::pair<double, double>> running;
    int checked = 0;
    for (int period = 1; period <= 3; ++period) {
        for (const TAverageLine &L : lines) {
            if (L.Period != period)
                continue;
            auto &r = running[key(L)];
            r.first += L.Qty;
            r.second += L.Total;
        }
        for (auto it = running.cbegin(); it != running.cend(); ++it) {
            const QStringList parts = it.key().split(u'|');
            const TBalanceRow *row =
                FindBalance(calc.Balances(), TCostPoolKind::Stock, period, parts[0], parts[1]);
            QVERIFY2(row, qPrintable(it.key()));
            QVERIFY(qAbs(row->Qty - it->first) < 1e-9);
            QVERIFY(qAbs(row->Total - it->second) < 1e-6);
            ++checked;
        }
    }
    QVERIFY(checked >= 3);
}

void TestCostCalc::walkKeysPoolsByWarehouseAndBatch()
{
    TAverageCostCalc calc;
    calc.Reset(Settings(3, 1));
    QVERIFY(calc.AddOpening(Line(0, -1, 2, 0, 20, 0, 0, QStringLiteral("K1"), QStringLiteral("B1"))));
    std::vector<TAverageLine> lines{
        Line(1, 34, 2, 30, 60, 0, 1, QStringLiteral("K1"), QStringLiteral("B2")),
        Line(1, 34, 2, 50, 100, 0, 1, QStringLiteral("K2"), QStringLiteral("B1")),
        // Keys compare without case: k1/b1 is the opening's pool.
        Line(1, 11, -1, 0, 0, 0, 0, QStringLiteral("k1"), QStringLiteral("b1")),
        Line(1, 11, -1, 0, 0, 0, 0, QStringLiteral("K1"), QStringLiteral("B2")),
        Line(1, 11, -1, 0, 0, 0, 0, QStringLiteral("K2"), QStringLiteral("B1")),
    };
    QVERIFY(calc.Calc(lines, 1));
    QCOMPARE(lines[2].Price, 10.0);
    QCOMPARE(lines[3].Price, 30.0);
    QCOMPARE(lines[4].Price, 50.0);
    QCOMPARE(calc.Pools().IniPrice(QStringLiteral("K1"), QStringLiteral("B1")), 10.0);
    QCOMPARE(calc.Pools().IniPrice(QStringLiteral("K2"), QStringLiteral("B1")), 0.0);
    // Balances carry the key text first seen (the opening's).
    const TBalanceRow *row =
        FindBalance(calc.Balances(), TCostPoolKind::Stock, 1, QStringLiteral("K1"), QStringLiteral("B1"));
    QVERIFY(row);
    QCOMPARE(row->Qty, 1.0);
    QCOMPARE(row->Total, 10.0);
    QCOMPARE(int(calc.Balances().size()), 3); // three stock entries; commission per batch has none
}

void TestCostCalc::walkTransferAndCommission()
{
    TAverageCostCalc calc;
    calc.Reset(Settings(0, 1));
    std::vector<TAverageLine> lines{
        Line(1, 34, 4, 2.5, 10, 0, 1, QStringLiteral("K1")),
        Line(1, 21, -2, 0, 0, 0, 0, QStringLiteral("K1")),    // transfer out at 2.5
        Line(1, 21, 2, 0, 0, 1, 0, QStringLiteral("K2")),     // transfer in at the previous price
        Line(1, 25, -2, 0, 0, 1, 0, QStringLiteral("K2")),    // consignment out of stock at 2.5
        Line(1, 25, 2, 0, 0, 0, 0, QStringLiteral("K2")),     // into commission at 2.5
        Line(1, 26, -1, 0, 0, 0, 0, QStringLiteral("K2")),    // settlement at commission average
        Line(1, 250001, 1, 9, 9, 0, 0, QStringLiteral("K2")), // variant: added as it stands
    };
    QVERIFY(calc.Calc(lines, 1));
    QCOMPARE(lines[1].Total, -5.0);
    QCOMPARE(lines[2].Price, 2.5);
    QCOMPARE(lines[2].Total, 5.0);
    QCOMPARE(lines[3].Total, -5.0);
    QCOMPARE(lines[4].Price, 2.5);
    QCOMPARE(lines[4].Total, 5.0);
    QCOMPARE(lines[5].Price, 2.5);
    QCOMPARE(lines[5].Total, -2.5);
    QCOMPARE(lines[6].Total, 9.0);
    const TBalanceRow *k1 = FindBalance(calc.Balances(), TCostPoolKind::Stock, 1, QStringLiteral("K1"));
    const TBalanceRow *k2 = FindBalance(calc.Balances(), TCostPoolKind::Stock, 1, QStringLiteral("K2"));
    const TBalanceRow *com = FindBalance(calc.Balances(), TCostPoolKind::Commission, 1);
    QVERIFY(k1 && k2 && com);
    QCOMPARE(k1->Total, 5.0);
    QCOMPARE(k2->Qty, 0.0);
    QCOMPARE(com->Qty, 2.0);
    QCOMPARE(com->Total, 11.5);
}

void TestCostCalc::walkZeroCostPaths_data()
{
    QTest::addColumn<bool>("canZero");
    QTest::addColumn<double>("substitute"); // < 0: the search finds nothing
    QTest::addColumn<bool>("accept");       // answer of the unacceptable-cost callback
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("price");
    QTest::addColumn<int>("substituteCalls");
    QTest::addColumn<int>("unacceptableCalls");
    QTest::newRow("zero allowed by flag 103") << true << 3.0 << true << true << 0.0 << 0 << 0;
    QTest::newRow("substitute found") << false << 3.0 << true << true << 3.0 << 1 << 0;
    QTest::newRow("no substitute, accepted") << false << -1.0 << true << true << 8.0 << 1 << 1;
    QTest::newRow("no substitute, refused") << false << -1.0 << false << false << 0.0 << 1 << 1;
}

void TestCostCalc::walkZeroCostPaths()
{
    QFETCH(bool, canZero);
    QFETCH(double, substitute);
    QFETCH(bool, accept);
    QFETCH(bool, ok);
    QFETCH(double, price);
    QFETCH(int, substituteCalls);
    QFETCH(int, unacceptableCalls);
    TAverageCostCalc::TSettings s = Settings();
    s.CanZero = canZero;
    TAverageCostCalc calc;
    calc.Reset(s);
    int substitutes = 0, unacceptables = 0;
    calc.OnGetSubstituteCost = [&](const TAverageLine &, double &p) {
        ++substitutes;
        if (substitute < 0)
            return false;
        p = substitute;
        return true;
    };
    calc.OnUnacceptableCost = [&](const TAverageLine &, double &p) {
        ++unacceptables;
        p = 8.0;
        return accept;
    };
    std::vector<TAverageLine> lines{Line(1, 11, -2)};
    QCOMPARE(calc.Calc(lines, 1), ok);
    QCOMPARE(substitutes, substituteCalls);
    QCOMPARE(unacceptables, unacceptableCalls);
    if (ok) {
        QCOMPARE(lines[0].Price, price);
        QCOMPARE(lines[0].Total, CostRounding::Round2(-2 * price));
    }
}

void TestCostCalc::walkOutsourcing()
{
    TAverageCostCalc::TSettings s = Settings(0, 0, true);
    s.HasConsignBack = true;
    TAverageCostCalc calc;
    calc.Reset(s);
    int lookups = 0;
    calc.OnGetAcceptCost = [&](int dly) {
        ++lookups;
        return dly == 77 ? 1.5 : 0.0;
    };
    QVERIFY(calc.AddOpening(Line(0, -4, 10, 0, 40))); // 10 at 4 at the processor
    std::vector<TAverageLine> lines{
        Line(1, 184, -5, 0, 0, 2, 0, {}, {}, 501), // acceptance out of the processor at 4
        Line(1, 184, 5, 4, 20, 1, 0, {}, {}, 502), // into stock at its own cost
        Line(1, 189, 2, 0, 0, 2, 0, {}, {}, 503),  // return at the acceptance cost of 501
        Line(1, 189, 1, 0, 0, 2, 0, {}, {}, 504),  // return of a line not priced here
        Line(1, 34, 1, 3, 3, 0, 1),
        Line(1, 214, 2, 0, 10, 1, 0), // 10 processing + 2 x previous price 3
    };
    lines[2].SourceDlyorder = 501;
    lines[3].SourceDlyorder = 77;
    QVERIFY(calc.Calc(lines, 1));
    QCOMPARE(lines[0].Price, 4.0);
    QCOMPARE(calc.FConsignCheckAcceptPrice.value(501), 4.0);
    QCOMPARE(lines[2].Price, 4.0);
    QCOMPARE(lines[2].Total, 8.0);
    QCOMPARE(lines[3].Price, 1.5);
    QCOMPARE(lookups, 1);
    QCOMPARE(lines[5].Total, 16.0);
    QCOMPARE(lines[5].Price, 8.0);
    const TBalanceRow *stock = FindBalance(calc.Balances(), TCostPoolKind::Stock, 1);
    const TBalanceRow *weiwai = FindBalance(calc.Balances(), TCostPoolKind::Consign, 1);
    QVERIFY(stock && weiwai && FindBalance(calc.Balances(), TCostPoolKind::Produce, 1));
    QCOMPARE(stock->Qty, 8.0);
    QCOMPARE(stock->Total, 39.0);
    QCOMPARE(weiwai->Qty, 8.0);
    QCOMPARE(weiwai->Total, 29.5);
}

void TestCostCalc::walkFailsOnBaseType215()
{
    TAverageCostCalc calc;
    calc.Reset(Settings());
    std::vector<TAverageLine> lines{Line(1, 34, 1, 1, 1, 0, 1), Line(1, 215, 1, 1, 1, 0, 1), Line(1, 11, -1)};
    int failed = -1;
    QVERIFY(!calc.Calc(lines, 1, &failed));
    QCOMPARE(failed, 1);
    QCOMPARE(lines[2].Total, 0.0); // the walk stopped there
}

void TestCostCalc::walkLastPrices()
{
    TAverageCostCalc calc;
    calc.Reset(Settings());
    std::vector<TAverageLine> lines{
        Line(1, 34, 2, 6, 12, 0, 1),       // last receipt cost 6
        Line(1, 140, 1, 0.00005, 0, 0, 1), // below 0.0001: not taken
        Line(1, 45, 1),                    // sale return: not an issue for the last issue cost
        Line(1, 11, -1),                   // last issue cost
    };
    QVERIFY(calc.Calc(lines, 1));
    QVERIFY(calc.FLastInPriceGeted);
    QCOMPARE(calc.FLastInPrice, 6.0);
    QVERIFY(calc.FLastOutPriceGeted);
    QCOMPARE(calc.FLastOutPrice, lines[3].Price);
}

// ---------------------------------------------------------------------------------------------
// Account-set helpers

namespace {
int Year()
{
    return QDate::currentDate().year();
}
int Period(int month)
{
    return Year() * 100 + month;
}
QString Day(int month, int day)
{
    return QDate(Year(), month, day).toString(QStringLiteral("yyyy-MM-dd"));
}

void Exec(const QString &sql, const QVariantList &params = {})
{
    Udlldbservice::ExecuteSQL(sql, params);
}
QVariant Value(const QString &sql, const QVariantList &params = {})
{
    return Udlldbservice::GetValueFromSQL(sql, params);
}

void AddGoods(const QString &id, int costMode, double recPrice = 0, double refPrice = 0)
{
    Exec(QStringLiteral("INSERT INTO ptype (typeId, UserCode, FullName, Name, Costmode, RecPrice, RefPrice) "
                        "VALUES (?, ?, ?, ?, ?, ?, ?)"),
         {id, id, id, id, costMode, recPrice, refPrice});
}
void AddWarehouse(const QString &id)
{
    Exec(QStringLiteral("INSERT INTO stock (typeId, UserCode, FullName, Name) VALUES (?, ?, ?, ?)"),
         {id, id, id, id});
}

struct PLine
{
    QString ptype;
    double qty = 0;
    double price = 0;
    QString ktype{};
    QString block{};
    int usedType = 0;
};

// Posts one bill through the posting procedure; returns its result (0 posted).
int Post(int vchtype, const QString &date, const QString &ktype, const QList<PLine> &lines,
         const QString &ktype2 = QString())
{
    QString xml = QStringLiteral("<Root>");
    for (const PLine &l : lines)
        xml += QStringLiteral("<Record PtypeID=\"%1\" KtypeID=\"%2\" BlockNo=\"%3\" Qty=\"%4\" Price=\"%5\" "
                              "UsedType=\"%6\"/>")
                   .arg(l.ptype, l.ktype, l.block)
                   .arg(l.qty)
                   .arg(l.price)
                   .arg(l.usedType);
    xml += QStringLiteral("</Root>");
    TParamList out;
    const int result = Udlldbservice::ExecuteProcByName(
        QStringLiteral("P_Jxc_PostBill"),
        {QStringLiteral("@nVchType"), QStringLiteral("@szDate"), QStringLiteral("@szNumber"),
         QStringLiteral("@szBTypeID"), QStringLiteral("@szETypeID"), QStringLiteral("@szKTypeID"),
         QStringLiteral("@szKTypeID2"), QStringLiteral("@szDTypeID"), QStringLiteral("@szSummary"),
         QStringLiteral("@szOperatorID"), QStringLiteral("@szXML")},
        {vchtype, date, QString(), QString(), QString(), ktype, ktype2, QString(), QString(),
         QStringLiteral("00000"), xml},
        &out);
    if (result < 0)
        qWarning() << "posting refused:" << out.ParamByName(QStringLiteral("@ErrMsg")).toString();
    return result;
}

void OpenAccountSet()
{
    uOrvaneCommon::SetSysValue(QStringLiteral("iniover"), QStringLiteral("1"));
}

// Runs the calculation over the listed items; returns the failed item ids with their reasons.
QStringList RunAll(TCostCalcProcess &process, const QString &items, int *lines = nullptr)
{
    QStringList failures;
    int dly = 0;
    process.GetCalcPtype(items);
    while (!process.ProcessEnd()) {
        const QString id = process.CurrentPtype();
        if (!process.CalcPtypeCost(dly))
            failures << id + QStringLiteral(": ") + process.LastError();
        process.ProcessNext();
    }
    if (lines)
        *lines = dly;
    return failures;
}

double LineCost(const QString &table, const QString &ptype, int vchtype, int nth = 0)
{
    TClientDataSet ds;
    Udlldbservice::OpenSQL(
        QStringLiteral("SELECT CostTotal FROM %1 WHERE PtypeId = ? AND Vchtype = ? ORDER BY "
                       "Dlyorder")
            .arg(table),
        {ptype, vchtype}, ds);
    ds.SetRecNo(nth + 1);
    return ds.Value(QStringLiteral("CostTotal")).toDouble();
}

struct Balance
{
    double qty = 0;
    double total = 0;
    int rows = 0;
};
Balance StockBalance(const QString &ptype, int period)
{
    TClientDataSet ds;
    Udlldbservice::OpenSQL(
        QStringLiteral("SELECT sum(Qty) AS q, sum(Total) AS t, count(*) AS n FROM GoodsStocksCost "
                       "WHERE PtypeId = ? AND Period = ?"),
        {ptype, period}, ds);
    return {ds.Value(QStringLiteral("q")).toDouble(), ds.Value(QStringLiteral("t")).toDouble(),
            ds.Value(QStringLiteral("n")).toInt()};
}
} // namespace

void TestCostCalc::init()
{
    FSet = std::make_unique<TestAccountSet>();
    uDllComm::DllParams.IsGM = false;
    AddWarehouse(QStringLiteral("K1"));
    AddWarehouse(QStringLiteral("K2"));
}

void TestCostCalc::cleanup()
{
    FSet.reset();
}

void TestCostCalc::processReadsSettings_data()
{
    QTest::addColumn<QString>("maxPrice");
    QTest::addColumn<double>("expected");
    QTest::newRow("zero means 1e10") << QStringLiteral("0") << 1e10;
    QTest::newRow("empty means 1e10") << QString() << 1e10;
    QTest::newRow("not a number means 1e10") << QStringLiteral("abc") << 1e10;
    QTest::newRow("a limit") << QStringLiteral("250.5") << 250.5;
}

void TestCostCalc::processReadsSettings()
{
    QFETCH(QString, maxPrice);
    QFETCH(double, expected);
    uOrvaneCommon::SetSysValue(QStringLiteral("MaxPrice"), maxPrice);
    uOrvaneCommon::SetSysConStats(164, true);
    TCostCalcProcess process(false);
    QCOMPARE(process.MaxPrice(), expected);
    QVERIFY(process.Limits().MinusIsZero);
    QCOMPARE(process.JxcPeriod(), Period(1));
    QCOMPARE(process.cdsCostMode.RecordCount(), 5); // substitute order 0
}

void TestCostCalc::averageModesAgainstHandFigures_data()
{
    QTest::addColumn<int>("costMode");
    QTest::addColumn<int>("stockMode");
    QTest::addColumn<double>("saleCost");
    QTest::addColumn<int>("balanceRows");
    // Receipts K1/B1 10 x 5, K2/B2 10 x 9, K1/B2 10 x 8; a sale of 4 from K1/B2.
    QTest::newRow("whole company") << 0 << 0 << 29.33 << 1;          // 220 / 30 = 7.3333
    QTest::newRow("per warehouse") << 0 << 1 << 26.0 << 2;           // K1: 130 / 20
    QTest::newRow("per batch") << 3 << 0 << 34.0 << 2;               // B2: 170 / 20
    QTest::newRow("per warehouse and batch") << 3 << 1 << 32.0 << 3; // K1/B2: 8
}

void TestCostCalc::averageModesAgainstHandFigures()
{
    QFETCH(int, costMode);
    QFETCH(int, stockMode);
    QFETCH(double, saleCost);
    QFETCH(int, balanceRows);
    uOrvaneCommon::SetSysValue(QStringLiteral("InventoryAccounting"), QString::number(stockMode));
    AddGoods(QStringLiteral("G1"), costMode);
    OpenAccountSet();
    const QString g = QStringLiteral("G1");
    QCOMPARE(Post(34, Day(1, 3), QStringLiteral("K1"), {{g, 10, 5, {}, QStringLiteral("B1")}}), 0);
    QCOMPARE(Post(34, Day(1, 4), QStringLiteral("K2"), {{g, 10, 9, {}, QStringLiteral("B2")}}), 0);
    QCOMPARE(Post(34, Day(1, 5), QStringLiteral("K1"), {{g, 10, 8, {}, QStringLiteral("B2")}}), 0);
    QCOMPARE(Post(11, Day(1, 9), QStringLiteral("K1"), {{g, 4, 20, {}, QStringLiteral("B2")}}), 0);

    TCostCalcProcess process(false);
    int lines = 0;
    QCOMPARE(RunAll(process, QStringLiteral("00000"), &lines), QStringList());
    QCOMPARE(lines, 4);
    QCOMPARE(qAbs(LineCost(QStringLiteral("DlySale"), g, 11)), saleCost);
    const Balance b = StockBalance(g, Period(1));
    QCOMPARE(b.rows, balanceRows);
    QCOMPARE(b.qty, 26.0);
    QVERIFY(qAbs(b.total - (220 - saleCost)) < 0.005);
    QCOMPARE(Value(QStringLiteral("SELECT CalcCost FROM ptype WHERE typeId = ?"), {g}).toInt(), 0);
}

void TestCostCalc::averageBalancesPerPeriodAndConservation()
{
    // Opening 10 x 5; January: buy 10 x 7, sell 5 (at 6); February: buy 5 x 10.5, sell 3 (at 7.125).
    const QString g = QStringLiteral("G1");
    AddGoods(g, 0);
    QCOMPARE(Post(201, QString(), QStringLiteral("K1"), {{g, 10, 5}}), 0);
    OpenAccountSet();
    QCOMPARE(Post(34, Day(1, 5), QStringLiteral("K1"), {{g, 10, 7}}), 0);
    QCOMPARE(Post(11, Day(1, 10), QStringLiteral("K1"), {{g, 5, 9}}), 0);
    QCOMPARE(Post(34, Day(2, 5), QStringLiteral("K1"), {{g, 5, 10.5}}), 0);
    QCOMPARE(Post(11, Day(2, 10), QStringLiteral("K1"), {{g, 3, 9}}), 0);
    // A stale balance of a later period disappears.
    Exec(QStringLiteral(
             "INSERT INTO GoodsStocksCost (PtypeId, KTypeID, BlockNo, Period, Qty, Total) VALUES (?, '', "
             "'', ?, 1, 1)"),
         {g, Period(5)});

    TCostCalcProcess process(false);
    QCOMPARE(RunAll(process, g), QStringList());
    QCOMPARE(LineCost(QStringLiteral("DlySale"), g, 11, 0), -30.0);
    QCOMPARE(LineCost(QStringLiteral("DlySale"), g, 11, 1), -21.38);
    const Balance jan = StockBalance(g, Period(1));
    const Balance feb = StockBalance(g, Period(2));
    QCOMPARE(jan.qty, 15.0);
    QCOMPARE(jan.total, 90.0);
    QCOMPARE(feb.qty, 17.0);
    QCOMPARE(feb.total, 121.12);
    QCOMPARE(StockBalance(g, Period(5)).rows, 0);
    QCOMPARE(StockBalance(g, 0).total, 50.0); // the opening stays
    // Conservation: each period's balance = previous balance + the costs of its lines.
    for (int month : {1, 2}) {
        const double moved =
            Value(QStringLiteral("SELECT coalesce(sum(CostTotal), 0) FROM (SELECT CostTotal, Period, "
                                 "PtypeId FROM DlyBuy UNION ALL SELECT CostTotal, Period, PtypeId FROM "
                                 "DlySale) AS l WHERE PtypeId = ? AND Period = ?"),
                  {g, Period(month)})
                .toDouble();
        const double before = month == 1 ? 50.0 : jan.total;
        QVERIFY2(qAbs(StockBalance(g, Period(month)).total - (before + moved)) < 0.005,
                 qPrintable(QString::number(month)));
    }
}

void TestCostCalc::itemWithoutLinesClearsBalances()
{
    const QString g = QStringLiteral("G2");
    AddGoods(g, 0);
    OpenAccountSet();
    Exec(QStringLiteral("UPDATE ptype SET CalcCost = 1, MonthCalcCost = 1 WHERE typeId = ?"), {g});
    for (int period : {Period(1), Period(3)})
        Exec(QStringLiteral(
                 "INSERT INTO GoodsStocksCost (PtypeId, KTypeID, BlockNo, Period, Qty, Total) VALUES (?, "
                 "'', '', ?, 2, 8)"),
             {g, period});
    Exec(QStringLiteral(
             "INSERT INTO CommissionCost (PTypeID, BlockNo, Period, Qty, Total) VALUES (?, '', ?, 1, 3)"),
         {g, Period(2)});
    TCostCalcProcess process(false);
    int lines = 0;
    QCOMPARE(RunAll(process, g, &lines), QStringList());
    QCOMPARE(lines, 0);
    QCOMPARE(Value(QStringLiteral("SELECT count(*) FROM GoodsStocksCost WHERE PtypeId = ?"), {g}).toInt(), 0);
    QCOMPARE(Value(QStringLiteral("SELECT count(*) FROM CommissionCost WHERE PTypeID = ?"), {g}).toInt(), 0);
    QCOMPARE(
        Value(QStringLiteral("SELECT CalcCost + MonthCalcCost FROM ptype WHERE typeId = ?"), {g}).toInt(), 0);
}

void TestCostCalc::zeroAndTooLargeCosts_data()
{
    QTest::addColumn<int>("zeroSelect"); // substitute order: 1 = reference cost, purchase price, balance
    QTest::addColumn<bool>("forceZero");
    QTest::addColumn<QString>("maxPrice");
    QTest::addColumn<double>("recPrice");
    QTest::addColumn<double>("purchase"); // price of one unit bought before the sales; 0: none
    QTest::addColumn<int>("typed"); // answer of the manual window: -1 none installed, 0 cancel, else the cost
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("salePrice"); // cost of each of the two sales of 2
    QTest::addColumn<int>("windowCalls");
    QTest::addColumn<QStringList>("reports");
    QTest::addColumn<int>("monthCalcCost"); // after the run (it is 1 before)
    const QString mark = QStringLiteral("成本为零或成本过大|");
    QTest::newRow("purchase price substitutes")
        << 1 << false << QString() << 4.0 << 0.0 << -1 << true << 4.0 << 0
        << QStringList{mark + QStringLiteral("最近采购价|4"), mark + QStringLiteral("最近采购价|4")} << 0;
    QTest::newRow("order 0: last issue cost for the second line")
        << 0 << false << QString() << 4.0 << 0.0 << -1 << true << 4.0 << 0
        << QStringList{mark + QStringLiteral("最近采购价|4"), mark + QStringLiteral("上次出库成本|4")} << 0;
    QTest::newRow("headless without substitute fails")
        << 1 << false << QString() << 0.0 << 0.0 << -1 << false << 0.0 << 0 << QStringList() << 1;
    QTest::newRow("forced zero keeps the cost and the mark")
        << 1 << true << QString() << 0.0 << 0.0 << -1 << true << 0.0 << 0 << QStringList() << 1;
    QTest::newRow("typed cost reused for the second line")
        << 1 << false << QString() << 0.0 << 0.0 << 6 << true << 6.0 << 1
        << QStringList{mark + QStringLiteral("手工录入|6"), mark + QStringLiteral("手工录入|6")} << 0;
    QTest::newRow("cancelled manual cost fails")
        << 1 << false << QString() << 0.0 << 0.0 << 0 << false << 0.0 << 1 << QStringList() << 1;
    QTest::newRow("cost above the limit replaced")
        << 1 << false << QStringLiteral("100") << 50.0 << 500.0 << -1 << true << 50.0 << 0
        << QStringList{mark + QStringLiteral("最近采购价|50"), mark + QStringLiteral("最近采购价|50")} << 0;
    QTest::newRow("cost equal to the limit kept") << 1 << false << QStringLiteral("500") << 50.0 << 500.0
                                                  << -1 << true << 500.0 << 0 << QStringList() << 0;
    QTest::newRow("forced cost above the limit kept") << 1 << true << QStringLiteral("100") << 0.0 << 500.0
                                                      << -1 << true << 500.0 << 0 << QStringList() << 1;
}

void TestCostCalc::zeroAndTooLargeCosts()
{
    QFETCH(int, zeroSelect);
    QFETCH(bool, forceZero);
    QFETCH(QString, maxPrice);
    QFETCH(double, recPrice);
    QFETCH(double, purchase);
    QFETCH(int, typed);
    QFETCH(bool, ok);
    QFETCH(double, salePrice);
    QFETCH(int, windowCalls);
    QFETCH(QStringList, reports);
    QFETCH(int, monthCalcCost);
    const QString g = QStringLiteral("G1");
    AddGoods(g, 0, recPrice);
    if (!maxPrice.isEmpty())
        uOrvaneCommon::SetSysValue(QStringLiteral("MaxPrice"), maxPrice);
    OpenAccountSet();
    // Stock costed per warehouse; a sale from each of K1 and K2. Without a purchase both pools are
    // empty (zero cost); with one, each warehouse holds 3 at that price and sells 1.
    uOrvaneCommon::SetSysValue(QStringLiteral("InventoryAccounting"), QStringLiteral("1"));
    uOrvaneCommon::SetSysValue(QStringLiteral("ZeroCostSelect"), QString::number(zeroSelect));
    const double saleQty = purchase > 0 ? 1 : 2;
    if (purchase > 0)
        QCOMPARE(Post(34, Day(1, 2), QStringLiteral("K1"),
                      {{g, 3, purchase, QStringLiteral("K1")}, {g, 3, purchase, QStringLiteral("K2")}}),
                 0);
    QCOMPARE(Post(11, Day(1, 5), QStringLiteral("K1"), {{g, saleQty, 9}}), 0);
    QCOMPARE(Post(11, Day(1, 6), QStringLiteral("K2"), {{g, saleQty, 9}}), 0);
    Exec(QStringLiteral("UPDATE ptype SET MonthCalcCost = 1 WHERE typeId = ?"), {g});

    TCostCalcProcess process(forceZero);
    QStringList seen;
    process.SetOnGetOutPrice([&](const QString &reason, const QString &mode, double price) {
        seen << reason + u'|' + mode + u'|' + QString::number(price);
    });
    int calls = 0;
    if (typed >= 0) {
        process.SetOnInputCost([&](double &price, const TBillInfo &info) {
            ++calls;
            [&] {
                QCOMPARE(info.Vchtype, 11);
                QCOMPARE(info.Ptypeid, g);
                QCOMPARE(info.Qty, QStringLiteral("-2"));
            }();
            price = typed;
            return typed > 0;
        });
    }
    const QStringList failures = RunAll(process, g);
    QVERIFY2(failures.isEmpty() == ok, qPrintable(failures.join(u'\n')));
    QCOMPARE(calls, windowCalls);
    QCOMPARE(seen, reports);
    QCOMPARE(Value(QStringLiteral("SELECT MonthCalcCost FROM ptype WHERE typeId = ?"), {g}).toInt(),
             monthCalcCost);
    if (ok) {
        QCOMPARE(LineCost(QStringLiteral("DlySale"), g, 11, 0), CostRounding::Round2(-saleQty * salePrice));
        QCOMPARE(LineCost(QStringLiteral("DlySale"), g, 11, 1), CostRounding::Round2(-saleQty * salePrice));
    } else {
        // Nothing is written for a failed item, and the reason says what happened.
        QVERIFY(failures.first().contains(typed == 0 ? QStringLiteral("取消")
                                                     : QStringLiteral("成本为零或成本过大")));
        QCOMPARE(
            Value(QStringLiteral("SELECT count(*) FROM GoodsStocksCost WHERE PtypeId = ? AND Period > 0"),
                  {g})
                .toInt(),
            0);
        QCOMPARE(Value(QStringLiteral("SELECT CalcCost FROM ptype WHERE typeId = ?"), {g}).toInt(), 1);
    }
}

void TestCostCalc::baseType215FailsItem()
{
    const QString g = QStringLiteral("G1");
    AddGoods(g, 0);
    OpenAccountSet();
    QCOMPARE(Post(34, Day(1, 2), QStringLiteral("K1"), {{g, 3, 4}}), 0);
    // A line of a bill type the calculation has no rule for, written directly.
    Exec(QStringLiteral("INSERT INTO DlyNdx (Vchcode, Vchtype, Date, Period) VALUES (9001, 215, ?, ?)"),
         {Day(1, 3), Period(1)});
    Exec(
        QStringLiteral(
            "INSERT INTO DlyOther (Dlyorder, Vchcode, Vchtype, Date, Period, PtypeId, KtypeId, Qty, Appoint) "
            "VALUES (99001, 9001, 215, ?, ?, ?, 'K1', 1, 1)"),
        {Day(1, 3), Period(1), g});
    TCostCalcProcess process(true);
    const QStringList failures = RunAll(process, g);
    QCOMPARE(failures, QStringList{g + QStringLiteral(": 单据类型 215 没有成本计算规则。")});
    QCOMPARE(StockBalance(g, Period(1)).rows, 0);
}

void TestCostCalc::fifoAgainstHandFigures()
{
    // Buy 10 x 5 and 10 x 7, sell 15: 10 x 5 + 5 x 7 = 85; 5 x 7 remain. Then sell 5 more: 35.
    const QString g = QStringLiteral("F1");
    AddGoods(g, 1);
    OpenAccountSet();
    QCOMPARE(Post(34, Day(1, 2), QStringLiteral("K1"), {{g, 10, 5}}), 0);
    QCOMPARE(Post(34, Day(1, 3), QStringLiteral("K1"), {{g, 10, 7}}), 0);
    QCOMPARE(Post(11, Day(1, 5), QStringLiteral("K1"), {{g, 15, 9}}), 0);
    QCOMPARE(Post(11, Day(2, 5), QStringLiteral("K1"), {{g, 5, 9}}), 0);
    TCostCalcProcess process(false);
    int lines = 0;
    QCOMPARE(RunAll(process, g, &lines), QStringList());
    QCOMPARE(lines, 2); // the out-list lines
    QCOMPARE(qAbs(LineCost(QStringLiteral("DlySale"), g, 11, 0)), 85.0);
    QCOMPARE(qAbs(LineCost(QStringLiteral("DlySale"), g, 11, 1)), 35.0);
    QCOMPARE(StockBalance(g, Period(1)).total, 35.0);
    QCOMPARE(StockBalance(g, Period(2)).qty, 0.0);

    // More issued than received: the item fails with its reason.
    QCOMPARE(Post(11, Day(2, 6), QStringLiteral("K1"), {{g, 1, 9}}), 0);
    TCostCalcProcess again(false);
    const QStringList failures = RunAll(again, g);
    QCOMPARE(failures.size(), 1);
    QVERIFY(failures.first().contains(QStringLiteral("出库数量超过入库数量")));
}

void TestCostCalc::monthEndModeAndAfterCostingProcedures()
{
    // Month-end average: (10 x 5 + 10 x 7) / 20 = 6 for the sale of 5.
    const QString g = QStringLiteral("M1");
    AddGoods(g, 4);
    OpenAccountSet();
    QCOMPARE(Post(34, Day(1, 2), QStringLiteral("K1"), {{g, 10, 5}}), 0);
    QCOMPARE(Post(11, Day(1, 3), QStringLiteral("K1"), {{g, 5, 9}}), 0);
    QCOMPARE(Post(34, Day(1, 4), QStringLiteral("K1"), {{g, 10, 7}}), 0);
    // A plug-in procedure that records what it was called with.
    QStringList calls;
    FSet->Db().procedures().add(QStringLiteral("P_Test_AfterCosting"), [&](accountdb::ProcContext &ctx) {
        calls << ctx.in(QStringLiteral("@PtypeID")).toString() + u'|' +
                     ctx.in(QStringLiteral("@JXCPeriod")).toString() + u'|' +
                     ctx.in(QStringLiteral("@StockMode")).toString();
        return 0;
    });
    Exec(QStringLiteral("INSERT INTO T_Inf_PlugIn_AfterCosting (ProcName) VALUES ('P_Test_AfterCosting')"));
    TCostCalcProcess process(false);
    QCOMPARE(RunAll(process, g), QStringList());
    QCOMPARE(qAbs(LineCost(QStringLiteral("DlySale"), g, 11)), 30.0);
    QCOMPARE(calls, QStringList{g + u'|' + QString::number(Period(1)) + QStringLiteral("|0")});
}

void TestCostCalc::itemListAndCounts()
{
    AddGoods(QStringLiteral("A1"), 0);
    AddGoods(QStringLiteral("A2"), 0);
    AddGoods(QStringLiteral("A3"), 0);
    OpenAccountSet();
    QCOMPARE(Post(34, Day(1, 2), QStringLiteral("K1"),
                  {{QStringLiteral("A1"), 1, 5}, {QStringLiteral("A3"), 2, 5}}),
             0);
    TCostCalcProcess process(false);
    // All marked items, then an explicit list (marked or not).
    QCOMPARE(process.GetCalcPtype(QStringLiteral("00000")), 2);
    QCOMPARE(process.CurrentPtype(), QStringLiteral("A1"));
    process.ProcessNext();
    QCOMPARE(process.CurrentPtype(), QStringLiteral("A3"));
    process.ProcessNext();
    QVERIFY(process.ProcessEnd());
    int dly = 0;
    QVERIFY(!process.CalcPtypeCost(dly));
    QCOMPARE(process.GetCalcPtype(QStringLiteral("A2,A3")), 2);
    QStringList done;
    while (!process.ProcessEnd()) {
        QVERIFY(process.CalcPtypeCost(dly));
        done << process.CurrentPtype();
        process.ProcessNext();
    }
    QCOMPARE(done, (QStringList{QStringLiteral("A2"), QStringLiteral("A3")}));
    QCOMPARE(dly, 1);
}

void TestCostCalc::chunkKeepsItemsWholeAndCommitsOnRequest()
{
    // A2 fails in the middle of the chunk: A1 and A3 stay costed, A2 keeps its mark and nothing of it
    // is written; other connections see the chunk only once it is committed.
    for (const char *id : {"A1", "A2", "A3"})
        AddGoods(QString::fromLatin1(id), 0);
    OpenAccountSet();
    QCOMPARE(Post(34, Day(1, 2), QStringLiteral("K1"),
                  {{QStringLiteral("A1"), 2, 5}, {QStringLiteral("A2"), 2, 5}, {QStringLiteral("A3"), 2, 5}}),
             0);
    Exec(QStringLiteral("INSERT INTO DlyNdx (Vchcode, Vchtype, Date, Period) VALUES (9001, 215, ?, ?)"),
         {Day(1, 3), Period(1)});
    Exec(QStringLiteral("INSERT INTO DlyOther (Dlyorder, Vchcode, Vchtype, Date, Period, PtypeId, KtypeId, "
                        "Qty, Appoint) VALUES (99001, 9001, 215, ?, ?, 'A2', 'K1', 1, 1)"),
         {Day(1, 3), Period(1)});
    auto other = accountdb::AccountDatabase::open(FSet->Path());
    // The rows' columns joined, rows separated by ",".
    const auto joined = [](accountdb::AccountDatabase &db, const QString &sql) {
        QStringList rows;
        for (const QVariantList &row : db.query(sql).rows) {
            QString text;
            for (const QVariant &v : row)
                text += v.toString();
            rows << text;
        }
        return rows.join(u',');
    };
    const QString marks =
        QStringLiteral("SELECT typeId, CalcCost FROM ptype WHERE typeId LIKE 'A_' ORDER BY typeId");
    TCostCalcProcess process(true);
    QCOMPARE(RunAll(process, QStringLiteral("00000")).size(), 1);
    QCOMPARE(joined(FSet->Db(), marks), QStringLiteral("A10,A21,A30"));
    QCOMPARE(joined(*other, marks), QStringLiteral("A11,A21,A31"));
    process.CommitPending();
    QVERIFY(!Udlldbservice::InTransaction());
    QCOMPARE(joined(*other, marks), QStringLiteral("A10,A21,A30"));
    QCOMPARE(joined(*other, QStringLiteral("SELECT PtypeId FROM GoodsStocksCost ORDER BY PtypeId")),
             QStringLiteral("A1,A3"));
}

void TestCostCalc::itemSaveChecksPeriodAndMark_data()
{
    QTest::addColumn<int>("costMode");
    QTest::addColumn<QString>("change"); // what another workstation commits after the list was read
    QTest::addColumn<QString>("reason");
    const QString checkout =
        QStringLiteral("UPDATE T_Gbl_SysDataCw SET SubValue = CAST(CAST(SubValue AS INTEGER) + 1 AS TEXT) "
                       "WHERE SubName = 'JxcPeriod'");
    const QString costed = QStringLiteral("UPDATE ptype SET CalcCost = 0 WHERE typeId = 'G1'");
    const QString monthMark =
        QStringLiteral("UPDATE ptype SET MonthCalcCost = 1 - MonthCalcCost WHERE typeId = 'G1'");
    QTest::newRow("average, checkout") << 0 << checkout << QStringLiteral("存货期间已经改变");
    QTest::newRow("average, costed elsewhere")
        << 0 << costed << QStringLiteral("成本计算标记已被其他操作改变");
    QTest::newRow("fifo, checkout") << 1 << checkout << QStringLiteral("存货期间已经改变");
    QTest::newRow("fifo, month mark") << 1 << monthMark << QStringLiteral("成本计算标记已被其他操作改变");
    QTest::newRow("month end, costed elsewhere")
        << 4 << costed << QStringLiteral("成本计算标记已被其他操作改变");
}

void TestCostCalc::itemSaveChecksPeriodAndMark()
{
    QFETCH(int, costMode);
    QFETCH(QString, change);
    QFETCH(QString, reason);
    const QString g = QStringLiteral("G1");
    AddGoods(g, costMode);
    OpenAccountSet();
    QCOMPARE(Post(34, Day(1, 2), QStringLiteral("K1"), {{g, 10, 5}}), 0);
    QCOMPARE(Post(11, Day(1, 5), QStringLiteral("K1"), {{g, 4, 9}}), 0);
    const QString state =
        QStringLiteral("SELECT CalcCost * 10 + MonthCalcCost FROM ptype WHERE typeId = 'G1'");
    TCostCalcProcess process(true);
    QCOMPARE(process.GetCalcPtype(QStringLiteral("00000")), 1);
    Exec(change);
    const int marks = Value(state).toInt();
    int dly = 0;
    QVERIFY(!process.CalcPtypeCost(dly));
    QVERIFY2(process.LastError().contains(reason), qPrintable(process.LastError()));
    process.CommitPending();
    QCOMPARE(LineCost(QStringLiteral("DlySale"), g, 11), 0.0);
    QCOMPARE(Value(QStringLiteral("SELECT count(*) FROM GoodsStocksCost")).toInt(), 0);
    QCOMPARE(Value(state).toInt(), marks);
}

void TestCostCalc::invalidPeriodIsRefused_data()
{
    QTest::addColumn<QString>("period");
    QTest::newRow("zero") << QStringLiteral("0");
    QTest::newRow("negative") << QStringLiteral("-2");
    QTest::newRow("fraction") << QStringLiteral("2.5");
    QTest::newRow("text") << QStringLiteral("abc");
}

void TestCostCalc::invalidPeriodIsRefused()
{
    QFETCH(QString, period);
    const QString g = QStringLiteral("G1");
    AddGoods(g, 0);
    OpenAccountSet();
    QCOMPARE(Post(34, Day(1, 2), QStringLiteral("K1"), {{g, 10, 5}}), 0);
    // The opening balance (period 0) that a calculation of "period 0 on" would have replaced.
    Exec(QStringLiteral("INSERT INTO GoodsStocksCost (PtypeId, KTypeID, BlockNo, Period, Qty, Total) "
                        "VALUES (?, 'K1', '', 0, 3, 12)"),
         {g});
    // Written past the system value's own check, as a damaged or hand-edited account set has it.
    Exec(QStringLiteral("UPDATE T_Gbl_SysDataCw SET SubValue = ? WHERE SubName = 'JxcPeriod'"), {period});
    TCostCalcProcess process(true);
    QCOMPARE(process.GetCalcPtype(QStringLiteral("00000")), 0);
    QCOMPARE(process.LastError(), QStringLiteral("当前存货期间“%1”无效，不能计算成本。").arg(period));
    QVERIFY(process.ProcessEnd());
    QCOMPARE(Value(QStringLiteral("SELECT count(*) FROM GoodsStocksCost")).toInt(), 1);
    QCOMPARE(Value(QStringLiteral("SELECT sum(Total) FROM GoodsStocksCost")).toDouble(), 12.0);
    QCOMPARE(Value(QStringLiteral("SELECT CalcCost FROM ptype WHERE typeId = ?"), {g}).toInt(), 1);
}

QTEST_GUILESS_MAIN(TestCostCalc)
#include "tst_costcalc.moc"
