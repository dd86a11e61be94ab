#pragma once
// TfrmJXCCheckOut: the month-end checkout of the inventory period (进销存期末结账). Checks that the
// period can be closed, asks about open expense allocations and unaudited bills, then runs the
// checkout transaction (uJxcCheckOutCore). From here the cost calculation and the carry-forward view
// are opened too.

#include "uDialogParent.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

class TfrmJXCCheckOut : public TfrmDialogParent
{
    Q_OBJECT
public:
    explicit TfrmJXCCheckOut(QWidget *parent = nullptr);
    ~TfrmJXCCheckOut() override;

    // The dispatch entry: creates, shows modally and frees the window; returns its modal result.
    static int Execute();

    QGroupBox *grp1;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9;
    QCheckBox *chkAutoImprove;
    QCheckBox *chkCostCarryOver;
    QLabel *lblPeriod;
    QPushButton *btnOK;
    QPushButton *btnExit;
    QPushButton *btnView;
    QPushButton *btnCalcCost;

    // Labels of bill types hidden by the edition (each takes 23 pixels off the window's 370).
    int HiddenLabelCount() const { return FHiddenLabels; }

    void btnOKClick();
    void btnCalcCostClick();
    void btnViewClick();
    void btnExitClick();
    void chkAutoImproveClick();
    void chkCostCarryOverClick();

private:
    void BuildControls();
    void Prepare();
    void ApplyEdition();
    // The cost calculation entry with a list of goods ids (empty: all goods waiting for it).
    void OpenCostCalculation(const QString &ptypeIds);

    QString FPeriodText;
    int FHiddenLabels = 0;
};
