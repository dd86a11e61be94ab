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
const QString kItemSavepoint = QStringLiteral("cost_item");

// The connection's settings for the run (bulk writes, chunk by chunk) and back to the usual ones.
void BulkWriteSettings(bool AOn)
{
    Udlldbservice::ExecuteProcByName(QStringLiteral("P_Cost_BulkWriteSettings"), {QStringLiteral("@On")},
                                     {AOn ? 1 : 0});
}

QVariant JxcPeriodText()
{
    return Udlldbservice::GetValueFromSQL(
        QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = 'JxcPeriod'"));
}

// A period is a positive whole number; anything else would reach the opening balances (period 0).
bool ValidPeriod(const QVariant &AText, int &APeriod)
{
    bool ok = false;
    APeriod = AText.toString().trimmed().toInt(&ok);
    return ok && APeriod >= 1;
}
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

TCostCalcProcess::~TCostCalcProcess()
{
    try {
        CommitPending();
    } catch (const std::exception &) {
        // The open chunk is rolled back with the connection; its items stay marked for calculation.
    }
}

int TCostCalcProcess::GetCalcPtype(const QString &AParPype)
{
    FLastError.clear();
    const QVariant period = JxcPeriodText();
    if (!ValidPeriod(period, FJxcPeriod)) {
        cdsPtype.Clear();
        FLastError = QStringLiteral("当前存货期间“%1”无效，不能计算成本。").arg(period.toString());
        return 0;
    }
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

    // A run that cannot write (nothing to cost) leaves the connection's settings alone.
    if (!FRunSettings && !Udlldbservice::InTransaction()) {
        BulkWriteSettings(true);
        FRunSettings = true;
    }
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
    ++FRunItems;
    if (!ok)
        ++FRunFailed;
    CommitChunkIfDue();
    return ok;
}

bool TCostCalcProcess::SaveItem(const std::function<bool()> &AWrite)
{
    if (!Udlldbservice::InTransaction()) {
        Udlldbservice::BeginTrans();
        FOwnChunk = true;
        FChunkItems = 0;
        FChunkClock.start();
    }
    Udlldbservice::ExecuteSQL(QStringLiteral("SAVEPOINT ") + kItemSavepoint);
    const auto undo = [] {
        Udlldbservice::ExecuteSQL(QStringLiteral("ROLLBACK TO ") + kItemSavepoint);
        Udlldbservice::ExecuteSQL(QStringLiteral("RELEASE ") + kItemSavepoint);
    };
    bool ok = false;
    try {
        ok = ItemUnchanged() && AWrite();
        // The after-costing plug-ins belong to the item: they run in its savepoint.
        if (ok)
            RunAfterCalc();
    } catch (...) {
        try {
            undo();
        } catch (const std::exception &) {
            // The database ended the transaction itself; the item is not written either way.
        }
        throw;
    }
    if (ok)
        Udlldbservice::ExecuteSQL(QStringLiteral("RELEASE ") + kItemSavepoint);
    else
        undo();
    ++FChunkItems;
    return ok;
}

bool TCostCalcProcess::ItemUnchanged()
{
    int period = 0;
    if (!ValidPeriod(JxcPeriodText(), period) || period != FJxcPeriod) {
        FLastError = QStringLiteral("存货期间已经改变（可能已经月末结账），本存货没有保存，请重新计算。");
        return false;
    }
    if (!cdsPtype.HasField(QStringLiteral("CalcCost")))
        return true;
    TClientDataSet mark;
    Udlldbservice::OpenSQL(QStringLiteral("SELECT CalcCost, MonthCalcCost FROM ptype WHERE typeId = ?"),
                           {FPtypeID}, mark);
    if (mark.RecordCount() == 1 &&
        mark.Value(QStringLiteral("CalcCost")).toInt() ==
            cdsPtype.Value(QStringLiteral("CalcCost")).toInt() &&
        mark.Value(QStringLiteral("MonthCalcCost")).toInt() ==
            cdsPtype.Value(QStringLiteral("MonthCalcCost")).toInt())
        return true;
    FLastError = QStringLiteral("存货的成本计算标记已被其他操作改变，本存货没有保存，请重新计算。");
    return false;
}

void TCostCalcProcess::CommitChunkIfDue()
{
    if (FChunkItems >= FChunkLimit || FChunkClock.elapsed() >= kChunkMillis)
        CommitChunk();
}

void TCostCalcProcess::CommitChunk()
{
    if (!FOwnChunk)
        return;
    FOwnChunk = false;
    if (Udlldbservice::InTransaction())
        Udlldbservice::CommitTrans();
}

void TCostCalcProcess::CommitPending()
{
    // The run is recorded once, with the last chunk of its work.
    if (FRunItems > 0) {
        uOrvaneCommon::WriteSysEvent(QStringLiteral("成本计算：共%1个存货，成功%2个，异常%3个")
                                         .arg(FRunItems)
                                         .arg(FRunItems - FRunFailed)
                                         .arg(FRunFailed));
        FRunItems = FRunFailed = 0;
    }
    CommitChunk();
    if (FRunSettings && !Udlldbservice::InTransaction()) {
        FRunSettings = false;
        BulkWriteSettings(false);
    }
}

bool TCostCalcProcess::CalcMonth()
{
    return SaveItem([this] {
        const int result = Udlldbservice::ExecuteProcByName(
            QStringLiteral("P_Cost_Account_Month"),
            {QStringLiteral("@szPtypeID"), QStringLiteral("@nCurrentPeriod"), QStringLiteral("@nAllStock"),
             QStringLiteral("@bIsGM"), QStringLiteral("@bMonth")},
            {FPtypeID, FJxcPeriod, FStockMode, FIsGM, !FForceZero});
        if (result < 0)
            FLastError = QStringLiteral("期末成本计算过程返回错误 %1。").arg(result);
        return result >= 0;
    });
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
    // Nobody waits on the account set while the user types: the items costed so far are committed.
    if (FOnInputCost)
        CommitChunk();
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

bool TCostCalcProcess::CallSaveProc(const QString &AName, QStringList ANames, QVariantList AValues)
{
    ANames << QStringLiteral("@ErrMsg");
    AValues << QString();
    TParamList outputs;
    const int result = Udlldbservice::ExecuteProcByName(AName, ANames, AValues, &outputs);
    if (result >= 0)
        return true;
    FLastError = outputs.ParamByName(QStringLiteral("@ErrMsg")).toString();
    if (FLastError.isEmpty())
        FLastError = QStringLiteral("成本保存失败（%1）。").arg(result);
    return false;
}

void TCostCalcProcess::ExecuteAll(const std::vector<TBoundSQL> &AStatements)
{
    for (const TBoundSQL &s : AStatements)
        Udlldbservice::ExecuteSQL(s.SQL, s.Params);
}
