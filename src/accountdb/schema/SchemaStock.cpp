// Base data and bills of the stock side, laid down by the area "costing" (SchemaCosting.cpp).
//
// Base data (tree tables: TypeId of a child = parent TypeId + 5 characters, Sonnum = children):
//   ptype       goods. Costmode: 0 running average, 1 FIFO, 3 average per batch, 4 month-end average.
//               RecPrice = latest purchase price, RefPrice = reference cost. CalcCost = 1 while the
//               goods' costs must be calculated again; MonthCalcCost = 1 while the last calculation
//               accepted a zero or excessive cost (or none was run yet).
//   PtypeUnit   units of measure of a goods item (OrdID 1 = base unit, URate = base units per unit).
//   stock       warehouses.   btype  suppliers and customers (BtypeKind 0 supplier, 1 customer, 2 both).
//   Department  departments.  (Employee lives in the area "rights".)
// Bills:
//   DlyNdx      one row per bill; Draft 2 = posted, 1 = draft, 4 = waiting for audit.
//   DlyBuy, DlySale, DlyOther  bill lines by kind of bill (purchases, sales, everything else).
//               Qty, Total and CostTotal carry the stock direction (issues negative); Price and CostPrice
//               are unit values. CostPrice/CostTotal is the cost of the line (given when Appoint = 1,
//               calculated otherwise). UsedType tells the lines of one bill apart (transfer: 0 issuing,
//               1 receiving; assembly: 1 components, 2 product; production and outsourcing: 1 stock
//               side, 2 pool side). SourceDlyorder links a line to the line it takes its cost from.
//               FeeTotal is a processing amount added to the cost of the line.
//   DlyNdxIni, DlyIni, DlyIniCom, DlyIniProduce, DlyIniConsign  opening stock: in the warehouses,
//               consigned out (commission), in production and at outside processors (outsourcing).
//   GoodsStocks, GoodsStocksOther  current quantities: per warehouse and batch; per other stock kind.

#include "AccountDatabase.h"
#include "Schema.h"

namespace accountdb::schema {

namespace {

const char *const kBaseDdl = R"SQL(
CREATE TABLE ptype (
  typeId TEXT PRIMARY KEY,
  ParId TEXT NOT NULL DEFAULT '00000',
  Leveal INTEGER NOT NULL DEFAULT 1,
  Sonnum INTEGER NOT NULL DEFAULT 0,
  Soncount INTEGER NOT NULL DEFAULT 0,
  UserCode TEXT NOT NULL DEFAULT '',
  FullName TEXT NOT NULL DEFAULT '',
  Name TEXT NOT NULL DEFAULT '',
  Standard TEXT NOT NULL DEFAULT '',
  Type TEXT NOT NULL DEFAULT '',
  Area TEXT NOT NULL DEFAULT '',
  Unit1 TEXT NOT NULL DEFAULT '',
  Costmode INTEGER NOT NULL DEFAULT 0 CHECK (Costmode IN (0, 1, 3, 4)),
  RecPrice REAL NOT NULL DEFAULT 0,
  RefPrice REAL NOT NULL DEFAULT 0,
  CalcCost INTEGER NOT NULL DEFAULT 0,
  MonthCalcCost INTEGER NOT NULL DEFAULT 0,
  Comment TEXT NOT NULL DEFAULT '',
  Deleted INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX IX_ptype_ParId ON ptype (ParId);
CREATE INDEX IX_ptype_CalcCost ON ptype (CalcCost, MonthCalcCost);
CREATE TABLE PtypeUnit (
  PtypeID TEXT NOT NULL REFERENCES ptype (typeId) ON DELETE CASCADE,
  OrdID INTEGER NOT NULL,
  Unit1 TEXT NOT NULL,
  URate REAL NOT NULL DEFAULT 1 CHECK (URate > 0),
  Barcode TEXT NOT NULL DEFAULT '',
  PRIMARY KEY (PtypeID, OrdID)
);
CREATE TABLE stock (
  typeId TEXT PRIMARY KEY,
  ParId TEXT NOT NULL DEFAULT '00000',
  Leveal INTEGER NOT NULL DEFAULT 1,
  Sonnum INTEGER NOT NULL DEFAULT 0,
  Soncount INTEGER NOT NULL DEFAULT 0,
  UserCode TEXT NOT NULL DEFAULT '',
  FullName TEXT NOT NULL DEFAULT '',
  Name TEXT NOT NULL DEFAULT '',
  Address TEXT NOT NULL DEFAULT '',
  Person TEXT NOT NULL DEFAULT '',
  Tel TEXT NOT NULL DEFAULT '',
  Comment TEXT NOT NULL DEFAULT '',
  Deleted INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE btype (
  typeId TEXT PRIMARY KEY,
  ParId TEXT NOT NULL DEFAULT '00000',
  Leveal INTEGER NOT NULL DEFAULT 1,
  Sonnum INTEGER NOT NULL DEFAULT 0,
  Soncount INTEGER NOT NULL DEFAULT 0,
  UserCode TEXT NOT NULL DEFAULT '',
  FullName TEXT NOT NULL DEFAULT '',
  Name TEXT NOT NULL DEFAULT '',
  BtypeKind INTEGER NOT NULL DEFAULT 2 CHECK (BtypeKind IN (0, 1, 2)),
  Area TEXT NOT NULL DEFAULT '',
  TAXNUMBER TEXT NOT NULL DEFAULT '',
  TELANDADDRESS TEXT NOT NULL DEFAULT '',
  BANKANDACOUNT TEXT NOT NULL DEFAULT '',
  BANKACOUNT TEXT NOT NULL DEFAULT '',
  Person TEXT NOT NULL DEFAULT '',
  COMMENT TEXT NOT NULL DEFAULT '',
  Deleted INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE Department (
  typeId TEXT PRIMARY KEY,
  ParId TEXT NOT NULL DEFAULT '00000',
  Leveal INTEGER NOT NULL DEFAULT 1,
  Sonnum INTEGER NOT NULL DEFAULT 0,
  Soncount INTEGER NOT NULL DEFAULT 0,
  UserCode TEXT NOT NULL DEFAULT '',
  FullName TEXT NOT NULL DEFAULT '',
  Name TEXT NOT NULL DEFAULT '',
  Comment TEXT NOT NULL DEFAULT '',
  Deleted INTEGER NOT NULL DEFAULT 0
);
)SQL";

// The three line tables share one layout.
const char *const kLineColumns = R"SQL(
  Dlyorder INTEGER PRIMARY KEY,
  Vchcode INTEGER NOT NULL REFERENCES DlyNdx (Vchcode) ON DELETE CASCADE,
  Vchtype INTEGER NOT NULL,
  Date TEXT NOT NULL,
  Period INTEGER NOT NULL,
  RowNo INTEGER NOT NULL DEFAULT 0,
  PtypeId TEXT NOT NULL,
  KtypeId TEXT NOT NULL DEFAULT '',
  BtypeId TEXT NOT NULL DEFAULT '',
  EtypeId TEXT NOT NULL DEFAULT '',
  ProjectId TEXT NOT NULL DEFAULT '',
  UsedType INTEGER NOT NULL DEFAULT 0,
  Appoint INTEGER NOT NULL DEFAULT 0,
  Qty REAL NOT NULL DEFAULT 0,
  Price REAL NOT NULL DEFAULT 0,
  Total REAL NOT NULL DEFAULT 0,
  Discount REAL NOT NULL DEFAULT 1,
  DiscountPrice REAL NOT NULL DEFAULT 0,
  DiscountTotal REAL NOT NULL DEFAULT 0,
  Tax REAL NOT NULL DEFAULT 0,
  TaxPrice REAL NOT NULL DEFAULT 0,
  TaxTotal REAL NOT NULL DEFAULT 0,
  CostPrice REAL NOT NULL DEFAULT 0,
  CostTotal REAL NOT NULL DEFAULT 0,
  FeeTotal REAL NOT NULL DEFAULT 0,
  BlockNo TEXT NOT NULL DEFAULT '',
  ProDate TEXT NOT NULL DEFAULT '',
  GoodsNo TEXT NOT NULL DEFAULT '',
  SourceVchcode INTEGER NOT NULL DEFAULT 0,
  SourceDlyorder INTEGER NOT NULL DEFAULT 0,
  Draft INTEGER NOT NULL DEFAULT 2,
  Comment TEXT NOT NULL DEFAULT ''
)SQL";

const char *const kBillDdl = R"SQL(
CREATE TABLE DlyNdx (
  Vchcode INTEGER PRIMARY KEY,
  Vchtype INTEGER NOT NULL,
  Date TEXT NOT NULL,
  Number TEXT NOT NULL DEFAULT '',
  Period INTEGER NOT NULL,
  BtypeId TEXT NOT NULL DEFAULT '',
  BtypeId2 TEXT NOT NULL DEFAULT '',
  EtypeId TEXT NOT NULL DEFAULT '',
  KtypeId TEXT NOT NULL DEFAULT '',
  KTypeID2 TEXT NOT NULL DEFAULT '',
  DtypeId TEXT NOT NULL DEFAULT '',
  ProjectId TEXT NOT NULL DEFAULT '',
  Summary TEXT NOT NULL DEFAULT '',
  Comment TEXT NOT NULL DEFAULT '',
  Total REAL NOT NULL DEFAULT 0,
  Draft INTEGER NOT NULL DEFAULT 2,
  RedWord TEXT NOT NULL DEFAULT 'F',
  RedOld TEXT NOT NULL DEFAULT 'F',
  InputNo TEXT NOT NULL DEFAULT '',
  PostTime TEXT NOT NULL DEFAULT ''
);
CREATE INDEX IX_DlyNdx_Period ON DlyNdx (Period, Vchtype);
CREATE INDEX IX_DlyNdx_Date ON DlyNdx (Date);
CREATE TABLE DlyNdxIni (
  Vchcode INTEGER PRIMARY KEY,
  Vchtype INTEGER NOT NULL,
  Date TEXT NOT NULL,
  Number TEXT NOT NULL DEFAULT '',
  KtypeId TEXT NOT NULL DEFAULT '',
  EtypeId TEXT NOT NULL DEFAULT '',
  Summary TEXT NOT NULL DEFAULT '',
  Draft INTEGER NOT NULL DEFAULT 2,
  InputNo TEXT NOT NULL DEFAULT ''
);
)SQL";

const char *const kIniColumns = R"SQL(
  Dlyorder INTEGER PRIMARY KEY,
  Vchcode INTEGER NOT NULL REFERENCES DlyNdxIni (Vchcode) ON DELETE CASCADE,
  Vchtype INTEGER NOT NULL,
  Date TEXT NOT NULL,
  PtypeId TEXT NOT NULL,
  KtypeId TEXT NOT NULL DEFAULT '',
  BlockNo TEXT NOT NULL DEFAULT '',
  Qty REAL NOT NULL DEFAULT 0,
  Price REAL NOT NULL DEFAULT 0,
  Total REAL NOT NULL DEFAULT 0,
  Comment TEXT NOT NULL DEFAULT ''
)SQL";

const char *const kStockDdl = R"SQL(
CREATE TABLE GoodsStocks (
  PtypeId TEXT NOT NULL,
  KtypeId TEXT NOT NULL,
  BlockNo TEXT NOT NULL DEFAULT '',
  Qty REAL NOT NULL DEFAULT 0,
  PRIMARY KEY (PtypeId, KtypeId, BlockNo)
);
CREATE TABLE GoodsStocksOther (
  StockKind TEXT NOT NULL CHECK (StockKind IN ('Commission', 'Produce', 'Consign')),
  PtypeId TEXT NOT NULL,
  BlockNo TEXT NOT NULL DEFAULT '',
  Qty REAL NOT NULL DEFAULT 0,
  PRIMARY KEY (StockKind, PtypeId, BlockNo)
);
)SQL";

} // namespace

void createStockTables(AccountDatabase &db)
{
    db.execBatch(QString::fromUtf8(kBaseDdl));
    db.execBatch(QString::fromUtf8(kBillDdl));
    for (const char *table : {"DlyBuy", "DlySale", "DlyOther"}) {
        const QString name = QString::fromLatin1(table);
        db.execBatch(QStringLiteral("CREATE TABLE %1 (%2);"
                                    "CREATE INDEX IX_%1_Ptype ON %1 (PtypeId, Period);"
                                    "CREATE INDEX IX_%1_Vchcode ON %1 (Vchcode)")
                         .arg(name, QString::fromUtf8(kLineColumns)));
    }
    for (const char *table : {"DlyIni", "DlyIniCom", "DlyIniProduce", "DlyIniConsign"}) {
        const QString name = QString::fromLatin1(table);
        db.execBatch(QStringLiteral("CREATE TABLE %1 (%2);"
                                    "CREATE INDEX IX_%1_Ptype ON %1 (PtypeId)")
                         .arg(name, QString::fromUtf8(kIniColumns)));
    }
    db.execBatch(QString::fromUtf8(kStockDdl));
}

} // namespace accountdb::schema
