#pragma once
// 库存总仓报警设置: lower and upper stock limits per goods item over all warehouses together.

#include "uWarnLimitForm.h"

class TfrmGoodsWarnSetup : public TfrmWarnLimitForm
{
    Q_OBJECT
public:
    explicit TfrmGoodsWarnSetup(QWidget *parent = nullptr);

    QPushButton *btnPre, *btnSetQty;
    QString szPtypeID = QStringLiteral("00000"); // the goods class shown

    void LoadData();
    // The class shown: rows of goods outside it are hidden.
    void ShowClass(const QString &ptypeId);
    void btnPreClick();
    void MainGridDblClick(int row);
    // The single-item dialog for a goods row: both limits through the condition box, stored at once.
    void SetItemLimits(int row);
    bool Save() override;

    // Opens the window modally; True when it saved.
    static bool Execute();
};
