#pragma once
// The account code-length grid shared by the set-up wizard and the account options: a caption row and
// one row of values — the row's caption, the level count, the longest code, the longest level, then
// the lengths of levels 1..9.

#include <QStringList>

class QTableWidget;
class QTableWidgetItem;
class QWidget;

namespace uCodeLengthGrid {

constexpr int kFirstLevelColumn = 4;
constexpr int kColumns = 13;

QTableWidgetItem *Cell(const QString &text, bool editable);
// A new grid named "AtypeLen_SpGrid" with its captions and fixed cells.
QTableWidget *NewGrid(QWidget *parent);
// Puts the nine level lengths into the grid.
void SetLengths(QTableWidget *grid, const QStringList &levels, bool editable);
// The nine level texts as typed.
QStringList Lengths(const QTableWidget *grid);

} // namespace uCodeLengthGrid
