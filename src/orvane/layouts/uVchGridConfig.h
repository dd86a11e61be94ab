#pragma once
// 单据格式配置: per bill type, the header fields and the grid columns the bill window draws — display names,
// shown / required, bill totals and decimals of free items, the type of the custom columns 3 and 4 — and the
// doors to the formula, basic-information and related-basic-data dialogs. A tree of bill types on the left
// (the root stands for all bills), up to six tabs of configuration grids on the right.

#include <QTabWidget>
#include <QTreeWidget>

#include "Kvggeneralgrid.h"
#include "uDialogParent.h"

class QPushButton;

class TfrmVchGridConfig : public TfrmDialogParent
{
    Q_OBJECT
public:
    explicit TfrmVchGridConfig(int vchType, QWidget *parent = nullptr);

    QWidget *pnlTree;
    QTreeWidget *TreeView1;
    QTabWidget *PageControl;
    QList<TKvGGeneralWGrid *> TabGrids; // TabGrid1 .. TabGrid6
    QPushButton *btnColumn, *btnFormula, *btnBasic, *btnRelationBasic, *btnExit;

    int FVchtype;
    bool FIsPlugInVchtype = false;
    bool FIsHasRelation = false;
    bool FModified = false;

    struct TTab
    {
        int TabType = 0; // 0 header fields, 1 grid columns, 2 free items
        int DataArea = 0;
    };
    QList<TTab> FTabs; // per page

    void Prepare();
    static QString TreeFilters();
    void TreeView1Change();
    void BuildTabs();
    void LoadTabData(int page);
    void PageControlChange();
    void TabGridAfterRowChanged();
    bool TabGridCMCanModifyForFieldEvent(int page, int row, const QString &field) const;
    void TabGridCellEdited(int page, QTableWidgetItem *item);
    void btnColumnClick();
    void btnFormulaClick();
    void btnBasicClick();
    void btnRelationBasicClick();

    TKvGGeneralWGrid *CurrentGrid() const;
    // The cell's value: a check column as "1"/"0", any other as its text.
    QString Value(int page, int row, const QString &field) const;
    int CurrentPage() const { return PageControl->currentIndex(); }

    // Entry of the window (0: choose in the tree); false when open bill windows stay open.
    static bool Execute(int vchType);

private:
    QString Table(const QString &name) const; // T_Jxc_<name> or the plug-in one
    bool IsHeaderCustom(int page, int row) const;
    void SetCheck(int page, int row, const QString &field, bool on);
    void SetText(int page, int row, const QString &field, const QString &text);
    void Reload();
    bool FLoading = false;
};
