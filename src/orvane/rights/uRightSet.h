#pragma once
// TfrmRightSet ("操作员授权"): rights groups and operators in a tree on the left, the rights and detail
// rights of the selected node in the rights component on the right. Rights belong to groups; an operator
// holds the union of his groups' rights and is only shown them. Only custom groups can be changed; every
// change is stored at once. Operators are added, deleted (inside the host's server transaction, with the
// plug-ins' procedures before and after), get groups, a cleared password or the supervisor mark here.

#include <QList>
#include <QMetaType>
#include <QString>

#include "Kvlimit.h"
#include "uDialogQueryParent.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

struct TPtreeRec
{
    QString ID; // group id, employee id, empty for the two roots
    bool IsGroup = false;
    QString Memo;
    int IsManager = 0; // 1: the accounting supervisor
};
Q_DECLARE_METATYPE(TPtreeRec)

class TfrmRightSet : public TfrmDialogQueryParent
{
    Q_OBJECT
public:
    explicit TfrmRightSet(QWidget *parent = nullptr);
    ~TfrmRightSet() override;

    QTreeWidget *TrvLeft;
    QLabel *lblSelectOper;
    TKVLimitClass *KVLimitClass1;
    QPushButton *btnNewGroup, *btnNewUser, *btnHelp, *btnClose, *btnAll, *btnUnAll;
    QAction *tbtnNewGroup, *tbtnNewUser, *tbtnAll, *tbtnUnAll, *tbtnHelp, *tbtnClose;
    QMenu *PopGroup, *PoPUser;
    QAction *NEditGroup, *NDelGroup, *NCopy;
    QAction *MenuDel, *MenuSet, *mniClearPassword, *mniSetManager;

    enum class TTreeBranch { Groups, Users };
    void LoadRightTree(TTreeBranch branch);
    void LoadRightPage();
    void ShowGroupRights(const QString &groupIds);
    QString GetUserGroupIds(const QString &etypeId);
    bool GroupHasRight(int right, int group);
    void SetGroupRight(int group, int right, bool grant);
    bool ShowRightGroupInput(const QString &name, const QString &memo, const QString &oldName, QChar mode,
                             int id);
    bool ShowRightGroupSelect(const QString &etypeId, const QString &name, bool isManager);

    // The selected node's record and text (an empty record without a selection).
    TPtreeRec SelectedRec() const;
    QString SelectedText() const;
    // Selects the node of a group or an operator by id (the first one found).
    bool SelectNode(const QString &id, bool isGroup);

    void TrvLeftChange();
    void btnNewGroupClick();
    void btnNewUserClick();
    void btnAllClick();
    void btnUnAllClick();
    void NEditGroupClick();
    void NCopyClick();
    void NDelGroupClick();
    void MenuDelClick();
    void MenuSetClick();
    void mniClearPasswordClick();
    void mniSetManagerClick();

    void KVLimitClass1SetLimitBefore(int right, bool value, bool &allow);
    void KVLimitClass1UserSetLimit(int right, bool value);
    void KVLimitClass1LoadBtnLimit(int right, QString &details);
    void KVLimitClass1SetBtnLimitBefore(int right, int detail, bool value, bool &allow);
    void KVLimitClass1SaveBtnLimit(int right, const QString &details);

private:
    bool IsCustomGroup() const;
    int SelectedGroupId() const;
    bool GroupExists(int id);
    // Ids of the groups whose rights the selected node shows.
    QString SelectedGroupIds();
    void SetAllRights(bool grant);
    // 新增组 / 修改 / 复制 ("N", "M", "C") through the input window; the group branch is rebuilt after.
    void EditGroup(QChar mode);
    void RebuildTree();
    QTreeWidgetItem *AddNode(QTreeWidgetItem *parent, const QString &text, const TPtreeRec &rec, int image);
    void AddOperatorNodes(QTreeWidgetItem *parent, class TClientDataSet &rows, bool &selected);
    void RightsChanged(const QString &what);

    bool bLoadAllRight = false;
    QList<TLimitData> ALimit; // from index 1
    QTreeWidgetItem *FNodeGroup = nullptr;
    QTreeWidgetItem *FNodeUser = nullptr;
    QString oldSelectEtype;
    bool FRebuilding = false;
};

namespace uRightSet {
// Dispatch entry 操作员授权: the window, modal; the result is always False.
bool ShowRightSet();
} // namespace uRightSet
