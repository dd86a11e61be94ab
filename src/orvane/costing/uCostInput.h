#pragma once
// TfrmCostInput: the manual cost window ("成本录入"). When no acceptable cost can be found for a stock
// line, the cost calculation shows the line (bill type, goods, quantity, batch) and the user types a
// unit cost. Also the small helpers the cost windows share: the goods names and the handler guard.

#include <QString>
#include <functional>

#include "uCostCalcProcessMain.h"
#include "uDialogParent.h"

class QLabel;
class TGLabelBtnEdit;

namespace uCostInput {
// Largest unit cost, and largest amount (unit cost × quantity), the window accepts.
constexpr double MaxInputPrice = 1e8;
constexpr double MaxInputTotal = 1e8;

// Full name and user code of a goods item; false (names empty) when the item does not exist.
bool GetPtypeNames(const QString &APtypeID, QString &AFullName, QString &AUserCode);
// Name of a bill type: the host's bill configuration, or without a host the account set's bill types
// (by base type).
QString GetBillName(int AVchtype);
// Runs a button handler: a silent abort (CheckError) just ends it, any other error is shown.
void RunHandler(const std::function<void()> &AHandler);
} // namespace uCostInput

class TfrmCostInput : public TfrmDialogParent
{
    Q_OBJECT
public:
    // APrice is the cost the edit starts with.
    TfrmCostInput(const TBillInfo &ABillInfo, double APrice, QWidget *parent = nullptr);
    ~TfrmCostInput() override;

    // The typed cost; valid after the window closed with OK.
    double Price() const { return FPrice; }

    QLabel *lblVchtype;
    QLabel *lblVchtypeName;
    QLabel *lblPtype;
    QLabel *lblPtypeName;
    QLabel *lblPtypeNo;
    QLabel *lblPtypeNoValue;
    QLabel *lblQty;
    QLabel *lblQtyValue;
    QLabel *lblBlockNo;
    QLabel *lblBlockNoValue;
    TGLabelBtnEdit *edtPrice;
    QPushButton *btnConfirm;
    QPushButton *btnCancel;

    void btnConfirmClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildControls();
    void ShowBillInfo();

    TBillInfo FBillInfo;
    double FPrice = 0;
};

// Manual cost entry as the cost calculation calls it (TOnInputCost): shows the window starting with
// APrice; true with the typed cost in APrice on OK, false (APrice unchanged) on cancel.
bool ShowCostInput(double &APrice, const TBillInfo &ABillInfo);
