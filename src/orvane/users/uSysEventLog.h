#pragma once
// 系统日志: the events of a date range (who did what, when, from which computer), printed through the
// window's print button, exported to a text file (GBK, the export recorded in the log) and cleared after
// an automatic export. Everything goes through p_Jxc_GetEventLog (modes R, I, C).

#include <QFileDialog>
#include <functional>

#include "Kvprintdata.h"
#include "uJXCQueryParent.h"

class QPushButton;
class QToolButton;
class TKvGGeneralGrid;

// The save dialog of the export; its close check may keep it open (the overwrite question).
class TEventLogSaveDialog : public QFileDialog
{
    Q_OBJECT
public:
    explicit TEventLogSaveDialog(QWidget *parent);
    std::function<bool(const QString &fileName)> OnCanClose;
    void accept() override;
};

class TfrmSysEventLog : public TfrmJXCQueryParent
{
    Q_OBJECT
public:
    explicit TfrmSysEventLog(QWidget *parent = nullptr);
    ~TfrmSysEventLog() override;

    TKvGGeneralGrid *MainGrid;
    QPushButton *btnQuery, *btnExport, *btnClear, *btnPrint, *btnHelp, *btnClose;
    QToolButton *tbtnQuery, *tbtnExport, *tbtnClear, *tbtnPrint, *tbtnHelp, *tbtnClose;
    QAction *tbtn1; // separator of the tool bar
    TEventLogSaveDialog *SaveDialog1;
    QLabel *lblBeginDate, *lblEndDate;

    // The dates of the current inventory period, then the condition box: cancelled closes the window and
    // gives false; otherwise the events are loaded.
    bool Open();
    void LoadData();
    void btnQueryClick();
    void btnExportClick();
    void btnClearClick();
    // The close check of SaveDialog1: asks before replacing an existing file.
    bool SaveDialog1CanClose(const QString &fileName);
    QString ExportedFileName() const { return fszFileName; }

private:
    void Export();
    bool FBClearUse = false; // the export is the first step of a clear
    QString fszFileName;     // the file such an export wrote
};

namespace uSysEventLog {
// Dispatch entry 系统日志: the window as an MDI child; True.
bool ShowSysEventLog();
// The host's data folder (writable by the user), where exports go by default.
QString AppDirectory();
// The export file of the given events: "系统日志导出", the column titles and one numbered line per row, in
// GBK; every line ends in CR LF, the titles and rows with a CR before it.
QByteArray ExportText(TClientDataSet &rows);
// The events as the window prints them: "行号" and the four columns under their captions.
TPrintTable EventLogTable(TClientDataSet &rows);
// The print layout of the window: its function number and title.
constexpr int PrintID = 1330;
QString PrintTemplate();
// The name the export writes: ".txt" added unless the lower-case name holds ".txt".
QString WithTxtExtension(const QString &fileName);
} // namespace uSysEventLog
