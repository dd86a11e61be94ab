#pragma once
// The general grids of the framework: a table of columns bound to dataset fields, with a title, a print
// title, free-item columns (numbered 1..16 by the bill type's layout), a text filter and locate.
// TKvGGeneralWGrid is the editable ("W") family; the window's paste guard watches it.
//
// What every window gets from the grid: numbers right-aligned with the account set's decimals for
// quantities, prices and amounts and thousands separators; a 合计 row under the columns that are summed;
// columns sized to their content; sorting by a click on a title; Ctrl+C copies the selected cells; and
// the pop-up menu exports the visible columns, titles and totals to Excel (.xlsx) or CSV.

#include <QHash>
#include <QList>
#include <QTableWidget>
#include <functional>
#include <initializer_list>
#include <utility>

#include "quillcmrunstd_export.h"

class TClientDataSet;
class TKvGridFooter;
class QToolButton;

// What a column holds. Auto takes the kind from the field name (Qty…, Price…, Total/Amount/Money…);
// quantities and amounts are summed in the 合计 row.
enum class TGridColumnKind { Auto, Text, Quantity, Price, Amount };

struct TGridColumn
{
    QString FieldName;
    QString Caption;
    QString PrintName;    // empty: the caption is printed
    int FreeDomIndex = 0; // 1..16 for a free-item column of the bill type, 0 otherwise
    bool Visible = true;
};

// Columns from field and caption pairs (UTF-8 captions); an empty caption keeps the column hidden.
QUILLCMRUNSTD_EXPORT QList<TGridColumn>
GridColumns(std::initializer_list<std::pair<const char *, const char *>> fields);

class QUILLCMRUNSTD_EXPORT TKvGGeneralGrid : public QTableWidget
{
    Q_OBJECT
public:
    explicit TKvGGeneralGrid(QWidget *parent = nullptr);
    ~TKvGGeneralGrid() override;

    QString Title() const { return FTitle; }
    void SetTitle(const QString &title) { FTitle = title; }
    QString PrintTitle() const { return FPrintTitle; }
    void SetPrintTitle(const QString &title) { FPrintTitle = title; }
    // The KOVA product line draws the grid in its own colours.
    bool IsKOVA() const { return FKOVA; }
    void SetCMKOVAVersion(bool kova) { FKOVA = kova; }

    // Columns; loading a dataset without columns takes every field as a column.
    void SetColumns(const QList<TGridColumn> &columns);
    void AddColumn(const TGridColumn &column);
    const QList<TGridColumn> &Columns() const { return FColumns; }
    int ColumnOfField(const QString &fieldName) const; // -1 when absent
    // Retitles the column with that free-item index; false when the grid has none.
    bool SetFreeDomCaption(int freeDomIndex, const QString &caption);
    // The kind the column's numbers are shown as: as set for its field, else from the field name.
    TGridColumnKind ColumnKind(int column) const;
    void SetColumnKind(const QString &fieldName, TGridColumnKind kind);

    // Replaces the rows with the dataset's rows from its first record; the cursor is left at Eof.
    void LoadFromDataSet(TClientDataSet &ds);
    // The cell's value as the data gave it (numbers without separators), whatever the display.
    QString CellText(int row, const QString &fieldName) const;

    // Decimals numbers are shown with: quantities and amounts as the system keeps them, prices with
    // the account set's price decimals.
    static int Decimals(TGridColumnKind kind);
    // A number with fixed decimals and thousands separators ("-1,234.50"), never "-0.00".
    static QString FormatNumber(double value, int decimals);

    // The 合计 row: shown when a column is summed and the grid has rows; its text per field.
    bool TotalsShown() const;
    QString TotalText(const QString &fieldName) const;

    // The grid as a table a person reads: visible columns in their order, titles first, the rows
    // shown (filtered and sorted) and the 合计 row last. Numbers stay numbers.
    struct TTable
    {
        QStringList Titles;
        QList<TGridColumnKind> Kinds;
        QList<QVariantList> Rows; // a number is a double, anything else a string
        bool HasTotals = false;   // the last row is the 合计 row
    };
    TTable VisibleTable() const;
    // Writes the visible table; false with the reason in error. The file is the owner's only.
    bool ExportToXlsx(const QString &fileName, QString *error = nullptr) const;
    bool ExportToCsv(const QString &fileName, QString *error = nullptr) const;
    // The selected cells as tab-separated lines (what Ctrl+C puts on the clipboard).
    QString SelectedText() const;
    void CopySelection() const;
    // Asks for a file and exports to it (the pop-up menu's 导出到Excel / 导出为CSV).
    void ExportWithDialog(bool xlsx);
    // Sorts the rows by the column, as a click on its title does (a second click reverses).
    void SortByColumnClick(int column);

    // Shows only the rows with a cell containing the text (case-insensitive); empty text shows all.
    void ApplyFilter(const QString &text);
    QString FilterText() const { return FFilterText; }
    // Selects the next visible row after the current one (wrapping) with a cell containing the text.
    bool Locate(const QString &text);
    // The grid's filter and locate dialogs: ask for the text, then filter / locate.
    void ShowFilterDialog();
    void ShowLocateDialog();

    // Column widths by field name that the user chose; kept over later loads (the window remembers
    // them per operator). Columns the user did not touch fit their content.
    QHash<QString, int> ColumnWidths() const;
    void SetColumnWidths(const QHash<QString, int> &widths);

    QSize sizeHint() const override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void updateGeometries() override;

private:
    void RebuildHeader();
    bool RowContains(int row, const QString &text) const;
    void SetCell(int row, int column, const QVariant &value);
    void UpdateTotals();
    void FitColumns();

    QString FTitle, FPrintTitle, FFilterText;
    bool FKOVA = false;
    QList<TGridColumn> FColumns;
    TKvGridFooter *FFooter;
    QHash<QString, TGridColumnKind> FKinds; // lower-case field name -> kind set by the window
    QHash<QString, int> FUserWidths;        // lower-case field name -> width the user chose
    bool FFitting = false;
    int FSortColumn = -1;
    Qt::SortOrder FSortOrder = Qt::AscendingOrder;
};

class QUILLCMRUNSTD_EXPORT TKvGGeneralWGrid : public TKvGGeneralGrid
{
    Q_OBJECT
public:
    explicit TKvGGeneralWGrid(QWidget *parent = nullptr);
};

// The query windows' tool button "导出" (object name btnGridExport): 导出到Excel / 导出为CSV of the grid
// the function gives at the time of the click.
QUILLCMRUNSTD_EXPORT QToolButton *CreateGridExportButton(QWidget *parent,
                                                         std::function<TKvGGeneralGrid *()> grid);
