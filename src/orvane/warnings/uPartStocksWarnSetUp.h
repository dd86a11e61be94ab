#pragma once
// 库存分仓报警设置: lower and upper stock limits per goods item and per warehouse. Every warehouse's
// edits stay in memory until the one save.

#include <QMap>
#include <QTreeWidget>

#include "uWarnLimitForm.h"

struct TPTypeWarn
{
    QString PTypeID;
    QString KTypeID;
    double WarnDown = 0;
    double WarnUp = uWarnLimits::NoUpper;
    QString PUserCode, PFullName; // shown in the grid
};

class TfrmPartStocksWarnSetUp : public TfrmWarnLimitForm
{
    Q_OBJECT
public:
    explicit TfrmPartStocksWarnSetUp(QWidget *parent = nullptr);

    QTreeWidget *tvTree;
    QMap<QString, QList<TPTypeWarn>> FPtypeCollection; // warehouse id -> its rows
    QTreeWidgetItem *FOldSelectNode = nullptr;
    bool FIsError = false;
    bool FIsShow = false;

    void LoadTree();
    void LoadData();
    // Leaving a node keeps the grid's rows in its list; entering one shows its list.
    void tvTreeChange(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    void StoreGrid(const QString &ktypeId);
    void ShowStock(const QString &ktypeId);
    QString CurrentStockId() const;
    // The save document: every warehouse's rows that warn.
    QString SaveDocument() const;
    bool Save() override;
    void SetPrintHeaderValues(TPrintHeaderValues &values) override;

    static bool Execute();

protected:
    bool LimitsEditable() const override;
};
