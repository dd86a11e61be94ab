// Area "closing": month-end checkout of the inventory period and its reversal.
//
// T_Inf_PlugIn_JxcCheckOut / T_Inf_PlugIn_JxcUnCheckOut  procedures of plug-ins run inside the checkout
//                   (reversal) transaction, in RowNo order: IsBefore = 1 before the database step,
//                   anything else after it. Each takes @OperatorId, @LogonDate and returns @ErrMsg.
// T_CW_DlyNdx, T_CW_Dly  accounting vouchers and their lines. The checkout writes one carry-forward
//                   voucher per bill type (Source 'JXCJZ') and one for its automatic stock adjustments
//                   (Source 'JXCTJ'). Audited, Signed (cashier), Posted (to the ledger), Deleted (void)
//                   and Merged (taken into another voucher) are set by the accounting side; any of them
//                   keeps the reversal from deleting the voucher.
// T_Jxc_StockKindAtype, T_Jxc_CarryForwardAtype  the accounts of the carry-forward: one per stock kind
//                   (the stock side) and one counter account per bill type.
// T_Jxc_CheckOutLog one row per closed inventory period: the period that followed it and the calendar
//                   year the checkout created (0 when none), so that the reversal can undo exactly that.
// T_Jxc_PeriodBalance  the balances of every stock kind, goods item, warehouse and batch at the end of
//                   each closed period, as they stood when it was closed.
// T_Jxc_CheckOutAdjust  the automatic stock adjustments (bill type 57 with one line) made for a period:
//                   the balance key, the amount, whether the period's balance row was added for it, and
//                   the goods item's MonthCalcCost before the checkout marked it for calculation.
// DlyndxSC, DlyndxOrder, T_XunJia_DlyNdx, DlyNdxCheck, DlyNdxGX, dlya, DifAtype, scgatheringdly,
// GatheringdlyWeiWai2, SplitGatheringDly  bill and allocation tables of production, orders, inquiries,
//                   stock checks, processes and expenses, with the columns the checkout's warnings read
//                   (unaudited bills: Draft = 4; expense bills 37 and their allocation bills 38).

#include "AccountDatabase.h"
#include "Schema.h"

namespace accountdb::schema {

namespace {

const char *const kDdl = R"SQL(
CREATE TABLE T_Inf_PlugIn_JxcCheckOut (
  RowNo INTEGER PRIMARY KEY,
  ProcName TEXT NOT NULL UNIQUE,
  IsBefore INTEGER NOT NULL DEFAULT 0,
  Comment TEXT NOT NULL DEFAULT ''
);
CREATE TABLE T_Inf_PlugIn_JxcUnCheckOut (
  RowNo INTEGER PRIMARY KEY,
  ProcName TEXT NOT NULL UNIQUE,
  IsBefore INTEGER NOT NULL DEFAULT 0,
  Comment TEXT NOT NULL DEFAULT ''
);
CREATE TABLE T_CW_DlyNdx (
  Vchcode INTEGER PRIMARY KEY,
  Period INTEGER NOT NULL,
  Date TEXT NOT NULL,
  VchWord TEXT NOT NULL DEFAULT '记',
  Number INTEGER NOT NULL,
  Summary TEXT NOT NULL DEFAULT '',
  Source TEXT NOT NULL DEFAULT '',
  SourceVchtype INTEGER NOT NULL DEFAULT 0,
  DebitTotal REAL NOT NULL DEFAULT 0,
  CreditTotal REAL NOT NULL DEFAULT 0,
  InputNo TEXT NOT NULL DEFAULT '',
  Audited INTEGER NOT NULL DEFAULT 0,
  Signed INTEGER NOT NULL DEFAULT 0,
  Posted INTEGER NOT NULL DEFAULT 0,
  Deleted INTEGER NOT NULL DEFAULT 0,
  Merged INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX IX_CW_DlyNdx_Period ON T_CW_DlyNdx (Period, Source);
CREATE TABLE T_CW_Dly (
  Dlyorder INTEGER PRIMARY KEY,
  Vchcode INTEGER NOT NULL REFERENCES T_CW_DlyNdx (Vchcode) ON DELETE CASCADE,
  RowNo INTEGER NOT NULL,
  AtypeId TEXT NOT NULL,
  AtypeName TEXT NOT NULL DEFAULT '',
  Summary TEXT NOT NULL DEFAULT '',
  Debit REAL NOT NULL DEFAULT 0,
  Credit REAL NOT NULL DEFAULT 0
);
CREATE INDEX IX_CW_Dly_Vchcode ON T_CW_Dly (Vchcode);
CREATE TABLE T_Jxc_StockKindAtype (
  StockKind TEXT PRIMARY KEY,
  AtypeId TEXT NOT NULL,
  AtypeName TEXT NOT NULL
);
CREATE TABLE T_Jxc_CarryForwardAtype (
  Vchtype INTEGER PRIMARY KEY,
  AtypeId TEXT NOT NULL,
  AtypeName TEXT NOT NULL
);
CREATE TABLE T_Jxc_CheckOutLog (
  Period INTEGER PRIMARY KEY,
  NextPeriod INTEGER NOT NULL,
  CreatedYear INTEGER NOT NULL DEFAULT 0,
  EndDate TEXT NOT NULL DEFAULT '',
  OperatorId TEXT NOT NULL DEFAULT ''
);
CREATE TABLE T_Jxc_PeriodBalance (
  Period INTEGER NOT NULL,
  StockKind TEXT NOT NULL,
  PtypeId TEXT NOT NULL,
  KtypeId TEXT NOT NULL DEFAULT '',
  BlockNo TEXT NOT NULL DEFAULT '',
  Qty REAL NOT NULL DEFAULT 0,
  Total REAL NOT NULL DEFAULT 0,
  PRIMARY KEY (Period, StockKind, PtypeId, KtypeId, BlockNo)
);
CREATE TABLE T_Jxc_CheckOutAdjust (
  Vchcode INTEGER PRIMARY KEY,
  Period INTEGER NOT NULL,
  Dlyorder INTEGER NOT NULL,
  PtypeId TEXT NOT NULL,
  KtypeId TEXT NOT NULL DEFAULT '',
  BlockNo TEXT NOT NULL DEFAULT '',
  Total REAL NOT NULL,
  InsertedRow INTEGER NOT NULL DEFAULT 0,
  Number TEXT NOT NULL DEFAULT '',
  PrevMonthCalcCost INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX IX_Jxc_CheckOutAdjust_Period ON T_Jxc_CheckOutAdjust (Period);
)SQL";

// Index tables of the other bill families share the columns the checkout reads.
const char *const kOtherBillIndexColumns = R"SQL(
  Vchcode INTEGER PRIMARY KEY,
  Vchtype INTEGER NOT NULL,
  Date TEXT NOT NULL,
  Number TEXT NOT NULL DEFAULT '',
  Period INTEGER NOT NULL,
  Draft INTEGER NOT NULL DEFAULT 2,
  Summary TEXT NOT NULL DEFAULT ''
)SQL";

const char *const kExpenseDdl = R"SQL(
CREATE TABLE dlya (
  Dlyorder INTEGER PRIMARY KEY,
  Vchcode INTEGER NOT NULL,
  Vchtype INTEGER NOT NULL,
  Date TEXT NOT NULL DEFAULT '',
  Period INTEGER NOT NULL DEFAULT 0,
  AtypeId TEXT NOT NULL DEFAULT '',
  UsedType TEXT NOT NULL DEFAULT '',
  Total REAL NOT NULL DEFAULT 0,
  SourceDlyorder INTEGER NOT NULL DEFAULT 0,
  Draft INTEGER NOT NULL DEFAULT 2
);
CREATE INDEX IX_dlya_Vchtype ON dlya (Vchtype, UsedType);
CREATE TABLE DifAtype (
  VchType INTEGER NOT NULL,
  FeeTypeID TEXT NOT NULL,
  atype TEXT NOT NULL,
  PRIMARY KEY (VchType, FeeTypeID, atype)
);
CREATE TABLE scgatheringdly (
  Dlyorder INTEGER PRIMARY KEY,
  vchcode INTEGER NOT NULL,
  draft INTEGER NOT NULL DEFAULT 2
);
CREATE TABLE GatheringdlyWeiWai2 (
  Dlyorder INTEGER PRIMARY KEY,
  vchcode INTEGER NOT NULL,
  draft INTEGER NOT NULL DEFAULT 2
);
CREATE TABLE SplitGatheringDly (
  Dlyorder INTEGER PRIMARY KEY,
  SourceVchcode INTEGER NOT NULL,
  draft INTEGER NOT NULL DEFAULT 2
);
)SQL";

const QList<QVariantList> &stockKindAtypes()
{
    static const QList<QVariantList> rows = {
        {QStringLiteral("Stock"), QStringLiteral("1405"), QStringLiteral("库存商品")},
        {QStringLiteral("Commission"), QStringLiteral("1406"), QStringLiteral("发出商品")},
        {QStringLiteral("Produce"), QStringLiteral("5001"), QStringLiteral("生产成本")},
        {QStringLiteral("Consign"), QStringLiteral("1408"), QStringLiteral("委托加工物资")},
    };
    return rows;
}

// The counter account of each bill type whose cost is carried forward (57: automatic adjustments).
const QList<QVariantList> &carryForwardAtypes()
{
    const QString cost = QStringLiteral("6401");
    const QString costName = QStringLiteral("主营业务成本");
    const QString other = QStringLiteral("6402");
    const QString otherName = QStringLiteral("其他业务成本");
    const QString loss = QStringLiteral("1901");
    const QString lossName = QStringLiteral("待处理财产损溢");
    const QString produce = QStringLiteral("5001");
    const QString produceName = QStringLiteral("生产成本");
    const QString consign = QStringLiteral("1408");
    const QString consignName = QStringLiteral("委托加工物资");
    static const QList<QVariantList> rows = {
        {11, cost, costName},        {45, cost, costName},        {26, cost, costName},
        {25, cost, costName},        {30, cost, costName},        {57, cost, costName},
        {9, loss, lossName},         {176, loss, lossName},       {141, other, otherName},
        {21, other, otherName},      {16, produce, produceName},  {172, produce, produceName},
        {173, produce, produceName}, {174, produce, produceName}, {182, consign, consignName},
        {183, consign, consignName}, {184, consign, consignName}, {189, consign, consignName},
        {212, consign, consignName}, {213, consign, consignName}, {214, consign, consignName},
    };
    return rows;
}

} // namespace

void createClosing(AccountDatabase &db)
{
    db.execBatch(QString::fromUtf8(kDdl));
    for (const char *table : {"DlyndxSC", "DlyndxOrder", "T_XunJia_DlyNdx", "DlyNdxCheck", "DlyNdxGX"}) {
        const QString name = QString::fromLatin1(table);
        db.execBatch(QStringLiteral("CREATE TABLE %1 (%2);"
                                    "CREATE INDEX IX_%1_Period ON %1 (Period, Draft)")
                         .arg(name, QString::fromUtf8(kOtherBillIndexColumns)));
    }
    db.execBatch(QString::fromUtf8(kExpenseDdl));
    seedRows(
        db,
        QStringLiteral("INSERT INTO T_Jxc_StockKindAtype (StockKind, AtypeId, AtypeName) VALUES (?, ?, ?)"),
        stockKindAtypes());
    seedRows(
        db,
        QStringLiteral("INSERT INTO T_Jxc_CarryForwardAtype (Vchtype, AtypeId, AtypeName) VALUES (?, ?, ?)"),
        carryForwardAtypes());
}

} // namespace accountdb::schema
