// Schema version 4: stock warnings, the warning book and serial-number rules.
//
// T_Jxc_PtypeWarn     stock limits per goods item: KtypeId "00000" = over all warehouses, otherwise one
//                     warehouse. WarnUp 999999999 = no upper limit. A row exists only when it warns.
// T_Inf_WarnList_TreeView    the items of the warning book (TreeType 1 and 2 = stock limits over all /
//                     per warehouse, the others are date items warned EarlyDays in advance).
// T_Inf_WarnList_GridColumn  the grid columns of each item and the procedure (ProcName) computing its rows.
// T_Inf_WarnList_FirstDisplay the item each operator sees first.
// SerialNumRules      named patterns from which goods serial numbers are made; one may be the default.
// GetVchtype          the bill types as the numbering windows read them.
// DlyNdx.DueDate      the day a bill's payment (an order's delivery) falls due ("" = none); ptype.ShelfDays
// the shelf life of
//                     a goods item in days (0 = not tracked), counted from the batch's production date.

#include "AccountDatabase.h"
#include "Schema.h"

namespace accountdb::schema {

namespace {

const char *const kDdl = R"SQL(
CREATE TABLE T_Jxc_PtypeWarn (
  PtypeId TEXT NOT NULL,
  KtypeId TEXT NOT NULL DEFAULT '00000',
  WarnDown REAL NOT NULL DEFAULT 0,
  WarnUp REAL NOT NULL DEFAULT 999999999,
  PRIMARY KEY (PtypeId, KtypeId)
);
CREATE TABLE T_Inf_WarnList_TreeView (
  TreeType INTEGER PRIMARY KEY,
  TreeFullName TEXT NOT NULL,
  EarlyDays INTEGER NOT NULL DEFAULT 0 CHECK (EarlyDays BETWEEN 0 AND 999),
  DetailNo INTEGER NOT NULL DEFAULT 0,
  functionNo INTEGER NOT NULL DEFAULT 0,
  Visible INTEGER NOT NULL DEFAULT 1,
  RowNo INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE T_Inf_WarnList_GridColumn (
  TreeType INTEGER NOT NULL,
  RowNo INTEGER NOT NULL,
  Caption TEXT NOT NULL DEFAULT '',
  DataBaseName TEXT NOT NULL,
  Footer TEXT NOT NULL DEFAULT '',
  FunctionNO INTEGER NOT NULL DEFAULT 0,
  ProcName TEXT NOT NULL DEFAULT '',
  CMKVColumnNo INTEGER NOT NULL DEFAULT 0,
  Visible INTEGER NOT NULL DEFAULT 1,
  CustomCaption TEXT NOT NULL DEFAULT '',
  Display INTEGER NOT NULL DEFAULT 1,
  Show INTEGER NOT NULL DEFAULT 1,
  PRIMARY KEY (TreeType, RowNo)
);
CREATE TABLE T_Inf_WarnList_FirstDisplay (
  EtypeID TEXT PRIMARY KEY,
  TreeType INTEGER NOT NULL
);
CREATE TABLE SerialNumRules (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  "Default" INTEGER NOT NULL DEFAULT 0,
  Code TEXT NOT NULL UNIQUE,
  FullName TEXT NOT NULL UNIQUE,
  SNFormat TEXT NOT NULL DEFAULT '',
  SNLex INTEGER NOT NULL DEFAULT 0 CHECK (SNLex IN (0, 1, 2))
);
CREATE VIEW GetVchtype AS
  SELECT Vchtype, Name, NumberHead, SNFormat, SNMax, FunctionNo FROM T_GBL_Vchtype WHERE Visible = 1;
ALTER TABLE DlyNdx ADD COLUMN DueDate TEXT NOT NULL DEFAULT '';
ALTER TABLE ptype ADD COLUMN ShelfDays INTEGER NOT NULL DEFAULT 0;
CREATE INDEX IX_DlyNdx_DueDate ON DlyNdx (DueDate)
)SQL";

// TreeType, name, days in advance, row.
const QList<QVariantList> &warnItems()
{
    static const QList<QVariantList> rows = {
        {1, QStringLiteral("库存上下限报警(所有仓库)"), 0, 1},
        {2, QStringLiteral("库存上下限报警(分仓库)"), 0, 2},
        {3, QStringLiteral("应收款到期报警"), 7, 3},
        {4, QStringLiteral("应付款到期报警"), 7, 4},
        {5, QStringLiteral("存货保质期报警"), 30, 5},
        {6, QStringLiteral("订单到期交货报警"), 3, 6},
    };
    return rows;
}

// TreeType, caption, field, procedure, visible.
const QList<QVariantList> &warnColumns()
{
    const QString stock = QStringLiteral("P_KOVA_WarnStock");
    const QString due = QStringLiteral("P_KOVA_WarnBillDue");
    const QString shelf = QStringLiteral("P_KOVA_WarnShelfLife");
    static const QList<QVariantList> rows = [&] {
        QList<QVariantList> r;
        const auto add = [&r](int type, const char *caption, const char *field, const QString &proc,
                              int visible = 1) {
            r.append({type, QString::fromUtf8(caption), QString::fromUtf8(field), proc, visible});
        };
        for (int type : {1, 2}) {
            if (type == 2) {
                add(type, "仓库编号", "KUserCode", stock);
                add(type, "仓库名称", "KFullName", stock);
            }
            add(type, "存货编号", "PUserCode", stock);
            add(type, "存货名称", "PFullName", stock);
            add(type, "库存数量", "Qty", stock);
            add(type, "库存下限", "warndown", stock);
            add(type, "库存上限", "warnup", stock);
            add(type, "报警状态", "WarnState", stock);
            add(type, "存货ID", "ptypeid", stock, 0);
        }
        for (int type : {3, 4, 6}) {
            add(type, "单据日期", "Date", due);
            add(type, "单据编号", "Number", due);
            add(type, "单据类型", "VchName", due);
            add(type, type == 3 ? "客户" : type == 4 ? "供应商" : "往来单位", "BFullName", due);
            add(type, "金额", "Total", due);
            add(type, type == 6 ? "交货日期" : "到期日", "DueDate", due);
            add(type, "剩余天数", "DaysLeft", due);
            add(type, "vchcode", "vchcode", due, 0);
            add(type, "vchtype", "vchtype", due, 0);
            add(type, "billtype", "billtype", due, 0);
        }
        add(5, "仓库名称", "KFullName", shelf);
        add(5, "存货编号", "PUserCode", shelf);
        add(5, "存货名称", "PFullName", shelf);
        add(5, "批号", "BlockNo", shelf);
        add(5, "生产日期", "ProDate", shelf);
        add(5, "到期日", "ExpireDate", shelf);
        add(5, "剩余天数", "DaysLeft", shelf);
        add(5, "库存数量", "Qty", shelf);
        return r;
    }();
    return rows;
}

} // namespace

void migrateWarnTo4(AccountDatabase &db)
{
    db.execBatch(QString::fromUtf8(kDdl));
    seedRows(db,
             QStringLiteral("INSERT INTO T_Inf_WarnList_TreeView (TreeType, TreeFullName, EarlyDays, RowNo) "
                            "VALUES (?, ?, ?, ?)"),
             warnItems());
    QList<QVariantList> columns;
    QHash<int, int> rowNo;
    for (const QVariantList &c : warnColumns())
        columns.append({c[0], ++rowNo[c[0].toInt()], c[1], c[2], c[3], c[4]});
    seedRows(db,
             QStringLiteral("INSERT INTO T_Inf_WarnList_GridColumn (TreeType, RowNo, Caption, DataBaseName, "
                            "ProcName, Visible) VALUES (?, ?, ?, ?, ?, ?)"),
             columns);
}

} // namespace accountdb::schema
