#include "Kvggeneralgrid.h"

#include <QHeaderView>
#include <QInputDialog>

#include "ClientDataSet.h"

TKvGGeneralGrid::TKvGGeneralGrid(QWidget *parent) : QTableWidget(parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    verticalHeader()->setDefaultSectionSize(25);
}

void TKvGGeneralGrid::SetColumns(const QList<TGridColumn> &columns)
{
    FColumns = columns;
    RebuildHeader();
}

void TKvGGeneralGrid::AddColumn(const TGridColumn &column)
{
    FColumns.append(column);
    RebuildHeader();
}

int TKvGGeneralGrid::ColumnOfField(const QString &fieldName) const
{
    for (int i = 0; i < FColumns.size(); ++i)
        if (FColumns.at(i).FieldName.compare(fieldName, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool TKvGGeneralGrid::SetFreeDomCaption(int freeDomIndex, const QString &caption)
{
    bool found = false;
    for (int i = 0; i < FColumns.size(); ++i)
        if (FColumns.at(i).FreeDomIndex == freeDomIndex) {
            FColumns[i].Caption = caption;
            found = true;
        }
    if (found)
        RebuildHeader();
    return found;
}

void TKvGGeneralGrid::RebuildHeader()
{
    setColumnCount(FColumns.size());
    QStringList captions;
    for (int i = 0; i < FColumns.size(); ++i) {
        captions << FColumns.at(i).Caption;
        setColumnHidden(i, !FColumns.at(i).Visible);
    }
    setHorizontalHeaderLabels(captions);
}

void TKvGGeneralGrid::LoadFromDataSet(TClientDataSet &ds)
{
    if (FColumns.isEmpty()) {
        QList<TGridColumn> columns;
        for (const QString &name : ds.FieldNames())
            columns.append({name, name, QString(), 0, true});
        SetColumns(columns);
    }
    setRowCount(0);
    int row = 0;
    for (ds.First(); !ds.Eof(); ds.Next(), ++row) {
        insertRow(row);
        for (int c = 0; c < FColumns.size(); ++c)
            if (ds.HasField(FColumns.at(c).FieldName))
                setItem(row, c, new QTableWidgetItem(ds.FieldByName(FColumns.at(c).FieldName).AsString()));
    }
    if (!FFilterText.isEmpty())
        ApplyFilter(FFilterText);
}

QString TKvGGeneralGrid::CellText(int row, const QString &fieldName) const
{
    const int c = ColumnOfField(fieldName);
    const QTableWidgetItem *cell = c >= 0 ? item(row, c) : nullptr;
    return cell ? cell->text() : QString();
}

bool TKvGGeneralGrid::RowContains(int row, const QString &text) const
{
    for (int c = 0; c < columnCount(); ++c) {
        const QTableWidgetItem *cell = item(row, c);
        if (cell && !isColumnHidden(c) && cell->text().contains(text, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

void TKvGGeneralGrid::ApplyFilter(const QString &text)
{
    FFilterText = text;
    for (int r = 0; r < rowCount(); ++r)
        setRowHidden(r, !text.isEmpty() && !RowContains(r, text));
}

bool TKvGGeneralGrid::Locate(const QString &text)
{
    const int n = rowCount();
    if (n == 0 || text.isEmpty())
        return false;
    const int start = currentRow();
    for (int step = 1; step <= n; ++step) {
        const int r = (start + step + n) % n;
        if (!isRowHidden(r) && RowContains(r, text)) {
            setCurrentCell(r, currentColumn() < 0 ? 0 : currentColumn());
            selectRow(r);
            return true;
        }
    }
    return false;
}

void TKvGGeneralGrid::ShowFilterDialog()
{
    bool ok = false;
    const QString text = QInputDialog::getText(this, QStringLiteral("过滤"), QStringLiteral("包含文字："),
                                               QLineEdit::Normal, FFilterText, &ok);
    if (ok)
        ApplyFilter(text.trimmed());
}

void TKvGGeneralGrid::ShowLocateDialog()
{
    bool ok = false;
    const QString text = QInputDialog::getText(this, QStringLiteral("定位"), QStringLiteral("查找文字："),
                                               QLineEdit::Normal, QString(), &ok);
    if (ok)
        Locate(text.trimmed());
}

TKvGGeneralWGrid::TKvGGeneralWGrid(QWidget *parent) : TKvGGeneralGrid(parent)
{
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
}
