#pragma once
// TfrmBaseRightSetNew ("基本信息授权"): per kind of base record, the rights groups with their members
// and the operators without a group on the left, the classes of the kind in the middle and the records
// of the selected class with "有否权限" of the selected group or operator on the right. Grants are
// changed on groups only, and never on the hidden super group; every change is stored at once.

#include <QString>

#include "uBaseRightKinds.h"
#include "uDialogParent.h"

class QAction;
class QComboBox;
class QMenu;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class TKvGGeneralGrid;

class TfrmBaseRightSetNew : public TfrmDialogParent
{
    Q_OBJECT
public:
    explicit TfrmBaseRightSetNew(QWidget *parent = nullptr);

    QComboBox *cboxBaseType;
    QTreeWidget *TrvLeft, *BaseInformation;
    TKvGGeneralGrid *DataGrid; // "ID号" TypeID (hidden), code, name, "有否权限" Selected
    QPushButton *btnNewGroup, *btnAll, *btnUnAll, *btnHelp, *btnClose;
    QMenu *PopGroup, *PoPUser;
    QAction *NEditGroup, *NDelGroup, *NCopy, *MenuSet;

    QChar Mode() const { return cMode; }
    void SetKind(int index); // the kind at this index of cboxBaseType
    void LoadTrees();
    void LoadGrid();
    // Selects the node of a group or an operator by id; false when there is none.
    bool SelectNode(const QString &id, bool isGroup);

    // Grants or revokes the record of the grid row for the selected group (what a click on "有否权限"
    // or the space key does).
    void ToggleRow(int row);
    void SetAll(bool selected);
    void btnNewGroupClick();
    void NEditGroupClick();
    void NCopyClick();
    void NDelGroupClick();
    void MenuSetClick();

    static bool Execute();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct TNode
    {
        QString Id;
        bool IsGroup = false;
        QString Name;
    };
    TNode SelectedNode() const;
    // The selected group for a change; shows the message and answers -1 without one.
    int GroupForChange(const QString &noGroupText) const;
    void EditGroup(QChar mode);
    bool SetGrant(int row, bool selected, bool batch);

    QTreeWidgetItem *FNodeGroup = nullptr;
    QTreeWidgetItem *FNodeUser = nullptr;
    QString oldSelectEtype;
    bool oldSelectIsGroup = false;
    QChar cMode;
    QList<uBaseRightKinds::TBaseRightKind> FKinds;
};
