#include "Kvprintlayout.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "Udlldbservice.h"

TPrintTable TPrintTable::Select(const QList<QPair<QString, QString>> &columnsAndTitles) const
{
    TPrintTable result;
    result.Title = Title;
    QList<int> sources;
    for (const auto &[name, title] : columnsAndTitles) {
        const int source = Columns.indexOf(name);
        if (source < 0)
            continue;
        sources << source;
        result.Columns << (title.isEmpty() ? name : title);
    }
    const auto pick = [&sources](const QStringList &cells) {
        QStringList out;
        for (int source : sources)
            out << cells.value(source);
        return out;
    };
    for (const QStringList &row : Rows)
        result.Rows << pick(row);
    if (HasTotals())
        result.Totals = pick(Totals);
    return result;
}

QPageLayout TPrintLayout::PageLayout() const
{
    return QPageLayout(QPageSize(Paper), Orientation, Margins, QPageLayout::Millimeter);
}

QList<TPrintColumn> TPrintLayout::ColumnsFor(int detail, const TPrintTable &table) const
{
    QList<TPrintColumn> columns;
    if (detail >= 0 && detail < PrintDetailCount)
        for (const TPrintColumn &c : Columns[detail])
            if (table.Columns.contains(c.Name))
                columns << c;
    for (const QString &name : table.Columns) {
        const bool known = std::any_of(columns.cbegin(), columns.cend(),
                                       [&name](const TPrintColumn &c) { return c.Name == name; });
        if (!known)
            columns << TPrintColumn{name, QString(), true};
    }
    return columns;
}

TPrintTable TPrintLayout::Apply(int detail, const TPrintTable &table) const
{
    QList<QPair<QString, QString>> chosen;
    for (const TPrintColumn &c : ColumnsFor(detail, table))
        if (c.Visible)
            chosen.append({c.Name, c.Caption});
    return table.Select(chosen);
}

namespace {
const char *const kOrientation[] = {"portrait", "landscape"};
} // namespace

QByteArray TPrintLayout::ToJson() const
{
    QJsonObject root;
    root[QStringLiteral("paper")] = QPageSize::key(Paper);
    root[QStringLiteral("orientation")] = QLatin1String(kOrientation[Orientation == QPageLayout::Landscape]);
    root[QStringLiteral("margins")] =
        QJsonArray{Margins.left(), Margins.top(), Margins.right(), Margins.bottom()};
    QJsonArray details;
    for (const QList<TPrintColumn> &columns : Columns) {
        QJsonArray list;
        for (const TPrintColumn &c : columns)
            list.append(QJsonObject{{QStringLiteral("name"), c.Name},
                                    {QStringLiteral("caption"), c.Caption},
                                    {QStringLiteral("visible"), c.Visible}});
        details.append(list);
    }
    root[QStringLiteral("details")] = details;
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

TPrintLayout TPrintLayout::FromJson(const QByteArray &json)
{
    TPrintLayout layout;
    const QJsonObject root = QJsonDocument::fromJson(json).object();
    if (root.isEmpty())
        return layout;
    for (int id = QPageSize::Letter; id <= QPageSize::LastPageSize; ++id)
        if (QPageSize::key(QPageSize::PageSizeId(id)) == root.value(QStringLiteral("paper")).toString())
            layout.Paper = QPageSize::PageSizeId(id);
    if (root.value(QStringLiteral("orientation")).toString() == QLatin1String(kOrientation[1]))
        layout.Orientation = QPageLayout::Landscape;
    const QJsonArray margins = root.value(QStringLiteral("margins")).toArray();
    if (margins.size() == 4)
        layout.Margins = QMarginsF(margins[0].toDouble(), margins[1].toDouble(), margins[2].toDouble(),
                                   margins[3].toDouble());
    const QJsonArray details = root.value(QStringLiteral("details")).toArray();
    for (int d = 0; d < PrintDetailCount && d < details.size(); ++d)
        for (const QJsonValue &v : details[d].toArray()) {
            const QJsonObject c = v.toObject();
            layout.Columns[d].append({c.value(QStringLiteral("name")).toString(),
                                      c.value(QStringLiteral("caption")).toString(),
                                      c.value(QStringLiteral("visible")).toBool(true)});
        }
    return layout;
}

TPrintLayout TPrintLayout::Load(int printId, const QString &templateName)
{
    const QVariant json = Udlldbservice::GetValueFromSQL(
        QStringLiteral("SELECT Layout FROM T_Sys_PrintLayout WHERE PrintID = ? AND Template = ?"),
        {printId, templateName});
    return FromJson(json.toString().toUtf8());
}

void TPrintLayout::Save(int printId, const QString &templateName) const
{
    const QString json = QString::fromUtf8(ToJson());
    Udlldbservice::TTransaction transaction;
    Udlldbservice::ExecuteSQL(
        QStringLiteral("DELETE FROM T_Sys_PrintLayout WHERE PrintID = ? AND Template = ?"),
        {printId, templateName});
    Udlldbservice::ExecuteSQL(
        QStringLiteral("INSERT INTO T_Sys_PrintLayout (PrintID, Template, Layout) VALUES (?, ?, ?)"),
        {printId, templateName, json});
    transaction.Commit();
}
