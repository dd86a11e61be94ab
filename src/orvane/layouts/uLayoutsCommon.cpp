#include "uLayoutsCommon.h"

#include <QHash>
#include <QTreeWidget>

#include "ClientDataSet.h"
#include "Udllbaseselect.h"
#include "Udlldbservice.h"

namespace uLayoutsCommon {

bool IsCustomColumn(int columnNo)
{
    return IsTextFormulaColumn(columnNo) || (columnNo >= 111 && columnNo <= 117) || columnNo == 125 ||
           columnNo == 126;
}

bool IsTextFormulaColumn(int columnNo)
{
    return (columnNo >= 41 && columnNo <= 45) || (columnNo >= 80 && columnNo <= 84);
}

bool IsFormulaColumn(int columnNo)
{
    const auto in = [columnNo](int from, int to) { return columnNo >= from && columnNo <= to; };
    return in(20, 21) || in(23, 33) || in(38, 46) || in(53, 61) || in(80, 84) || columnNo == 96 ||
           in(114, 116) || in(120, 124) || in(132, 133);
}

bool IsPlugInVchtype(int vchType)
{
    return Udlldbservice::GetValueFromSQL(
               QStringLiteral("SELECT CASE WHEN EXISTS (SELECT 1 FROM T_Inf_PlugIn_Vchtype WHERE Vchtype = ? "
                              "AND MainVersion = 'CS') THEN 1 ELSE 0 END"),
               {vchType})
               .toInt() == 1;
}

QString BillName(int vchType)
{
    const QVariant name = Udlldbservice::GetValueFromSQL(
        QStringLiteral("SELECT Name FROM T_GBL_Vchtype WHERE Vchtype = ?"), {vchType});
    if (!name.isNull())
        return name.toString();
    return Udlldbservice::GetValueFromSQL(
               QStringLiteral(
                   "SELECT Name FROM T_Inf_PlugIn_Vchtype WHERE Vchtype = ? AND MainVersion = 'CS'"),
               {vchType})
        .toString();
}

QString ColumnTable(int vchType)
{
    return IsPlugInVchtype(vchType) ? QStringLiteral("T_Inf_PlugIn_VchColumn")
                                    : QStringLiteral("T_Jxc_VchColumn");
}

QString NameProblem(const QString &name, bool headerCustomField)
{
    static const QString forbidden = QStringLiteral("'~`!@#$%^&*();");
    const QString subject =
        headerCustomField ? QStringLiteral("表头自定义字段名称") : QStringLiteral("显示名称");
    if (name.trimmed().isEmpty())
        return subject + QStringLiteral("不能为空。");
    for (const QChar c : name) {
        if (forbidden.contains(c)) {
            QStringList list;
            for (const QChar f : forbidden)
                list << QString(f);
            return subject + QStringLiteral("不能包含以下特殊字符：\n    ") + list.join(QStringLiteral(", "));
        }
    }
    if (headerCustomField && name.size() > 12)
        return QStringLiteral("表头自定义字段名称不能超过12个字符，请重新输入。");
    if (!headerCustomField && name.size() > 40)
        return QStringLiteral("显示名称不能超过40个字符，请重新输入。");
    return QString();
}

namespace {
// Attaches each row under the last node one level up whose type id is five characters shorter.
void AddRows(QTreeWidgetItem *root, TClientDataSet &rows, QHash<int, QTreeWidgetItem *> &lastOfLevel)
{
    for (rows.First(); !rows.Eof(); rows.Next()) {
        const QString typeId = rows.Value(QStringLiteral("typeid")).toString();
        const int level = rows.Value(QStringLiteral("leveal")).toInt();
        QTreeWidgetItem *parent = lastOfLevel.value(level - 1, root);
        if (parent->data(0, TypeIdRole).toString().size() != typeId.size() - 5)
            parent = root;
        auto *node = new QTreeWidgetItem(parent, {rows.Value(QStringLiteral("fullname")).toString()});
        node->setData(0, VchtypeRole, rows.Value(QStringLiteral("VchType")).toInt());
        node->setData(0, TypeIdRole, typeId);
        lastOfLevel.insert(level, node);
    }
}
} // namespace

void LoadVchtypeTree(QTreeWidget *tree, const QString &rootName, const QString &filters, bool withPlugIns)
{
    tree->clear();
    auto *root = new QTreeWidgetItem(tree, {rootName});
    root->setData(0, VchtypeRole, 0);
    root->setData(0, TypeIdRole, QStringLiteral("00000"));
    QHash<int, QTreeWidgetItem *> lastOfLevel{{0, root}};
    TClientDataSet rows;
    Udlldbservice::OpenSQL(
        QStringLiteral(" SELECT ParId, typeid, name AS fullname, leveal, sonnum, VchType  FROM "
                       "GetVchtype  WHERE Deleted = 0  AND VchType < 1000  AND  inputn = 1 AND ") +
            filters + QStringLiteral(" version in('em','e') ORDER BY TypeID"),
        rows);
    AddRows(root, rows, lastOfLevel);
    if (withPlugIns) {
        Udlldbservice::OpenSQL(
            QStringLiteral("Select ParId, TypeId AS typeid, FullName AS fullname, Leveal AS "
                           "leveal, Sonnum AS sonnum, Vchtype AS VchType From T_Inf_PlugIn_Vchtype "
                           "Where CanSet = 1 and MainVersion = 'CS' Order By TypeId"),
            rows);
        AddRows(root, rows, lastOfLevel);
    }
    tree->expandAll();
    tree->setCurrentItem(root);
}

int NodeVchtype(const QTreeWidgetItem *item)
{
    return item ? item->data(0, VchtypeRole).toInt() : 0;
}

bool SelectVchtype(int &vchType, QString &name)
{
    TBaseRecordList chosen;
    if (!Udllbaseselect::SelectBaseData(QStringLiteral("Vchtype"), QString(), false, chosen) ||
        chosen.isEmpty())
        return false;
    vchType = chosen.first().TypeId.toInt();
    name = chosen.first().FullName;
    return true;
}

} // namespace uLayoutsCommon
