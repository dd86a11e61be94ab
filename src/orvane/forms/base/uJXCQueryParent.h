#pragma once
// TfrmJXCQueryParent: the MDI query window with grid tools (过滤 filter, 定位 locate, 刷新 refresh) over
// its grid, the condition line, and the free-item column captions of a bill type.

#include <QLabel>
#include <QToolBar>

#include "uCondDefine.h"
#include "uMDIParent.h"

class QVBoxLayout;
class TKvGGeneralGrid;
class TKvToolButton;

class TfrmJXCQueryParent : public TfrmMDIParent
{
    Q_OBJECT
public:
    explicit TfrmJXCQueryParent(QWidget *parent = nullptr);
    ~TfrmJXCQueryParent() override;

    QWidget *PanelLeft;
    QWidget *PanelRight;
    QLabel *allconditioninfo;
    QToolBar *CMGridTools;
    TKvToolButton *btnGridFilter;
    TKvToolButton *btnGridLocation;
    TKvToolButton *btnGridRef;

    QVBoxLayout *QueryLayout() const { return FQueryLayout; }
    // The grid the tools work on: the one set, else the first general grid of the window.
    TKvGGeneralGrid *Grid() const;
    void SetGrid(TKvGGeneralGrid *grid) { FGridOperation = grid; }
    bool DisplayDateTitle() const { return FDisplayDateTitle; }
    void SetDisplayDateTitle(bool display) { FDisplayDateTitle = display; }
    QString NoDisplayCondition() const { return FNoDisplayCondition; }
    QString ConditionName() const { return FConditionName; }

    void ShowConditionInfo(const TCondition &condition);
    bool ShowCondition(const TCondition &condition, bool showSaveDate);
    // Titles the grid's free-item columns 1..16 with the captions the bill type's layout gives them.
    void LoadFreeDomCaptions(int vchType, int dataArea);

    void btnGridFilterClick();
    void btnGridLocationClick();
    void btnGridRefClick();

protected:
    int FDefaultTop = 0;
    QString FNoDisplayCondition;
    QString FConditionName;
    bool FDisplayDateTitle = true;
    TKvGGeneralGrid *FGridOperation = nullptr;

private:
    QVBoxLayout *FQueryLayout;
};
