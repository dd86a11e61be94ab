#pragma once
// The item-by-item cost calculation of the current inventory period: TCostCalcProcess asks for the
// goods that need calculation, then costs one item per CalcPtypeCost by the method stored on the
// item (running weighted average, FIFO, or the month-end procedure of the database), writes the line
// costs and the period balances, and runs the after-costing plug-in procedures.
//
// Implemented in three files: uCostCalcProcessMain.cpp (set-up, dispatch, substitute costs),
// uCostCalcProcessAverage.cpp (modes 0 and 3) and uCostCalcProcessFIFO.cpp (mode 1).

#include "ClientDataSet.h"
#include "uCostAverage.h"
#include "uCostCalcProcess.h"

#include <QElapsedTimer>
#include <QString>
#include <QVariantList>

#include <functional>
#include <memory>
#include <vector>

// The line that needs a typed cost (shown by the manual cost window).
struct TBillInfo
{
    int Vchtype = 0;
    QString Ptypeid;
    QString Ktypeid;
    QString Wtypeid;
    QString WBtypeid;
    QString Qty; // quantity as display text
    QString BlockNo;
};

// Manual cost entry: true with the typed unit cost when the user confirms, false on cancel.
// APrice comes in as the cost the window starts with.
using TOnInputCost = std::function<bool(double &APrice, const TBillInfo &ABillInfo)>;

// One SQL statement with its bound values.
struct TBoundSQL
{
    QString SQL;
    QVariantList Params;
};

class TCostCalcProcess
{
public:
    // Reads the period, the stock mode, the substitute-cost order, the zero-cost switches, the
    // largest acceptable cost and the after-costing procedures of the open account set.
    explicit TCostCalcProcess(bool AForceZero);
    // Commits the writes still pending (CommitPending), swallowing a failure to do so.
    ~TCostCalcProcess();
    TCostCalcProcess(const TCostCalcProcess &) = delete;
    TCostCalcProcess &operator=(const TCostCalcProcess &) = delete;

    // Opens the items that need calculation: AParPype is an item id, a comma-separated list of ids
    // or "00000" for all items. Returns their number; the first is current. Returns 0 with LastError
    // set, and writes nothing, when the current inventory period is not valid.
    int GetCalcPtype(const QString &AParPype);
    // Costs the current item; adds the number of lines processed to ADlyCount. False when the item
    // failed (LastError says why); nothing is written for a failed item.
    //
    // The writes of the items are committed in chunks (kChunkItems items or kChunkMillis ms), each
    // item all-or-nothing under its own savepoint, so that a killed run leaves every item either
    // costed with its mark cleared or untouched. Inside a transaction the caller opened, the items
    // only use savepoints and the caller commits.
    bool CalcPtypeCost(int &ADlyCount);
    void ProcessNext();
    // Commits the chunk of costed items still open: the caller's last call, at the end of the run
    // and on cancel.
    void CommitPending();
    // Commits after every AItems items (a time limit still applies); 0 restores the default.
    void SetCommitEvery(int AItems) { FChunkLimit = AItems > 0 ? AItems : kChunkItems; }

    QString CurrentPtype() const;
    bool ProcessEnd() const;
    TOnGetOutPrice OnGetOutPrice() const { return FOnGetOutPrice; }
    void SetOnGetOutPrice(TOnGetOutPrice AHandler) { FOnGetOutPrice = std::move(AHandler); }
    // The manual cost window installs itself here; without it a cost that stays zero or too large
    // fails the item (unless the process forces zero costs).
    void SetOnInputCost(TOnInputCost AHandler) { FOnInputCost = std::move(AHandler); }

    QString LastError() const { return FLastError; }
    bool ForceZero() const { return FForceZero; }
    int JxcPeriod() const { return FJxcPeriod; }
    double MaxPrice() const { return FMaxPrice; }
    const TCostLimits &Limits() const { return FLimits; }

    // The detail table of a base bill type: "dlybuy", "dlysale" or "dlyother" (the host's bill
    // configuration when installed, else the account set's rule built in).
    static QString GetBillDlyTableName(int AVchtype);
    // The three save texts of the average calculation, one Record per line by detail table (the
    // line's own Table when set, else GetBillDlyTableName of its base type).
    static void BuildSaveXML(const std::vector<TAverageLine> &ALines, QString &ABuyXML, QString &ASaleXML,
                             QString &AOtherXML);
    // The period-balance INSERT statements of an item.
    static std::vector<TBoundSQL> BalanceStatements(const QString &APtypeID,
                                                    const std::vector<TBalanceRow> &ARows);

private:
    // Modes
    bool CalcMonth();
    bool CalcAverage(int &ADlyCount);
    bool CalcFIFO(int &ADlyCount);
    void RunAfterCalc();

    // Average helpers (uCostCalcProcessAverage.cpp)
    void ReadBillLines(std::vector<TAverageLine> &ALines, int &ADlyCount);
    bool SearchAverageSubstitute(const TAverageLine &ALine, double &APrice);
    double FetchLastOutPrice();
    double FetchLastInPrice();
    std::vector<TBoundSQL> DeleteBalanceStatements() const;
    bool SaveAverage(const std::vector<TAverageLine> &ALines);
    bool ClearItemCost();

    // FIFO helpers (uCostCalcProcessFIFO.cpp)
    void OpenFIFOIni();
    int LoadFIFOKind(const QString &AKind, const QString &AInTable, const QString &AOutTable);
    void LoadInRows(TClientDataSet &ADataSet, const QString &AKind);
    int LoadOutRows(TClientDataSet &ADataSet, const QString &AKind);
    bool SearchFIFOSubstitute(const TInRecord *AReceipt, int AVchtype, double AQty, double &APrice);

    // Chunks and items
    // Runs AWrite, the writes of the current item, inside the chunk under the item's savepoint,
    // after checking that the period and the item's mark are still those the run read. False (and
    // nothing written) when the check or AWrite fails.
    bool SaveItem(const std::function<bool()> &AWrite);
    bool ItemUnchanged();
    void CommitChunkIfDue();
    void CommitChunk();

    // Shared
    // A cost that stays zero or too large after the substitute search: force, reuse the typed
    // cost, or ask. False fails the item (FLastError set).
    bool AcceptUnfoundCost(const TBillInfo &AInfo, double &APrice);
    void ReportPrice(const QString &ACostMode, double APrice);
    bool Acceptable(double APrice) const;
    static void ExecuteAll(const std::vector<TBoundSQL> &AStatements);
    // A saving procedure with its @ErrMsg output: false with LastError set when it refuses.
    bool CallSaveProc(const QString &AName, QStringList ANames, QVariantList AValues);

public:
    // Documented state, readable by the cost windows and the tests.
    TClientDataSet cdsBillInfo;
    TClientDataSet cdsPtype;
    TClientDataSet cdsCostMode;
    TClientDataSet cdsFIFOIni;
    TClientDataSet cdsAfterCalc;

private:
    int FStockMode = 0;
    int FZeroSelect = 0;
    int FJxcPeriod = 0;
    int FCostMode = 0;
    bool FForceZero = false;
    bool FCanZero = false;
    bool FMonthCalc = false;
    bool FMinusIsZero = false;
    bool FIsGM = false;
    QString FPtypeID;
    double FRecPrice = 0;
    double FRefPrice = 0;
    std::vector<TBoundSQL> FBalanceSQL;
    bool FCostInputed = false;
    double FPrice = 0;
    double FMaxPrice = 1e10;
    TCostLimits FLimits;
    bool FHasConsignBack = false;
    TAverageCostCalc FAverage; // pools, last prices and acceptance costs of the current item
    std::unique_ptr<TAllStockList> FAllStockList;
    TOnGetOutPrice FOnGetOutPrice;
    TOnInputCost FOnInputCost;
    QString FLastError;

    // The lines of one goods item lie on pages shared with every other item, so each commit writes
    // nearly every bill page again: longer chunks write fewer bytes. But a chunk holds the account
    // set's write lock, and another workstation's bill save waits for it: a chunk ends well within
    // that writer's busy timeout (5 s). The job lock keeps other jobs out meanwhile.
    static constexpr int kChunkItems = 5000;
    static constexpr qint64 kChunkMillis = 3000;
    bool FOwnChunk = false;    // this process began the open transaction and commits it
    bool FRunSettings = false; // the connection runs with the larger log and page cache
    int FChunkItems = 0;
    int FChunkLimit = kChunkItems;
    int FRunItems = 0; // items of the run not yet recorded in the event log, and failed ones
    int FRunFailed = 0;
    QElapsedTimer FChunkClock;
};
