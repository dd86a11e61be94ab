// TCostCalcProcess, cost mode 1: loads the item's FIFO in-lists and out-lists per stock kind into
// the FIFO core (uCostCalcProcess), prices receipts without a cost, solves the issue costs and hands
// the result to P_Cost_FIFO_UpdateCost.

#include "uCostCalcProcessMain.h"

#include "Kvbasicfun.h"
#include "Udlldbservice.h"

using CostRounding::Round2;
using CostRounding::Round4;

namespace {
const QString kStock = QStringLiteral("Stock");
const QString kCommission = QStringLiteral("Commission");
const QString kProduce = QStringLiteral("Produce");
const QString kConsign = QStringLiteral("Consign");

// Base types whose receipts give the last receipt cost of a FIFO stock list.
bool IsFIFOLastInType(int b)
{
    switch (b) {
    case 14:
    case 16:
    case 21:
    case 34:
    case 140:
    case 141:
    case 161:
    case 174:
    case 184:
        return true;
    default:
        return false;
    }
}

// Column positions of a FIFO list, looked up once per data set.
struct TColumns
{
    explicit TColumns(const TClientDataSet &ds) : FDs(ds) {}
    int operator()(const char *AName) const { return FDs.FieldIndex(QLatin1String(AName)); }
    const TClientDataSet &FDs;
};

inline QVariant At(const TClientDataSet::Row &ARow, int AColumn)
{
    return AColumn >= 0 ? ARow.at(AColumn) : QVariant();
}
} // namespace

bool TCostCalcProcess::CalcFIFO(int &ADlyCount)
{
    FAllStockList = std::make_unique<TAllStockList>();
    // The FIFO structures of the item are freed in every outcome, also on a database error.
    struct TFreeList
    {
        std::unique_ptr<TAllStockList> &FList;
        ~TFreeList() { FList.reset(); }
    } freeList{FAllStockList};

    OpenFIFOIni();
    if (!FIsGM) {
        ADlyCount += LoadFIFOKind(kStock, QStringLiteral("T_FIFO_InList_Stock"),
                                  QStringLiteral("T_FIFO_OutList_Stock"));
    } else {
        // With production, stock receipts and issues include the acceptance and return lines.
        const QStringList names{QStringLiteral("@PtypeID"), QStringLiteral("@JXCPeriod"),
                                QStringLiteral("@StockMode")};
        const QVariantList values{FPtypeID, FJxcPeriod, FStockMode};
        TClientDataSet in, out;
        Udlldbservice::OpenProcByName(QStringLiteral("P_Cost_FIFO_GetCheckAcceptInStock"), names, values, in);
        Udlldbservice::OpenProcByName(QStringLiteral("P_Cost_FIFO_GetConsignBackOutStock"), names, values,
                                      out);
        LoadInRows(in, kStock);
        ADlyCount += LoadOutRows(out, kStock);
    }
    ADlyCount += LoadFIFOKind(kCommission, QStringLiteral("T_FIFO_InList_Commission"),
                              QStringLiteral("T_FIFO_OutList_Commission"));
    if (FIsGM) {
        ADlyCount += LoadFIFOKind(kProduce, QStringLiteral("T_FIFO_InList_Produce"),
                                  QStringLiteral("T_FIFO_OutList_Produce"));
        ADlyCount += LoadFIFOKind(kConsign, QStringLiteral("T_FIFO_InList_Consign"),
                                  QStringLiteral("T_FIFO_OutList_Consign"));
    }

    TAllStockList &all = *FAllStockList;
    all.SetInOutRelationship();
    for (TInRecord *R : all.AllZeroCostInRecordList) {
        double p = 0;
        if (!SearchFIFOSubstitute(R, R->Vchtype, R->Qty, p))
            return false;
        R->Price = p;
        R->Total = Round2(R->Qty * p);
        R->LeftTotal = R->LeftTotal + R->Total + R->FeeTotal;
        R->CostCacled = true;
    }
    if (!all.CreateMatchRecord()) {
        FLastError = QStringLiteral("出库数量超过入库数量，先进先出无法计算。");
        return false;
    }
    all.CalcCost();
    const bool solved = all.CalcUnknownCost([this](int AVchtype, double AQty, double &APrice) {
        return SearchFIFOSubstitute(nullptr, AVchtype, AQty, APrice);
    });
    if (!solved) {
        if (FLastError.isEmpty())
            FLastError = QStringLiteral("成本方程无法求解，没有找到替代成本。");
        return false;
    }
    const QString xml = all.GetUpdateXML();
    return SaveItem([&] {
        return CallSaveProc(QStringLiteral("P_Cost_FIFO_UpdateCost"),
                            {QStringLiteral("@PtypeID"), QStringLiteral("@JXCPeriod"),
                             QStringLiteral("@IsGM"), QStringLiteral("@StockMode"),
                             QStringLiteral("@MonthCalc"), QStringLiteral("@xml")},
                            {FPtypeID, FJxcPeriod, FIsGM, FStockMode, FMonthCalc, xml});
    });
}

void TCostCalcProcess::OpenFIFOIni()
{
    // The latest balance before the period: per warehouse for stock, one row for each other kind.
    QString sql = QStringLiteral(
        "SELECT Qty, Total, KTypeID FROM GoodsStocksCost a WHERE a.PTypeID = ? AND a.Period = (SELECT "
        "coalesce(Max(Period),0) FROM GoodsStocksCost WHERE PTypeID = ? AND KTypeID = a.KTypeID AND Period < "
        "?) "
        "UNION ALL SELECT Qty, Total, 'Commission' FROM CommissionCost a WHERE a.PTypeID = ? AND a.Period = "
        "(SELECT coalesce(Max(Period),0) FROM CommissionCost WHERE PTypeID = ? AND Period < ?)");
    QVariantList params{FPtypeID, FPtypeID, FJxcPeriod, FPtypeID, FPtypeID, FJxcPeriod};
    if (FIsGM) {
        sql += QStringLiteral(
            " UNION ALL SELECT Qty, Total, 'Produce' FROM GoodsStocksCostSC a WHERE a.PTypeID = ? AND "
            "a.Period = "
            "(SELECT coalesce(Max(Period),0) FROM GoodsStocksCostSC WHERE PTypeID = ? AND Period < ?) UNION "
            "ALL "
            "SELECT Qty, Total, 'Consign' FROM GoodsStocksCostWeiWai a WHERE a.PTypeID = ? AND a.Period = "
            "(SELECT coalesce(Max(Period),0) FROM GoodsStocksCostWeiWai WHERE PTypeID = ? AND Period < ?)");
        params << FPtypeID << FPtypeID << FJxcPeriod << FPtypeID << FPtypeID << FJxcPeriod;
    }
    Udlldbservice::OpenSQL(sql, params, cdsFIFOIni);
}

int TCostCalcProcess::LoadFIFOKind(const QString &AKind, const QString &AInTable, const QString &AOutTable)
{
    // The stock list key: the warehouse when stock is costed per warehouse, '' for the whole company;
    // the kind name for the other kinds. Table names and kind names are constants of this unit.
    const QString key = AKind != kStock   ? QStringLiteral("'%1' AS KtypeID").arg(AKind)
                        : FStockMode == 0 ? QStringLiteral("'' AS KtypeID")
                                          : QStringLiteral("KtypeID AS KtypeID");
    TClientDataSet &ds = cdsBillInfo;
    Udlldbservice::OpenSQL(
        QStringLiteral(
            "SELECT ID, VchSource, Period, Vchtype, Vchcode, Dlyorder, %1, Qty, CostPrice, CostTotal, "
            "FeeTotal, CASE WHEN Period < ? THEN 1 ELSE Appoint END AS Appoint, MatchedQty, "
            "MatchedTotal, GetVchSource, GetCostDlyorder FROM %2 WHERE PtypeID = ? AND (Period >= ? OR "
            "Qty - MatchedQty > 0) AND Qty <> 0 ORDER BY Period, Date, Vchcode, Dlyorder")
            .arg(key, AInTable),
        {FJxcPeriod, FPtypeID, FJxcPeriod}, ds);
    LoadInRows(ds, AKind);
    Udlldbservice::OpenSQL(
        QStringLiteral(
            "SELECT ID, VchSource, Vchtype, Vchcode, Dlyorder, %1, Qty, CostPrice, CostTotal, FeeTotal, "
            "Appoint FROM %2 WHERE PtypeID = ? AND Period >= ? AND Qty <> 0 ORDER BY Period, Date, "
            "Vchcode, Dlyorder")
            .arg(key, AOutTable),
        {FPtypeID, FJxcPeriod}, ds);
    return LoadOutRows(ds, AKind);
}

void TCostCalcProcess::LoadInRows(TClientDataSet &ADataSet, const QString &AKind)
{
    const TColumns col(ADataSet);
    const int cID = col("ID"), cSource = col("VchSource"), cVchtype = col("Vchtype"),
              cVchcode = col("Vchcode"), cDly = col("Dlyorder"), cKey = col("KtypeID"), cQty = col("Qty"),
              cPrice = col("CostPrice"), cTotal = col("CostTotal"), cFee = col("FeeTotal"),
              cAppoint = col("Appoint"), cMatchedQty = col("MatchedQty"), cMatchedTotal = col("MatchedTotal"),
              cOutTable = col("GetVchSource"), cOutDly = col("GetCostDlyorder");
    for (int i = 0; i < ADataSet.RowCountAll(); ++i) {
        const TClientDataSet::Row &row = ADataSet.RowAt(i);
        TInRecord I;
        I.ID = At(row, cID).toInt();
        I.Table = At(row, cSource).toString().toLower();
        I.Vchtype = At(row, cVchtype).toInt();
        I.Vchcode = At(row, cVchcode).toInt();
        I.Dlyorder = At(row, cDly).toInt();
        I.Appoint = At(row, cAppoint).toInt();
        I.Qty = At(row, cQty).toDouble();
        const double costTotal = At(row, cTotal).toDouble();
        I.FeeTotal = At(row, cFee).toDouble();
        I.Price = At(row, cPrice).toDouble();
        I.Total = costTotal;
        I.LeftQty = Round4(I.Qty - At(row, cMatchedQty).toDouble());
        I.LeftTotal = Round2(costTotal + I.FeeTotal - At(row, cMatchedTotal).toDouble());
        I.OutTable = At(row, cOutTable).toString().toLower();
        I.OutDlyorder = At(row, cOutDly).toInt();
        I.Stock = AKind;
        if (I.Appoint != 0) {
            I.CostCacled = true;
            if (I.FeeTotal != 0)
                I.Price = Round4((costTotal + I.FeeTotal) / I.Qty);
        } else {
            I.Price = I.Total = I.LeftTotal = 0;
        }
        FAllStockList->AddInRecord(At(row, cKey).toString(), std::move(I));
    }
}

int TCostCalcProcess::LoadOutRows(TClientDataSet &ADataSet, const QString &AKind)
{
    const TColumns col(ADataSet);
    const int cID = col("ID"), cSource = col("VchSource"), cVchtype = col("Vchtype"),
              cVchcode = col("Vchcode"), cDly = col("Dlyorder"), cKey = col("KtypeID"), cQty = col("Qty"),
              cPrice = col("CostPrice"), cTotal = col("CostTotal"), cFee = col("FeeTotal"),
              cAppoint = col("Appoint");
    for (int i = 0; i < ADataSet.RowCountAll(); ++i) {
        const TClientDataSet::Row &row = ADataSet.RowAt(i);
        TOutRecord O;
        O.ID = At(row, cID).toInt();
        O.Table = At(row, cSource).toString().toLower();
        O.Vchtype = At(row, cVchtype).toInt();
        O.Vchcode = At(row, cVchcode).toInt();
        O.Dlyorder = At(row, cDly).toInt();
        O.Appoint = At(row, cAppoint).toInt();
        O.Qty = At(row, cQty).toDouble();
        O.NoFeePrice = At(row, cPrice).toDouble();
        const double costTotal = At(row, cTotal).toDouble();
        O.FeeTotal = At(row, cFee).toDouble();
        O.Total = costTotal;
        O.LeftQty = O.Qty;
        O.LeftTotal = costTotal + O.FeeTotal;
        O.Index = 0;
        O.Stock = AKind;
        if (O.Appoint == 1)
            O.Price = O.FeeTotal == 0 ? O.NoFeePrice : Round4((costTotal + O.FeeTotal) / O.Qty);
        else
            O.Price = O.Total = 0;
        FAllStockList->AddOutRecord(At(row, cKey).toString(), std::move(O));
    }
    return ADataSet.RowCountAll();
}

bool TCostCalcProcess::SearchFIFOSubstitute(const TInRecord *AReceipt, int AVchtype, double AQty,
                                            double &APrice)
{
    double p = 0;
    for (int i = 0; i < cdsCostMode.RowCountAll(); ++i) {
        const QString name = cdsCostMode.ValueIn(cdsCostMode.RowAt(i), QStringLiteral("CostName")).toString();
        if (name == QStringLiteral("最近采购价")) {
            p = FRecPrice;
        } else if (name == QStringLiteral("参考成本")) {
            p = FRefPrice;
        } else if (name == QStringLiteral("上次入库成本") && AReceipt) {
            // The nearest earlier receipt of the same stock list with a given, positive cost.
            p = 0;
            for (const TInRecord &I : AReceipt->StockInOutList->InRecordList) {
                if (&I == AReceipt)
                    break;
                if (IsFIFOLastInType(BaseVchtype(I.Vchtype)) && I.Appoint == 1 && I.Price > 0)
                    p = I.Price;
            }
        } else if (name == QStringLiteral("上期结存成本") && AReceipt) {
            p = 0;
            const QString key = AReceipt->StockInOutList->KtypeID;
            for (int r = 0; r < cdsFIFOIni.RowCountAll(); ++r) {
                const TClientDataSet::Row &row = cdsFIFOIni.RowAt(r);
                if (cdsFIFOIni.ValueIn(row, QStringLiteral("KTypeID"))
                        .toString()
                        .compare(key, Qt::CaseInsensitive) != 0)
                    continue;
                const double qty = cdsFIFOIni.ValueIn(row, QStringLiteral("Qty")).toDouble();
                const double total = cdsFIFOIni.ValueIn(row, QStringLiteral("Total")).toDouble();
                p = qty != 0 && total != 0 ? total / qty : 0.0;
                break;
            }
        } else {
            continue;
        }
        if (Acceptable(p)) {
            APrice = p;
            ReportPrice(name, p);
            return true;
        }
    }
    TBillInfo info;
    info.Vchtype = AVchtype;
    info.Ptypeid = FPtypeID;
    if (AReceipt && AReceipt->Stock == kStock)
        info.Ktypeid = AReceipt->StockInOutList->KtypeID;
    info.Qty = Kvbasicfun::DoubleToString(AQty);
    if (!AcceptUnfoundCost(info, p))
        return false;
    APrice = p;
    return true;
}
