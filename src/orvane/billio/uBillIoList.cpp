#include "uBillIoList.h"

#include <QCheckBox>
#include <QKeyEvent>

#include "Kvggeneralgrid.h"

namespace uBillIoList {

namespace {

QTableWidgetItem *TickItem(const TKvGGeneralGrid *grid, int row)
{
    return grid->item(row, grid->ColumnOfField(QStringLiteral("checked")));
}

void Toggle(TKvGGeneralGrid *grid, int row)
{
    if (row >= 0 && row < grid->rowCount())
        SetTicked(grid, row, !Ticked(grid, row));
}

// The space key on the grid acts as a click on the current row's tick.
class TSpaceToggles : public QObject
{
public:
    explicit TSpaceToggles(TKvGGeneralGrid *grid) : QObject(grid), FGrid(grid) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Space) {
            Toggle(FGrid, FGrid->currentRow());
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    TKvGGeneralGrid *FGrid;
};

} // namespace

void Connect(TKvGGeneralGrid *grid, QCheckBox *selectAll)
{
    QObject::connect(grid, &QTableWidget::cellClicked, grid, [grid](int row, int column) {
        if (column == grid->ColumnOfField(QStringLiteral("checked")))
            Toggle(grid, row);
    });
    grid->installEventFilter(new TSpaceToggles(grid));
    QObject::connect(selectAll, &QCheckBox::clicked, grid, [grid](bool on) {
        for (int row = 0; row < grid->rowCount(); ++row)
            SetTicked(grid, row, on);
    });
}

void Reset(TKvGGeneralGrid *grid, QCheckBox *selectAll)
{
    for (int row = 0; row < grid->rowCount(); ++row) {
        if (QTableWidgetItem *item = TickItem(grid, row)) {
            item->setText(QString());
            // The window toggles the tick itself, on the whole cell.
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        }
        SetTicked(grid, row, false);
    }
    selectAll->setChecked(false);
}

void SetTicked(TKvGGeneralGrid *grid, int row, bool ticked)
{
    if (QTableWidgetItem *item = TickItem(grid, row))
        item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

bool Ticked(const TKvGGeneralGrid *grid, int row)
{
    const QTableWidgetItem *item = TickItem(grid, row);
    return item && item->checkState() == Qt::Checked;
}

QList<int> TickedRows(const TKvGGeneralGrid *grid)
{
    QList<int> rows;
    for (int row = 0; row < grid->rowCount(); ++row)
        if (Ticked(grid, row))
            rows << row;
    return rows;
}

} // namespace uBillIoList
