#include "Kvprintengine.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <numeric>

namespace {

const QString kCjkFamily = QStringLiteral("WenQuanYi Micro Hei");
constexpr qreal kTitlePoints = 15;
constexpr qreal kTextPoints = 9;
constexpr qreal kFooterPoints = 8;
constexpr int kHeaderColumns = 3; // header lines are laid out three to a line

// A page is a list of things to paint at a height; the layout pass makes them, the paint pass draws.
struct TItem
{
    enum Kind { Title, HeaderLine, Caption, ColumnTitles, Row, Totals } kind;
    int table = 0;
    int index = 0; // header line, or row
    qreal y = 0;
};
using TPage = QList<TItem>;

bool IsNumber(const QString &text)
{
    bool ok = false;
    text.trimmed().toDouble(&ok);
    return ok;
}

// Column widths of a table: the natural width of titles and cells, shrunk in proportion to fit.
QList<qreal> ColumnWidths(const TPrintTable &table, const QFontMetricsF &text, const QFontMetricsF &bold,
                          qreal pageWidth, qreal padding)
{
    QList<qreal> widths;
    for (int c = 0; c < table.Columns.size(); ++c) {
        qreal w = bold.horizontalAdvance(table.Columns[c]);
        for (const QStringList &row : table.Rows)
            w = std::max(w, text.horizontalAdvance(row.value(c)));
        if (table.HasTotals())
            w = std::max(w, bold.horizontalAdvance(table.Totals.value(c)));
        widths << w + 2 * padding;
    }
    const qreal total = std::accumulate(widths.cbegin(), widths.cend(), qreal(0));
    if (total > pageWidth)
        for (qreal &w : widths)
            w = w * pageWidth / total;
    return widths;
}

class TPagePainter
{
public:
    TPagePainter(const TKvPrintEngine &engine, QPagedPaintDevice *device)
        : FEngine(engine), FDevice(device), FText(TKvPrintEngine::PrintFont(kTextPoints)),
          FBold(TKvPrintEngine::PrintFont(kTextPoints, true)),
          FTitleFont(TKvPrintEngine::PrintFont(kTitlePoints, true)),
          FFooter(TKvPrintEngine::PrintFont(kFooterPoints)), FTextMetrics(FText, device),
          FBoldMetrics(FBold, device), FTitleMetrics(FTitleFont, device), FFooterMetrics(FFooter, device)
    {
        FWidth = device->width();
        FRowHeight = FTextMetrics.height() * 1.6;
        FPadding = FTextMetrics.averageCharWidth() * 0.6;
        FBottom = device->height() - FFooterMetrics.height() * 2;
        for (int t = 0; t < PrintDetailCount; ++t)
            FWidths[t] = ColumnWidths(Table(t), FTextMetrics, FBoldMetrics, FWidth, FPadding);
    }

    QList<TPage> Layout() const
    {
        QList<TPage> pages{TPage()};
        qreal y = 0;
        const auto place = [&](TItem item, qreal height) {
            if (y + height > FBottom && !pages.last().isEmpty()) {
                pages.append(TPage());
                y = 0;
                // A table that goes on repeats its column titles first.
                if (item.kind == TItem::Row || item.kind == TItem::Totals) {
                    pages.last().append({TItem::ColumnTitles, item.table, 0, y});
                    y += FRowHeight;
                }
            }
            item.y = y;
            pages.last().append(item);
            y += height;
        };
        if (!FEngine.Title().isEmpty())
            place({TItem::Title}, FTitleMetrics.height() * 1.8);
        const int headerLines = (FEngine.Header().size() + kHeaderColumns - 1) / kHeaderColumns;
        for (int line = 0; line < headerLines; ++line)
            place({TItem::HeaderLine, 0, line}, FTextMetrics.height() * 1.5);
        const bool several = Visible().size() > 1;
        for (int t : Visible()) {
            y += FRowHeight * 0.5;
            if (several && !Table(t).Title.isEmpty())
                place({TItem::Caption, t}, FRowHeight);
            place({TItem::ColumnTitles, t}, FRowHeight);
            for (int r = 0; r < Table(t).Rows.size(); ++r)
                place({TItem::Row, t, r}, FRowHeight);
            if (Table(t).HasTotals())
                place({TItem::Totals, t}, FRowHeight);
        }
        return pages;
    }

    void Paint(const QList<TPage> &pages) const
    {
        QPainter painter(FDevice);
        for (int p = 0; p < pages.size(); ++p) {
            if (p > 0)
                FDevice->newPage();
            for (const TItem &item : pages[p])
                PaintItem(painter, item);
            painter.setFont(FFooter);
            painter.setPen(Qt::black);
            painter.drawText(QRectF(0, FBottom, FWidth, FFooterMetrics.height() * 2), Qt::AlignCenter,
                             QStringLiteral("第 %1 页  共 %2 页").arg(p + 1).arg(pages.size()));
        }
    }

private:
    const TPrintTable &Table(int t) const { return FEngine.Detail(t); }
    QList<int> Visible() const
    {
        QList<int> tables;
        for (int t = 0; t < PrintDetailCount; ++t)
            if (!Table(t).IsEmpty())
                tables << t;
        return tables;
    }

    void PaintItem(QPainter &painter, const TItem &item) const
    {
        painter.setPen(Qt::black);
        switch (item.kind) {
        case TItem::Title:
            painter.setFont(FTitleFont);
            painter.drawText(QRectF(0, item.y, FWidth, FTitleMetrics.height() * 1.8), Qt::AlignCenter,
                             FEngine.Title());
            return;
        case TItem::HeaderLine: {
            painter.setFont(FText);
            const qreal cell = FWidth / kHeaderColumns;
            for (int i = 0; i < kHeaderColumns; ++i) {
                const int n = item.index * kHeaderColumns + i;
                if (n >= FEngine.Header().size())
                    break;
                const auto &[name, value] = FEngine.Header().at(n);
                const QString text = FTextMetrics.elidedText(name + QStringLiteral("：") + value,
                                                             Qt::ElideRight, cell - FPadding);
                painter.drawText(QRectF(i * cell, item.y, cell, FTextMetrics.height() * 1.5),
                                 Qt::AlignLeft | Qt::AlignVCenter, text);
            }
            return;
        }
        case TItem::Caption:
            painter.setFont(FBold);
            painter.drawText(QRectF(0, item.y, FWidth, FRowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                             Table(item.table).Title);
            return;
        case TItem::ColumnTitles:
            PaintCells(painter, item, Table(item.table).Columns, FBold, true);
            return;
        case TItem::Row:
            PaintCells(painter, item, Table(item.table).Rows.at(item.index), FText, false);
            return;
        case TItem::Totals:
            PaintCells(painter, item, Table(item.table).Totals, FBold, false);
            return;
        }
    }

    void PaintCells(QPainter &painter, const TItem &item, const QStringList &cells, const QFont &font,
                    bool titles) const
    {
        painter.setFont(font);
        const QFontMetricsF metrics(font, FDevice);
        const QList<qreal> &widths = FWidths[item.table];
        qreal x = 0;
        for (int c = 0; c < widths.size(); ++c) {
            const QRectF cell(x, item.y, widths[c], FRowHeight);
            if (titles)
                painter.fillRect(cell, QColor(0xE8, 0xE8, 0xE8));
            painter.drawRect(cell);
            const QString text = cells.value(c);
            const Qt::Alignment align =
                titles ? Qt::AlignCenter
                       : (IsNumber(text) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
            painter.drawText(cell.adjusted(FPadding, 0, -FPadding, 0), align,
                             metrics.elidedText(text, Qt::ElideRight, widths[c] - 2 * FPadding));
            x += widths[c];
        }
    }

    const TKvPrintEngine &FEngine;
    QPagedPaintDevice *FDevice;
    QFont FText, FBold, FTitleFont, FFooter;
    QFontMetricsF FTextMetrics, FBoldMetrics, FTitleMetrics, FFooterMetrics;
    qreal FWidth = 0, FRowHeight = 0, FPadding = 0, FBottom = 0;
    std::array<QList<qreal>, PrintDetailCount> FWidths;
};

} // namespace

void TKvPrintEngine::SetDetail(int detail, const TPrintTable &table)
{
    if (detail >= 0 && detail < PrintDetailCount)
        FDetails[detail] = table;
}

void TKvPrintEngine::ClearDetails()
{
    FDetails.fill(TPrintTable());
}

int TKvPrintEngine::Render(QPagedPaintDevice *device) const
{
    device->setPageLayout(FLayout.PageLayout());
    return Paint(device);
}

int TKvPrintEngine::Paint(QPagedPaintDevice *device) const
{
    // Every detail as the layout arranges it.
    TKvPrintEngine arranged = *this;
    for (int d = 0; d < PrintDetailCount; ++d)
        if (!FDetails[d].IsEmpty())
            arranged.FDetails[d] = FLayout.Apply(d, FDetails[d]);
    const TPagePainter pages(arranged, device);
    const QList<TPage> layout = pages.Layout();
    pages.Paint(layout);
    return layout.size();
}

bool TKvPrintEngine::WritePdf(const QString &fileName, QString *error) const
{
    QFile file(fileName);
    if (!OpenPrivateFile(file)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setCreator(QStringLiteral("Orvane"));
        writer.setTitle(FTitle);
        writer.setResolution(300);
        Render(&writer);
    }
    file.close();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

QFont TKvPrintEngine::PrintFont(qreal pointSize, bool bold)
{
    static const bool hasCjk = QFontDatabase::families().contains(kCjkFamily);
    QFont font = hasCjk ? QFont(kCjkFamily) : QFont();
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

bool OpenPrivateFile(QFile &file)
{
    constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (file.exists() && !file.setPermissions(kOwnerOnly))
        return false;
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate, kOwnerOnly);
}
