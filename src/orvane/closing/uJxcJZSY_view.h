#pragma once
// TfrmJxcJZSYView: the carry-forward attachment (结转成本附件). For one inventory period and one base
// bill type, the cost that the checkout carries forward into vouchers, bill by bill (mode "V") or
// summed by goods item (mode "P"). A goods item chosen in the summary (Params[2]) can be costed again.

#include "uDialogQueryParent.h"

class QCheckBox;
class QPushButton;
class TGLabelComBox;
class TKvGGeneralGrid;

class TfrmJxcJZSYView : public TfrmDialogQueryParent
{
    Q_OBJECT
public:
    explicit TfrmJxcJZSYView(QWidget *parent = nullptr);
    ~TfrmJxcJZSYView() override;

    TGLabelComBox *lcbPeriod;
    TGLabelComBox *lcbVchtype; // item data: the base bill type
    QCheckBox *ckbPtype;
    TKvGGeneralGrid *MainGrid;
    QPushButton *btnCalcCost;
    QPushButton *btnPrint;
    QPushButton *btnClose;
    QPushButton *btnHelp;

    QString PeriodText() const { return FPeriodText; }
    int Vchtype() const { return FVchtype; }
    QString Mode() const { return FMode; }

    void LoadData();
    void lcbVchtypeChange();
    void lcbPeriodChange();
    void ckbPtypeClick();
    void btnCalcCostClick();

private:
    void FillVchtypes();
    void FillPeriods();
    void SetGridColumns();

    QString FPeriodText;
    int FVchtype = 11;
    QString FMode = QStringLiteral("V");
};
