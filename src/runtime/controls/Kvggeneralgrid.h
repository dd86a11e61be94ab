#pragma once
// The general grids of the framework: a table of columns bound to dataset fields, with a title, a print
// title, free-item columns (numbered 1..16 by the bill type's layout), a text filter and locate.
// TKvGGeneralWGrid is the editable ("W") family; the window's paste guard watches it.

#include <QList>
#include <QTableWidget>

#include "quillcmrunstd_export.h"

class TClientDataSet;

struct TGridColumn
{
    QString FieldName;
    QString Caption;
    QString PrintName;    // empty: the caption is printed
    int FreeDomIndex = 0; // 1..16 for a free-item column of the bill type, 0 otherwise
    bool Visible = true;
};

class QUILLCMRUNSTD_EXPORT TKvGGeneralGrid : public QTableWidget
{
    Q_OBJECT
public:
    explicit TKvGGeneralGrid(QWidget *parent = nullptr);

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

    // Replaces the rows with the dataset's rows from its first record; the cursor is left at Eof.
    void LoadFromDataSet(TClientDataSet &ds);
    QString CellText(int row, const QString &fieldName) const;

    // Shows only the rows with a cell containing the text (case-insensitive); empty text shows all.
    void ApplyFilter(const QString &text);
    QString FilterText() const { return FFilterText; }
    // Selects the next visible row after the current one (wrapping) with a cell containing the text.
    bool Locate(const QString &text);
    // The grid's filter and locate dialogs: ask for the text, then filter / locate.
    void ShowFilterDialog();
    void ShowLocateDialog();

private:
    void RebuildHeader();
    bool RowContains(int row, const QString &text) const;

    QString FTitle, FPrintTitle, FFilterText;
    bool FKOVA = false;
    QList<TGridColumn> FColumns;
};

class QUILLCMRUNSTD_EXPORT TKvGGeneralWGrid : public TKvGGeneralGrid
{
    Q_OBJECT
public:
    explicit TKvGGeneralWGrid(QWidget *parent = nullptr);
};
