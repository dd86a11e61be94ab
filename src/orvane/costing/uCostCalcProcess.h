#pragma once
// FIFO costing core of one goods item: receipts (in records) and issues (out records) grouped by
// stock list, FIFO matching of issues against receipts, pricing of the matches, and the linear
// equations for issue costs that depend on each other (transfers in a circle). Pure calculation:
// the only database access is the cost of a linked issue that was not loaded, and it goes through
// a replaceable lookup (SetOnGetLinkedOutCost).

#include <QHash>
#include <QString>

#include <bit>
#include <cstddef>
#include <deque>
#include <functional>
#include <iterator>
#include <memory>
#include <type_traits>
#include <vector>

struct TInRecord;
struct TOutRecord;
struct TMatchRecord;
class TStockInOutList;

// Round2/Round4 of costing: the host rounding Kvbasicfun::FloatToFloatBit, with a fast path that
// gives the identical result when the value is clearly away from a rounding tie (the common case).
namespace CostRounding {
double Round(double value, int places);
// The text of Kvbasicfun::FloatToStringBit (fixed decimals, "." and no thousands separator), with
// the same fast path. FormatText writes it into a buffer of kTextBuffer chars and returns its length.
inline constexpr int kTextBuffer = 400;
int FormatText(double value, int places, char *buffer);
QString Text(double value, int places);
inline double Round2(double value)
{
    return Round(value, 2);
}
inline double Round4(double value)
{
    return Round(value, 4);
}
} // namespace CostRounding

// Supplies a substitute unit cost when the equations cannot be solved; false: no cost found.
using TOnGetFIFOZeroCost = std::function<bool(int AVchtype, double AQty, double &APrice)>;
// Reports a substitute price chosen by the item-by-item process.
using TOnGetOutPrice = std::function<void(const QString &AReason, const QString &ACostMode, double APrice)>;

// Cost of an issue line that is not among the loaded out records (columns of its detail table).
struct TLinkedOutCost
{
    double CostPrice = 0;
    double CostTotal = 0;
    double Qty = 0;
};
// Reads the cost of detail line ADlyorder of table ATable; a missing line reads as zeros.
using TOnGetLinkedOutCost = std::function<TLinkedOutCost(const QString &ATable, int ADlyorder)>;

// Owning, append-only store of records in chunks: records never move once added (the other lists
// hold plain pointers to them), chunks grow from 16 to 4096 records so that a small item costs
// little and a large one needs few allocations.
template <class T> class TRecordStore
{
public:
    TRecordStore() = default;
    TRecordStore(const TRecordStore &) = delete;
    TRecordStore &operator=(const TRecordStore &) = delete;

    template <class... Args> T &emplace_back(Args &&...args)
    {
        if (FChunks.empty() || FChunks.back().size() == FChunks.back().capacity()) {
            FChunks.emplace_back();
            FChunks.back().reserve(ChunkCapacity(FChunks.size() - 1));
        }
        ++FSize;
        return FChunks.back().emplace_back(std::forward<Args>(args)...);
    }
    size_t size() const { return FSize; }
    bool empty() const { return FSize == 0; }
    T &operator[](size_t i) { return Locate(i); }
    const T &operator[](size_t i) const { return const_cast<TRecordStore *>(this)->Locate(i); }

    template <class Store, class Ref> class Iterator
    {
    public:
        using iterator_category = std::bidirectional_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = std::remove_reference_t<Ref> *;
        using reference = Ref;
        Iterator() = default;
        Iterator(Store *store, size_t chunk, size_t pos) : FStore(store), FChunk(chunk), FPos(pos) {}
        Ref operator*() const { return FStore->FChunks[FChunk][FPos]; }
        pointer operator->() const { return &**this; }
        Iterator &operator++()
        {
            if (++FPos == FStore->FChunks[FChunk].size()) {
                ++FChunk;
                FPos = 0;
            }
            return *this;
        }
        Iterator operator++(int)
        {
            Iterator old = *this;
            ++*this;
            return old;
        }
        Iterator &operator--()
        {
            if (FPos == 0)
                FPos = FStore->FChunks[--FChunk].size();
            --FPos;
            return *this;
        }
        Iterator operator--(int)
        {
            Iterator old = *this;
            --*this;
            return old;
        }
        bool operator==(const Iterator &other) const { return FChunk == other.FChunk && FPos == other.FPos; }

    private:
        Store *FStore = nullptr;
        size_t FChunk = 0;
        size_t FPos = 0;
    };
    using iterator = Iterator<TRecordStore, T &>;
    using const_iterator = Iterator<const TRecordStore, const T &>;
    iterator begin() { return iterator(this, 0, 0); }
    iterator end() { return iterator(this, FChunks.size(), 0); }
    const_iterator begin() const { return const_iterator(this, 0, 0); }
    const_iterator end() const { return const_iterator(this, FChunks.size(), 0); }

private:
    static constexpr size_t kFirst = 16, kLast = 4096, kGrowing = 9; // 16, 32, ... 4096
    static constexpr size_t kGrowingTotal = kFirst * ((size_t(1) << kGrowing) - 1);
    static size_t ChunkCapacity(size_t chunk) { return chunk < kGrowing ? kFirst << chunk : kLast; }
    T &Locate(size_t i)
    {
        if (i >= kGrowingTotal)
            return FChunks[kGrowing + (i - kGrowingTotal) / kLast][(i - kGrowingTotal) % kLast];
        const size_t chunk = std::bit_width(i / kFirst + 1) - 1;
        return FChunks[chunk][i - kFirst * ((size_t(1) << chunk) - 1)];
    }
    std::vector<std::vector<T>> FChunks; // moving a chunk vector keeps its buffer, so records stay put
    size_t FSize = 0;
};

// The matches of one issue in creation order, linked through the matches themselves (no allocation
// per issue); not owning.
class TMatchRecordList
{
public:
    class const_iterator
    {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = TMatchRecord *;
        using difference_type = std::ptrdiff_t;
        using pointer = TMatchRecord *const *;
        using reference = TMatchRecord *;
        const_iterator() = default;
        explicit const_iterator(TMatchRecord *m) : FMatch(m) {}
        TMatchRecord *operator*() const { return FMatch; }
        const_iterator &operator++();
        const_iterator operator++(int)
        {
            const_iterator old = *this;
            ++*this;
            return old;
        }
        bool operator==(const const_iterator &other) const { return FMatch == other.FMatch; }

    private:
        TMatchRecord *FMatch = nullptr;
    };

    void push_back(TMatchRecord *AMatch); // the match must not be in another list
    size_t size() const { return FCount; }
    bool empty() const { return FCount == 0; }
    TMatchRecord *front() const { return FFirst; }
    TMatchRecord *back() const { return FLast; }
    const_iterator begin() const { return const_iterator(FFirst); }
    const_iterator end() const { return const_iterator(); }

private:
    TMatchRecord *FFirst = nullptr;
    TMatchRecord *FLast = nullptr;
    size_t FCount = 0;
};

// One receipt line.
struct TInRecord
{
    int ID = 0;           // row id in the FIFO in-list table
    QString Table;        // detail table of the bill line, lower case
    int Vchtype = 0;      // bill type
    int Vchcode = 0;      // bill number
    int Dlyorder = 0;     // detail line id in Table
    int Appoint = 0;      // non-zero: the cost is given; 0: it must be found
    double Qty = 0;       // quantity received
    double Price = 0;     // unit cost including fees
    double Total = 0;     // cost amount without fees
    double FeeTotal = 0;  // fee amount added to the cost
    double LeftQty = 0;   // quantity not yet consumed by issues
    double LeftTotal = 0; // cost amount (with fees) not yet consumed
    bool CostCacled = false;
    QString OutTable;                          // detail table of the issue whose cost this receipt takes
    int OutDlyorder = 0;                       // its detail line; 0 = no linked issue
    TOutRecord *OutRecord = nullptr;           // the linked issue when it is loaded
    TStockInOutList *StockInOutList = nullptr; // owning stock list
    QString Stock;                             // "Stock", "Commission", "Produce" or "Consign"
};

// One issue line.
struct TOutRecord
{
    int ID = 0;
    QString Table;
    int Vchtype = 0;
    int Vchcode = 0;
    int Dlyorder = 0;
    int Appoint = 0; // 1: the cost is given
    double Qty = 0;
    double Price = 0;      // unit cost with fees
    double NoFeePrice = 0; // given unit cost without fees
    double Total = 0;
    double FeeTotal = 0;
    double LeftQty = 0;
    double LeftTotal = 0;
    bool CostCacled = false;
    std::vector<TInRecord *> InRecords; // receipts that take their cost from this issue
    TMatchRecordList MatchRecordList;   // matches of this issue in creation order
    TStockInOutList *StockInOutList = nullptr;
    int Index = 0; // 1-based number in the equation system; 0 when not an unknown
    QString Stock;

private:
    friend class TOutRecordRefList;
    int FListSlot = -1; // position in the unknown-cost list, -1 when not in it
};

// A quantity of one issue covered by one receipt.
struct TMatchRecord
{
    TOutRecord *OutRecord = nullptr;
    TInRecord *InRecord = nullptr;
    double Qty = 0;
    double Price = 0;
    double Total = 0;
    bool QtyOver = false;    // took the last quantity of a receipt whose cost was known at matching
    bool CostCacled = false; // price and total are final
    QString Stock;           // copied from the issue

private:
    friend class TMatchRecordList;
    TMatchRecord *FNextOfOut = nullptr; // next match of the same issue
};

// Non-owning ordered list of issues with O(1) removal (removed slots are skipped and packed later),
// so that taking thousands of priced issues out of the unknown list stays linear.
class TOutRecordRefList
{
public:
    class const_iterator
    {
    public:
        using value_type = TOutRecord *;
        const_iterator(const std::vector<TOutRecord *> *items, size_t pos) : FItems(items), FPos(pos)
        {
            Skip();
        }
        TOutRecord *operator*() const { return (*FItems)[FPos]; }
        const_iterator &operator++()
        {
            ++FPos;
            Skip();
            return *this;
        }
        bool operator==(const const_iterator &other) const { return FPos == other.FPos; }

    private:
        void Skip()
        {
            while (FPos < FItems->size() && !(*FItems)[FPos])
                ++FPos;
        }
        const std::vector<TOutRecord *> *FItems;
        size_t FPos;
    };

    void Add(TOutRecord *AOutRecord);
    void Remove(TOutRecord *AOutRecord); // no-op when absent
    bool Contains(const TOutRecord *AOutRecord) const;
    int Count() const { return FCount; }
    bool IsEmpty() const { return FCount == 0; }
    void Pack(); // drops removed slots, keeping the order
    const_iterator begin() const { return const_iterator(&FItems, 0); }
    const_iterator end() const { return const_iterator(&FItems, FItems.size()); }

private:
    std::vector<TOutRecord *> FItems;
    int FCount = 0;
};

// All lines of one stock list. The three record stores own their records.
class TStockInOutList
{
public:
    explicit TStockInOutList(const QString &AKtypeID) : KtypeID(AKtypeID) {}
    TStockInOutList(const TStockInOutList &) = delete;
    TStockInOutList &operator=(const TStockInOutList &) = delete;

    QString KtypeID; // warehouse id, '' for the whole company, or the kind name
    TRecordStore<TInRecord> InRecordList;
    TRecordStore<TOutRecord> OutRecordList;
    TRecordStore<TMatchRecord> MatchRecordList;
    std::deque<TInRecord *> InRecordQueue; // receipts in load order, for matching
    TOutRecordRefList UnknownCostOutRecordList;
};

// The stock lists of one item keyed by KtypeID (enumerated in creation order, fixed for the run),
// with the cross-list indexes, and the FIFO costing steps. Call order for one item:
// SetInOutRelationship, (price AllZeroCostInRecordList), CreateMatchRecord, CalcCost,
// CalcUnknownCost, GetUpdateXML.
class TAllStockList
{
public:
    TAllStockList();
    ~TAllStockList();
    TAllStockList(const TAllStockList &) = delete;
    TAllStockList &operator=(const TAllStockList &) = delete;

    // Dictionary of stock lists.
    TStockInOutList *Find(const QString &AKtypeID) const;
    TStockInOutList &GetOrAdd(const QString &AKtypeID); // created empty on first use
    int Count() const { return static_cast<int>(FLists.size()); }
    const std::vector<std::unique_ptr<TStockInOutList>> &Lists() const { return FLists; }

    // Loading. The record's values are the caller's; these place it in the containers:
    // a receipt joins InRecordList and InRecordQueue, and when Appoint = 0 UnknownCostInRecordList
    // (OutDlyorder <> 0) or AllZeroCostInRecordList (OutDlyorder = 0); an issue joins OutRecordList
    // and AllOutRecordList, and UnknownCostOutRecordList unless Appoint = 1.
    TInRecord &AddInRecord(const QString &AKtypeID, TInRecord ARecord);
    TOutRecord &AddOutRecord(const QString &AKtypeID, TOutRecord ARecord);

    // Issue by "%s_%d" of Table and Dlyorder; nullptr when absent.
    TOutRecord *GetOutRecord(const QString &ATable, int ADlyorder) const;
    int AllUnknownOutCostRecordCount() const;

    // The FIFO steps. Beyond the rules of each step: a match of quantity 0 (a used-up receipt at
    // the head of the queue) is priced at its receipt's unit price (and, as the receipt's last
    // match, takes the receipt's remaining amount) instead of dividing by its quantity; any other
    // division by a quantity of 0 gives 0, so no price is ever NaN or infinite. A receipt that is
    // already priced keeps its cost when the issue it is linked to is priced later.
    void SetInOutRelationship();
    bool CreateMatchRecord(); // false when a stock list's receipts run out
    void CalcCost();
    // False when an unpriced match's receipt has no unknown issue to take its cost from, or when
    // the equations have no unique solution and AOnGetZeroCost finds no substitute cost.
    bool CalcUnknownCost(const TOnGetFIFOZeroCost &AOnGetZeroCost);
    QString GetUpdateXML() const; // the text for P_Cost_FIFO_UpdateCost

    // Gauss-Jordan elimination in place on an augmented XCount x (XCount+1) row-major matrix;
    // true when the left block became the identity (solution in the last column).
    static bool SolveEquation(int XCount, std::vector<double> &Matrix);
    void UpdateOutRecordCost(TOutRecord &AOutRecord);
    void UpdateOutRecordCostOnlyTotal(TOutRecord &AOutRecord);

    // Cost lookup of linked issues that are not loaded; defaults to the database service.
    void SetOnGetLinkedOutCost(TOnGetLinkedOutCost AOnGetLinkedOutCost);

    std::vector<TInRecord *> UnknownCostInRecordList; // Appoint = 0 with a linked issue
    std::vector<TInRecord *> AllZeroCostInRecordList; // Appoint = 0 without a linked issue

    // Key of AllOutRecordList: the pair (Table, Dlyorder). "%s_%d" of the pair is one-to-one (the
    // text after the last '_' is the number), so the pair gives the same lookups without building
    // a text per issue.
    struct TOutKey
    {
        QString Table;
        int Dlyorder = 0;
        bool operator==(const TOutKey &other) const = default;
    };
    QHash<TOutKey, TOutRecord *> AllOutRecordList;

private:
    std::vector<std::unique_ptr<TStockInOutList>> FLists;
    QHash<QString, TStockInOutList *> FListIndex;
    TOnGetLinkedOutCost FOnGetLinkedOutCost;
};

size_t qHash(const TAllStockList::TOutKey &key, size_t seed = 0) noexcept;

// The database lookup used by default for linked issues that are not loaded: "Select CostPrice,
// CostTotal,Qty From <table> Where Dlyorder = ?". The table name comes from data, so anything but a
// plain identifier is refused with EDatabaseError.
TLinkedOutCost GetLinkedOutCostFromDB(const QString &ATable, int ADlyorder);
