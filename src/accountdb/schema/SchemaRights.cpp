// Area "rights": the function list (menu entries and rights), detail rights, plug-in twins, rights
// groups and their grants, employees and operators.
//
// T_Gbl_FunctionList   one row per right / menu entry; OnClick is the entry name the host hands to
//                      the module (ModuleName + OnClick is the dispatch key), Version 'e' = this edition.
// T_Gbl_PowerRelation  which detail rights (1..200) a right has, with their names.
// "group", UserToGroup rights groups and membership (UserToGroup keeps exactly UserID, GroupId).
// T_Gbl_UserPower      rights granted to a group; LimitPower is the detail-right string.
// Employee, T_GBL_LoginUser  employees, and those allowed to log on. Passwords are Argon2id hashes,
//                      empty = no password. The system administrator "00000" holds every right
//                      (P_GBL_CheckLogin reports him as manager); IsManager marks the accounting
//                      supervisor, which the administrator never is.

#include "AccountDatabase.h"
#include "Schema.h"

namespace accountdb::schema {

namespace {

const char *const kDdl = R"SQL(
CREATE TABLE T_Gbl_FunctionList (
  FunctionNo INTEGER PRIMARY KEY,
  Caption TEXT NOT NULL,
  OnClick TEXT NOT NULL DEFAULT '',
  Version TEXT NOT NULL DEFAULT 'e',
  ParentNo INTEGER NOT NULL DEFAULT 0,
  ModuleName TEXT NOT NULL DEFAULT '',
  MenuPath TEXT NOT NULL DEFAULT '',
  ShowOrder INTEGER NOT NULL DEFAULT 0,
  HelpName TEXT NOT NULL DEFAULT '',
  VchType INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX IX_FunctionList_OnClick ON T_Gbl_FunctionList (OnClick);
CREATE TABLE T_Gbl_PowerRelation (
  LimitNo INTEGER NOT NULL,
  DetailNo INTEGER NOT NULL CHECK (DetailNo BETWEEN 1 AND 200),
  DisplayName TEXT NOT NULL DEFAULT '',
  PRIMARY KEY (LimitNo, DetailNo)
);
CREATE TABLE T_PlugIn_Menu (
  Version TEXT NOT NULL,
  FunctionNo INTEGER NOT NULL,
  Caption TEXT NOT NULL,
  OnClick TEXT NOT NULL DEFAULT '',
  ParentNo INTEGER NOT NULL DEFAULT 0,
  ModuleName TEXT NOT NULL DEFAULT '',
  MenuPath TEXT NOT NULL DEFAULT '',
  PRIMARY KEY (Version, FunctionNo)
);
CREATE TABLE T_PlugIn_PowerRelation (
  Version TEXT NOT NULL,
  LimitNo INTEGER NOT NULL,
  DetailNo INTEGER NOT NULL CHECK (DetailNo BETWEEN 1 AND 200),
  DisplayName TEXT NOT NULL DEFAULT '',
  PRIMARY KEY (Version, LimitNo, DetailNo)
);
CREATE TABLE "group" (
  ID INTEGER PRIMARY KEY,
  GroupName TEXT NOT NULL UNIQUE,
  Memo TEXT NOT NULL DEFAULT ''
);
CREATE TABLE Employee (
  TypeId TEXT PRIMARY KEY,
  ParId TEXT NOT NULL DEFAULT '',
  Leveal INTEGER NOT NULL DEFAULT 1,
  Sonnum INTEGER NOT NULL DEFAULT 0,
  UserCode TEXT NOT NULL DEFAULT '',
  FullName TEXT NOT NULL DEFAULT '',
  Department TEXT NOT NULL DEFAULT '',
  Comment TEXT NOT NULL DEFAULT '',
  Deleted INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE T_GBL_LoginUser (
  ETypeId TEXT PRIMARY KEY REFERENCES Employee (TypeId),
  Password TEXT NOT NULL DEFAULT '',
  PrintPassword TEXT NOT NULL DEFAULT '',
  IsManager INTEGER NOT NULL DEFAULT 0 CHECK (IsManager IN (0, 1)),
  Pass_Code TEXT NOT NULL DEFAULT '',
  Pass_Level INTEGER NOT NULL DEFAULT 0,
  Pass_Have INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE UserToGroup (
  UserID TEXT NOT NULL REFERENCES T_GBL_LoginUser (ETypeId) ON DELETE CASCADE,
  GroupId INTEGER NOT NULL REFERENCES "group" (ID) ON DELETE CASCADE,
  PRIMARY KEY (UserID, GroupId)
);
CREATE INDEX IX_UserToGroup_Group ON UserToGroup (GroupId);
CREATE TABLE T_Gbl_UserPower (
  GroupID INTEGER NOT NULL REFERENCES "group" (ID) ON DELETE CASCADE,
  LimitNo INTEGER NOT NULL,
  LimitPower TEXT NOT NULL DEFAULT '',
  ETypeId TEXT NOT NULL DEFAULT '',
  PRIMARY KEY (GroupID, LimitNo)
);
CREATE INDEX IX_UserPower_LimitNo ON T_Gbl_UserPower (LimitNo);
CREATE TABLE T_PlugIn_UserPower (
  Version TEXT NOT NULL,
  GroupId INTEGER NOT NULL REFERENCES "group" (ID) ON DELETE CASCADE,
  LimitNo INTEGER NOT NULL,
  LimitPower TEXT NOT NULL DEFAULT '',
  PRIMARY KEY (Version, GroupId, LimitNo)
);
)SQL";

const QString kModule = QStringLiteral("Orvane.dll");

// The module's 27 menu entries in dispatch order: function number, entry name, menu, help name.
const QList<QVariantList> &menuEntries()
{
    static const QList<QVariantList> rows = {
        {1301, QStringLiteral("退出"), QStringLiteral("文件"), QString()},
        {1302, QStringLiteral("更换操作员"), QStringLiteral("文件"), QString()},
        {1303, QStringLiteral("打开账套"), QStringLiteral("文件"), QString()},
        {1324, QStringLiteral("系统重建"), QStringLiteral("系统维护"), QString()},
        {1304, QStringLiteral("业务录入"), QStringLiteral("单据处理"), QString()},
        {1836, QStringLiteral("安全钥匙"), QStringLiteral("文件"), QStringLiteral("文件/安全钥匙")},
        {1305, QStringLiteral("修改口令"), QStringLiteral("文件"), QString()},
        {1330, QStringLiteral("系统日志"), QStringLiteral("文件"), QStringLiteral("文件/系统日志")},
        {1306, QStringLiteral("升级补丁"), QStringLiteral("系统维护"), QString()},
        {1307, QStringLiteral("账套修复"), QStringLiteral("系统维护"), QString()},
        {1308, QStringLiteral("备份"), QStringLiteral("文件"), QStringLiteral("文件/数据备份与恢复")},
        {1309, QStringLiteral("单据格式配置"), QStringLiteral("单据设置"), QString()},
        {1310, QStringLiteral("业务单据导入"), QStringLiteral("单据处理"), QString()},
        {1311, QStringLiteral("业务单据导出"), QStringLiteral("单据处理"), QString()},
        {1312, QStringLiteral("操作员授权"), QStringLiteral("文件"), QStringLiteral("文件/操作员授权")},
        {1974, QStringLiteral("单据审核中心"), QStringLiteral("单据处理"), QString()},
        {1313, QStringLiteral("账套选项"), QStringLiteral("系统维护"), QStringLiteral("文件/账套选项")},
        {1314, QStringLiteral("恢复"), QStringLiteral("文件"), QStringLiteral("文件/数据备份与恢复")},
        {1315, QStringLiteral("单据编号格式设置"), QStringLiteral("单据设置"), QString()},
        {1316, QStringLiteral("单据自由项选择设置"), QStringLiteral("单据设置"), QString()},
        {1318, QStringLiteral("单据审核设置"), QStringLiteral("单据设置"), QString()},
        {1336, QStringLiteral("航天金穗数据导出"), QStringLiteral("单据处理"),
         QStringLiteral("文件/航天金穗数据导出")},
        {1319, QStringLiteral("基本信息授权"), QStringLiteral("文件"), QString()},
        {1317, QStringLiteral("报警簿"), QStringLiteral("库存"), QString()},
        {1320, QStringLiteral("进销存期末结账"), QStringLiteral("期末处理"), QString()},
        {1321, QStringLiteral("进销存期末反结账"), QStringLiteral("期末处理"), QString()},
        {1322, QStringLiteral("序列号自动生成规则"), QStringLiteral("单据设置"), QString()},
    };
    return rows;
}

// Rights without a menu entry of their own: function number, caption.
const QList<QVariantList> &plainRights()
{
    static const QList<QVariantList> rows = {
        {1984, QStringLiteral("查看其他操作员录入的单据")},
        {2110, QStringLiteral("成本计算")},
    };
    return rows;
}

const QList<QVariantList> &detailRights()
{
    static const QList<QVariantList> rows = {
        {1317, 1, QStringLiteral("查看")},
        {1317, 2, QStringLiteral("设置显示方式")},
        {1317, 63, QStringLiteral("全部仓库上下限设置")},
        {1317, 64, QStringLiteral("分仓库上下限设置")},
        {1974, 1, QStringLiteral("审核")},
        {1974, 2, QStringLiteral("反审核")},
    };
    return rows;
}

} // namespace

void createRights(AccountDatabase &db)
{
    db.execBatch(QString::fromUtf8(kDdl));

    QList<QVariantList> functions;
    int order = 0;
    for (const QVariantList &e : menuEntries())
        functions.append({e[0], e[1], e[1], kModule, e[2], ++order, e[3]});
    seedRows(
        db,
        QStringLiteral("INSERT INTO T_Gbl_FunctionList (FunctionNo, Caption, OnClick, ModuleName, MenuPath, "
                       "ShowOrder, HelpName) VALUES (?, ?, ?, ?, ?, ?, ?)"),
        functions);
    seedRows(db, QStringLiteral("INSERT INTO T_Gbl_FunctionList (FunctionNo, Caption) VALUES (?, ?)"),
             plainRights());
    seedRows(
        db,
        QStringLiteral("INSERT INTO T_Gbl_PowerRelation (LimitNo, DetailNo, DisplayName) VALUES (?, ?, ?)"),
        detailRights());

    // The default group, and the system administrator without a password.
    db.exec(QStringLiteral("INSERT INTO \"group\" (ID, GroupName, Memo) VALUES (1, ?, ?)"),
            {QStringLiteral("会计组"), QStringLiteral("系统默认权限组")});
    db.exec(
        QStringLiteral("INSERT INTO Employee (TypeId, ParId, Leveal, Sonnum, UserCode, FullName, Comment) "
                       "VALUES ('00000', '', 1, 0, '00000', ?, ?)"),
        {QStringLiteral("系统管理员"), QStringLiteral("系统管理员")});
    db.exec(
        QStringLiteral("INSERT INTO T_GBL_LoginUser (ETypeId, Password, IsManager) VALUES ('00000', '', 0)"));
}

} // namespace accountdb::schema
