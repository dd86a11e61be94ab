#pragma once
// TfrmBillAuditConfig (单据审核设置): the bill types by category with their flow state, the levels and
// special auditors of the selected type, and the commands that change a type's flow.

#include <QLabel>
#include <QMenu>
#include <QTreeWidget>
#include <memory>
#include <vector>

#include "Kvggeneralgrid.h"
#include "uMDIParent.h"

// The record of a node of the bill-type tree.
struct TVtreeRec
{
    QString TypeId; // plug-in tree code (plug-in nodes only)
    QString FullName;
    int VchType = 0; // category number for a category node
    bool IsGroup = false;
    bool IsAudit = false;
};

class TfrmBillAuditConfig : public TfrmMDIParent
{
    Q_OBJECT
public:
    explicit TfrmBillAuditConfig(QWidget *parent = nullptr);
    ~TfrmBillAuditConfig() override;

    QTreeWidget *tvList;
    TKvGGeneralGrid *MainGrid;
    QLabel *lblSelectVch;
    QPushButton *btnNew, *btnEdit, *btnDelete, *btnCopy, *btnBarcodeConfig, *btnStart;
    QAction *tbtNew, *tbtEdit, *tbtTeShen, *tbtCopy;
    QMenu *pmPoPUser;
    QAction *MenuStrat, *MenuStop;

    // Opens the window as an MDI child with an empty status text; true.
    static bool Execute();

    static constexpr int kStateRole = Qt::UserRole + 1; // state image: 1 enabled, 2 disabled

    void LoadAuditTree();
    void RefreshAuditGrid();
    TVtreeRec *Rec(QTreeWidgetItem *node) const;
    TVtreeRec *Current() const; // the selected node's record; null without a selection
    QTreeWidgetItem *FindNode(int vchType) const;
    static int GetFlowState(int vchType);
    static int GetFlowItemCount(int vchType);

    void MenuStratClick();
    void MenuStopClick();
    void btnNewClick();
    void btnEditClick(bool fromGrid);
    void btnDeleteClick();
    void btnCopyClick();
    void CopyFlowTo(int target, const QString &targetName);
    void btnBarcodeConfigClick();

private:
    QTreeWidgetItem *AddNode(QTreeWidgetItem *parent, std::unique_ptr<TVtreeRec> rec);
    void SetNodeState(QTreeWidgetItem *node, bool isAudit);
    void UpdateCommands();
    int CurrentLevel() const; // level of the grid's current row, 0 without one
    // The name a refusal gives the selected type: the bill name, or the node's name for plug-in types.
    QString RefusalName(bool plugIn) const;
    int SwitchFlow(int isAudit);

    std::vector<std::unique_ptr<TVtreeRec>> FRecs;
};
