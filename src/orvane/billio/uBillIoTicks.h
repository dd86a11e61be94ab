#pragma once
// The tick column "checked" of the bill lists of the export windows: a click on the cell or the space
// key toggles the row, the select-all box ticks or clears every row.

#include <QList>

class QCheckBox;
class TKvGGeneralGrid;

namespace uBillIoTicks {

// Wires the grid and its select-all box once, after the grid has its columns.
void Connect(TKvGGeneralGrid *grid, QCheckBox *selectAll);
// After each load: every row unticked, the select-all box cleared.
void Reset(TKvGGeneralGrid *grid, QCheckBox *selectAll);
void SetTicked(TKvGGeneralGrid *grid, int row, bool ticked);
bool Ticked(const TKvGGeneralGrid *grid, int row);
// Ticked rows in grid order.
QList<int> TickedRows(const TKvGGeneralGrid *grid);

} // namespace uBillIoTicks
