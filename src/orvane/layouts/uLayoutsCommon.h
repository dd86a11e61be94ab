#pragma once
// Routines shared by the bill layout windows: the bill-type tree, the plug-in test, the column number
// families, the display-name check and the choice of a target bill type.

#include <QString>

class QTreeWidget;
class QTreeWidgetItem;

namespace uLayoutsCommon {
// Roles of a bill-type tree node: bill type (0 for the root and the folders) and type id.
inline constexpr int VchtypeRole = 0x0100; // Qt::UserRole
inline constexpr int TypeIdRole = 0x0101;

// Custom columns: free items 41-45, 80-84, 111-117 and the custom columns 3 and 4 (125, 126).
bool IsCustomColumn(int columnNo);
// The custom columns 41-45 and 80-84, which may carry a free-text formula.
bool IsTextFormulaColumn(int columnNo);
// Columns whose values a column formula may compute.
bool IsFormulaColumn(int columnNo);

// A bill type that a plug-in adds (not one of the system's own).
bool IsPlugInVchtype(int vchType);
// The bill type's name, the system's or the plug-in's.
QString BillName(int vchType);
// The column table of a bill type: "T_Jxc_VchColumn" or the plug-in one.
QString ColumnTable(int vchType);

// The message refusing a display name; empty when the name may be used. Header custom fields have their
// own texts and a limit of 12 characters, other fields 40.
QString NameProblem(const QString &name, bool headerCustomField);

// Fills the tree with the root ("00000", "rootName") and the rows of GetVchtype that pass the filter text
// (conditions each ending in "and "); with plug-ins, the plug-in bill types that may be set up follow.
// The root is selected.
void LoadVchtypeTree(QTreeWidget *tree, const QString &rootName, const QString &filters, bool withPlugIns);
int NodeVchtype(const QTreeWidgetItem *item);

// Asks the host for a bill type; false when the user chose none.
bool SelectVchtype(int &vchType, QString &name);
} // namespace uLayoutsCommon
