#pragma once
// TfrmUnJxcCheckOut: the reversal of the last month-end checkout (进销存期末反结账). The database deletes
// the carry-forward vouchers and moves the inventory period back; the window runs it with the plug-in
// procedures in one transaction (uJxcCheckOutCore) and maps the refusal codes to their messages.
// A refusal leaves the window open for another try.

#include "uDialogParent.h"

class QLabel;
class QPushButton;

class TfrmUnJxcCheckOut : public TfrmDialogParent
{
    Q_OBJECT
public:
    explicit TfrmUnJxcCheckOut(QWidget *parent = nullptr);
    ~TfrmUnJxcCheckOut() override;

    // The dispatch entry: period label, caption, modal show, status bar refresh; returns the result.
    static int Execute();

    QLabel *Label1;
    QLabel *Label2;
    QLabel *lblPeriod;
    QPushButton *btnOK;
    QPushButton *btnCancel;

    void btnOKClick();
    void btnCancelClick();
};
