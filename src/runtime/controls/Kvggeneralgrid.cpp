#include "Kvggeneralgrid.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QStandardPaths>
#include <QToolButton>

#include "ClientDataSet.h"
#include "Kvbasicfun.h"
#include "Kvgridexport.h"
#include "Udllsystemintf.h"

namespace {
constexpr int kValueRole = Qt::UserRole;       // the number behind a formatted cell
constexpr int kRawTextRole = Qt::UserRole + 1; // the value as the data gave it
constexpr int kMaxFittedWidth = 320;           // a long text does not push the other columns away
const QString kTotalsCaption = QStringLiteral("合计");

bool IsNumberKind(TGridColumnKind kind)
{
    return kind == TGridColumnKind::Quantity || kind == TGridColumnKind::Price ||
           kind == TGridColumnKind::Amount;
}

bool IsSummed(TGridColumnKind kind)
{
    return kind == TGridColumnKind::Quantity || kind == TGridColumnKind::Amount;
}

// Kind of a column from the naming the account set's queries follow.
TGridColumnKind KindOfField(const QString &fieldName)
{
    const QString f = fieldName.toLower();
    if (f.startsWith(QLatin1String("qty")) || f.endsWith(QLatin1String("qty")) || f == u"quantity")
        return TGridColumnKind::Quantity;
    if (f.contains(QLatin1String("price")))
        return TGridColumnKind::Price;
    if (f.startsWith(QLatin1String("total")) || f.endsWith(QLatin1String("total")) ||
        f.contains(QLatin1String("amount")) || f.contains(QLatin1String("money")))
        return TGridColumnKind::Amount;
    return TGridColumnKind::Text;
}

// Cells compare by their number when they carry one, so 9 sorts before 10.
class TGridItem : public QTableWidgetItem
{
public:
    using QTableWidgetItem::QTableWidgetItem;
    // Text a window writes into the cell itself (a display text such as "＋∞") replaces the value
    // the cell was loaded with: the raw text and number no longer stand for it.
    void setData(int role, const QVariant &value) override
    {
        if ((role == Qt::DisplayRole || role == Qt::EditRole) && !FLoading) {
            QTableWidgetItem::setData(kRawTextRole, QVariant());
            QTableWidgetItem::setData(kValueRole, QVariant());
        }
        QTableWidgetItem::setData(role, value);
    }
    // Sets the shown text of a loaded value, keeping its raw text and number.
    void SetLoadedText(const QString &text)
    {
        FLoading = true;
        setText(text);
        FLoading = false;
    }
    bool operator<(const QTableWidgetItem &other) const override
    {
        const QVariant a = data(kValueRole), b = other.data(kValueRole);
        if (a.isValid() && b.isValid())
            return a.toDouble() < b.toDouble();
        return QString::localeAwareCompare(text(), other.text()) < 0;
    }

private:
    bool FLoading = false;
};
} // namespace

// The 合计 row under the cells: drawn on the grid's bottom margin, column by column as the header lays
// them out, so it follows resizing, moving and scrolling.
class TKvGridFooter : public QWidget
{
public:
    explicit TKvGridFooter(TKvGGeneralGrid *grid) : QWidget(grid), FGrid(grid)
    {
        setObjectName(QStringLiteral("GridTotals"));
    }
    QStringList Texts; // per logical column; the caption sits in the first visible one

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().window());
        p.setPen(palette().color(QPalette::Mid));
        p.drawLine(0, 0, width(), 0);
        p.setPen(palette().color(QPalette::WindowText));
        QFont bold = font();
        bold.setBold(true);
        p.setFont(bold);
        const QHeaderView *header = FGrid->horizontalHeader();
        for (int logical = 0; logical < Texts.size(); ++logical) {
            if (header->isSectionHidden(logical) || Texts.at(logical).isEmpty())
                continue;
            const QRect cell(header->sectionViewportPosition(logical), 0, header->sectionSize(logical),
                             height());
            const Qt::Alignment align =
                IsNumberKind(FGrid->ColumnKind(logical)) ? Qt::AlignRight : Qt::AlignLeft;
            p.drawText(cell.adjusted(4, 0, -4, 0), align | Qt::AlignVCenter, Texts.at(logical));
        }
    }

private:
    TKvGGeneralGrid *FGrid;
};

TKvGGeneralGrid::TKvGGeneralGrid(QWidget *parent) : QTableWidget(parent), FFooter(new TKvGridFooter(this))
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    verticalHeader()->setDefaultSectionSize(25);
    FFooter->hide();
    horizontalHeader()->setSectionsClickable(true);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &TKvGGeneralGrid::SortByColumnClick);
    const auto repaintFooter = [this] { FFooter->update(); };
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int width) {
        if (!FFitting && column < FColumns.size())
            FUserWidths.insert(FColumns.at(column).FieldName.toLower(), width);
        FFooter->update();
    });
    connect(horizontalHeader(), &QHeaderView::sectionMoved, this, repaintFooter);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, repaintFooter);
    connect(this, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *changed) {
        if (changed->column() < FColumns.size() && IsSummed(ColumnKind(changed->column())))
            UpdateTotals();
    });
}

TKvGGeneralGrid::~TKvGGeneralGrid() = default;

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

TGridColumnKind TKvGGeneralGrid::ColumnKind(int column) const
{
    if (column < 0 || column >= FColumns.size())
        return TGridColumnKind::Text;
    const QString field = FColumns.at(column).FieldName;
    const TGridColumnKind kind = FKinds.value(field.toLower(), TGridColumnKind::Auto);
    return kind == TGridColumnKind::Auto ? KindOfField(field) : kind;
}

void TKvGGeneralGrid::SetColumnKind(const QString &fieldName, TGridColumnKind kind)
{
    FKinds.insert(fieldName.toLower(), kind);
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
    FSortColumn = -1;
    horizontalHeader()->setSortIndicatorShown(false);
}

int TKvGGeneralGrid::Decimals(TGridColumnKind kind)
{
    switch (kind) {
    case TGridColumnKind::Quantity:
        return 4;
    case TGridColumnKind::Amount:
        return 2;
    case TGridColumnKind::Price: {
        const int places = Udllsystemintf::SystemIntf ? Udllsystemintf::GetPubDefaultDecimal() : 4;
        return places >= 0 && places <= 8 ? places : 4;
    }
    default:
        return 0;
    }
}

QString TKvGGeneralGrid::FormatNumber(double value, int decimals)
{
    const QString plain = Kvbasicfun::FloatToStringBit(value, decimals);
    const bool negative = plain.startsWith(u'-');
    const qsizetype dot = plain.indexOf(u'.');
    const qsizetype intEnd = dot < 0 ? plain.size() : dot;
    QString digits = plain.mid(negative ? 1 : 0, intEnd - (negative ? 1 : 0));
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, u',');
    return (negative ? QStringLiteral("-") : QString()) + digits + plain.mid(intEnd);
}

void TKvGGeneralGrid::SetCell(int row, int column, const QVariant &value)
{
    auto *cell = new TGridItem;
    const QString raw = value.toString();
    cell->setData(kRawTextRole, raw);
    const TGridColumnKind kind = ColumnKind(column);
    bool isNumber = false;
    const double number = raw.trimmed().toDouble(&isNumber);
    if (IsNumberKind(kind) && isNumber) {
        cell->setData(kValueRole, number);
        cell->SetLoadedText(FormatNumber(number, Decimals(kind)));
        cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    } else {
        cell->SetLoadedText(raw);
    }
    setItem(row, column, cell);
}

void TKvGGeneralGrid::LoadFromDataSet(TClientDataSet &ds)
{
    if (FColumns.isEmpty()) {
        QList<TGridColumn> columns;
        for (const QString &name : ds.FieldNames())
            columns.append({name, name, QString(), 0, true});
        SetColumns(columns);
    }
    const QSignalBlocker quiet(this); // no itemChanged per cell; the totals follow once
    setRowCount(0);
    int row = 0;
    for (ds.First(); !ds.Eof(); ds.Next(), ++row) {
        insertRow(row);
        for (int c = 0; c < FColumns.size(); ++c)
            if (ds.HasField(FColumns.at(c).FieldName))
                SetCell(row, c, ds.FieldByName(FColumns.at(c).FieldName).Value());
    }
    if (FSortColumn >= 0)
        sortItems(FSortColumn, FSortOrder);
    if (!FFilterText.isEmpty())
        ApplyFilter(FFilterText);
    UpdateTotals();
    FitColumns();
}

QString TKvGGeneralGrid::CellText(int row, const QString &fieldName) const
{
    const int c = ColumnOfField(fieldName);
    const QTableWidgetItem *cell = c >= 0 ? item(row, c) : nullptr;
    if (!cell)
        return QString();
    const QVariant raw = cell->data(kRawTextRole);
    return raw.isValid() ? raw.toString() : cell->text();
}

bool TKvGGeneralGrid::TotalsShown() const
{
    return !FFooter->isHidden();
}

QString TKvGGeneralGrid::TotalText(const QString &fieldName) const
{
    const int c = ColumnOfField(fieldName);
    return TotalsShown() && c >= 0 && c < FFooter->Texts.size() ? FFooter->Texts.at(c) : QString();
}

void TKvGGeneralGrid::UpdateTotals()
{
    QStringList texts(FColumns.size());
    bool any = false;
    for (int c = 0; c < FColumns.size(); ++c) {
        if (!IsSummed(ColumnKind(c)))
            continue;
        double sum = 0;
        for (int r = 0; r < rowCount(); ++r) {
            const QTableWidgetItem *cell = item(r, c);
            if (cell && !isRowHidden(r))
                sum += cell->data(kValueRole).toDouble();
        }
        texts[c] =
            FormatNumber(Kvbasicfun::FloatToFloatBit(sum, Decimals(ColumnKind(c))), Decimals(ColumnKind(c)));
        any = any || !isColumnHidden(c);
    }
    for (int c = 0; c < FColumns.size(); ++c)
        if (!isColumnHidden(c)) {
            // The caption takes the first visible column unless that one is summed.
            if (texts[c].isEmpty())
                texts[c] = kTotalsCaption;
            break;
        }
    FFooter->Texts = texts;
    const bool show = any && rowCount() > 0;
    FFooter->setVisible(show);
    updateGeometries();
    FFooter->update();
}

void TKvGGeneralGrid::updateGeometries()
{
    // The table lays out its headers in the viewport margins; the 合计 row takes the bottom one.
    QTableWidget::updateGeometries();
    const int footerHeight = verticalHeader()->defaultSectionSize();
    QMargins margins = viewportMargins();
    if (margins.bottom() != (FFooter->isHidden() ? 0 : footerHeight)) {
        margins.setBottom(FFooter->isHidden() ? 0 : footerHeight);
        setViewportMargins(margins);
    }
    const QRect area = viewport()->geometry();
    FFooter->setGeometry(area.left(), area.bottom() + 1, area.width(), footerHeight);
}

void TKvGGeneralGrid::FitColumns()
{
    // Every row counts, not only those a not yet shown grid would have on screen.
    constexpr int kPadding = 14;
    constexpr int kMeasuredRows = 2000;
    const QFontMetrics cells(font());
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics totals(bold);
    FFitting = true;
    for (int c = 0; c < columnCount(); ++c) {
        if (isColumnHidden(c))
            continue;
        const int chosen = c < FColumns.size() ? FUserWidths.value(FColumns.at(c).FieldName.toLower()) : 0;
        if (chosen > 0) {
            setColumnWidth(c, chosen);
            continue;
        }
        int width = horizontalHeader()->sectionSizeHint(c);
        for (int r = 0; r < rowCount() && r < kMeasuredRows; ++r)
            if (const QTableWidgetItem *cell = item(r, c))
                width = std::max(width, cells.horizontalAdvance(cell->text()) + kPadding);
        if (c < FFooter->Texts.size())
            width = std::max(width, totals.horizontalAdvance(FFooter->Texts.at(c)) + kPadding);
        setColumnWidth(c, std::min(width, kMaxFittedWidth));
    }
    FFitting = false;
}

QHash<QString, int> TKvGGeneralGrid::ColumnWidths() const
{
    // Only what the user chose: the other columns fit their content again next time.
    QHash<QString, int> widths;
    for (const TGridColumn &c : FColumns)
        if (const int width = FUserWidths.value(c.FieldName.toLower()); width > 0)
            widths.insert(c.FieldName, width);
    return widths;
}

void TKvGGeneralGrid::SetColumnWidths(const QHash<QString, int> &widths)
{
    for (auto it = widths.begin(); it != widths.end(); ++it) {
        if (it.value() <= 0)
            continue;
        FUserWidths.insert(it.key().toLower(), it.value());
        const int c = ColumnOfField(it.key());
        if (c >= 0) {
            FFitting = true;
            setColumnWidth(c, it.value());
            FFitting = false;
        }
    }
}

QSize TKvGGeneralGrid::sizeHint() const
{
    // Wide enough for the visible columns, tall enough for a screenful of rows.
    int width = 2 * frameWidth() + verticalHeader()->width() + verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < columnCount(); ++c)
        if (!isColumnHidden(c))
            width += columnWidth(c);
    const int rows = std::clamp(rowCount(), 8, 20) + (TotalsShown() ? 1 : 0);
    const int height =
        2 * frameWidth() + horizontalHeader()->height() + rows * verticalHeader()->defaultSectionSize();
    return {std::max(width, QTableWidget::sizeHint().width()), height};
}

void TKvGGeneralGrid::SortByColumnClick(int column)
{
    if (column < 0 || column >= columnCount())
        return;
    FSortOrder =
        column == FSortColumn && FSortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    FSortColumn = column;
    horizontalHeader()->setSortIndicatorShown(true);
    horizontalHeader()->setSortIndicator(column, FSortOrder);
    sortItems(column, FSortOrder);
    // Hidden rows are marked by position: the filter is laid on the new order again.
    if (!FFilterText.isEmpty())
        ApplyFilter(FFilterText);
}

TKvGGeneralGrid::TTable TKvGGeneralGrid::VisibleTable() const
{
    TTable table;
    QList<int> columns;
    const QHeaderView *header = horizontalHeader();
    for (int v = 0; v < header->count(); ++v) {
        const int c = header->logicalIndex(v);
        if (c < 0 || isColumnHidden(c))
            continue;
        columns << c;
        const QTableWidgetItem *title = horizontalHeaderItem(c);
        table.Titles << (title ? title->text() : QString());
        table.Kinds << ColumnKind(c);
    }
    for (int r = 0; r < rowCount(); ++r) {
        if (isRowHidden(r))
            continue;
        QVariantList row;
        for (int c : std::as_const(columns)) {
            const QTableWidgetItem *cell = item(r, c);
            const QVariant number = cell ? cell->data(kValueRole) : QVariant();
            row << (number.isValid() ? number : QVariant(cell ? cell->text() : QString()));
        }
        table.Rows << row;
    }
    if (TotalsShown()) {
        QVariantList totals;
        for (int c : std::as_const(columns)) {
            const QString text = FFooter->Texts.value(c);
            totals << (IsSummed(ColumnKind(c)) ? QVariant(QString(text).remove(u',').toDouble())
                                               : QVariant(text));
        }
        table.Rows << totals;
        table.HasTotals = true;
    }
    return table;
}

bool TKvGGeneralGrid::ExportToXlsx(const QString &fileName, QString *error) const
{
    const QString sheet = FPrintTitle.isEmpty() ? FTitle : FPrintTitle;
    return Kvgridexport::WriteXlsx(fileName, sheet, VisibleTable(), error);
}

bool TKvGGeneralGrid::ExportToCsv(const QString &fileName, QString *error) const
{
    return Kvgridexport::WriteCsv(fileName, VisibleTable(), error);
}

QString TKvGGeneralGrid::SelectedText() const
{
    const QModelIndexList selected = selectedIndexes();
    if (selected.isEmpty())
        return QString();
    // Rows and columns as the user sees them, hidden columns left out.
    QList<int> rows, columns;
    for (const QModelIndex &i : selected) {
        if (isColumnHidden(i.column()) || isRowHidden(i.row()))
            continue;
        if (!rows.contains(i.row()))
            rows << i.row();
        if (!columns.contains(i.column()))
            columns << i.column();
    }
    const auto byVisualRow = [this](int a, int b) { return visualRow(a) < visualRow(b); };
    const auto byVisualColumn = [this](int a, int b) { return visualColumn(a) < visualColumn(b); };
    std::sort(rows.begin(), rows.end(), byVisualRow);
    std::sort(columns.begin(), columns.end(), byVisualColumn);
    QStringList lines;
    for (int r : std::as_const(rows)) {
        QStringList cells;
        for (int c : std::as_const(columns)) {
            const QTableWidgetItem *cell = item(r, c);
            cells << (cell && selectionModel()->isSelected(model()->index(r, c)) ? cell->text() : QString());
        }
        lines << cells.join(u'\t');
    }
    return lines.join(u'\n');
}

void TKvGGeneralGrid::CopySelection() const
{
    const QString text = SelectedText();
    if (!text.isEmpty())
        QApplication::clipboard()->setText(text);
}

void TKvGGeneralGrid::ExportWithDialog(bool xlsx)
{
    const QString title = FPrintTitle.isEmpty() ? FTitle : FPrintTitle;
    const QString base = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + u'/' +
                         (title.isEmpty() ? QStringLiteral("表格") : title);
    const QString file =
        xlsx ? QFileDialog::getSaveFileName(this, QStringLiteral("导出到Excel"),
                                            base + QStringLiteral(".xlsx"),
                                            QStringLiteral("Excel 工作簿 (*.xlsx)"))
             : QFileDialog::getSaveFileName(this, QStringLiteral("导出为CSV"), base + QStringLiteral(".csv"),
                                            QStringLiteral("CSV 文件 (*.csv)"));
    if (file.isEmpty())
        return;
    QString error;
    if (!(xlsx ? ExportToXlsx(file, &error) : ExportToCsv(file, &error)))
        Kvgridexport::ShowExportError(this, error);
}

void TKvGGeneralGrid::keyPressEvent(QKeyEvent *event)
{
    if (event == QKeySequence::Copy && state() != QAbstractItemView::EditingState) {
        CopySelection();
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

void TKvGGeneralGrid::contextMenuEvent(QContextMenuEvent *event)
{
    // The window's own actions on the grid (insert and delete rows, ...) come first.
    QMenu menu(this);
    menu.addActions(actions());
    if (!actions().isEmpty())
        menu.addSeparator();
    QAction *copy = menu.addAction(QStringLiteral("复制"), this, &TKvGGeneralGrid::CopySelection);
    copy->setShortcut(QKeySequence::Copy);
    copy->setEnabled(!selectedIndexes().isEmpty());
    menu.addSeparator();
    menu.addAction(QStringLiteral("导出到Excel..."), this, [this] { ExportWithDialog(true); });
    menu.addAction(QStringLiteral("导出为CSV..."), this, [this] { ExportWithDialog(false); });
    menu.exec(event->globalPos());
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
    UpdateTotals();
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

QToolButton *CreateGridExportButton(QWidget *parent, std::function<TKvGGeneralGrid *()> grid)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QStringLiteral("btnGridExport"));
    button->setText(QStringLiteral("导出"));
    button->setPopupMode(QToolButton::InstantPopup);
    auto *menu = new QMenu(button);
    const auto exportTo = [grid](bool xlsx) {
        if (TKvGGeneralGrid *g = grid())
            g->ExportWithDialog(xlsx);
    };
    menu->addAction(QStringLiteral("导出到Excel..."), button, [exportTo] { exportTo(true); });
    menu->addAction(QStringLiteral("导出为CSV..."), button, [exportTo] { exportTo(false); });
    button->setMenu(menu);
    return button;
}

QList<TGridColumn> GridColumns(std::initializer_list<std::pair<const char *, const char *>> fields)
{
    QList<TGridColumn> columns;
    for (const auto &[field, caption] : fields) {
        TGridColumn c;
        c.FieldName = QLatin1String(field);
        c.Caption = QString::fromUtf8(caption);
        c.Visible = *caption != '\0';
        columns << c;
    }
    return columns;
}
