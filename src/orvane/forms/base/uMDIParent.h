#pragma once
// TfrmMDIParent: the MDI child window shape. Tool bar (with the print button btnExpertPrint), title band,
// button band pnlButton, client area pnlEntry and status bar sbStatus. ShowMDI() places it in the host's
// MDI area; the sub-window is deleted when closed.

#include <QFrame>
#include <QLabel>
#include <QToolBar>

#include "ClientDataSet.h"
#include "uQuillForm.h"

class TKvStatusBar;
class TCMKvPrintBtn;
class QMdiSubWindow;
class QPushButton;

class TfrmMDIParent : public TQuillForm
{
    Q_OBJECT
public:
    explicit TfrmMDIParent(QWidget *parent = nullptr);
    TfrmMDIParent(QWidget *parent, const QVariantList &params);
    ~TfrmMDIParent() override;

    QToolBar *ToolBar;
    TCMKvPrintBtn *btnExpertPrint; // the print button, connected to the window's print handler
    QAction *tbsPrintSep;
    QFrame *pnlTitle;
    QLabel *lblTitle;
    QFrame *ShadowPanel1;
    QFrame *pnlButton;
    QWidget *pnlEntry;
    TKvStatusBar *sbStatus;
    TClientDataSet cdsGetRecordSet;

    void SetTitle(const QString &title) override;
    void AfterShow() override;
    // Loads cdsGetRecordSet (when it has fields) into the first general grid of the window.
    void RefreshData() override;
    QString StatusText() const { return FStatusText; }
    // Also the status bar's simple text.
    void SetStatusText(const QString &text);
    // Shows the window as a child of the host's MDI area (a deleting sub-window), or as a top-level window
    // deleted on close when the host has none. Returns the sub-window, nullptr without an MDI area.
    QMdiSubWindow *ShowMDI();
    bool FormCreating() const { return FFormCreating; }
    // An MDI child ends by closing (and so deleting its sub-window), also on Esc or a result.
    void done(int result) override;

protected:
    // A push button at the end of the button band (no default button: Enter stays with the grid).
    QPushButton *AddButton(const char *objectName, const QString &text);
    void closeEvent(QCloseEvent *event) override;

    bool FFormCreating = true;
    QString FStatusText;

private:
    void BuildFrame();
    bool FClosing = false;
};
