#pragma once
// The bill lists of the export windows: their columns, and the tick column "checked" where a click on
// the cell or the space key toggles the row and the select-all box ticks or clears every row.

#include <QList>

#include "Kvggeneralgrid.h"

class QCheckBox;
class TKvGGeneralGrid;

namespace uBillIoList {

// Wires the grid and its select-all box once, after the grid has its columns.
void Connect(TKvGGeneralGrid *grid, QCheckBox *selectAll);
// After each load: every row unticked, the select-all box cleared.
void Reset(TKvGGeneralGrid *grid, QCheckBox *selectAll);
void SetTicked(TKvGGeneralGrid *grid, int row, bool ticked);
bool Ticked(const TKvGGeneralGrid *grid, int row);
// Ticked rows in grid order.
QList<int> TickedRows(const TKvGGeneralGrid *grid);

} // namespace uBillIoList
