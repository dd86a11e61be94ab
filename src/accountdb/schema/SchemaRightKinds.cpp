// Area "rights", second step: the tree of right kinds, the rights each edition offers, the detail
// rights of the bill entry and the plug-in procedures run around the deletion of an operator.
//
// t_gbl_rightkind      kinds of rights (module families): TypeID of 5 characters on the first level and
//                      10 on the second, "00000" the root; orderno sorts the kinds of a level.
// T_OA_GBL_rightKind   office kinds the larger editions add to the tree.
// T_Gbl_FunctionList.KindID  the kind a right is listed under; rights without a kind are not listed.
// VersionFunction      which rights an edition (880, 2680, ... 6680) offers.
// T_Inf_PlugIn_DealLoginUserProc  procedures of plug-ins run before (IsBefore = 1) or after the
//                      deletion of an operator, each with @EtypeId and an @ErrMsg output.

#include "AccountDatabase.h"
#include "Schema.h"

namespace accountdb::schema {

namespace {

const QList<QVariantList> &rightKinds()
{
    static const QList<QVariantList> rows = {
        {QStringLiteral("00000"), QString(), QStringLiteral("全部权限"), 0},
        {QStringLiteral("00001"), QStringLiteral("00000"), QStringLiteral("文件"), 1},
        {QStringLiteral("0000100001"), QStringLiteral("00001"), QStringLiteral("账套与登录"), 1},
        {QStringLiteral("0000100002"), QStringLiteral("00001"), QStringLiteral("操作员与权限"), 2},
        {QStringLiteral("0000100003"), QStringLiteral("00001"), QStringLiteral("数据维护"), 3},
        {QStringLiteral("00002"), QStringLiteral("00000"), QStringLiteral("单据处理"), 2},
        {QStringLiteral("0000200001"), QStringLiteral("00002"), QStringLiteral("业务单据"), 1},
        {QStringLiteral("0000200009"), QStringLiteral("00002"), QStringLiteral("单据导入导出"), 2},
        {QStringLiteral("0000200011"), QStringLiteral("00002"), QStringLiteral("单据审核"), 3},
        {QStringLiteral("0000200012"), QStringLiteral("00002"), QStringLiteral("税务发票接口"), 4},
        {QStringLiteral("00003"), QStringLiteral("00000"), QStringLiteral("系统维护"), 3},
        {QStringLiteral("0000300001"), QStringLiteral("00003"), QStringLiteral("单据设置"), 1},
        {QStringLiteral("0000300004"), QStringLiteral("00003"), QStringLiteral("序列号"), 2},
        {QStringLiteral("0000300012"), QStringLiteral("00003"), QStringLiteral("库存报警"), 3},
        {QStringLiteral("0000300013"), QStringLiteral("00003"), QStringLiteral("成本计算"), 4},
        {QStringLiteral("0000300017"), QStringLiteral("00003"), QStringLiteral("插件设置"), 5},
        {QStringLiteral("0000300020"), QStringLiteral("00003"), QStringLiteral("期末处理"), 6},
    };
    return rows;
}

const QList<QVariantList> &officeKinds()
{
    static const QList<QVariantList> rows = {
        {QStringLiteral("00012"), QStringLiteral("00000"), QStringLiteral("协同办公"), 12},
        {QStringLiteral("0001200004"), QStringLiteral("00012"), QStringLiteral("公告"), 1},
        {QStringLiteral("0001200005"), QStringLiteral("00012"), QStringLiteral("内部消息"), 2},
    };
    return rows;
}

// Right number, kind, editions that lack it.
struct RightKind
{
    int functionNo;
    const char *kind;
    QList<int> missingIn;
};

const QList<RightKind> &functionKinds()
{
    static const QList<RightKind> rows = {
        {1301, "0000100001", {}},    {1302, "0000100001", {}},    {1303, "0000100001", {}},
        {1305, "0000100001", {}},    {1836, "0000100001", {880}}, {1312, "0000100002", {}},
        {1319, "0000100002", {}},    {1330, "0000100002", {}},    {1308, "0000100003", {}},
        {1314, "0000100003", {}},    {1306, "0000100003", {}},    {1307, "0000100003", {}},
        {1324, "0000100003", {}},    {1313, "0000100003", {}},    {1304, "0000200001", {}},
        {1984, "0000200001", {}},    {1310, "0000200009", {}},    {1311, "0000200009", {}},
        {1974, "0000200011", {880}}, {1318, "0000200011", {880}}, {1336, "0000200012", {880, 2680}},
        {1309, "0000300001", {}},    {1315, "0000300001", {}},    {1316, "0000300001", {}},
        {1322, "0000300004", {}},    {1317, "0000300012", {}},    {2110, "0000300013", {}},
        {1320, "0000300020", {}},    {1321, "0000300020", {}},
    };
    return rows;
}

// The bill entry's detail rights: viewing (11) is what changing and deleting build on.
const QList<QVariantList> &billEntryDetails()
{
    static const QList<QVariantList> rows = {
        {1304, 1, QStringLiteral("新增")},   {1304, 2, QStringLiteral("打印")},
        {1304, 4, QStringLiteral("修改")},   {1304, 11, QStringLiteral("查看")},
        {1304, 143, QStringLiteral("删除")},
    };
    return rows;
}

} // namespace

void migrateRightKindsTo8(AccountDatabase &db)
{
    db.execBatch(QStringLiteral(R"SQL(
CREATE TABLE t_gbl_rightkind (
  TypeID TEXT PRIMARY KEY,
  ParID TEXT NOT NULL DEFAULT '',
  FullName TEXT NOT NULL,
  orderno INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE T_OA_GBL_rightKind (
  TypeID TEXT PRIMARY KEY,
  ParID TEXT NOT NULL DEFAULT '',
  FullName TEXT NOT NULL,
  orderno INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE VersionFunction (
  FunctionNO INTEGER NOT NULL,
  PubVersion INTEGER NOT NULL,
  PRIMARY KEY (FunctionNO, PubVersion)
);
CREATE TABLE T_Inf_PlugIn_DealLoginUserProc (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  ProcName TEXT NOT NULL,
  IsBefore INTEGER NOT NULL DEFAULT 1 CHECK (IsBefore IN (0, 1))
);
ALTER TABLE T_Gbl_FunctionList ADD COLUMN KindID TEXT NOT NULL DEFAULT ''
)SQL"));
    const QString insertKind = QStringLiteral(" (TypeID, ParID, FullName, orderno) VALUES (?, ?, ?, ?)");
    seedRows(db, QStringLiteral("INSERT INTO t_gbl_rightkind") + insertKind, rightKinds());
    seedRows(db, QStringLiteral("INSERT INTO T_OA_GBL_rightKind") + insertKind, officeKinds());

    QList<QVariantList> kinds, editions;
    for (const RightKind &r : functionKinds()) {
        kinds.append({QString::fromLatin1(r.kind), r.functionNo});
        for (int edition : {880, 2680, 3680, 4680, 5680, 6680})
            if (!r.missingIn.contains(edition))
                editions.append({r.functionNo, edition});
    }
    seedRows(db, QStringLiteral("UPDATE T_Gbl_FunctionList SET KindID = ? WHERE FunctionNo = ?"), kinds);
    seedRows(db, QStringLiteral("INSERT INTO VersionFunction (FunctionNO, PubVersion) VALUES (?, ?)"),
             editions);
    seedRows(
        db,
        QStringLiteral("INSERT INTO T_Gbl_PowerRelation (LimitNo, DetailNo, DisplayName) VALUES (?, ?, ?)"),
        billEntryDetails());
}

} // namespace accountdb::schema
