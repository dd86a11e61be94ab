#pragma once
// TfrmCostProgressBar: a small progress window that recalculates a given set of goods without pages
// or log. Zero and too-large costs are accepted as they are (the user is never asked). The run starts
// from a message the window posts to itself, so the window is on screen while it costs the items.

#include <QEvent>
#include <QString>
#include <memory>

#include "uDialogParent.h"

class QProgressBar;
class TCostCalcProcess;

class TfrmCostProgressBar : public TfrmDialogParent
{
    Q_OBJECT
public:
    // The message that starts the run (the user message base plus 1001).
    static constexpr int WM_CALCCOST = 2025;

    explicit TfrmCostProgressBar(const QString &APtypeList, QWidget *parent = nullptr);
    ~TfrmCostProgressBar() override;

    QProgressBar *gProgressBar;

    TCostCalcProcess &Process() { return *FProcess; }
    QString PtypeList() const { return FPtypeList; }
    int ProcessedCount() const { return FCount; }
    int DetailCount() const { return FDlyCount; }

    // Opens the item list; a non-zero count becomes the gauge maximum.
    int OpenPtypeList();
    void PostCalcMessage();

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void CalcCost();

    std::unique_ptr<TCostCalcProcess> FProcess;
    QString FPtypeList;
    int FCount = 0;
    int FDlyCount = 0;
};

// Recalculates the listed goods (ids separated by ",") in the progress window. Does nothing and
// returns false in the query edition, when cost calculation (switch 140) is off, when the opening
// balances are not closed, or when none of the goods needs calculation; true when a run was shown.
bool CalcCostWithProgress(const QString &APtypeList);
