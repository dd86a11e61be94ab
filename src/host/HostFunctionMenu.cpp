#include "HostFunctionMenu.h"

#include "AccountDatabase.h"
#include "HostSchema.h"
#include "OperatorRights.h"

#include <QHash>
#include <algorithm>

namespace HostFunctionMenu {

const QStringList &ModuleEntryNames()
{
    static const QStringList names = {
        QStringLiteral("退出"),
        QStringLiteral("更换操作员"),
        QStringLiteral("打开账套"),
        QStringLiteral("系统重建"),
        QStringLiteral("业务录入"),
        QStringLiteral("安全钥匙"),
        QStringLiteral("修改口令"),
        QStringLiteral("系统日志"),
        QStringLiteral("升级补丁"),
        QStringLiteral("账套修复"),
        QStringLiteral("备份"),
        QStringLiteral("单据格式配置"),
        QStringLiteral("业务单据导入"),
        QStringLiteral("业务单据导出"),
        QStringLiteral("操作员授权"),
        QStringLiteral("单据审核中心"),
        QStringLiteral("账套选项"),
        QStringLiteral("恢复"),
        QStringLiteral("单据编号格式设置"),
        QStringLiteral("单据自由项选择设置"),
        QStringLiteral("单据审核设置"),
        QStringLiteral("航天金穗数据导出"),
        QStringLiteral("基本信息授权"),
        QStringLiteral("报警簿"),
        QStringLiteral("进销存期末结账"),
        QStringLiteral("进销存期末反结账"),
        QStringLiteral("序列号自动生成规则"),
    };
    return names;
}

bool IsAlwaysAllowed(const QString &entryName)
{
    return entryName == u"退出" || entryName == u"更换操作员" || entryName == u"修改口令";
}

QList<THostMenuEntry> ReadEntries(accountdb::AccountDatabase &db)
{
    QList<THostMenuEntry> entries;
    const QString table = HostSchema::TableName(db, QStringLiteral("T_Gbl_FunctionList"));
    if (table.isEmpty())
        return entries;
    const QStringList columns = HostSchema::Columns(db, table);
    const auto has = [&](const char *c) { return columns.contains(QLatin1String(c), Qt::CaseInsensitive); };
    if (!has("FunctionNo") || !has("Caption") || !has("OnClick"))
        return entries;
    // Optional columns of older function lists are read as constants.
    const QString module = has("ModuleName") ? QStringLiteral("ModuleName") : QStringLiteral("''");
    const QString menuPath = has("MenuPath") ? QStringLiteral("MenuPath") : QStringLiteral("''");
    const QString helpName = has("HelpName") ? QStringLiteral("HelpName") : QStringLiteral("''");
    const QString order =
        has("ShowOrder") ? QStringLiteral("ShowOrder, FunctionNo") : QStringLiteral("FunctionNo");
    QSqlQuery q = db.exec(QStringLiteral("SELECT FunctionNo, Caption, OnClick, %1, %2, %3 FROM \"%4\" "
                                         "WHERE OnClick <> '' ORDER BY %5")
                              .arg(module, menuPath, helpName, table, order));
    while (q.next()) {
        const QString entryName = q.value(2).toString().trimmed();
        const QString moduleName = q.value(3).toString().trimmed();
        if (!ModuleEntryNames().contains(entryName))
            continue;
        if (!moduleName.isEmpty() && moduleName.compare(ModuleFileName, Qt::CaseInsensitive) != 0)
            continue;
        THostMenuEntry e;
        e.FunctionNo = q.value(0).toInt();
        e.Caption = q.value(1).toString().trimmed();
        if (e.Caption.isEmpty())
            e.Caption = entryName;
        e.EntryName = entryName;
        e.Key = ModuleFileName + entryName;
        e.MenuPath = q.value(4).toString().trimmed();
        if (e.MenuPath.isEmpty())
            e.MenuPath = DefaultMenu;
        e.HelpName = q.value(5).toString();
        entries.append(e);
    }
    return entries;
}

QStringList MenuPaths(const QList<THostMenuEntry> &entries)
{
    QStringList paths;
    for (const THostMenuEntry &e : entries)
        if (!paths.contains(e.MenuPath))
            paths.append(e.MenuPath);
    return paths;
}

QString MenuTitle(const QString &menuPath)
{
    static const QHash<QString, QChar> keys = {
        {QStringLiteral("文件"), u'F'},     {QStringLiteral("系统维护"), u'M'},
        {QStringLiteral("单据处理"), u'B'}, {QStringLiteral("单据设置"), u'S'},
        {QStringLiteral("库存"), u'K'},     {QStringLiteral("期末处理"), u'Q'},
    };
    const auto key = keys.constFind(menuPath);
    return key == keys.constEnd() ? menuPath : QStringLiteral("%1(&%2)").arg(menuPath, *key);
}

int EntryGroup(const QString &entryName)
{
    static const QList<QStringList> groups = {
        {QStringLiteral("打开账套"), QStringLiteral("更换操作员"), QStringLiteral("修改口令"),
         QStringLiteral("安全钥匙")},
        {QStringLiteral("备份"), QStringLiteral("恢复"), QStringLiteral("账套修复"),
         QStringLiteral("系统重建"), QStringLiteral("升级补丁")},
        {QStringLiteral("操作员授权"), QStringLiteral("基本信息授权"), QStringLiteral("账套选项")},
        {QStringLiteral("系统日志"), QStringLiteral("报警簿"), QStringLiteral("单据审核中心")},
        {QStringLiteral("业务录入"), QStringLiteral("业务单据导入"), QStringLiteral("业务单据导出"),
         QStringLiteral("航天金穗数据导出")},
        {QStringLiteral("单据格式配置"), QStringLiteral("单据编号格式设置"),
         QStringLiteral("单据自由项选择设置"), QStringLiteral("单据审核设置"),
         QStringLiteral("序列号自动生成规则")},
        {QStringLiteral("进销存期末结账"), QStringLiteral("进销存期末反结账")},
    };
    if (entryName == ExitEntryName)
        return int(groups.size()) + 1;
    for (int g = 0; g < groups.size(); ++g)
        if (groups.at(g).contains(entryName))
            return g;
    return int(groups.size());
}

QList<THostMenuEntry> InMenuOrder(const QList<THostMenuEntry> &entries)
{
    // Menu by menu as they first appear, then group by group, the list's order within a group.
    const QStringList paths = MenuPaths(entries);
    QList<THostMenuEntry> ordered = entries;
    const auto key = [&paths](const THostMenuEntry &e) {
        return std::make_pair(paths.indexOf(e.MenuPath), EntryGroup(e.EntryName));
    };
    std::stable_sort(ordered.begin(), ordered.end(),
                     [&key](const THostMenuEntry &a, const THostMenuEntry &b) { return key(a) < key(b); });
    return ordered;
}

QKeySequence EntryShortcut(const QString &entryName)
{
    static const QHash<QString, QKeySequence> keys = {
        {QStringLiteral("退出"), QKeySequence(Qt::CTRL | Qt::Key_Q)},
        {QStringLiteral("打开账套"), QKeySequence(Qt::CTRL | Qt::Key_O)},
        {QStringLiteral("备份"), QKeySequence(Qt::CTRL | Qt::Key_B)},
        {QStringLiteral("系统日志"), QKeySequence(Qt::CTRL | Qt::Key_L)},
        {QStringLiteral("进销存期末结账"), QKeySequence(Qt::Key_F9)},
    };
    return keys.value(entryName);
}

bool OperatorHasRight(accountdb::AccountDatabase &db, const QString &operatorId, int functionNo)
{
    if (HostSchema::TableName(db, QStringLiteral("T_Gbl_UserPower")).isEmpty() ||
        HostSchema::TableName(db, QStringLiteral("UserToGroup")).isEmpty())
        return false;
    return accountdb::operatorHasRight(db, operatorId, functionNo);
}

} // namespace HostFunctionMenu
