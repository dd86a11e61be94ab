#pragma once
// TfrmDialogQueryParent: the modal query window. Tool bar, the condition line allconditioninfo (in
// PanelLeft; PanelRight holds the window's extra controls), the window's own area below (QueryLayout)
// and the status bar. ShowCondition runs the condition box on the window's Params.

#include <QLabel>
#include <QToolBar>

#include "uCondDefine.h"
#include "uDialogParent.h"

class QVBoxLayout;
class TKvStatusBar;

class TfrmDialogQueryParent : public TfrmDialogParent
{
    Q_OBJECT
public:
    explicit TfrmDialogQueryParent(QWidget *parent = nullptr);
    ~TfrmDialogQueryParent() override;

    QToolBar *ToolBar;
    QWidget *PanelLeft;
    QWidget *PanelRight;
    QLabel *allconditioninfo;
    TKvStatusBar *sbStatus;

    // Where the window puts its grid and other controls, below the condition line.
    QVBoxLayout *QueryLayout() const { return FQueryLayout; }
    QString StatusText() const { return FStatusText; }
    void SetStatusText(const QString &text);
    bool DisplayDateTitle() const { return FDisplayDateTitle; }
    void SetDisplayDateTitle(bool display) { FDisplayDateTitle = display; }
    QString NoDisplayCondition() const { return FNoDisplayCondition; }
    QString ConditionName() const { return FConditionName; }

    // Shows the conditions of the definition with their values from Params.
    void ShowConditionInfo(const TCondition &condition);
    // Condition box on Params; on OK the condition line is refreshed. False when cancelled.
    bool ShowCondition(const TCondition &condition, bool showSaveDate);

protected:
    int FDefaultTop = 0;
    QString FNoDisplayCondition;
    QString FConditionName;
    QString FStatusText;
    bool FDisplayDateTitle = true;

private:
    QVBoxLayout *FQueryLayout;
};
