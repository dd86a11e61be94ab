#include "uCodeLengthGrid.h"

#include <QHeaderView>
#include <QTableWidget>

#include "uIniConfigCore.h"

namespace uCodeLengthGrid {

QTableWidgetItem *Cell(const QString &text, bool editable)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    if (!editable)
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

QTableWidget *NewGrid(QWidget *parent)
{
    using uIniConfigCore::Caption;
    auto *grid = new QTableWidget(2, kColumns, parent);
    grid->setObjectName(QStringLiteral("AtypeLen_SpGrid"));
    grid->horizontalHeader()->setVisible(false);
    grid->verticalHeader()->setVisible(false);
    grid->setColumnWidth(0, 110);
    for (int c = 1; c < kColumns; ++c)
        grid->setColumnWidth(c, 28);
    grid->setRowHeight(0, 80);
    grid->setRowHeight(1, 17);
    grid->setItem(0, 0, Cell(Caption(1353), false));
    for (int c = 1; c < kColumns; ++c)
        grid->setItem(0, c, Cell(Caption(3246 + c).replace(QLatin1String("%s"), QLatin1String("\n")), false));
    const QStringList fixed = {Caption(3259), QStringLiteral("9"),
                               QString::number(uIniConfigCore::kMaxTotalLength),
                               QString::number(uIniConfigCore::kMaxLevelLength)};
    for (int c = 0; c < kColumns; ++c)
        grid->setItem(1, c, Cell(fixed.value(c), false));
    return grid;
}

void SetLengths(QTableWidget *grid, const QStringList &levels, bool editable)
{
    for (int level = 1; level <= uIniConfigCore::kLevels; ++level)
        grid->setItem(1, kFirstLevelColumn + level - 1, Cell(levels.value(level - 1), editable));
}

QStringList Lengths(const QTableWidget *grid)
{
    QStringList levels;
    for (int c = kFirstLevelColumn; c < kColumns; ++c)
        levels << grid->item(1, c)->text();
    return levels;
}

} // namespace uCodeLengthGrid
