// Bill layouts: the header fields and grid columns the bill windows draw, their formulas and the
// basic-information bindings of custom fields and free items.
//
// T_Jxc_BillTabConfig  the configuration tabs of a bill type: one per data area and kind (TabType 0 header
//                      fields, 1 grid columns, 2 free items with totals and decimals); NotApplicable lists
//                      edition codes, each enclosed in ";", where the tab is not offered.
// T_Jxc_VchTitle       header fields by (VchType, DataType): own name TitleName, the name the user gave
//                      FieldNameO ('' = own name), the bill's field DataField, shown / required flags.
//                      DataType 62-66 are the header custom fields, 103 the due date.
// T_Jxc_VchColumn      grid columns by (VchType, CMKvColumnNo, DataArea): own name FieldName, user's name
//                      FieldNameO, database name ColumnName. 41-45, 80-84, 111-117 are the free items
//                      (111-113 dates, 117 the day count between two of them), 125/126 the custom
//                      columns 3 and 4 (text or date for every bill, system values BillColumnType_Custom3/4).
// T_Inf_PlugIn_*       the same three tables for bill types that plug-ins add.
// BillFormula          a column's formula as written (FormulaContent, captions), its stored form (Formula,
//                      column names) and its kind (Calc 1 arithmetic, 0 free text); BillFormulaDetail the
//                      columns it reads.
// KV_GridFieldConfig   the column captions a bill window saved for its layout; emptied when a column is
//                      renamed so that the window takes the new name.
// FreeDomBasicType     kinds of basic information a field can be bound to (IsForGrid 1: grid columns and
//                      custom fields, 0: related basic data of header fields); FreeDomBasicReturnType the
//                      fields each kind can return; RelationBasicType the header fields of a bill type that
//                      offer related basic data.
// T_GBL_FreeDomBasicSelect / T_GBL_CustomBasicSelect / T_GBL_FreeDomRelationBasic  the bindings of grid
//                      columns, header custom fields and related basic data; BasicType -1 = none.
//                      Version '' or 'CS' belongs to this program.
// T_GBL_VchtypeClass   the folders of the bill-type tree; T_GBL_Vchtype rows hang under them (TypeId grows
//                      by five characters per level, root "00000").

#include "AccountDatabase.h"
#include "Schema.h"

#include <QHash>

namespace accountdb::schema {

namespace {

const char *const kDdl = R"SQL(
CREATE TABLE KV_GridFieldConfig (
  ModuleNo TEXT NOT NULL,
  FieldName TEXT NOT NULL,
  CaptionStr TEXT NOT NULL DEFAULT '',
  Width INTEGER NOT NULL DEFAULT 0,
  Visible INTEGER NOT NULL DEFAULT 1,
  PRIMARY KEY (ModuleNo, FieldName)
);
CREATE TABLE BillFormula (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  Vchtype INTEGER NOT NULL,
  DataArea INTEGER NOT NULL,
  ColumnName TEXT NOT NULL,
  FieldName TEXT NOT NULL DEFAULT '',
  FormulaContent TEXT NOT NULL,
  Formula TEXT NOT NULL,
  Calc INTEGER NOT NULL DEFAULT 1 CHECK (Calc IN (0, 1)),
  FormulaType INTEGER NOT NULL DEFAULT 0,
  UNIQUE (Vchtype, DataArea, ColumnName)
);
CREATE TABLE BillFormulaDetail (
  FormulaID INTEGER NOT NULL REFERENCES BillFormula (ID) ON DELETE CASCADE,
  RowNo INTEGER NOT NULL,
  ColumnName TEXT NOT NULL,
  PRIMARY KEY (FormulaID, RowNo)
);
CREATE TABLE FreeDomBasicType (
  BasicType INTEGER PRIMARY KEY,
  BasicName TEXT NOT NULL,
  TableName TEXT NOT NULL DEFAULT '',
  IsForGrid INTEGER NOT NULL DEFAULT 1,
  OrderNo INTEGER NOT NULL DEFAULT 0,
  Version TEXT NOT NULL DEFAULT ''
);
CREATE TABLE FreeDomBasicReturnType (
  BasicType INTEGER NOT NULL REFERENCES FreeDomBasicType (BasicType),
  ReturnTypeField TEXT NOT NULL,
  ReturnTypeName TEXT NOT NULL,
  OrderNo INTEGER NOT NULL DEFAULT 0,
  PRIMARY KEY (BasicType, ReturnTypeField),
  UNIQUE (BasicType, ReturnTypeName)
);
CREATE TABLE RelationBasicType (
  VchType INTEGER NOT NULL,
  TitleDataType INTEGER NOT NULL,
  BasicType INTEGER NOT NULL REFERENCES FreeDomBasicType (BasicType),
  OrderNo INTEGER NOT NULL DEFAULT 0,
  PRIMARY KEY (VchType, TitleDataType)
);
CREATE TABLE T_GBL_FreeDomBasicSelect (
  VchType INTEGER NOT NULL,
  CMKvColumnNo INTEGER NOT NULL,
  DataArea INTEGER NOT NULL DEFAULT 1,
  BasicType INTEGER NOT NULL DEFAULT -1,
  ReturnTypeName TEXT NOT NULL DEFAULT '',
  Version TEXT NOT NULL DEFAULT '',
  PRIMARY KEY (VchType, CMKvColumnNo, DataArea, Version)
);
CREATE TABLE T_GBL_CustomBasicSelect (
  VchType INTEGER NOT NULL,
  DataType INTEGER NOT NULL,
  BasicType INTEGER NOT NULL DEFAULT -1,
  ReturnTypeName TEXT NOT NULL DEFAULT '',
  Version TEXT NOT NULL DEFAULT '',
  PRIMARY KEY (VchType, DataType, Version)
);
CREATE TABLE T_GBL_FreeDomRelationBasic (
  VchType INTEGER NOT NULL,
  SourceDataType INTEGER NOT NULL,
  DestDataType INTEGER NOT NULL,
  BasicType INTEGER NOT NULL DEFAULT -1,
  ReturnTypeName TEXT NOT NULL DEFAULT '',
  Version TEXT NOT NULL DEFAULT '',
  PRIMARY KEY (VchType, DestDataType, Version)
);
CREATE TABLE T_GBL_VchtypeClass (
  TypeId TEXT PRIMARY KEY,
  ParId TEXT NOT NULL DEFAULT '00000',
  Name TEXT NOT NULL,
  Leveal INTEGER NOT NULL DEFAULT 1,
  Sonnum INTEGER NOT NULL DEFAULT 0
);
ALTER TABLE T_GBL_Vchtype ADD COLUMN TypeId TEXT NOT NULL DEFAULT '';
ALTER TABLE T_GBL_Vchtype ADD COLUMN Leveal INTEGER NOT NULL DEFAULT 1;
ALTER TABLE T_GBL_Vchtype ADD COLUMN Sonnum INTEGER NOT NULL DEFAULT 0;
ALTER TABLE T_GBL_Vchtype ADD COLUMN Deleted INTEGER NOT NULL DEFAULT 0;
ALTER TABLE T_GBL_Vchtype ADD COLUMN InputN INTEGER NOT NULL DEFAULT 1;
UPDATE T_GBL_Vchtype SET Version = 'e' WHERE Version = '';
ALTER TABLE T_Inf_PlugIn_Vchtype ADD COLUMN CanSet INTEGER NOT NULL DEFAULT 0;
ALTER TABLE T_Inf_PlugIn_Vchtype ADD COLUMN ParId TEXT NOT NULL DEFAULT '00000';
DROP VIEW GetVchtype;
CREATE VIEW GetVchtype AS
  SELECT Vchtype, Name, NumberHead, SNFormat, SNMax, FunctionNo, Category, TypeId, ParId, Leveal, Sonnum,
         Deleted, InputN, Version
    FROM T_GBL_Vchtype WHERE Visible = 1
  UNION ALL
  SELECT 0, Name, '', '', 0, 0, 0, TypeId, ParId, Leveal, Sonnum, 0, 1, 'e' FROM T_GBL_VchtypeClass
)SQL";

// The layout tables; created twice, for the system's bill types and for the plug-ins' (%1).
const char *const kLayoutDdl = R"SQL(
CREATE TABLE %1BillTabConfig (
  Vchtype INTEGER NOT NULL,
  TabOrder INTEGER NOT NULL,
  TabName TEXT NOT NULL,
  DataArea INTEGER NOT NULL,
  TabType INTEGER NOT NULL CHECK (TabType IN (0, 1, 2)),
  DefaultShow INTEGER NOT NULL DEFAULT 0,
  NotApplicable TEXT NOT NULL DEFAULT '',
  PRIMARY KEY (Vchtype, TabOrder)
);
CREATE TABLE %1VchTitle (
  VchType INTEGER NOT NULL,
  DataType INTEGER NOT NULL,
  TitleName TEXT NOT NULL,
  FieldNameO TEXT NOT NULL DEFAULT '',
  DataField TEXT NOT NULL DEFAULT '',
  DataKind INTEGER NOT NULL DEFAULT 0 CHECK (DataKind IN (0, 1, 2)),
  Visible INTEGER NOT NULL DEFAULT 1,
  Required INTEGER NOT NULL DEFAULT 0,
  IsSystem INTEGER NOT NULL DEFAULT 0,
  TitleOrder INTEGER NOT NULL DEFAULT 0,
  PRIMARY KEY (VchType, DataType)
);
CREATE TABLE %1VchColumn (
  VchType INTEGER NOT NULL,
  DataArea INTEGER NOT NULL,
  CMKvColumnNo INTEGER NOT NULL,
  ColumnName TEXT NOT NULL,
  FieldName TEXT NOT NULL,
  FieldNameO TEXT NOT NULL DEFAULT '',
  DataKind INTEGER NOT NULL DEFAULT 0 CHECK (DataKind IN (0, 1, 2)),
  ColumnOrder INTEGER NOT NULL DEFAULT 0,
  Visible INTEGER NOT NULL DEFAULT 1,
  Display INTEGER NOT NULL DEFAULT 1,
  ReadOnly INTEGER NOT NULL DEFAULT 0,
  Enabled INTEGER NOT NULL DEFAULT 1,
  CanSet INTEGER NOT NULL DEFAULT 1,
  GroupNo INTEGER NOT NULL DEFAULT 0,
  FreeDomIndex INTEGER NOT NULL DEFAULT 0,
  PRIMARY KEY (VchType, CMKvColumnNo, DataArea)
);
CREATE INDEX IX_%1VchColumn_No ON %1VchColumn (CMKvColumnNo)
)SQL";

enum Kind { Text = 0, Number = 1, Date = 2 };

// What a bill type's layout holds, by the kind of business it records.
enum class Family { Template, Purchase, Sale, Stock, Transfer, Assembly, Outsource };

Family familyOf(int vchType)
{
    switch (vchType) {
    case 34:
    case 6:
        return Family::Purchase;
    case 11:
    case 45:
    case 25:
    case 26:
    case 30:
        return Family::Sale;
    case 21:
        return Family::Transfer;
    case 16:
        return Family::Assembly;
    case 182:
    case 183:
    case 184:
    case 189:
    case 212:
    case 213:
    case 214:
        return Family::Outsource;
    default:
        return Family::Stock;
    }
}

// The folders of the bill-type tree and the folder of a bill type.
// Folder 11 holds the simple outsourcing bills (audit category 8), which editions look up by that parent.
const QHash<int, const char *> kFolders = {
    {1, "进货"}, {2, "销售"}, {3, "库存"}, {4, "生产"}, {11, "简单委外"}};

int folderOf(int vchType)
{
    if (vchType >= 212 && vchType <= 214)
        return 11;
    switch (familyOf(vchType)) {
    case Family::Purchase:
        return 1;
    case Family::Sale:
        return 2;
    case Family::Outsource:
        return 4;
    default:
        return vchType >= 172 && vchType <= 176 ? 4 : 3;
    }
}

struct Title
{
    int dataType;
    const char *name;
    const char *field;
    int kind;
    int isSystem;
};

// Header fields of a bill type, in their order on the bill.
QList<Title> titlesOf(int vchType, Family family)
{
    const bool inbound = vchType == 34 || vchType == 45 || vchType == 14 || vchType == 140 ||
                         vchType == 173 || vchType == 174 || vchType == 183 || vchType == 184;
    QList<Title> titles;
    if (family != Family::Template) {
        titles << Title{1, "录单日期", "Date", Date, 1} << Title{2, "单据编号", "Number", Text, 1};
        if (family == Family::Purchase)
            titles << Title{3, "供货单位", "BtypeId", Text, 0};
        else if (family == Family::Sale)
            titles << Title{3, "购买单位", "BtypeId", Text, 0};
        else if (family == Family::Outsource)
            titles << Title{3, "加工单位", "BtypeId", Text, 0};
        else if (vchType == 140 || vchType == 141)
            titles << Title{3, "往来单位", "BtypeId", Text, 0};
        titles << Title{4, "经手人", "EtypeId", Text, 0};
        if (family == Family::Transfer)
            titles << Title{5, "调出仓库", "KtypeId", Text, 0} << Title{6, "调入仓库", "KTypeID2", Text, 0};
        else if (family != Family::Assembly)
            titles << Title{5, inbound ? "收货仓库" : "发货仓库", "KtypeId", Text, 0};
        titles << Title{7, "部门", "DtypeId", Text, 0} << Title{8, "项目", "ProjectId", Text, 0}
               << Title{9, "摘要", "Summary", Text, 0} << Title{10, "附加说明", "Comment", Text, 0};
        if (family == Family::Purchase)
            titles << Title{103, "付款日期", "DueDate", Date, 0};
        else if (family == Family::Sale)
            titles << Title{103, "收款日期", "DueDate", Date, 0};
    }
    static const char *const customs[] = {"自定义1", "自定义2", "自定义3", "自定义4", "自定义5"};
    for (int i = 0; i < 5; ++i)
        titles << Title{62 + i, customs[i], "", Text, 0};
    return titles;
}

struct Column
{
    int no;
    const char *name;
    const char *column;
    int kind;
    int canSet = 1;
    int readOnly = 0;
};

// Goods and amount columns of one grid of a bill type.
QList<Column> columnsOf(Family family)
{
    QList<Column> columns;
    if (family != Family::Template) {
        columns << Column{1, "存货编号", "PUserCode", Text, 0} << Column{2, "存货名称", "PFullName", Text, 0}
                << Column{3, "规格", "Standard", Text} << Column{4, "型号", "Type", Text}
                << Column{5, "产地", "Area", Text} << Column{6, "单位", "Unit", Text}
                << Column{8, "批号", "BlockNo", Text} << Column{9, "生产日期", "ProDate", Date}
                << Column{10, "序列号", "GoodsNo", Text} << Column{20, "数量", "Qty", Number, 0}
                << Column{21, "单价", "Price", Number} << Column{23, "金额", "Total", Number};
        if (family == Family::Purchase || family == Family::Sale)
            columns << Column{24, "折扣", "Discount", Number}
                    << Column{25, "折后单价", "DiscountPrice", Number}
                    << Column{26, "折后金额", "DiscountTotal", Number} << Column{27, "税率", "Tax", Number}
                    << Column{28, "含税单价", "TaxPrice", Number}
                    << Column{29, "价税合计", "TaxTotal", Number};
        if (family == Family::Purchase)
            columns << Column{32, "费用", "FeeTotal", Number};
        if (family == Family::Sale)
            columns << Column{30, "成本单价", "CostPrice", Number, 1, 1}
                    << Column{31, "成本金额", "CostTotal", Number, 1, 1};
        columns << Column{11, "备注", "Comment", Text};
    }
    columns << Column{125, "自定义3", "Custom3", Text} << Column{126, "自定义4", "Custom4", Text};
    static const char *const freeNames[] = {
        "自由项1", "自由项2",  "自由项3",  "自由项4",  "自由项5",  "自由项6",  "自由项7",  "自由项8",
        "自由项9", "自由项10", "自由项11", "自由项12", "自由项13", "自由项14", "自由项15", "自由项16"};
    static const char *const freeFields[] = {"FreeDom1",  "FreeDom2",  "FreeDom3",  "FreeDom4",
                                             "FreeDom5",  "FreeDom6",  "FreeDom7",  "FreeDom8",
                                             "FreeDom9",  "FreeDom10", "FreeDom11", "FreeDom12",
                                             "FreeDom13", "FreeDom14", "FreeDom15", "FreeDom16"};
    for (int i = 1; i <= 16; ++i) {
        const int no = i <= 5 ? 40 + i : i <= 10 ? 74 + i : 100 + i;
        const int kind = i <= 5 ? Text : i <= 10 ? Number : i <= 13 ? Date : Number;
        columns << Column{no, freeNames[i - 1], freeFields[i - 1], kind};
    }
    columns << Column{117, "日期间隔", "FreeDomDateDif", Number, 1, 1};
    return columns;
}

// One layout of a bill type (or the template, type 0): tabs, header fields and columns.
void seedLayout(AccountDatabase &db, int vchType, Family family)
{
    struct Area
    {
        int dataArea;
        const char *name;
    };
    QList<Area> areas = {{1, "商品"}};
    if (family == Family::Assembly)
        areas = {{1, "出库商品"}, {2, "入库商品"}};
    int tabOrder = 0;
    const auto tab = [&](const QString &name, int dataArea, int tabType, int defaultShow,
                         const char *notApplicable) {
        db.exec(
            QStringLiteral("INSERT INTO T_Jxc_BillTabConfig (Vchtype, TabOrder, TabName, DataArea, TabType, "
                           "DefaultShow, NotApplicable) VALUES (?, ?, ?, ?, ?, ?, ?)"),
            {vchType, ++tabOrder, name, dataArea, tabType, defaultShow, QString::fromLatin1(notApplicable)});
    };
    tab(QStringLiteral("表头"), 0, 0, 0, "");
    for (const Area &area : areas) {
        const QString name = QString::fromUtf8(area.name);
        tab(areas.size() > 1 ? name : QStringLiteral("表体"), area.dataArea, 1, area.dataArea == 1 ? 1 : 0,
            "");
        tab(name + QStringLiteral("自由项"), area.dataArea, 2, 0, ";880;");
    }
    int order = 0;
    for (const Title &t : titlesOf(vchType, family))
        db.exec(
            QStringLiteral("INSERT INTO T_Jxc_VchTitle (VchType, DataType, TitleName, DataField, DataKind, "
                           "Visible, IsSystem, TitleOrder) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
            {vchType, t.dataType, QString::fromUtf8(t.name), QString::fromLatin1(t.field), t.kind,
             t.dataType >= 62 && t.dataType <= 66 ? 0 : 1, t.isSystem, ++order});
    for (const Area &area : areas) {
        order = 0;
        for (const Column &c : columnsOf(family)) {
            const bool freeItem =
                (c.no >= 41 && c.no <= 45) || (c.no >= 80 && c.no <= 84) || (c.no >= 111 && c.no <= 117);
            const bool hidden = freeItem || c.no == 125 || c.no == 126 || c.no == 10;
            const QString field = QString::fromLatin1(c.column);
            db.exec(
                QStringLiteral("INSERT INTO T_Jxc_VchColumn (VchType, DataArea, CMKvColumnNo, ColumnName, "
                               "FieldName, DataKind, ColumnOrder, Visible, ReadOnly, CanSet, FreeDomIndex) "
                               "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                {vchType, area.dataArea, c.no, field, QString::fromUtf8(c.name), c.kind, ++order,
                 hidden ? 0 : 1, c.readOnly, c.canSet,
                 field.startsWith(QLatin1String("FreeDom")) ? field.mid(7).toInt() : 0});
        }
    }
}

// Kinds of basic information: BasicType, name, table, for grids, order. 34 (accounts) is not offered in
// the selection windows.
const QList<QVariantList> &basicTypes()
{
    static const QList<QVariantList> rows = {
        {1, QStringLiteral("往来单位"), QStringLiteral("btype"), 1, 1},
        {2, QStringLiteral("存货"), QStringLiteral("ptype"), 1, 2},
        {3, QStringLiteral("仓库"), QStringLiteral("stock"), 1, 3},
        {4, QStringLiteral("职员"), QStringLiteral("Employee"), 1, 4},
        {5, QStringLiteral("部门"), QStringLiteral("Department"), 1, 5},
        {34, QStringLiteral("会计科目"), QStringLiteral("atype"), 1, 34},
        {101, QStringLiteral("往来单位资料"), QStringLiteral("btype"), 0, 101},
        {103, QStringLiteral("仓库资料"), QStringLiteral("stock"), 0, 103},
    };
    return rows;
}

// Return fields: BasicType, field, name, order.
QList<QVariantList> basicReturnTypes()
{
    QList<QVariantList> rows;
    const auto add = [&rows](int type, std::initializer_list<std::pair<const char *, const char *>> fields) {
        int order = 0;
        for (const auto &[field, name] : fields)
            rows.append({type, QString::fromLatin1(field), QString::fromUtf8(name), ++order});
    };
    add(1, {{"UserCode", "编号"},
            {"FullName", "全名"},
            {"Name", "简名"},
            {"Person", "联系人"},
            {"Area", "地区"}});
    add(2, {{"UserCode", "编号"},
            {"FullName", "全名"},
            {"Name", "简名"},
            {"Standard", "规格"},
            {"Type", "型号"},
            {"Area", "产地"},
            {"Unit1", "单位"}});
    add(3, {{"UserCode", "编号"},
            {"FullName", "全名"},
            {"Name", "简名"},
            {"Address", "地址"},
            {"Person", "联系人"},
            {"Tel", "电话"}});
    add(4, {{"UserCode", "编号"}, {"FullName", "全名"}, {"Name", "简名"}});
    add(5, {{"UserCode", "编号"}, {"FullName", "全名"}, {"Name", "简名"}});
    add(34, {{"UserCode", "编号"}, {"FullName", "全名"}});
    add(101, {{"FullName", "全名"},
              {"Person", "联系人"},
              {"TELANDADDRESS", "电话及地址"},
              {"TAXNUMBER", "税号"},
              {"BANKANDACOUNT", "开户行及账号"}});
    add(103, {{"FullName", "全名"}, {"Address", "地址"}, {"Person", "联系人"}, {"Tel", "电话"}});
    return rows;
}

} // namespace

void migrateLayoutsTo9(AccountDatabase &db)
{
    db.execBatch(QString::fromUtf8(kDdl));
    for (const char *prefix : {"T_Jxc_", "T_Inf_PlugIn_"})
        db.execBatch(QString::fromUtf8(kLayoutDdl).arg(QString::fromLatin1(prefix)));
    seedRows(
        db,
        QStringLiteral("INSERT INTO FreeDomBasicType (BasicType, BasicName, TableName, IsForGrid, OrderNo) "
                       "VALUES (?, ?, ?, ?, ?)"),
        basicTypes());
    seedRows(db,
             QStringLiteral("INSERT INTO FreeDomBasicReturnType (BasicType, ReturnTypeField, ReturnTypeName, "
                            "OrderNo) VALUES (?, ?, ?, ?)"),
             basicReturnTypes());

    // The bill-type tree: four folders under the root, every bill type in its folder.
    const QString root = QStringLiteral("00000");
    const auto folderId = [](int folder) {
        return QStringLiteral("%1").arg(folder, 5, 10, QLatin1Char('0'));
    };
    QHash<int, int> sons;
    seedLayout(db, 0, Family::Template);
    const ResultSet types = db.query(QStringLiteral("SELECT Vchtype FROM T_GBL_Vchtype ORDER BY Vchtype"));
    for (const QVariantList &row : types.rows) {
        const int vchType = row.at(0).toInt();
        const int folder = folderOf(vchType);
        const int son = ++sons[folder];
        db.exec(
            QStringLiteral("UPDATE T_GBL_Vchtype SET TypeId = ?, ParId = ?, Leveal = 2 WHERE Vchtype = ?"),
            {folderId(folder) + QStringLiteral("%1").arg(son, 5, 10, QLatin1Char('0')), folderId(folder),
             vchType});
        const Family family = familyOf(vchType);
        seedLayout(db, vchType, family);
        // Related basic data: the partner's and the warehouse's records behind the header fields.
        if (family != Family::Assembly && family != Family::Transfer && family != Family::Stock)
            db.exec(
                QStringLiteral("INSERT INTO RelationBasicType (VchType, TitleDataType, BasicType, OrderNo) "
                               "VALUES (?, 3, 101, 1)"),
                {vchType});
        if (family != Family::Assembly)
            db.exec(
                QStringLiteral("INSERT INTO RelationBasicType (VchType, TitleDataType, BasicType, OrderNo) "
                               "VALUES (?, 5, 103, 2)"),
                {vchType});
    }
    for (auto it = kFolders.cbegin(); it != kFolders.cend(); ++it) {
        const int folder = it.key();
        if (!sons.contains(folder))
            continue;
        db.exec(QStringLiteral("INSERT INTO T_GBL_VchtypeClass (TypeId, ParId, Name, Leveal, Sonnum) "
                               "VALUES (?, ?, ?, 1, ?)"),
                {folderId(folder), root, QString::fromUtf8(it.value()), sons.value(folder)});
    }
}

} // namespace accountdb::schema
