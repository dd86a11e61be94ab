// Area "costing": goods, warehouses, bills and opening stock (SchemaStock.cpp), the cost balances,
// the FIFO lists and the settings of the cost calculation.
//
// Balances, one row per goods item, key and period (Period 0 = opening stock):
//   GoodsStocksCost        stock in the warehouses (KTypeID '' when stock is costed for the whole company)
//   CommissionCost         goods consigned out        GoodsStocksCostSC      goods in production
//   GoodsStocksCostWeiWai  goods at outside processors
// FIFO lists, one pair per stock kind (Stock, Commission, Produce, Consign). Every posted bill line is
// one row of exactly one list: receipts in T_FIFO_InList_<kind>, issues in T_FIFO_OutList_<kind>, with
// positive quantities. VchSource names the line table (lower case) and Dlyorder the line. A receipt
// whose cost is that of an issue names it in GetVchSource / GetCostDlyorder (the receiving line of a
// transfer names its issuing line). MatchedQty / MatchedTotal: what issues of the periods before the
// current inventory period took from the receipt. T_FIFO_MatchList keeps the matches of the last FIFO
// calculation (Period = the issue's period).
// T_JXC_CostCalcOrder   substitute costs tried, in CostOrder, for zero or excessive costs; CostMode is
//                       the system value "ZeroCostSelect".
// T_Inf_PlugIn_AfterCosting  procedures of plug-ins run after each costed goods item, in table order.

#include "AccountDatabase.h"
#include "Schema.h"

namespace accountdb::schema {

void createStockTables(AccountDatabase &db); // SchemaStock.cpp

namespace {

const char *const kBalanceDdl = R"SQL(
CREATE TABLE GoodsStocksCost (
  PtypeId TEXT NOT NULL,
  KTypeID TEXT NOT NULL DEFAULT '',
  BlockNo TEXT NOT NULL DEFAULT '',
  Period INTEGER NOT NULL,
  Qty REAL NOT NULL DEFAULT 0,
  Total REAL NOT NULL DEFAULT 0,
  PRIMARY KEY (PtypeId, Period, KTypeID, BlockNo)
);
CREATE TABLE CommissionCost (
  PTypeID TEXT NOT NULL,
  BlockNo TEXT NOT NULL DEFAULT '',
  Period INTEGER NOT NULL,
  Qty REAL NOT NULL DEFAULT 0,
  Total REAL NOT NULL DEFAULT 0,
  PRIMARY KEY (PTypeID, Period, BlockNo)
);
CREATE TABLE GoodsStocksCostSC (
  PTypeID TEXT NOT NULL,
  BlockNo TEXT NOT NULL DEFAULT '',
  Period INTEGER NOT NULL,
  Qty REAL NOT NULL DEFAULT 0,
  Total REAL NOT NULL DEFAULT 0,
  PRIMARY KEY (PTypeID, Period, BlockNo)
);
CREATE TABLE GoodsStocksCostWeiWai (
  PTypeID TEXT NOT NULL,
  BlockNo TEXT NOT NULL DEFAULT '',
  Period INTEGER NOT NULL,
  Qty REAL NOT NULL DEFAULT 0,
  Total REAL NOT NULL DEFAULT 0,
  PRIMARY KEY (PTypeID, Period, BlockNo)
);
CREATE TABLE T_FIFO_MatchList (
  ID INTEGER PRIMARY KEY,
  PtypeID TEXT NOT NULL,
  Period INTEGER NOT NULL,
  Dest TEXT NOT NULL,
  InTable TEXT NOT NULL,
  InVchtype INTEGER NOT NULL,
  InVchcode INTEGER NOT NULL,
  InDlyorder INTEGER NOT NULL,
  OutTable TEXT NOT NULL,
  OutVchtype INTEGER NOT NULL,
  OutVchcode INTEGER NOT NULL,
  OutDlyorder INTEGER NOT NULL,
  Qty REAL NOT NULL,
  Price REAL NOT NULL,
  Total REAL NOT NULL,
  Comment TEXT NOT NULL DEFAULT ''
);
CREATE INDEX IX_FIFO_MatchList_Ptype ON T_FIFO_MatchList (PtypeID, Period);
CREATE INDEX IX_FIFO_MatchList_In ON T_FIFO_MatchList (Dest, InTable, InDlyorder);
CREATE TABLE T_JXC_CostCalcOrder (
  CostMode INTEGER NOT NULL,
  CostOrder INTEGER NOT NULL,
  CostName TEXT NOT NULL,
  PRIMARY KEY (CostMode, CostOrder)
);
CREATE TABLE T_Inf_PlugIn_AfterCosting (
  RowNo INTEGER PRIMARY KEY,
  ProcName TEXT NOT NULL UNIQUE,
  Comment TEXT NOT NULL DEFAULT ''
);
)SQL";

const char *const kInListColumns = R"SQL(
  ID INTEGER PRIMARY KEY,
  VchSource TEXT NOT NULL,
  Period INTEGER NOT NULL,
  Date TEXT NOT NULL,
  Vchtype INTEGER NOT NULL,
  Vchcode INTEGER NOT NULL,
  Dlyorder INTEGER NOT NULL,
  PtypeID TEXT NOT NULL,
  KtypeID TEXT NOT NULL DEFAULT '',
  BlockNo TEXT NOT NULL DEFAULT '',
  Qty REAL NOT NULL,
  CostPrice REAL NOT NULL DEFAULT 0,
  CostTotal REAL NOT NULL DEFAULT 0,
  FeeTotal REAL NOT NULL DEFAULT 0,
  Appoint INTEGER NOT NULL DEFAULT 0,
  MatchedQty REAL NOT NULL DEFAULT 0,
  MatchedTotal REAL NOT NULL DEFAULT 0,
  GetVchSource TEXT NOT NULL DEFAULT '',
  GetCostDlyorder INTEGER NOT NULL DEFAULT 0
)SQL";

const char *const kOutListColumns = R"SQL(
  ID INTEGER PRIMARY KEY,
  VchSource TEXT NOT NULL,
  Period INTEGER NOT NULL,
  Date TEXT NOT NULL,
  Vchtype INTEGER NOT NULL,
  Vchcode INTEGER NOT NULL,
  Dlyorder INTEGER NOT NULL,
  PtypeID TEXT NOT NULL,
  KtypeID TEXT NOT NULL DEFAULT '',
  BlockNo TEXT NOT NULL DEFAULT '',
  Qty REAL NOT NULL,
  CostPrice REAL NOT NULL DEFAULT 0,
  CostTotal REAL NOT NULL DEFAULT 0,
  FeeTotal REAL NOT NULL DEFAULT 0,
  Appoint INTEGER NOT NULL DEFAULT 0
)SQL";

// Substitute costs: mode 0 tries the balance and the last known costs first, mode 1 the prices kept
// on the goods item.
const QList<QVariantList> &costOrders()
{
    static const QList<QVariantList> rows = {
        {0, 1, QStringLiteral("上期结存成本")}, {0, 2, QStringLiteral("上次入库成本")},
        {0, 3, QStringLiteral("上次出库成本")}, {0, 4, QStringLiteral("最近采购价")},
        {0, 5, QStringLiteral("参考成本")},     {1, 1, QStringLiteral("参考成本")},
        {1, 2, QStringLiteral("最近采购价")},   {1, 3, QStringLiteral("上期结存成本")},
    };
    return rows;
}

// Bill types the stock side uses that the bill-type list may lack (kept when present), and the
// opening-stock bills. The right of a bill type is function number 2000 + type.
const QList<QVariantList> &stockBillTypes()
{
    static const QList<QVariantList> rows = {
        {6, QStringLiteral("进货退货单"), QStringLiteral("JT")},
        {9, QStringLiteral("报损单"), QStringLiteral("BS")},
        {11, QStringLiteral("销售单"), QStringLiteral("XS")},
        {14, QStringLiteral("报溢单"), QStringLiteral("BY")},
        {16, QStringLiteral("组装与拆分单"), QStringLiteral("ZC")},
        {21, QStringLiteral("差异调拨单"), QStringLiteral("CD")},
        {25, QStringLiteral("委托发货单"), QStringLiteral("WF")},
        {26, QStringLiteral("委托结算单"), QStringLiteral("WJ")},
        {30, QStringLiteral("委托退货单"), QStringLiteral("WT")},
        {32, QStringLiteral("委托调整单"), QStringLiteral("WZ")},
        {34, QStringLiteral("进货单"), QStringLiteral("JH")},
        {45, QStringLiteral("销售退货单"), QStringLiteral("XT")},
        {140, QStringLiteral("其他入库单"), QStringLiteral("QR")},
        {141, QStringLiteral("其他出库单"), QStringLiteral("QC")},
        {161, QStringLiteral("采购入库单"), QStringLiteral("CR")},
        {172, QStringLiteral("领料单"), QStringLiteral("LL")},
        {173, QStringLiteral("退料单"), QStringLiteral("TL")},
        {174, QStringLiteral("完工验收单"), QStringLiteral("WG")},
        {176, QStringLiteral("生产报损单"), QStringLiteral("SB")},
        {182, QStringLiteral("委外发料单"), QStringLiteral("WWF")},
        {183, QStringLiteral("委外退料单"), QStringLiteral("WWT")},
        {184, QStringLiteral("委外完工验收单"), QStringLiteral("WWY")},
        {189, QStringLiteral("委外退回单"), QStringLiteral("WWH")},
        {201, QStringLiteral("库存商品期初"), QStringLiteral("QCKC")},
        {203, QStringLiteral("委托代销商品期初"), QStringLiteral("QCWT")},
        {206, QStringLiteral("生产中商品期初"), QStringLiteral("QCSC")},
        {207, QStringLiteral("委外加工商品期初"), QStringLiteral("QCWW")},
        {212, QStringLiteral("简单委外发料单"), QStringLiteral("JWF")},
        {213, QStringLiteral("简单委外退料单"), QStringLiteral("JWT")},
        {214, QStringLiteral("简单委外完工验收单"), QStringLiteral("JWY")},
    };
    return rows;
}

} // namespace

void createCosting(AccountDatabase &db)
{
    createStockTables(db);
    db.execBatch(QString::fromUtf8(kBalanceDdl));
    for (const char *kind : {"Stock", "Commission", "Produce", "Consign"}) {
        const QString k = QString::fromLatin1(kind);
        db.execBatch(
            QStringLiteral("CREATE TABLE T_FIFO_InList_%1 (%2);"
                           "CREATE INDEX IX_FIFO_InList_%1_Ptype ON T_FIFO_InList_%1 (PtypeID, Period);"
                           "CREATE UNIQUE INDEX IX_FIFO_InList_%1_Line ON T_FIFO_InList_%1 "
                           "(VchSource, Dlyorder);"
                           "CREATE TABLE T_FIFO_OutList_%1 (%3);"
                           "CREATE INDEX IX_FIFO_OutList_%1_Ptype ON T_FIFO_OutList_%1 (PtypeID, Period);"
                           "CREATE UNIQUE INDEX IX_FIFO_OutList_%1_Line ON T_FIFO_OutList_%1 "
                           "(VchSource, Dlyorder)")
                .arg(k, QString::fromUtf8(kInListColumns), QString::fromUtf8(kOutListColumns)));
    }
    seedRows(
        db,
        QStringLiteral("INSERT INTO T_JXC_CostCalcOrder (CostMode, CostOrder, CostName) VALUES (?, ?, ?)"),
        costOrders());
    QList<QVariantList> types;
    QList<QVariantList> rights;
    const QString snFormat = QStringLiteral("单据前缀\r\n-\r\nyyyy\r\n-\r\nmm\r\n-\r\ndd\r\n-\r\n[00000]");
    for (const QVariantList &b : stockBillTypes()) {
        types.append({b[0], b[1], b[2], snFormat, 2000 + b[0].toInt()});
        rights.append({2000 + b[0].toInt(), b[1], b[0]});
    }
    seedRows(db,
             QStringLiteral("INSERT INTO T_GBL_Vchtype (Vchtype, Name, NumberHead, SNFormat, FunctionNo) "
                            "VALUES (?, ?, ?, ?, ?) ON CONFLICT DO NOTHING"),
             types);
    seedRows(db,
             QStringLiteral("INSERT INTO T_Gbl_FunctionList (FunctionNo, Caption, VchType) VALUES (?, ?, ?) "
                            "ON CONFLICT DO NOTHING"),
             rights);
}

} // namespace accountdb::schema
