#pragma once
// Controls the set-up wizard and the account options share: the account code-length grid (a caption
// row and one row of values — the row's caption, the level count, the longest code, the longest level,
// then the lengths of levels 1..9) and the voucher-word group.

#include <QStringList>

class QButtonGroup;
class QGroupBox;
class QTableWidget;
class QTableWidgetItem;
class QWidget;

namespace uSetupControls {

constexpr int kFirstLevelColumn = 4;
constexpr int kColumns = 13;

QTableWidgetItem *Cell(const QString &text, bool editable);
// A new grid named "AtypeLen_SpGrid" with its captions and fixed cells.
QTableWidget *NewGrid(QWidget *parent);
// Puts the nine level lengths into the grid.
void SetLengths(QTableWidget *grid, const QStringList &levels, bool editable);
// The nine level texts as typed.
QStringList Lengths(const QTableWidget *grid);

// The voucher-word group "grgTypeList" with its three choices (button ids 0..2 = group number - 1)
// in a new button group owned by the box.
QGroupBox *NewVoucherTypeBox(QWidget *parent, QButtonGroup **buttons);

} // namespace uSetupControls
