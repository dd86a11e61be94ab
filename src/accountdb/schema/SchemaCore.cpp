// Area "core": system values, system switches, the period calendar and the message texts.
//
// T_Gbl_SysDataCw  named system values; names compare without regard to case ("ADDRESS" = "address").
// T_Gbl_SysCon     system switches (ConId, Name, Stats 0/1) with the account-options page they show on.
// T_Gbl_MonthProc  period calendar: Period = year * 100 + period number (202601), dates yyyy-mm-dd;
//                  "Period", "JxcPeriod" and "OpenPeriod" hold such numbers. The period after p is
//                  the next row in Period order (202612 is followed by 202701), never p + 1.
// T_Gbl_MessageList numbered message texts (GetMessageText).

#include <QDate>

#include "AccountDatabase.h"
#include "Schema.h"

namespace accountdb::schema {

namespace {

const char *const kDdl = R"SQL(
CREATE TABLE T_Gbl_SysDataCw (
  SubNo INTEGER NOT NULL UNIQUE,
  SubName TEXT NOT NULL COLLATE NOCASE PRIMARY KEY,
  SubValue TEXT NOT NULL DEFAULT ''
);
CREATE TABLE T_Gbl_SysCon (
  ConId INTEGER PRIMARY KEY,
  Name TEXT NOT NULL,
  Stats INTEGER NOT NULL DEFAULT 0 CHECK (Stats IN (0, 1)),
  PageId INTEGER NOT NULL DEFAULT 0,
  ShowOrder INTEGER NOT NULL DEFAULT 0,
  HelpLink TEXT NOT NULL DEFAULT '',
  ManageName TEXT NOT NULL DEFAULT '',
  PlugInCaption TEXT NOT NULL DEFAULT '',
  CheckProcName TEXT NOT NULL DEFAULT '',
  NewFlag INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE T_Gbl_MonthProc (
  Period INTEGER PRIMARY KEY,
  Year INTEGER NOT NULL,
  StartDate TEXT NOT NULL,
  EndDate TEXT NOT NULL,
  Closed INTEGER NOT NULL DEFAULT 0 CHECK (Closed IN (0, 1)),
  CHECK (StartDate <= EndDate)
);
CREATE INDEX IX_MonthProc_Dates ON T_Gbl_MonthProc (StartDate, EndDate);
CREATE TABLE T_Gbl_MessageList (
  MessageNo INTEGER PRIMARY KEY,
  DisPlayName TEXT NOT NULL
);
)SQL";

// System values of a new account set. SubNo 16 is the own bank account (read by number by the
// tax-invoice export).
QList<QVariantList> sysValues(int year)
{
    const QString firstPeriod = QString::number(year * 100 + 1);
    const QString firstDay = QDate(year, 1, 1).toString(QStringLiteral("yyyy-MM-dd"));
    const QStringList pairs = {
        // set-up state and periods
        QStringLiteral("iniover"),
        QStringLiteral("0"),
        QStringLiteral("InitSetup"),
        QString(),
        QStringLiteral("CurrentYear"),
        QString::number(year),
        QStringLiteral("OpenPeriod"),
        firstPeriod,
        QStringLiteral("Period"),
        firstPeriod,
        QStringLiteral("JxcPeriod"),
        firstPeriod,
        QStringLiteral("RPOpenMonth"),
        firstPeriod,
        QStringLiteral("inidate"),
        firstDay,
        // company information
        QStringLiteral("CompanyName"),
        QString(),
        QStringLiteral("CompanyFullName"),
        QString(),
        QStringLiteral("Address"),
        QString(),
        QStringLiteral("Tel"),
        QString(),
        QStringLiteral("FaxNo"),
        QString(),
        QStringLiteral("LegalMan"),
        QString(),
        QStringLiteral("TaxNo"),
        QString(),
        QStringLiteral("BankAndTaxNo"),
        QString(), // SubNo 16
        QStringLiteral("PostCode"),
        QString(),
        QStringLiteral("UnitMemo"),
        QString(),
        // costing and settlement
        QStringLiteral("InventoryAccounting"),
        QStringLiteral("0"),
        QStringLiteral("ZeroCostSelect"),
        QStringLiteral("0"),
        QStringLiteral("MaxPrice"),
        QStringLiteral("10000000000"),
        QStringLiteral("CostCalc"),
        QStringLiteral("0"),
        QStringLiteral("ARSettleType"),
        QStringLiteral("0"),
        QStringLiteral("APSettleType"),
        QStringLiteral("0"),
        QStringLiteral("AllRate"),
        QStringLiteral("13"),
        QStringLiteral("BuyPriceDiffer"),
        QStringLiteral("0"),
        // bill numbering
        QStringLiteral("SNLex1"),
        QStringLiteral("0"),
        QStringLiteral("SNLex2"),
        QStringLiteral("0"),
        QStringLiteral("SNLex3"),
        QStringLiteral("0"),
        QStringLiteral("SNMax"),
        QStringLiteral("0"),
        // trade, currency, accounts
        QStringLiteral("TradeID"),
        QStringLiteral("0"),
        QStringLiteral("TradeAtype"),
        QString(),
        QStringLiteral("vtGroupNo"),
        QStringLiteral("1"),
        QStringLiteral("CurrencyCode"),
        QStringLiteral("RMB"),
        QStringLiteral("CurrencyName"),
        QStringLiteral("人民币"),
        QStringLiteral("EnterpriseType"),
        QStringLiteral("0"),
        QStringLiteral("EnterCharacter"),
        QStringLiteral("0"),
        QStringLiteral("AdminID"),
        QString(),
        QStringLiteral("AdminName"),
        QString(),
        QStringLiteral("ATypeIDLength1"),
        QStringLiteral("4"),
        QStringLiteral("ATypeIDLength2"),
        QStringLiteral("2"),
        QStringLiteral("ATypeIDLength3"),
        QStringLiteral("2"),
        QStringLiteral("ATypeIDLength4"),
        QStringLiteral("2"),
        QStringLiteral("ATypeIDLength5"),
        QStringLiteral("0"),
        QStringLiteral("ATypeIDLength6"),
        QStringLiteral("0"),
        QStringLiteral("ATypeIDLength7"),
        QStringLiteral("0"),
        QStringLiteral("ATypeIDLength8"),
        QStringLiteral("0"),
        QStringLiteral("ATypeIDLength9"),
        QStringLiteral("0"),
        // layout, backup, version
        QStringLiteral("BillRow"),
        QStringLiteral("0"),
        QStringLiteral("BillColumnType_Custom3"),
        QStringLiteral("0"),
        QStringLiteral("BillColumnType_Custom4"),
        QStringLiteral("0"),
        QStringLiteral("AutoBackupDate"),
        QStringLiteral("3"),
        QStringLiteral("Versionno"),
        QStringLiteral("17.0"),
    };
    QList<QVariantList> rows;
    for (int i = 0; i + 1 < pairs.size(); i += 2)
        rows.append({rows.size() + 1, pairs[i], pairs[i + 1]});
    return rows;
}

// Switches the system reads, with the account-options page they appear on (0 = shown by their own
// window only): 11 printing, 12 bill handling, 13 business, 14 finance, 15 production.
const QList<QVariantList> &sysCons()
{
    static const QList<QVariantList> rows = {
        {13, QStringLiteral("允许手工修改单据编号"), 1, 12},
        {39, QStringLiteral("退出系统时自动备份"), 0, 0},
        {48, QStringLiteral("保存单据时编号重复自动取新号"), 1, 12},
        {69, QStringLiteral("启用快速打印"), 0, 11},
        {72, QStringLiteral("单据编号按单据日期生成"), 0, 12},
        {80, QStringLiteral("登入系统时弹出报警窗口"), 0, 0},
        {88, QStringLiteral("启用外币核算"), 0, 14},
        {97, QStringLiteral("进销存期间与财务期间同步结账"), 0, 13},
        {103, QStringLiteral("允许零成本出库"), 0, 13},
        {105, QStringLiteral("业务单据自动生成凭证"), 0, 14},
        {113, QStringLiteral("登入系统时自动弹出单据审核中心"), 0, 0},
        {122, QStringLiteral("启用扩展打印模式"), 0, 11},
        {124, QStringLiteral("固定资产业务自动生成凭证"), 0, 14},
        {125, QStringLiteral("工资业务自动生成凭证"), 0, 14},
        {132, QStringLiteral("红字反冲单据重新编号"), 0, 12},
        {133, QStringLiteral("复制单据时重新编号"), 1, 12},
        {134, QStringLiteral("启用生产管理"), 0, 15},
        {135, QStringLiteral("启用委外加工管理"), 0, 15},
        {136, QStringLiteral("启用生产领料控制"), 0, 15},
        {137, QStringLiteral("启用完工验收控制"), 0, 15},
        {138, QStringLiteral("启用简单委外加工"), 0, 15},
        {140, QStringLiteral("启用进销存成本计算"), 1, 13},
        {164, QStringLiteral("零成本包括负成本"), 0, 0},
        {166, QStringLiteral("期末结账时自动调整库存"), 0, 0},
        {167, QStringLiteral("期末成本结转"), 1, 0},
    };
    return rows;
}

const QList<QVariantList> &messages()
{
    static const QList<QVariantList> rows = {
        {1553, QStringLiteral("行号")},
        {2262, QStringLiteral("请输入导出文件名。")},
        {2894, QStringLiteral("业务单据导出")},
        {6082, QStringLiteral("公司信息保存成功。")},
        {8387, QStringLiteral("没有找到存货核算方式的设置，请检查账套数据。")},
        {8388, QStringLiteral("没有找到零成本出库选择的设置，请检查账套数据。")},
        {8389, QStringLiteral("没有找到应收结算类型的设置，请检查账套数据。")},
        {8390, QStringLiteral("没有找到应付结算类型的设置，请检查账套数据。")},
    };
    return rows;
}

// Twelve natural months of the year, numbered year * 100 + month.
QList<QVariantList> months(int year)
{
    QList<QVariantList> rows;
    for (int m = 1; m <= 12; ++m) {
        const QDate start(year, m, 1);
        const QDate end = start.addMonths(1).addDays(-1);
        rows.append({year * 100 + m, year, start.toString(QStringLiteral("yyyy-MM-dd")),
                     end.toString(QStringLiteral("yyyy-MM-dd"))});
    }
    return rows;
}

} // namespace

void createCore(AccountDatabase &db)
{
    db.execBatch(QString::fromUtf8(kDdl));
    const int year = QDate::currentDate().year();
    seedRows(db, QStringLiteral("INSERT INTO T_Gbl_SysDataCw (SubNo, SubName, SubValue) VALUES (?, ?, ?)"),
             sysValues(year));
    seedRows(db, QStringLiteral("INSERT INTO T_Gbl_SysCon (ConId, Name, Stats, PageId) VALUES (?, ?, ?, ?)"),
             sysCons());
    seedRows(db, QStringLiteral("INSERT INTO T_Gbl_MessageList (MessageNo, DisPlayName) VALUES (?, ?)"),
             messages());
    seedRows(
        db,
        QStringLiteral("INSERT INTO T_Gbl_MonthProc (Period, Year, StartDate, EndDate) VALUES (?, ?, ?, ?)"),
        months(year));
}

} // namespace accountdb::schema
