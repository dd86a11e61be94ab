#pragma once
// 报警簿: the warning book. The items, their grid columns and the procedure computing each item's rows
// are data of the account set (T_Inf_WarnList_TreeView / GridColumn / FirstDisplay); the window shows
// the rows of the item picked in the tree.

#include <QCheckBox>
#include <QHash>
#include <QLabel>
#include <QMenu>
#include <QTreeWidget>

#include "Kvggeneralgrid.h"
#include "uMDIParent.h"

class QPushButton;

class TfrmWarnList : public TfrmMDIParent
{
    Q_OBJECT
public:
    explicit TfrmWarnList(QWidget *parent = nullptr);
    ~TfrmWarnList() override;

    QTreeWidget *trvList;
    QMenu *pm1;
    QAction *meSetFirstDisplay;
    TKvGGeneralGrid *MainGrid;
    QCheckBox *chkSys;
    QLabel *lblInfo;
    QPushButton *btnSetup, *btnPrint, *btnRefresh, *btnClose;

    int fnMode = 0;               // the item shown
    int mFristNode = -1;          // the item to select first
    QHash<QString, int> mItems;   // item name -> type
    unsigned GridOptions = 0x1FF; // bit 0x100: the operator may set up the grid's columns

    // The tree of the items the operator may see, the first item selected (mode -1: his saved choice).
    void BuildTree(int mode);
    // Columns and rows of the item.
    void ShowItem(int treeType);
    void trvListChange();
    void MainGridDblClick(int row);
    void meSetFirstDisplayClick();
    void btnSetupClick();
    void chkSysClick();
};

namespace uWarnList {
// DllAutoWarnList: the warning book as an MDI child showing the given item first; True.
bool ShowWarnList(int mode);
// At log-on (step 7 of opening an account set): the warning book when switch 80 is on and the operator
// holds the right of 报警簿. True when it was opened.
bool AutoWarnAtLogOn();
} // namespace uWarnList
