#include "uCostAverage.h"

#include "uCostCalcProcess.h"

#include <cmath>

using CostRounding::Round2;

namespace {
// The host's IsZero on doubles.
inline bool HostIsZero(double AValue)
{
    return std::fabs(AValue) <= 1e-12;
}

inline bool In(int v, std::initializer_list<int> set)
{
    for (int s : set)
        if (v == s)
            return true;
    return false;
}
} // namespace

// ---------------------------------------------------------------------------------------------
// Rule tables

TAverageAction GetAverageAction(int b, int u, int a)
{
    using A = TAverageAction;
    if (b < 170) {
        if (a == 1)
            return b == 32 || (b == 30 && u == 0) ? A::CommissionLine : A::StockReceipt;
        if (In(b, {9, 11, 45, 141}) || (b == 16 && u == 1) || (b == 21 && u == 0) ||
            (In(b, {25, 30}) && u == 1))
            return A::StockIssue;
        if (b == 21 && u == 1)
            return A::ReceiptAtPrevPrice;
        if (b == 26 || (In(b, {25, 30}) && u == 0))
            return A::CommissionLine;
        return A::NoRule;
    }
    if (b < 180) {
        if (In(b, {172, 173}) && u == 1)
            return a == 1 ? A::StockReceipt : A::StockIssue;
        if (b == 174 && u == 1)
            return A::StockReceipt;
        if ((b == 174 && u == 2 && a == 0) || (b == 176 && a == 0))
            return A::ProduceIssue;
        return A::ProduceReceipt;
    }
    if (b < 215) {
        if (In(b, {182, 183, 212, 213}) && u == 1)
            return a == 1 ? A::StockReceipt : A::StockIssue;
        if ((b == 184 || b == 189) && u == 1)
            return A::StockReceipt;
        if ((b == 184 && a == 0) || (b == 214 && u == 2))
            return A::ConsignIssue;
        if (b == 189 && u == 2)
            return A::ConsignReturn;
        return A::ConsignReceipt;
    }
    return A::NoRule;
}

bool IsLastInPriceLine(int b, int u, int a)
{
    return In(b, {14, 34, 140, 161}) || (In(b, {21, 174, 184}) && u == 1) || (b == 16 && u == 2) ||
           (b == 141 && a == 1);
}

bool IsLastOutPriceLine(int b, int u)
{
    return In(b, {9, 11, 141}) || (In(b, {16, 25, 172, 182}) && u == 1) || (b == 21 && u == 0);
}

int GetSaveFlag(int b, int u, int a)
{
    if (In(b, {9, 21, 141, 172, 173, 182, 183, 189, 212, 213, 214}) || (b == 16 && u == 1))
        return 1;
    return In(b, {174, 176, 184}) && a == 0 ? 1 : 0;
}

double TCostPool::Average() const
{
    return HostIsZero(Total) || HostIsZero(Qty) ? 0.0 : Total / Qty;
}

// ---------------------------------------------------------------------------------------------
// TAveragePools

TAveragePools::TAveragePools(int ACostMode, int AStockMode, bool AIsGM)
{
    Reset(ACostMode, AStockMode, AIsGM);
}

void TAveragePools::Reset(int ACostMode, int AStockMode, bool AIsGM)
{
    FCostMode = ACostMode;
    FStockMode = AStockMode;
    FIsGM = AIsGM;
    FStock = FCom = FSC = FWeiWai = TCostPool{};
    FStockDict.Clear();
    FComDict.Clear();
    FSCDict.Clear();
    FWeiWaiDict.Clear();
    FStockDict2.Clear();
    FIniPrice = 0;
    FIniPriceDict.Clear();
    FIniPriceDict2.Clear();
}

TAveragePools::TPoolDict &TAveragePools::KindDict(TCostPoolKind AKind)
{
    switch (AKind) {
    case TCostPoolKind::Stock:
        return FStockDict;
    case TCostPoolKind::Commission:
        return FComDict;
    case TCostPoolKind::Produce:
        return FSCDict;
    case TCostPoolKind::Consign:
        break;
    }
    return FWeiWaiDict;
}

TCostPool &TAveragePools::KindPool(TCostPoolKind AKind)
{
    switch (AKind) {
    case TCostPoolKind::Stock:
        return FStock;
    case TCostPoolKind::Commission:
        return FCom;
    case TCostPoolKind::Produce:
        return FSC;
    case TCostPoolKind::Consign:
        break;
    }
    return FWeiWai;
}

TCostPool &TAveragePools::Pool(TCostPoolKind AKind, const QString &AKtypeid, const QString &ABlockNo)
{
    const bool stock = AKind == TCostPoolKind::Stock;
    if (PerBatch()) {
        if (stock && PerWarehouse())
            return FStockDict2[AKtypeid][ABlockNo];
        return KindDict(AKind)[ABlockNo];
    }
    if (stock && PerWarehouse())
        return FStockDict[AKtypeid];
    return KindPool(AKind);
}

double TAveragePools::IniPrice(const QString &AKtypeid, const QString &ABlockNo) const
{
    if (PerBatch() && PerWarehouse()) {
        const TOrderedDict<double> *batches = FIniPriceDict2.Find(AKtypeid);
        const double *p = batches ? batches->Find(ABlockNo) : nullptr;
        return p ? *p : 0.0;
    }
    if (PerBatch() || PerWarehouse()) {
        const double *p = FIniPriceDict.Find(PerBatch() ? ABlockNo : AKtypeid);
        return p ? *p : 0.0;
    }
    return FIniPrice;
}

void TAveragePools::SetIniPrice(const QString &AKtypeid, const QString &ABlockNo, double APrice)
{
    if (PerBatch() && PerWarehouse())
        FIniPriceDict2[AKtypeid][ABlockNo] = APrice;
    else if (PerBatch() || PerWarehouse())
        FIniPriceDict[PerBatch() ? ABlockNo : AKtypeid] = APrice;
    else
        FIniPrice = APrice;
}

void TAveragePools::AppendBalances(int APeriod, std::vector<TBalanceRow> &ARows) const
{
    auto add = [&](TCostPoolKind kind, const QString &ktype, const QString &block, const TCostPool &pool) {
        ARows.push_back(TBalanceRow{kind, APeriod, ktype, block, pool.Qty, pool.Total});
    };
    // Stock pool: whole, per warehouse, per batch, or per warehouse and batch.
    if (PerBatch() && PerWarehouse()) {
        for (const auto &[ktype, batches] : FStockDict2)
            for (const auto &[block, pool] : batches)
                add(TCostPoolKind::Stock, ktype, block, pool);
    } else if (PerBatch()) {
        for (const auto &[block, pool] : FStockDict)
            add(TCostPoolKind::Stock, QString(), block, pool);
    } else if (PerWarehouse()) {
        for (const auto &[ktype, pool] : FStockDict)
            add(TCostPoolKind::Stock, ktype, QString(), pool);
    } else {
        add(TCostPoolKind::Stock, QString(), QString(), FStock);
    }
    // The other kinds: whole in mode 0, per batch in mode 3.
    auto addKind = [&](TCostPoolKind kind, const TCostPool &whole, const TPoolDict &dict) {
        if (!PerBatch()) {
            add(kind, QString(), QString(), whole);
            return;
        }
        for (const auto &[block, pool] : dict)
            add(kind, QString(), block, pool);
    };
    addKind(TCostPoolKind::Commission, FCom, FComDict);
    if (FIsGM) {
        addKind(TCostPoolKind::Produce, FSC, FSCDict);
        addKind(TCostPoolKind::Consign, FWeiWai, FWeiWaiDict);
    }
}

// ---------------------------------------------------------------------------------------------
// TAverageCostCalc

void TAverageCostCalc::Reset(const TSettings &ASettings)
{
    FSettings = ASettings;
    FPools.Reset(ASettings.CostMode, ASettings.StockMode, ASettings.IsGM);
    FBalances.clear();
    FLastInPrice = FLastOutPrice = 0;
    FLastInPriceGeted = FLastOutPriceGeted = false;
    FConsignCheckAcceptPrice.clear();
}

bool TAverageCostCalc::IsOpeningRow(int AVchtype, bool AIsGM)
{
    return AVchtype == -1 || AVchtype == -2 || (AIsGM && (AVchtype == -3 || AVchtype == -4));
}

bool TAverageCostCalc::AddOpening(const TAverageLine &ARow)
{
    if (!IsOpeningRow(ARow.Vchtype, FSettings.IsGM))
        return false;
    static constexpr TCostPoolKind kKinds[] = {TCostPoolKind::Stock, TCostPoolKind::Commission,
                                               TCostPoolKind::Produce, TCostPoolKind::Consign};
    const TCostPoolKind kind = kKinds[-ARow.Vchtype - 1];
    if (kind == TCostPoolKind::Stock)
        FPools.SetIniPrice(ARow.Ktypeid, ARow.BlockNo, ARow.Qty != 0 ? ARow.Total / ARow.Qty : 0.0);
    AddToPool(kind, ARow);
    return true;
}

bool TAverageCostCalc::Unacceptable(double APrice) const
{
    return (FSettings.Limits.IsZeroCost(APrice) && !FSettings.CanZero) || FSettings.Limits.IsTooLarge(APrice);
}

void TAverageCostCalc::AddToPool(TCostPoolKind AKind, const TAverageLine &L)
{
    TCostPool &pool = FPools.Pool(AKind, L.Ktypeid, L.BlockNo);
    pool.Qty += L.Qty;
    pool.Total += L.Total;
}

void TAverageCostCalc::ReceiveOwnCost(TAverageLine &L)
{
    AddToPool(TCostPoolKind::Stock, L);
    if (IsLastInPriceLine(BaseVchtype(L.Vchtype), L.UsedType, L.Appoint) && L.Price >= 0.0001) {
        FLastInPrice = L.Price;
        FLastInPriceGeted = true;
    }
}

bool TAverageCostCalc::IssueAtAverage(TCostPoolKind AKind, TAverageLine &L)
{
    TCostPool &pool = FPools.Pool(AKind, L.Ktypeid, L.BlockNo);
    double p = pool.Average();
    if (Unacceptable(p)) {
        double substitute = p;
        if (OnGetSubstituteCost && OnGetSubstituteCost(L, substitute))
            p = substitute;
        // The caller decides between keeping the cost, the typed cost and the manual window.
        if (Unacceptable(p) && (!OnUnacceptableCost || !OnUnacceptableCost(L, p)))
            return false;
    }
    L.Price = p;
    L.Total = Round2(L.Qty * p);
    // The pool may have moved (the callbacks cannot add pools, but stay safe): look it up again.
    TCostPool &after = FPools.Pool(AKind, L.Ktypeid, L.BlockNo);
    after.Qty += L.Qty;
    after.Total += L.Total;
    const int b = BaseVchtype(L.Vchtype);
    if (IsLastOutPriceLine(b, L.UsedType) && p >= 0.0001) {
        FLastOutPrice = p;
        FLastOutPriceGeted = true;
    }
    if (FSettings.HasConsignBack && b == 184)
        FConsignCheckAcceptPrice.insert(L.Dlyorder, p);
    return true;
}

bool TAverageCostCalc::DoLine(TAverageLine &L, double APrevPrice)
{
    const int b = BaseVchtype(L.Vchtype);
    const int u = L.UsedType;
    switch (GetAverageAction(b, u, L.Appoint)) {
    case TAverageAction::StockReceipt:
        ReceiveOwnCost(L);
        return true;
    case TAverageAction::StockIssue:
        return IssueAtAverage(TCostPoolKind::Stock, L);
    case TAverageAction::ReceiptAtPrevPrice:
        L.Price = APrevPrice;
        L.Total = Round2(L.Qty * APrevPrice);
        AddToPool(TCostPoolKind::Stock, L);
        return true;
    case TAverageAction::CommissionLine:
        if (L.Vchtype <= 10000 && (b == 25 || b == 30 || b == 26)) {
            const double p =
                b == 26 ? FPools.Pool(TCostPoolKind::Commission, L.Ktypeid, L.BlockNo).Average() : APrevPrice;
            L.Price = p;
            L.Total = Round2(L.Qty * p);
        }
        AddToPool(TCostPoolKind::Commission, L);
        return true;
    case TAverageAction::ProduceIssue:
        return IssueAtAverage(TCostPoolKind::Produce, L);
    case TAverageAction::ProduceReceipt:
        if (b == 172 || b == 173) {
            L.Price = APrevPrice;
            L.Total = Round2(L.Qty * L.Price);
        }
        AddToPool(TCostPoolKind::Produce, L);
        return true;
    case TAverageAction::ConsignIssue:
        return IssueAtAverage(TCostPoolKind::Consign, L);
    case TAverageAction::ConsignReturn: {
        const auto it = FConsignCheckAcceptPrice.constFind(L.SourceDlyorder);
        const double p = it != FConsignCheckAcceptPrice.cend()
                             ? *it
                             : (OnGetAcceptCost ? OnGetAcceptCost(L.SourceDlyorder) : 0.0);
        L.Price = p;
        L.Total = Round2(L.Qty * p);
        AddToPool(TCostPoolKind::Consign, L);
        return true;
    }
    case TAverageAction::ConsignReceipt:
        if (b == 182 || b == 183 || b == 212 || b == 213) {
            L.Price = APrevPrice;
            L.Total = Round2(L.Qty * L.Price);
        } else if (b == 214 && u == 1) {
            // Completion of simple outsourcing: processing amount plus the material sent out,
            // received into stock.
            L.Total = L.Total + Round2(L.Qty * APrevPrice);
            L.Price = HostIsZero(L.Total) || HostIsZero(L.Qty) ? 0.0 : L.Total / L.Qty;
            ReceiveOwnCost(L);
            return true;
        }
        AddToPool(TCostPoolKind::Consign, L);
        return true;
    case TAverageAction::NoRule:
        break;
    }
    return false;
}

bool TAverageCostCalc::Calc(std::vector<TAverageLine> &ALines, int ANoLinePeriod, int *AFailedLine)
{
    FBalances.clear();
    bool havePeriod = false;
    int period = ANoLinePeriod;
    for (size_t i = 0; i < ALines.size(); ++i) {
        TAverageLine &L = ALines[i];
        // A new period: the balances of the one just finished come before its first line.
        if (havePeriod && L.Period != period)
            FPools.AppendBalances(period, FBalances);
        if (!DoLine(L, i > 0 ? ALines[i - 1].Price : 0.0)) {
            if (AFailedLine)
                *AFailedLine = static_cast<int>(i);
            return false;
        }
        period = L.Period;
        havePeriod = true;
    }
    FPools.AppendBalances(period, FBalances);
    return true;
}
