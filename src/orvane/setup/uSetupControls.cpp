#include "uSetupControls.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHeaderView>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "uIniConfigCore.h"

namespace uSetupControls {

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

QGroupBox *NewVoucherTypeBox(QWidget *parent, QButtonGroup **buttons)
{
    auto *box = new QGroupBox(uIniConfigCore::Caption(3242), parent);
    box->setObjectName(QStringLiteral("grgTypeList"));
    *buttons = new QButtonGroup(box);
    auto *layout = new QVBoxLayout(box);
    const QStringList words = {QStringLiteral("记"), QStringLiteral("收、付、转"),
                               QStringLiteral("现收、现付、银收、银付、转")};
    for (int i = 0; i < words.size(); ++i) {
        auto *radio = new QRadioButton(words[i], box);
        radio->setObjectName(QStringLiteral("rbTypeList%1").arg(i + 1));
        (*buttons)->addButton(radio, i);
        layout->addWidget(radio);
    }
    return box;
}

} // namespace uSetupControls
