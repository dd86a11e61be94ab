// TCostCalcProcess, cost modes 0 and 3: reads the item's bill lines, runs the average walk
// (uCostAverage), and saves the line costs and the period balances in one transaction.

#include "uCostCalcProcessMain.h"

#include "Kvbasicfun.h"
#include "Udlldbservice.h"

namespace {
const QString kReasonZero = QStringLiteral("成本为零或成本过大");

// The balance tables of the item, the production and outsourcing ones only with IsGM.
QStringList BalanceTables(bool AIsGM)
{
    QStringList tables{QStringLiteral("GoodsStocksCost"), QStringLiteral("CommissionCost")};
    if (AIsGM)
        tables << QStringLiteral("GoodsStocksCostSC") << QStringLiteral("GoodsStocksCostWeiWai");
    return tables;
}

void AppendSaveRecord(QString &AXml, const TAverageLine &L)
{
    const int b = BaseVchtype(L.Vchtype);
    AXml += QLatin1String("<Record Total=\"");
    AXml += Kvbasicfun::FloatToStringBit(L.Total, 2);
    AXml += QLatin1String("\" Price=\"");
    AXml += Kvbasicfun::FloatToStringBit(L.Price, 4);
    AXml += QLatin1String("\" Dlyorder=\"");
    AXml += QString::number(L.Dlyorder);
    AXml += QLatin1String("\" Flag=\"");
    AXml += QString::number(GetSaveFlag(b, L.UsedType, L.Appoint));
    AXml += QLatin1String("\"/>");
}
} // namespace

bool TCostCalcProcess::CalcAverage(int &ADlyCount)
{
    FBalanceSQL.clear();
    FHasConsignBack = false;
    TAverageCostCalc::TSettings settings;
    settings.CostMode = FCostMode;
    settings.StockMode = FStockMode;
    settings.IsGM = FIsGM;
    settings.CanZero = FCanZero;
    settings.Limits = FLimits;
    FAverage.Reset(settings);

    Udlldbservice::OpenProcByName(QStringLiteral("P_Cost_GetAllBillsByPtype"),
                                  {QStringLiteral("@Ptypeid"), QStringLiteral("@JxcPeriod"),
                                   QStringLiteral("@nCostMode"), QStringLiteral("@nAllStock"),
                                   QStringLiteral("@bIsGM")},
                                  {FPtypeID, FJxcPeriod, FCostMode, FStockMode, FIsGM}, cdsBillInfo);
    if (cdsBillInfo.RowCountAll() == 0) {
        return ClearItemCost();
    }

    std::vector<TAverageLine> lines;
    ReadBillLines(lines, ADlyCount);
    if (FIsGM) {
        FHasConsignBack =
            Udlldbservice::GetValueFromSQL(
                QStringLiteral(
                    "SELECT CASE WHEN EXISTS(SELECT 1 FROM DlyOther WHERE CASE WHEN VchType > 10000 "
                    "THEN VchType / 10000 ELSE VchType END = 189 AND PtypeID = ? AND Period >= ? "
                    "AND UsedType = 2) THEN 1 ELSE 0 END"),
                {FPtypeID, FJxcPeriod})
                .toInt() == 1;
        // The pools already hold the openings: only the switch changes.
        FAverage.SetHasConsignBack(FHasConsignBack);
    }

    FAverage.OnGetSubstituteCost = [this](const TAverageLine &L, double &p) {
        return SearchAverageSubstitute(L, p);
    };
    FAverage.OnUnacceptableCost = [this](const TAverageLine &L, double &p) {
        TBillInfo info;
        info.Vchtype = L.Vchtype;
        info.Ptypeid = FPtypeID;
        info.Ktypeid = L.Ktypeid;
        info.BlockNo = L.BlockNo;
        info.Qty = Kvbasicfun::DoubleToString(L.Qty);
        return AcceptUnfoundCost(info, p);
    };
    FAverage.OnGetAcceptCost = [](int ADlyorder) {
        return Udlldbservice::GetValueFromSQL(
                   QStringLiteral("SELECT CostPrice FROM DlyOther WHERE Dlyorder = ?"), {ADlyorder})
            .toDouble();
    };

    int failed = -1;
    const bool ok = FAverage.Calc(lines, FJxcPeriod, &failed);
    FAverage.OnGetSubstituteCost = nullptr;
    FAverage.OnUnacceptableCost = nullptr;
    FAverage.OnGetAcceptCost = nullptr;
    if (!ok) {
        if (FLastError.isEmpty() && failed >= 0)
            FLastError = QStringLiteral("单据类型 %1 没有成本计算规则。").arg(lines[failed].Vchtype);
        return false;
    }
    FBalanceSQL = BalanceStatements(FPtypeID, FAverage.Balances());
    return SaveAverage(lines);
}

void TCostCalcProcess::ReadBillLines(std::vector<TAverageLine> &ALines, int &ADlyCount)
{
    const TClientDataSet &ds = cdsBillInfo;
    const int cPeriod = ds.FieldIndex(QStringLiteral("Period"));
    const int cVchtype = ds.FieldIndex(QStringLiteral("Vchtype"));
    const int cUsedType = ds.FieldIndex(QStringLiteral("UsedType"));
    const int cAppoint = ds.FieldIndex(QStringLiteral("Appoint"));
    const int cQty = ds.FieldIndex(QStringLiteral("Qty"));
    const int cPrice = ds.FieldIndex(QStringLiteral("Price"));
    const int cTotal = ds.FieldIndex(QStringLiteral("Total"));
    const int cKtypeid = ds.FieldIndex(QStringLiteral("Ktypeid"));
    const int cBlockNo = ds.FieldIndex(QStringLiteral("BlockNo"));
    const int cDlyorder = ds.FieldIndex(QStringLiteral("Dlyorder"));
    const int cSourceDlyorder = ds.FieldIndex(QStringLiteral("SourceDlyorder"));
    const int cTable = ds.FieldIndex(QStringLiteral("TableName"));
    auto at = [](const TClientDataSet::Row &row, int c) { return c >= 0 ? row.at(c) : QVariant(); };

    ALines.reserve(ds.RowCountAll());
    for (int i = 0; i < ds.RowCountAll(); ++i) {
        const TClientDataSet::Row &row = ds.RowAt(i);
        TAverageLine L;
        L.Period = at(row, cPeriod).toInt();
        L.Vchtype = at(row, cVchtype).toInt();
        L.UsedType = at(row, cUsedType).toInt();
        L.Appoint = at(row, cAppoint).toInt();
        L.Qty = at(row, cQty).toDouble();
        L.Price = at(row, cPrice).toDouble();
        L.Total = at(row, cTotal).toDouble();
        L.Ktypeid = at(row, cKtypeid).toString();
        L.BlockNo = at(row, cBlockNo).toString();
        L.Dlyorder = at(row, cDlyorder).toInt();
        L.SourceDlyorder = at(row, cSourceDlyorder).toInt();
        L.Table = at(row, cTable).toString().toLower();
        // Opening rows go into their pools; the rest are the lines of the walk.
        if (!FAverage.AddOpening(L))
            ALines.push_back(std::move(L));
    }
    ADlyCount += static_cast<int>(ALines.size());
}

bool TCostCalcProcess::SearchAverageSubstitute(const TAverageLine &ALine, double &APrice)
{
    for (int i = 0; i < cdsCostMode.RowCountAll(); ++i) {
        const QString name = cdsCostMode.ValueIn(cdsCostMode.RowAt(i), QStringLiteral("CostName")).toString();
        double p = 0;
        if (name == QStringLiteral("最近采购价"))
            p = FRecPrice;
        else if (name == QStringLiteral("参考成本"))
            p = FRefPrice;
        else if (name == QStringLiteral("上期结存成本"))
            p = FAverage.Pools().IniPrice(ALine.Ktypeid, ALine.BlockNo);
        else if (name == QStringLiteral("上次出库成本"))
            p = FetchLastOutPrice();
        else if (name == QStringLiteral("上次入库成本"))
            p = FetchLastInPrice();
        else
            continue;
        if (Acceptable(p)) {
            APrice = p;
            ReportPrice(name, p);
            return true;
        }
    }
    return false;
}

double TCostCalcProcess::FetchLastOutPrice()
{
    if (!FAverage.FLastOutPriceGeted) {
        FAverage.FLastOutPrice =
            Udlldbservice::GetValueFromSQL(
                QStringLiteral(
                    "SELECT CostPrice FROM ( SELECT Date,Vchcode,CASE WHEN VchType > 10000 THEN VchType / "
                    "10000 "
                    "ELSE VchType END AS vchtype,UsedType,Dlyorder,Appoint,CostPrice FROM DlySale WHERE "
                    "PtypeId = "
                    "? AND Period < ? AND CostPrice > 0 UNION ALL SELECT Date,Vchcode,CASE WHEN VchType > "
                    "10000 "
                    "THEN VchType / 10000 ELSE VchType END AS vchtype,UsedType,Dlyorder,Appoint,CostPrice "
                    "FROM "
                    "DlyOther WHERE PtypeId = ? AND Period < ? AND CostPrice > 0 ) a WHERE vchtype IN (11,9) "
                    "OR "
                    "(vchtype = 141 AND Appoint = 0) OR (vchtype IN (16,25,172,182) AND UsedType = 1) OR "
                    "(vchtype = 21 AND UsedType = 0) ORDER BY Date DESC,Vchcode DESC,Dlyorder DESC LIMIT 1"),
                {FPtypeID, FJxcPeriod, FPtypeID, FJxcPeriod})
                .toDouble();
        FAverage.FLastOutPriceGeted = true;
    }
    return FAverage.FLastOutPrice;
}

double TCostCalcProcess::FetchLastInPrice()
{
    if (!FAverage.FLastInPriceGeted) {
        FAverage.FLastInPrice =
            Udlldbservice::GetValueFromSQL(
                QStringLiteral(
                    "SELECT CostPrice FROM ( SELECT Date,Vchcode,CASE WHEN VchType > 10000 THEN VchType / "
                    "10000 "
                    "ELSE VchType END AS vchtype,UsedType,Appoint,Dlyorder,CostPrice FROM DlyBuy WHERE "
                    "PtypeId = ? "
                    "AND Period < ? AND CostPrice > 0 UNION ALL SELECT Date,Vchcode,CASE WHEN VchType > "
                    "10000 "
                    "THEN VchType / 10000 ELSE VchType END AS vchtype,UsedType,Appoint,Dlyorder,CostPrice "
                    "FROM "
                    "DlyOther WHERE PtypeId = ? AND Period < ? AND CostPrice > 0 ) a WHERE (vchtype IN "
                    "(34,140,14,161)) OR (vchtype IN (21, 174, 184) AND UsedType = 1) OR (vchtype = 16 AND "
                    "UsedType = 2) OR (vchtype = 141 AND Appoint = 1) ORDER BY Date DESC,Vchcode "
                    "DESC,Dlyorder "
                    "DESC LIMIT 1"),
                {FPtypeID, FJxcPeriod, FPtypeID, FJxcPeriod})
                .toDouble();
        FAverage.FLastInPriceGeted = true;
    }
    return FAverage.FLastInPrice;
}

std::vector<TBoundSQL> TCostCalcProcess::DeleteBalanceStatements() const
{
    std::vector<TBoundSQL> statements;
    for (const QString &table : BalanceTables(FIsGM))
        statements.push_back(
            {QStringLiteral("DELETE FROM %1 WHERE PTypeID = ? AND Period >= ? AND Period > 0").arg(table),
             {FPtypeID, FJxcPeriod}});
    return statements;
}

bool TCostCalcProcess::ClearItemCost()
{
    std::vector<TBoundSQL> statements = DeleteBalanceStatements();
    statements.push_back(
        {QStringLiteral("UPDATE ptype SET CalcCost = 0, MonthCalcCost = 0 WHERE typeId = ?"), {FPtypeID}});
    return SaveItem([&] {
        ExecuteAll(statements);
        return true;
    });
}

std::vector<TBoundSQL> TCostCalcProcess::BalanceStatements(const QString &APtypeID,
                                                           const std::vector<TBalanceRow> &ARows)
{
    // The rows of each balance table go in INSERTs of kRows rows and single-row ones for the rest:
    // two texts per table, each compiled once for the run.
    constexpr int kRows = 16;
    struct TTable
    {
        QString Head;
        int Columns;
        QVariantList Values;
    };
    TTable tables[] = {
        {QStringLiteral("INSERT INTO GoodsStocksCost(PtypeId,Qty,Total,KTypeID,Period,BlockNo) VALUES"),
         6,
         {}},
        {QStringLiteral("INSERT INTO CommissionCost(PTypeID,Qty,Total,Period,BlockNo) VALUES"), 5, {}},
        {QStringLiteral("INSERT INTO GoodsStocksCostSC(PTypeID,Qty,Total,Period,BlockNo) VALUES"), 5, {}},
        {QStringLiteral("INSERT INTO GoodsStocksCostWeiWai(PTypeID,Qty,Total,Period,BlockNo) VALUES"),
         5,
         {}}};
    for (const TBalanceRow &r : ARows) {
        // The amount is stored as its two-decimal text reads; the quantity exactly.
        const double total = Kvbasicfun::FloatToStringBit(r.Total, 2).toDouble();
        QVariantList &values = tables[static_cast<int>(r.Kind)].Values;
        values << APtypeID << r.Qty << total;
        if (r.Kind == TCostPoolKind::Stock)
            values << r.KtypeID;
        values << r.Period << r.BlockNo;
    }
    std::vector<TBoundSQL> statements;
    for (const TTable &t : tables) {
        const QString row = QStringLiteral("(?") + QStringLiteral(",?").repeated(t.Columns - 1) + u')';
        const qsizetype rows = t.Values.size() / t.Columns;
        const qsizetype full = rows / kRows * kRows;
        const QString many = t.Head + row + (u',' + row).repeated(kRows - 1);
        for (qsizetype first = 0; first < rows; first += first < full ? kRows : 1) {
            const qsizetype n = first < full ? kRows : 1;
            statements.push_back(
                {n == 1 ? t.Head + row : many, t.Values.mid(first * t.Columns, n * t.Columns)});
        }
    }
    return statements;
}

void TCostCalcProcess::BuildSaveXML(const std::vector<TAverageLine> &ALines, QString &ABuyXML,
                                    QString &ASaleXML, QString &AOtherXML)
{
    ABuyXML = ASaleXML = AOtherXML = QStringLiteral("<Root>");
    AOtherXML.reserve(16 + static_cast<qsizetype>(ALines.size()) * 64);
    auto targetOf = [&](const QString &ATable) -> QString * {
        if (ATable.compare(QLatin1String("dlybuy"), Qt::CaseInsensitive) == 0)
            return &ABuyXML;
        if (ATable.compare(QLatin1String("dlysale"), Qt::CaseInsensitive) == 0)
            return &ASaleXML;
        if (ATable.compare(QLatin1String("dlyother"), Qt::CaseInsensitive) == 0)
            return &AOtherXML;
        return nullptr; // other tables are left out
    };
    // The line's own table when the data names it; else the bill configuration's, once per base type.
    QHash<int, QString *> byType;
    for (const TAverageLine &L : ALines) {
        QString *xml = nullptr;
        if (!L.Table.isEmpty()) {
            xml = targetOf(L.Table);
        } else {
            const int b = BaseVchtype(L.Vchtype);
            auto it = byType.find(b);
            if (it == byType.end())
                it = byType.insert(b, targetOf(GetBillDlyTableName(b)));
            xml = *it;
        }
        if (xml)
            AppendSaveRecord(*xml, L);
    }
    ABuyXML += QLatin1String("</Root>");
    ASaleXML += QLatin1String("</Root>");
    AOtherXML += QLatin1String("</Root>");
}

bool TCostCalcProcess::SaveAverage(const std::vector<TAverageLine> &ALines)
{
    QString buyXml, saleXml, otherXml;
    BuildSaveXML(ALines, buyXml, saleXml, otherXml);
    std::vector<TBoundSQL> statements = DeleteBalanceStatements();
    statements.insert(statements.end(), FBalanceSQL.begin(), FBalanceSQL.end());
    statements.push_back({QStringLiteral("UPDATE ptype SET CalcCost = 0 WHERE typeId = ?"), {FPtypeID}});
    // A cost accepted as zero or too large keeps the item marked for the month-end calculation.
    if (!FMonthCalc)
        statements.push_back(
            {QStringLiteral("UPDATE ptype SET MonthCalcCost = 0 WHERE typeId = ?"), {FPtypeID}});
    // The balance statements go bound, not as text for the procedure to run; the procedure checks its
    // XML before it writes anything, so a refusal leaves the item untouched.
    return SaveItem([&] {
        if (!CallSaveProc(QStringLiteral("P_Cost_SaveCost"),
                          {QStringLiteral("@PtypeID"), QStringLiteral("@JXCPeriod"),
                           QStringLiteral("@BuyXML"), QStringLiteral("@SaleXML"), QStringLiteral("@OtherXML"),
                           QStringLiteral("@SQL")},
                          {FPtypeID, FJxcPeriod, buyXml, saleXml, otherXml, QString()}))
            return false;
        ExecuteAll(statements);
        return true;
    });
}
