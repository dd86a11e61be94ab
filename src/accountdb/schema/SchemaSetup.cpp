// Area "setup": what the first set-up of an account set chooses from and writes.
//
// Trade              enterprise categories (trades); QuillReportPath names the trade's report set.
// ProductTrades      the trades an edition offers (MainVersion = the edition's main version text).
// TradeAtypeLength   a trade's default code length of every account level (AtypeLength1..9).
// TradeAtypeCW       a trade's chart-of-accounts template. typeId is the parent's typeId followed by
//                    five digits (the level-1 accounts hang under "00000"); leveal is the level.
// Atypecw            the chart of accounts of the account set, a copy of the chosen trade's template
//                    whose codes follow the code lengths in use. UserCode is the parent's code
//                    followed by the account's own part.
// T_GZ_PeriodTaxRateGroup  payroll tax-rate group of every period (AccountPeriod = year * 100 + month).
// T_CW_WaibiRate     rates of foreign currencies per period (Period = year * 100 + month).
// T_Gbl_Caption      numbered captions of the set-up windows.

#include <QDate>

#include "AccountDatabase.h"
#include "Schema.h"

namespace accountdb::schema {

namespace {

const char *const kDdl = R"SQL(
CREATE TABLE Trade (
  TradeId INTEGER PRIMARY KEY,
  cName TEXT NOT NULL,
  QuillReportPath TEXT NOT NULL DEFAULT '',
  iOrder INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE ProductTrades (
  MainVersion TEXT NOT NULL,
  TradeId INTEGER NOT NULL REFERENCES Trade (TradeId),
  PRIMARY KEY (MainVersion, TradeId)
);
CREATE TABLE TradeAtypeLength (
  TradeId INTEGER PRIMARY KEY REFERENCES Trade (TradeId),
  AtypeLength1 INTEGER NOT NULL, AtypeLength2 INTEGER NOT NULL, AtypeLength3 INTEGER NOT NULL,
  AtypeLength4 INTEGER NOT NULL, AtypeLength5 INTEGER NOT NULL, AtypeLength6 INTEGER NOT NULL,
  AtypeLength7 INTEGER NOT NULL, AtypeLength8 INTEGER NOT NULL, AtypeLength9 INTEGER NOT NULL
);
CREATE TABLE TradeAtypeCW (
  TradeID INTEGER NOT NULL REFERENCES Trade (TradeId),
  typeId TEXT NOT NULL,
  parid TEXT NOT NULL,
  leveal INTEGER NOT NULL,
  sonnum INTEGER NOT NULL DEFAULT 0,
  UserCode TEXT NOT NULL,
  FullName TEXT NOT NULL,
  PRIMARY KEY (TradeID, typeId)
);
CREATE TABLE Atypecw (
  typeId TEXT PRIMARY KEY,
  parid TEXT NOT NULL,
  leveal INTEGER NOT NULL,
  sonnum INTEGER NOT NULL DEFAULT 0,
  UserCode TEXT NOT NULL UNIQUE,
  FullName TEXT NOT NULL
);
CREATE INDEX IX_Atypecw_Parid ON Atypecw (parid);
CREATE TABLE T_GZ_PeriodTaxRateGroup (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  AccountYear INTEGER NOT NULL,
  AccountPeriod INTEGER NOT NULL,
  TaxGroupId INTEGER NOT NULL DEFAULT 1,
  Threshold REAL NOT NULL DEFAULT 0,
  UNIQUE (AccountPeriod, TaxGroupId)
);
CREATE TABLE T_CW_WaibiRate (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  CurrencyCode TEXT NOT NULL,
  Year INTEGER NOT NULL,
  Period INTEGER NOT NULL,
  Rate REAL NOT NULL DEFAULT 1,
  UNIQUE (CurrencyCode, Period)
);
CREATE TABLE T_Gbl_Caption (
  CaptionNo INTEGER PRIMARY KEY,
  Caption TEXT NOT NULL
)
)SQL";

// Chart templates: "code name" per line; the code lengths are 4, 2, 2, ... so the level follows from
// the code's length.
const char *const kSmallEnterpriseChart = R"(
1001 库存现金
1002 银行存款
1012 其他货币资金
1101 短期投资
1121 应收票据
1122 应收账款
1123 预付账款
1131 应收股利
1132 应收利息
1221 其他应收款
1401 材料采购
1402 在途物资
1403 原材料
1404 材料成本差异
1405 库存商品
1407 商品进销差价
1408 委托加工物资
1411 周转材料
1421 消耗性生物资产
1501 长期债券投资
1511 长期股权投资
1601 固定资产
1602 累计折旧
1604 在建工程
1605 工程物资
1606 固定资产清理
1621 生产性生物资产
1622 生产性生物资产累计折旧
1701 无形资产
1702 累计摊销
1801 长期待摊费用
1901 待处理财产损溢
2001 短期借款
2201 应付票据
2202 应付账款
2203 预收账款
2211 应付职工薪酬
2221 应交税费
222101 应交增值税
22210101 进项税额
22210102 已交税金
22210103 转出未交增值税
22210104 销项税额
22210105 进项税额转出
22210106 转出多交增值税
222102 未交增值税
222103 应交消费税
222104 应交企业所得税
222105 应交个人所得税
222106 应交城市维护建设税
222107 应交教育费附加
2231 应付利息
2232 应付利润
2241 其他应付款
2401 递延收益
2501 长期借款
2701 长期应付款
3001 实收资本
3002 资本公积
3101 盈余公积
310101 法定盈余公积
310102 任意盈余公积
3103 本年利润
3104 利润分配
310401 应付利润
310402 未分配利润
4001 生产成本
4101 制造费用
4301 研发支出
4401 工程施工
4403 机械作业
5001 主营业务收入
5051 其他业务收入
5111 投资收益
5301 营业外收入
5401 主营业务成本
5402 其他业务成本
5403 税金及附加
5601 销售费用
5602 管理费用
5603 财务费用
5711 营业外支出
5801 所得税费用
)";

const char *const kEnterpriseChart = R"(
1001 库存现金
1002 银行存款
1012 其他货币资金
1101 交易性金融资产
1121 应收票据
1122 应收账款
1123 预付账款
1131 应收股利
1132 应收利息
1221 其他应收款
1231 坏账准备
1401 材料采购
1402 在途物资
1403 原材料
1404 材料成本差异
1405 库存商品
1406 发出商品
1407 商品进销差价
1408 委托加工物资
1411 周转材料
1471 存货跌价准备
1501 持有至到期投资
1502 持有至到期投资减值准备
1503 可供出售金融资产
1511 长期股权投资
1512 长期股权投资减值准备
1521 投资性房地产
1531 长期应收款
1532 未实现融资收益
1601 固定资产
1602 累计折旧
1603 固定资产减值准备
1604 在建工程
1605 工程物资
1606 固定资产清理
1701 无形资产
1702 累计摊销
1703 无形资产减值准备
1711 商誉
1801 长期待摊费用
1811 递延所得税资产
1901 待处理财产损溢
2001 短期借款
2101 交易性金融负债
2201 应付票据
2202 应付账款
2203 预收账款
2211 应付职工薪酬
2221 应交税费
222101 应交增值税
22210101 进项税额
22210102 已交税金
22210103 转出未交增值税
22210104 销项税额
22210105 进项税额转出
22210106 转出多交增值税
222102 未交增值税
222103 应交所得税
222104 应交个人所得税
222105 应交城市维护建设税
222106 应交教育费附加
2231 应付利息
2232 应付股利
2241 其他应付款
2401 递延收益
2501 长期借款
2502 应付债券
2701 长期应付款
2702 未确认融资费用
2711 专项应付款
2801 预计负债
2901 递延所得税负债
3101 衍生工具
3201 套期工具
3202 被套期项目
4001 实收资本
4002 资本公积
4101 盈余公积
4103 本年利润
4104 利润分配
410401 提取法定盈余公积
410402 提取任意盈余公积
410403 应付现金股利
410404 未分配利润
4201 库存股
5001 生产成本
5101 制造费用
5201 劳务成本
5301 研发支出
6001 主营业务收入
6051 其他业务收入
6101 公允价值变动损益
6111 投资收益
6301 营业外收入
6401 主营业务成本
6402 其他业务成本
6403 税金及附加
6601 销售费用
6602 管理费用
6603 财务费用
6701 资产减值损失
6711 营业外支出
6801 所得税费用
6901 以前年度损益调整
)";

constexpr int kSmallEnterprise = 1;
constexpr int kEnterprise = 2;

// Template rows (TradeID, typeId, parid, leveal, sonnum, UserCode, FullName) of a chart text.
QList<QVariantList> chartRows(int tradeId, const char *chart)
{
    struct Node
    {
        QString typeId;
        int children = 0;
        int row = -1;
    };
    QHash<QString, Node> byCode; // code -> node; "" is the root
    byCode.insert(QString(), {QStringLiteral("00000"), 0, -1});
    QList<QVariantList> rows;
    const QStringList lines = QString::fromUtf8(chart).split(u'\n', Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        const QString code = line.section(u' ', 0, 0);
        const QString name = line.section(u' ', 1);
        const int level = 1 + (code.size() - 4) / 2;
        Node &parent = byCode[level == 1 ? QString() : code.left(code.size() - 2)];
        ++parent.children;
        const QString parentId = parent.typeId;
        const QString typeId = (level == 1 ? QString() : parentId) +
                               QStringLiteral("%1").arg(parent.children, 5, 10, QLatin1Char('0'));
        if (parent.row >= 0)
            rows[parent.row][4] = parent.children;
        byCode.insert(code, {typeId, 0, int(rows.size())}); // may move the parent: not used below
        rows.append({tradeId, typeId, parentId, level, 0, code, name});
    }
    return rows;
}

const QList<QVariantList> &captions()
{
    static const QList<QVariantList> rows = {
        {1353, QStringLiteral("项目")},
        {1423, QStringLiteral("开户银行及账号")},
        {1424, QStringLiteral("税号")},
        {1427, QStringLiteral("邮政编码")},
        {1429, QStringLiteral("法人代表")},
        {2530, QStringLiteral("公司信息")},
        {2541, QStringLiteral("备注")},
        {2899, QStringLiteral("完成")},
        {3201, QStringLiteral("企业类别与凭证字")},
        {3242, QStringLiteral("凭证字")},
        {3246, QStringLiteral("账套初始设置")},
        {3247, QStringLiteral("科目%s级数")},
        {3248, QStringLiteral("编码%s总长")},
        {3249, QStringLiteral("单级%s最长")},
        {3250, QStringLiteral("第一%s级")},
        {3251, QStringLiteral("第二%s级")},
        {3252, QStringLiteral("第三%s级")},
        {3253, QStringLiteral("第四%s级")},
        {3254, QStringLiteral("第五%s级")},
        {3255, QStringLiteral("第六%s级")},
        {3256, QStringLiteral("第七%s级")},
        {3257, QStringLiteral("第八%s级")},
        {3258, QStringLiteral("第九%s级")},
        {3259, QStringLiteral("科目编码长度")},
        {3260, QStringLiteral("本位币代码")},
        {3261, QStringLiteral("本位币名称")},
        {3262, QStringLiteral("企业类型")},
        {3263, QStringLiteral("企业性质")},
        {3264, QStringLiteral("账套主管")},
        {3265, QStringLiteral("保存")},
        {3266, QStringLiteral("公司全称")},
        {3267, QStringLiteral("公司简称")},
        {3268, QStringLiteral("地址")},
        {3269, QStringLiteral("电话")},
        {3270, QStringLiteral("传真")},
        {3274, QStringLiteral("上一步")},
        {3275, QStringLiteral("下一步")},
        {3281, QStringLiteral("科目编码长度")},
    };
    return rows;
}

} // namespace

void migrateSetupTo7(AccountDatabase &db)
{
    db.execBatch(QString::fromUtf8(kDdl));
    seedRows(
        db, QStringLiteral("INSERT INTO Trade (TradeId, cName, QuillReportPath, iOrder) VALUES (?, ?, ?, ?)"),
        {{kSmallEnterprise, QStringLiteral("小企业会计准则"), QStringLiteral("SmallEnterprise"), 1},
         {kEnterprise, QStringLiteral("企业会计准则"), QStringLiteral("Enterprise"), 2}});
    seedRows(db, QStringLiteral("INSERT INTO ProductTrades (MainVersion, TradeId) VALUES (?, ?)"),
             {{QStringLiteral("17.0"), kSmallEnterprise}, {QStringLiteral("17.0"), kEnterprise}});
    seedRows(
        db,
        QStringLiteral("INSERT INTO TradeAtypeLength (TradeId, AtypeLength1, AtypeLength2, AtypeLength3, "
                       "AtypeLength4, AtypeLength5, AtypeLength6, AtypeLength7, AtypeLength8, AtypeLength9) "
                       "VALUES (?, 4, 2, 2, 2, 2, 2, 2, 2, 2)"),
        {{kSmallEnterprise}, {kEnterprise}});
    const QString insertTemplate = QStringLiteral(
        "INSERT INTO TradeAtypeCW (TradeID, typeId, parid, leveal, sonnum, UserCode, FullName) "
        "VALUES (?, ?, ?, ?, ?, ?, ?)");
    seedRows(db, insertTemplate, chartRows(kSmallEnterprise, kSmallEnterpriseChart));
    seedRows(db, insertTemplate, chartRows(kEnterprise, kEnterpriseChart));
    seedRows(db, QStringLiteral("INSERT INTO T_Gbl_Caption (CaptionNo, Caption) VALUES (?, ?)"), captions());

    // The payroll tax threshold of every period of the account year.
    bool ok = false;
    int year = db.value(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = 'CurrentYear'"))
                   .toString()
                   .toInt(&ok);
    if (!ok)
        year = QDate::currentDate().year();
    QList<QVariantList> taxGroups;
    for (int month = 1; month <= 12; ++month)
        taxGroups.append({year, year * 100 + month});
    seedRows(db,
             QStringLiteral("INSERT INTO T_GZ_PeriodTaxRateGroup (AccountYear, AccountPeriod, TaxGroupId, "
                            "Threshold) VALUES (?, ?, 1, 5000)"),
             taxGroups);
}

} // namespace accountdb::schema
