#pragma once
// TCMKvPrintBtn: the print button of a window. Its menu prints (printer dialog), previews, writes a PDF
// file or opens the print design of the window's layout number and template. Before any of them it asks
// its print-right callback and its before-print event (which fill the header and the detail tables);
// either may refuse by raising EAbort, which ends the print silently. GetRadioCheckEx asks the user to
// pick one of a few choices.

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <functional>

#include "Kvcontrols.h"
#include "Kvprintengine.h"

class QPrinter;

class QUILLCMRUNSTD_EXPORT TCMKvPrintBtn : public TKvToolButton
{
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(QObject *sender)>;
    using TPrintRightEvent = std::function<void()>; // raises EAbort to refuse

    explicit TCMKvPrintBtn(QWidget *parent = nullptr, const QString &text = QStringLiteral("打印"));

    QMenu *PopupMenu;
    QAction *actPrint;   // 打印
    QAction *actPreview; // 打印预览
    QAction *actPdf;     // 导出PDF
    QAction *actDesign;  // 打印设计

    TPrintRightEvent OnPrintRight;
    TNotifyEvent OnBeforePrint;
    TNotifyEvent OnBeforePrintMenu;    // before the print design
    TNotifyEvent OnBeforePrintPopmenu; // before the menu opens
    TNotifyEvent OnAfterPrint;

    int PrintID() const { return FPrintID; }
    void SetPrintID(int id) { FPrintID = id; }
    QString PrintTemplate() const { return FTemplate; }
    void SetPrintTemplate(const QString &name) { FTemplate = name; }
    // Extended print mode: the header takes further lines of the window.
    bool ExPrint() const { return FExPrint; }
    void SetExPrint(bool on) { FExPrint = on; }
    bool CustomHead() const { return FCustomHead; }
    void SetCustomHead(bool on) { FCustomHead = on; }
    bool CustomGrids() const { return FCustomGrids; }
    void SetCustomGrids(bool on) { FCustomGrids = on; }
    // The details are printed (not only the header).
    bool PrintDetails() const { return true; }

    QString Title() const { return FEngine.Title(); }
    void SetTitle(const QString &title) { FEngine.SetTitle(title); }
    const TPrintHeader &Header() const { return FEngine.Header(); }
    void SetHeader(const TPrintHeader &header) { FEngine.SetHeader(header); }

    // The grids whose rows the details print (1..3); a grid that goes away is forgotten.
    QWidget *MainGrid(int no) const;
    void SetMainGrid(int no, QWidget *grid);
    void ClearMainGrids();
    void SetDetail1(const TPrintTable &table) { FEngine.SetDetail(0, table); }
    void SetDetail2(const TPrintTable &table) { FEngine.SetDetail(1, table); }
    void SetDetail3(const TPrintTable &table) { FEngine.SetDetail(2, table); }
    void ClearDetails() { FEngine.ClearDetails(); }
    const TKvPrintEngine &Engine() const { return FEngine; }

    // The four commands of the menu; each prepares first. Exceptions pass on to the caller.
    void Print();
    void Preview();
    void ExportPdf();
    void Design();
    // The print to a PDF file without dialogs (tests, the command line). False with the reason when the
    // file cannot be written; a refusal raises EAbort.
    bool WritePdf(const QString &fileName, QString *error = nullptr);
    // The right check, the before-print event and the saved layout of the print's number and template.
    void Prepare();

signals:
    void Printed(); // after a print, a preview or a PDF

private:
    void Finished();
    std::array<QPointer<QWidget>, PrintDetailCount> FGrids;
    TKvPrintEngine FEngine;
    int FPrintID = 0;
    QString FTemplate;
    bool FExPrint = false;
    bool FCustomHead = false;
    bool FCustomGrids = false;
};

namespace Kvtable {
// Runs a command of a window: a silent abort ends it, an error is shown through the message service.
QUILLCMRUNSTD_EXPORT void RunGuarded(const std::function<void()> &command);
// One of the choices (radio buttons, the default checked): 1-based answer, -1 when cancelled.
QUILLCMRUNSTD_EXPORT int GetRadioCheckEx(const QString &caption, const QStringList &choices,
                                         int defaultChoice = 1, QWidget *parent = nullptr);
} // namespace Kvtable
