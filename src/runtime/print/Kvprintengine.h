#pragma once
// The print engine: lays a title, the header lines and up to three detail tables out on pages. Column
// titles repeat at the top of every page a table continues on, the totals row "合 计" closes a table,
// and every page carries its number. The same layout goes to a printer, the preview and PDF files
// (Chinese text embedded with a CJK font).

#include <QFile>
#include <QFont>
#include <array>

#include "Kvprintlayout.h"

class QPagedPaintDevice;
class QPainter;

class QUILLCMRUNSTD_EXPORT TKvPrintEngine
{
public:
    void SetTitle(const QString &title) { FTitle = title; }
    QString Title() const { return FTitle; }
    void SetHeader(const TPrintHeader &header) { FHeader = header; }
    const TPrintHeader &Header() const { return FHeader; }
    // detail: 0..2 (detail 1..3).
    void SetDetail(int detail, const TPrintTable &table);
    const TPrintTable &Detail(int detail) const { return FDetails.at(detail); }
    void ClearDetails();
    void SetLayout(const TPrintLayout &layout) { FLayout = layout; }
    const TPrintLayout &Layout() const { return FLayout; }

    // Sets the device's page layout from the print layout and paints every page. Returns the page count.
    int Render(QPagedPaintDevice *device) const;
    // Paints on a device whose pages are set up already (a printer the user configured).
    int Paint(QPagedPaintDevice *device) const;
    // A PDF file readable by its owner only; false with the reason when it cannot be written.
    bool WritePdf(const QString &fileName, QString *error = nullptr) const;

    // The font of printed text: the CJK font when the machine has it, so Chinese prints everywhere.
    static QFont PrintFont(qreal pointSize, bool bold = false);

private:
    QString FTitle;
    TPrintHeader FHeader;
    std::array<TPrintTable, PrintDetailCount> FDetails;
    TPrintLayout FLayout;
};

// Creates or replaces a file readable and writable by its owner only (0600) and opens it for writing.
QUILLCMRUNSTD_EXPORT bool OpenPrivateFile(QFile &file);
