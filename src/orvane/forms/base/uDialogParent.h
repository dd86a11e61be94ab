#pragma once
// TfrmDialogParent: the modal window shape. A title band (pnlTitle: lblTitle underlined by Shape1 and
// Shape2), the client area pnlEntry where the window puts its controls (a .ui form is set up on it) and
// the button band pnlBottom. Run with exec(); the result is the modal result (mrOk, mrCancel, ...).

#include <QFrame>
#include <QLabel>

#include "ClientDataSet.h"
#include "uQuillForm.h"

class QPushButton;

class TfrmDialogParent : public TQuillForm
{
    Q_OBJECT
public:
    explicit TfrmDialogParent(QWidget *parent = nullptr);
    TfrmDialogParent(QWidget *parent, const QVariantList &params);
    ~TfrmDialogParent() override;

    QFrame *pnlTitle;
    QLabel *lblTitle;
    QFrame *Shape1;
    QFrame *Shape2;
    QWidget *pnlEntry;
    QFrame *pnlBottom;
    // The window's query result; "active" once it has fields.
    TClientDataSet cdsGetRecordSet;

    void SetTitle(const QString &title) override;
    // Loads cdsGetRecordSet (when active) into the first general grid of the window (ShowRecordSet).
    void RefreshData() override;
    void AfterShow() override;
    // The print button "btnPrint" in the button band: its menu prints, previews, writes PDF and designs
    // through the window's print handler (the grids of the window, the print header).
    QPushButton *AddPrintButton();
    // A button at the right of the button band; a non-zero result closes the window with it.
    QPushButton *AddBottomButton(const QString &objectName, const QString &text, int modalResult = mrNone);

    void done(int result) override;
    void accept() override { done(mrOk); }
    void reject() override { done(mrCancel); }

private:
    void BuildFrame();
};
