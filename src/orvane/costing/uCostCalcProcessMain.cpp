// TCostCalcProcess: set-up, the item list, the dispatch by cost mode, the month-end procedure, the
// after-costing plug-ins and the handling of costs that stay zero or too large.

#include "uCostCalcProcessMain.h"

#include "Format.h"
#include "Kvbasicfun.h"
#include "Udllbillconfig.h"
#include "Udlldbservice.h"
#include "Udllsystemintf.h"
#include "uDllComm.h"
#include "uOrvaneCommon.h"

namespace {
const QString kReasonZero = QStringLiteral("成本为零或成本过大");
const QString kTypedCost = QStringLiteral("手工录入");
} // namespace

TCostCalcProcess::TCostCalcProcess(bool AForceZero) : FForceZero(AForceZero)
{
    FJxcPeriod = uOrvaneCommon::GetJxcPeriod();
    FStockMode = StrToIntDef(uOrvaneCommon::GetSysValue(QStringLiteral("InventoryAccounting")), 0);
    FZeroSelect = StrToIntDef(uOrvaneCommon::GetSysValue(QStringLiteral("ZeroCostSelect")), 0);
    FCanZero = Udllsystemintf::CheckSysCon(103);
    FMinusIsZero = Udllsystemintf::CheckSysCon(164);
    FMaxPrice = StrToFloatDef(uOrvaneCommon::GetSysValue(QStringLiteral("MaxPrice")), 1e10);
    if (FMaxPrice == 0)
        FMaxPrice = 1e10;
    FLimits.MaxPrice = FMaxPrice;
    FLimits.MinusIsZero = FMinusIsZero;
    FIsGM = uDllComm::DllParams.IsGM;
    Udlldbservice::OpenSQL(
        QStringLiteral("SELECT CostName FROM T_JXC_CostCalcOrder WHERE CostMode = ? ORDER BY CostOrder"),
        {FZeroSelect}, cdsCostMode);
    Udlldbservice::OpenSQL(QStringLiteral("SELECT ProcName FROM T_Inf_PlugIn_AfterCosting"), cdsAfterCalc);
}

TCostCalcProcess::~TCostCalcProcess() = default;

int TCostCalcProcess::GetCalcPtype(const QString &AParPype)
{
    Udlldbservice::OpenProcByName(QStringLiteral("P_Cost_GetNeededCalcPtype"),
                                  {QStringLiteral("@Ptypeid"), QStringLiteral("@Period"),
                                   QStringLiteral("@bMonth"), QStringLiteral("@bIsGM")},
                                  {AParPype, FJxcPeriod, !FForceZero, FIsGM}, cdsPtype);
    cdsPtype.First();
    return cdsPtype.RecordCount();
}

void TCostCalcProcess::ProcessNext()
{
    cdsPtype.Next();
}

QString TCostCalcProcess::CurrentPtype() const
{
    return ProcessEnd() ? QString() : cdsPtype.Value(QStringLiteral("ptypeid")).toString();
}

bool TCostCalcProcess::ProcessEnd() const
{
    return cdsPtype.Eof();
}

bool TCostCalcProcess::CalcPtypeCost(int &ADlyCount)
{
    FLastError.clear();
    if (ProcessEnd()) {
        FLastError = QStringLiteral("没有要计算的存货。");
        return false;
    }
    FPtypeID = cdsPtype.Value(QStringLiteral("ptypeid")).toString();
    FCostMode = cdsPtype.Value(QStringLiteral("Costmode")).toInt();
    FRecPrice = cdsPtype.HasField(QStringLiteral("RecPrice"))
                    ? cdsPtype.Value(QStringLiteral("RecPrice")).toDouble()
                    : 0;
    FRefPrice = cdsPtype.HasField(QStringLiteral("RefPrice"))
                    ? cdsPtype.Value(QStringLiteral("RefPrice")).toDouble()
                    : 0;
    // Per-item state starts afresh: a cost typed for one item is never reused for another.
    FCostInputed = false;
    FPrice = 0;
    FMonthCalc = false;

    bool ok = false;
    switch (FCostMode) {
    case 4:
        ok = CalcMonth();
        break;
    case 0:
    case 3:
        ok = CalcAverage(ADlyCount);
        break;
    case 1:
        ok = CalcFIFO(ADlyCount);
        break;
    default:
        FLastError = QStringLiteral("存货的成本计算方法 %1 不能计算。").arg(FCostMode);
        break;
    }
    if (ok)
        RunAfterCalc();
    return ok;
}

bool TCostCalcProcess::CalcMonth()
{
    const int result = Udlldbservice::ExecuteProcByName(
        QStringLiteral("P_Cost_Account_Month"),
        {QStringLiteral("@szPtypeID"), QStringLiteral("@nCurrentPeriod"), QStringLiteral("@nAllStock"),
         QStringLiteral("@bIsGM"), QStringLiteral("@bMonth")},
        {FPtypeID, FJxcPeriod, FStockMode, FIsGM, !FForceZero});
    if (result < 0)
        FLastError = QStringLiteral("期末成本计算过程返回错误 %1。").arg(result);
    return result >= 0;
}

void TCostCalcProcess::RunAfterCalc()
{
    for (int i = 0; i < cdsAfterCalc.RowCountAll(); ++i) {
        const QString proc =
            cdsAfterCalc.ValueIn(cdsAfterCalc.RowAt(i), QStringLiteral("ProcName")).toString();
        if (proc.trimmed().isEmpty())
            continue;
        Udlldbservice::ExecuteProcByName(proc,
                                         {QStringLiteral("@PtypeID"), QStringLiteral("@JXCPeriod"),
                                          QStringLiteral("@IsGM"), QStringLiteral("@StockMode")},
                                         {FPtypeID, FJxcPeriod, FIsGM, FStockMode});
    }
}

bool TCostCalcProcess::Acceptable(double APrice) const
{
    return !FLimits.IsZeroCost(APrice) && !FLimits.IsTooLarge(APrice);
}

void TCostCalcProcess::ReportPrice(const QString &ACostMode, double APrice)
{
    if (FOnGetOutPrice)
        FOnGetOutPrice(kReasonZero, ACostMode, APrice);
}

bool TCostCalcProcess::AcceptUnfoundCost(const TBillInfo &AInfo, double &APrice)
{
    if (FForceZero) {
        // Kept as it is; the item stays marked for the month-end calculation.
        FMonthCalc = true;
        return true;
    }
    if (FCostInputed) {
        APrice = FPrice;
        ReportPrice(kTypedCost, APrice);
        return true;
    }
    if (!FOnInputCost) {
        FLastError = QStringLiteral("单据类型 %1 数量 %2 的成本为零或成本过大，没有找到替代成本。")
                         .arg(AInfo.Vchtype)
                         .arg(AInfo.Qty);
        return false;
    }
    double typed = APrice;
    if (!FOnInputCost(typed, AInfo)) {
        FLastError = QStringLiteral("用户取消了成本录入。");
        return false;
    }
    FCostInputed = true;
    FPrice = typed;
    APrice = typed;
    ReportPrice(kTypedCost, APrice);
    return true;
}

QString TCostCalcProcess::GetBillDlyTableName(int AVchtype)
{
    if (Udllbillconfig::BillConfigIntf)
        return Udllbillconfig::GetBillTableName(AVchtype).toLower();
    switch (BaseVchtype(AVchtype)) {
    case 6:
    case 34:
    case 161:
        return QStringLiteral("dlybuy");
    case 11:
    case 26:
    case 45:
        return QStringLiteral("dlysale");
    default:
        return QStringLiteral("dlyother");
    }
}

void TCostCalcProcess::ExecuteAll(const std::vector<TBoundSQL> &AStatements)
{
    for (const TBoundSQL &s : AStatements)
        Udlldbservice::ExecuteSQL(s.SQL, s.Params);
}
