#pragma once
// Running weighted-average costing of one goods item: the cost pools (stock, commission, production,
// outsourcing; whole, per warehouse, per batch, per warehouse and batch), the rule tables that say
// what each bill line does to them, and the walk over the item's lines that prices every issue at
// its pool's current average and collects the period-end balances. Pure calculation: what needs the
// database or the user (substitute costs, typed costs, the cost of an accepted outsourcing line that
// was not loaded) comes in through callbacks.

#include <QHash>
#include <QString>

#include <functional>
#include <utility>
#include <vector>

// Bill type reduced to its base type: types above 10000 are variants of type / 10000.
inline int BaseVchtype(int AVchtype)
{
    return AVchtype > 10000 ? AVchtype / 10000 : AVchtype;
}

// The zero and too-large tests of a unit cost.
struct TCostLimits
{
    double MaxPrice = 1e10;   // largest acceptable unit cost (absolute value)
    bool MinusIsZero = false; // system flag 164: a negative cost counts as zero

    bool IsZeroCost(double APrice) const
    {
        return (APrice < 0 ? -APrice : APrice) < 0.0001 || (MinusIsZero && APrice < 0);
    }
    bool IsTooLarge(double APrice) const
    {
        return (APrice < 0 ? -APrice : APrice) > (MaxPrice < 0 ? -MaxPrice : MaxPrice);
    }
};

enum class TCostPoolKind { Stock, Commission, Produce, Consign };

// What a bill line does in the average walk.
enum class TAverageAction {
    StockReceipt,       // receipt into the stock pool at its own cost
    StockIssue,         // issue from the stock pool at the average
    ReceiptAtPrevPrice, // receipt into the stock pool at the previous line's price
    CommissionLine,     // commission pool line
    ProduceIssue,       // issue from the production pool at the average
    ProduceReceipt,     // receipt into the production pool
    ConsignIssue,       // issue from the outsourcing pool at the average
    ConsignReturn,      // outsourcing return at the acceptance cost
    ConsignReceipt,     // receipt into the outsourcing pool
    NoRule              // no rule for the line: the item fails
};

// Rule tables by base type b, UsedType u and Appoint a (first matching row wins).
TAverageAction GetAverageAction(int b, int u, int a);
// The receipt sets the last receipt cost (when its price is at least 0.0001).
bool IsLastInPriceLine(int b, int u, int a);
// The issue sets the last issue cost (when its price is at least 0.0001).
bool IsLastOutPriceLine(int b, int u);
// Flag of the line in the save XML.
int GetSaveFlag(int b, int u, int a);

// One bill line of the item (a row of P_Cost_GetAllBillsByPtype). Qty is signed: issues are
// negative. Price and Total are written by the walk.
struct TAverageLine
{
    int Period = 0;
    int Vchtype = 0;
    int UsedType = 0;
    int Appoint = 0;
    double Qty = 0;
    double Price = 0;
    double Total = 0;
    QString Ktypeid;
    QString BlockNo;
    int Dlyorder = 0;
    int SourceDlyorder = 0;
    QString Table; // detail table of the line when the data names it ("dlybuy", ...), else empty
};

// One period-end balance row: GoodsStocksCost (Stock), CommissionCost, GoodsStocksCostSC (Produce)
// or GoodsStocksCostWeiWai (Consign). KtypeID is only used by the stock pool.
struct TBalanceRow
{
    TCostPoolKind Kind = TCostPoolKind::Stock;
    int Period = 0;
    QString KtypeID;
    QString BlockNo;
    double Qty = 0;
    double Total = 0;
};

struct TCostPool
{
    double Qty = 0;
    double Total = 0;
    // Pool average, 0 when the quantity or the amount is zero.
    double Average() const;
};

// Dictionary with keys compared without regard to case, enumerated in insertion order (so balances
// come out in a stable order) under the key text first seen.
template <class V> class TOrderedDict
{
public:
    V &operator[](const QString &AKey)
    {
        const QString folded = AKey.toLower();
        const auto it = FIndex.constFind(folded);
        if (it != FIndex.cend())
            return FItems[*it].second;
        FIndex.insert(folded, static_cast<int>(FItems.size()));
        FItems.emplace_back(AKey, V{});
        return FItems.back().second;
    }
    const V *Find(const QString &AKey) const
    {
        const auto it = FIndex.constFind(AKey.toLower());
        return it == FIndex.cend() ? nullptr : &FItems[*it].second;
    }
    void Clear()
    {
        FItems.clear();
        FIndex.clear();
    }
    int Count() const { return static_cast<int>(FItems.size()); }
    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }

private:
    std::vector<std::pair<QString, V>> FItems;
    QHash<QString, int> FIndex; // lower-case key -> position
};

// The pools of one item. Mode 0: one pool per kind, the stock pool per warehouse when stock is
// costed per warehouse. Mode 3: per batch, the stock pool per warehouse and batch when stock is
// costed per warehouse. Keys are the warehouse id or batch number without regard to case; balances
// carry the text first seen.
class TAveragePools
{
public:
    TAveragePools(int ACostMode = 0, int AStockMode = 0, bool AIsGM = false);
    void Reset(int ACostMode, int AStockMode, bool AIsGM); // empties every pool

    // The pool of a line of this kind; created empty on first use.
    TCostPool &Pool(TCostPoolKind AKind, const QString &AKtypeid, const QString &ABlockNo);
    // Opening price of the stock pool entry of the line (0 when none was recorded).
    double IniPrice(const QString &AKtypeid, const QString &ABlockNo) const;
    void SetIniPrice(const QString &AKtypeid, const QString &ABlockNo, double APrice);
    // One row per pool entry for the period: the plain pools always, dictionary entries as used.
    // Production and outsourcing pools only with IsGM.
    void AppendBalances(int APeriod, std::vector<TBalanceRow> &ARows) const;

    bool PerBatch() const { return FCostMode == 3; }
    bool PerWarehouse() const { return FStockMode != 0; }

private:
    using TPoolDict = TOrderedDict<TCostPool>;
    TPoolDict &KindDict(TCostPoolKind AKind);
    TCostPool &KindPool(TCostPoolKind AKind);

    int FCostMode = 0;
    int FStockMode = 0;
    bool FIsGM = false;
    TCostPool FStock, FCom, FSC, FWeiWai;                 // FQty/FTotal, FQtyCom/FTotalCom, ...SC, ...WeiWai
    TPoolDict FStockDict, FComDict, FSCDict, FWeiWaiDict; // per warehouse (mode 0) or per batch (mode 3)
    TOrderedDict<TPoolDict> FStockDict2;                  // per warehouse, then per batch
    double FIniPrice = 0;
    TOrderedDict<double> FIniPriceDict;
    TOrderedDict<TOrderedDict<double>> FIniPriceDict2;
};

// The walk over an item's lines. Set the callbacks, feed the opening rows, then Calc.
class TAverageCostCalc
{
public:
    struct TSettings
    {
        int CostMode = 0;     // 0 or 3
        int StockMode = 0;    // 0: whole company; otherwise per warehouse
        bool IsGM = false;    // production and outsourcing kinds
        bool CanZero = false; // system flag 103: a zero issue cost is acceptable
        TCostLimits Limits;
        bool HasConsignBack = false; // outsourcing returns exist: remember acceptance costs
    };

    // Substitute cost for an issue whose average is zero or too large; true with APrice when found.
    std::function<bool(const TAverageLine &ALine, double &APrice)> OnGetSubstituteCost;
    // No acceptable cost after the substitute search: true to go on with APrice (possibly changed),
    // false to fail the item (the callback records why).
    std::function<bool(const TAverageLine &ALine, double &APrice)> OnUnacceptableCost;
    // Cost of an outsourcing acceptance line that was not priced in this walk.
    std::function<double(int ADlyorder)> OnGetAcceptCost;

    void Reset(const TSettings &ASettings);
    // Opening rows: Vchtype -1 stock, -2 commission, -3 production, -4 outsourcing. Returns false
    // for any other type (the row is then a normal line).
    bool AddOpening(const TAverageLine &ARow);
    static bool IsOpeningRow(int AVchtype, bool AIsGM);

    // Prices ALines in place and collects the balances of every period seen (of ANoLinePeriod when
    // there are no lines). False when a line has no rule or a callback failed; AFailedLine is then
    // the index of the line.
    bool Calc(std::vector<TAverageLine> &ALines, int ANoLinePeriod, int *AFailedLine = nullptr);

    const std::vector<TBalanceRow> &Balances() const { return FBalances; }
    TAveragePools &Pools() { return FPools; }
    const TSettings &Settings() const { return FSettings; }
    void SetHasConsignBack(bool AOn) { FSettings.HasConsignBack = AOn; }

    // Last receipt / issue unit cost of the item (set by the walk, or fetched by the caller).
    double FLastInPrice = 0;
    double FLastOutPrice = 0;
    bool FLastInPriceGeted = false;
    bool FLastOutPriceGeted = false;
    QHash<int, double> FConsignCheckAcceptPrice; // cost of each outsourcing acceptance line by Dlyorder

private:
    bool DoLine(TAverageLine &L, double APrevPrice);
    bool IssueAtAverage(TCostPoolKind AKind, TAverageLine &L);
    void ReceiveOwnCost(TAverageLine &L);
    void AddToPool(TCostPoolKind AKind, const TAverageLine &L);
    bool Unacceptable(double APrice) const;

    TSettings FSettings;
    TAveragePools FPools;
    std::vector<TBalanceRow> FBalances;
};
