#include "uBaseRightSetNew.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ClientDataSet.h"
#include "Kvggeneralgrid.h"
#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "uBaseRightEmployee.h"
#include "uBaseRightGroupAdd.h"

namespace {

constexpr int IdRole = Qt::UserRole;
constexpr int IsGroupRole = Qt::UserRole + 1;
constexpr int NameRole = Qt::UserRole + 2;

QTreeWidgetItem *AddNode(QTreeWidgetItem *parent, const QString &text, const QString &id, bool isGroup,
                         const QString &name)
{
    auto *node = new QTreeWidgetItem(parent, {text});
    node->setData(0, IdRole, id);
    node->setData(0, IsGroupRole, isGroup);
    node->setData(0, NameRole, name);
    return node;
}

// An operator's node: his name, marked when he is the accounting supervisor.
void AddOperators(QTreeWidgetItem *parent, TClientDataSet &rows)
{
    for (rows.First(); !rows.Eof(); rows.Next()) {
        const QString name = rows.FieldByName(QStringLiteral("FullName")).AsString();
        const bool manager = rows.FieldByName(QStringLiteral("ISMANAGER")).AsInteger() == 1;
        AddNode(parent, manager ? name + QStringLiteral("(会计主管)") : name,
                rows.FieldByName(QStringLiteral("Typeid")).AsString(), false, name);
    }
}

const QString kOperatorColumns = QStringLiteral(
    "SELECT E.Typeid, E.Parid, E.Leveal, E.Sonnum, E.UserCode, E.FullName, E.Department, L.ISMANAGER ");

} // namespace

TfrmBaseRightSetNew::TfrmBaseRightSetNew(QWidget *parent) : TfrmDialogParent(parent)
{
    setObjectName(QStringLiteral("frmBaseRightSetNew"));
    SetTitle(QStringLiteral("基本信息授权"));
    FHelpName = QStringLiteral("文件/基本信息授权");
    auto *root = new QVBoxLayout(pnlEntry);
    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("权限类型 :"), pnlEntry));
    cboxBaseType = new QComboBox(pnlEntry);
    cboxBaseType->setObjectName(QStringLiteral("cboxBaseType"));
    top->addWidget(cboxBaseType);
    top->addStretch();
    top->addWidget(new QLabel(QStringLiteral("注：会计主管拥有所有基本信息的权限。"), pnlEntry));
    root->addLayout(top);
    auto *split = new QSplitter(pnlEntry);
    TrvLeft = new QTreeWidget(split);
    TrvLeft->setObjectName(QStringLiteral("TrvLeft"));
    TrvLeft->setHeaderHidden(true);
    TrvLeft->setContextMenuPolicy(Qt::CustomContextMenu);
    BaseInformation = new QTreeWidget(split);
    BaseInformation->setObjectName(QStringLiteral("BaseInformation"));
    BaseInformation->setHeaderHidden(true);
    DataGrid = new TKvGGeneralGrid(split);
    DataGrid->setObjectName(QStringLiteral("DataGrid"));
    DataGrid->installEventFilter(this);
    root->addWidget(split, 1);

    btnNewGroup = AddBottomButton(QStringLiteral("btnNewGroup"), QStringLiteral("新增组"));
    btnAll = AddBottomButton(QStringLiteral("btnAll"), QStringLiteral("全选"));
    btnUnAll = AddBottomButton(QStringLiteral("btnUnAll"), QStringLiteral("全消"));
    btnHelp = AddBottomButton(QStringLiteral("btnHelp"), QStringLiteral("帮助"));
    btnClose = AddBottomButton(QStringLiteral("btnClose"), QStringLiteral("关闭"), mrCancel);
    PopGroup = new QMenu(this);
    PopGroup->setObjectName(QStringLiteral("PopGroup"));
    NEditGroup = PopGroup->addAction(QStringLiteral("修改"), this, &TfrmBaseRightSetNew::NEditGroupClick);
    NDelGroup = PopGroup->addAction(QStringLiteral("删除"), this, &TfrmBaseRightSetNew::NDelGroupClick);
    NCopy = PopGroup->addAction(QStringLiteral("复制"), this, &TfrmBaseRightSetNew::NCopyClick);
    PoPUser = new QMenu(this);
    PoPUser->setObjectName(QStringLiteral("PoPUser"));
    MenuSet = PoPUser->addAction(QStringLiteral("设置权限组"), this, &TfrmBaseRightSetNew::MenuSetClick);

    connect(btnNewGroup, &QPushButton::clicked, this, &TfrmBaseRightSetNew::btnNewGroupClick);
    connect(btnAll, &QPushButton::clicked, this, [this] { SetAll(true); });
    connect(btnUnAll, &QPushButton::clicked, this, [this] { SetAll(false); });
    connect(btnHelp, &QPushButton::clicked, this, &TfrmBaseRightSetNew::ShowHelp);
    connect(TrvLeft, &QTreeWidget::currentItemChanged, this, [this] { LoadGrid(); });
    connect(BaseInformation, &QTreeWidget::currentItemChanged, this, [this] { LoadGrid(); });
    connect(TrvLeft, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        QTreeWidgetItem *node = TrvLeft->itemAt(pos);
        if (!node || node->data(0, IdRole).toString().startsWith(u'-'))
            return;
        TrvLeft->setCurrentItem(node);
        (node->data(0, IsGroupRole).toBool() ? PopGroup : PoPUser)->popup(TrvLeft->mapToGlobal(pos));
    });
    connect(DataGrid, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (column == DataGrid->ColumnOfField(QStringLiteral("Selected")))
            ToggleRow(row);
    });

    FKinds = uBaseRightKinds::OfferedKinds();
    for (const uBaseRightKinds::TBaseRightKind &k : FKinds)
        cboxBaseType->addItem(k.Caption);
    connect(cboxBaseType, &QComboBox::currentIndexChanged, this, &TfrmBaseRightSetNew::SetKind);
    SetKind(0);
}

bool TfrmBaseRightSetNew::Execute()
{
    TfrmBaseRightSetNew form;
    form.exec();
    return false;
}

void TfrmBaseRightSetNew::SetKind(int index)
{
    if (index < 0 || index >= FKinds.size())
        return;
    const uBaseRightKinds::TBaseRightKind &k = FKinds.at(index);
    cMode = k.Code;
    DataGrid->SetColumns(
        {uBaseRightKinds::IdColumn(QStringLiteral("TypeID")),
         TGridColumn{QStringLiteral("UserCode"), k.RecordWord + QStringLiteral("编号"), {}, 0, true},
         TGridColumn{QStringLiteral("FullName"), k.RecordWord + QStringLiteral("全名"), {}, 0, true},
         TGridColumn{QStringLiteral("Selected"), QStringLiteral("有否权限"), {}, 0, true}});
    LoadTrees();
}

void TfrmBaseRightSetNew::LoadTrees()
{
    const uBaseRightKinds::TBaseRightKind &k = uBaseRightKinds::KindOf(cMode);
    const QSignalBlocker blockLeft(TrvLeft), blockInfo(BaseInformation);
    TrvLeft->clear();
    FNodeGroup = AddNode(TrvLeft->invisibleRootItem(), QStringLiteral("基本信息权限组"), QStringLiteral("-1"),
                         true, {});
    TClientDataSet groups;
    Udlldbservice::OpenSQL(QStringLiteral("SELECT %1 AS ID, RightName FROM %2 WHERE %1 <> 1 ORDER BY %1")
                               .arg(k.GroupColumn, k.GroupTable),
                           groups);
    for (groups.First(); !groups.Eof(); groups.Next()) {
        const QString id = groups.FieldByName(QStringLiteral("ID")).AsString();
        const QString name = groups.FieldByName(QStringLiteral("RightName")).AsString();
        QTreeWidgetItem *group = AddNode(FNodeGroup, name, id, true, name);
        TClientDataSet members;
        Udlldbservice::OpenSQL(kOperatorColumns +
                                   QStringLiteral("FROM %1 g INNER JOIN Employee E ON g.EtypeID = E.TypeId "
                                                  "INNER JOIN T_GBL_LoginUser L ON g.EtypeID = L.ETypeId "
                                                  "WHERE g.%2 = ? AND E.Deleted <> 1 AND E.TypeId <> '00000' "
                                                  "ORDER BY E.UserCode")
                                       .arg(k.MemberTable, k.GroupColumn),
                               {groups.FieldByName(QStringLiteral("ID")).AsInteger()}, members);
        AddOperators(group, members);
    }
    FNodeUser = AddNode(TrvLeft->invisibleRootItem(), QStringLiteral("待授权操作员"), QStringLiteral("-2"),
                        false, {});
    TClientDataSet free;
    Udlldbservice::OpenSQL(kOperatorColumns +
                               QStringLiteral("FROM Employee E INNER JOIN T_GBL_LoginUser L ON E.TypeId = "
                                              "L.ETypeId AND E.TypeId <> '00000' WHERE E.Deleted <> 1 AND "
                                              "L.ETypeId NOT IN (SELECT EtypeID FROM %1) ORDER BY E.UserCode")
                                   .arg(k.MemberTable),
                           free);
    AddOperators(FNodeUser, free);
    TrvLeft->expandAll();

    BaseInformation->clear();
    QTreeWidgetItem *all = AddNode(BaseInformation->invisibleRootItem(), QStringLiteral("全部") + k.Name,
                                   QStringLiteral("00000"), false, {});
    TClientDataSet classes;
    Udlldbservice::OpenProcByName(QStringLiteral("P_JXC_RtLoadBaseRight;1"), {QStringLiteral("@cMode")},
                                  {QString(cMode)}, classes);
    QHash<QString, QTreeWidgetItem *> byId{{QStringLiteral("00000"), all}};
    // Sorted by id, a parent comes before its children.
    for (classes.First(); !classes.Eof(); classes.Next()) {
        QTreeWidgetItem *parent = byId.value(classes.FieldByName(QStringLiteral("ParId")).AsString(), all);
        const QString id = classes.FieldByName(QStringLiteral("TypeId")).AsString();
        byId.insert(
            id, AddNode(parent, classes.FieldByName(QStringLiteral("FullName")).AsString(), id, false, {}));
    }
    BaseInformation->expandAll();
    BaseInformation->setCurrentItem(all);
    if (!SelectNode(oldSelectEtype, oldSelectIsGroup))
        TrvLeft->setCurrentItem(FNodeGroup);
    LoadGrid();
}

bool TfrmBaseRightSetNew::SelectNode(const QString &id, bool isGroup)
{
    if (id.isEmpty())
        return false;
    for (QTreeWidgetItemIterator it(TrvLeft); *it; ++it)
        if ((*it)->data(0, IdRole).toString() == id && (*it)->data(0, IsGroupRole).toBool() == isGroup) {
            TrvLeft->setCurrentItem(*it);
            return true;
        }
    return false;
}

TfrmBaseRightSetNew::TNode TfrmBaseRightSetNew::SelectedNode() const
{
    const QTreeWidgetItem *node = TrvLeft->currentItem();
    if (!node || node->data(0, IdRole).toString().startsWith(u'-'))
        return {};
    return {node->data(0, IdRole).toString(), node->data(0, IsGroupRole).toBool(),
            node->data(0, NameRole).toString()};
}

void TfrmBaseRightSetNew::LoadGrid()
{
    const TNode node = SelectedNode();
    oldSelectEtype = node.Id;
    oldSelectIsGroup = node.IsGroup;
    const QTreeWidgetItem *cls = BaseInformation->currentItem();
    const QString parId = cls ? cls->data(0, IdRole).toString() : QStringLiteral("00000");
    TClientDataSet rows;
    if (!node.Id.isEmpty()) {
        const QStringList paging{QStringLiteral("@IsPaging"), QStringLiteral("@PageSize"),
                                 QStringLiteral("@PageIndex"), QStringLiteral("@PageTotal")};
        const QVariantList pagingValues{0, 50, 0, 0};
        if (node.IsGroup)
            Udlldbservice::OpenProcByName(
                QStringLiteral("P_LoadBaseRightsByGroup;1"),
                QStringList{QStringLiteral("@cMode"), QStringLiteral("@ParID"), QStringLiteral("@GroupId")} +
                    paging,
                QVariantList{QString(cMode), parId, node.Id.toInt()} + pagingValues, rows);
        else
            Udlldbservice::OpenProcByName(QStringLiteral("P_LoadBaseRights;1"),
                                          QStringList{QStringLiteral("@cMode"), QStringLiteral("@ParID"),
                                                      QStringLiteral("@OperatorID")} +
                                              paging,
                                          QVariantList{QString(cMode), parId, node.Id} + pagingValues, rows);
    }
    const QSignalBlocker block(DataGrid);
    if (rows.FieldCount() > 0)
        DataGrid->LoadFromDataSet(rows);
    else
        DataGrid->setRowCount(0);
    const int column = DataGrid->ColumnOfField(QStringLiteral("Selected"));
    for (int row = 0; row < DataGrid->rowCount(); ++row)
        if (QTableWidgetItem *item = DataGrid->item(row, column)) {
            const bool on = item->text() == u"1";
            item->setText({});
            // Shown as a check box, changed only through ToggleRow (click or space), which stores it.
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
        }
}

bool TfrmBaseRightSetNew::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == DataGrid && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Space && DataGrid->currentRow() >= 0) {
        ToggleRow(DataGrid->currentRow());
        return true;
    }
    return TfrmDialogParent::eventFilter(watched, event);
}

int TfrmBaseRightSetNew::GroupForChange(const QString &noGroupText) const
{
    const TNode node = SelectedNode();
    if (node.Id.isEmpty() || !node.IsGroup) {
        Udllmessageintf::ShowWarningMsg(noGroupText);
        return -1;
    }
    return node.Id.toInt();
}

void TfrmBaseRightSetNew::ToggleRow(int row)
{
    if (GroupForChange(QStringLiteral("只能对权限组进行权限设置。")) < 0)
        return;
    const QTableWidgetItem *item = DataGrid->item(row, DataGrid->ColumnOfField(QStringLiteral("Selected")));
    if (item)
        SetGrant(row, item->checkState() != Qt::Checked, false);
}

void TfrmBaseRightSetNew::SetAll(bool selected)
{
    if (GroupForChange(QStringLiteral("请选择权限组进行权限设置。")) < 0)
        return;
    for (int row = 0; row < DataGrid->rowCount(); ++row)
        if (!SetGrant(row, selected, true))
            break;
}

// One call of the grant procedure for a grid row; the messages of a single change name the record,
// those of a run over the grid the group.
bool TfrmBaseRightSetNew::SetGrant(int row, bool selected, bool batch)
{
    const TNode group = SelectedNode();
    if (group.Id.toInt() == uBaseRightKinds::SuperGroupId) {
        Udllmessageintf::ShowWarningMsg(batch ? QStringLiteral("超级组不能设置。")
                                              : QStringLiteral("不能对超级组进行权限设置。"));
        return false;
    }
    const int r = Udlldbservice::ExecuteProcByName(
        QStringLiteral("P_SetRightGroupToBaseType;1"),
        {QStringLiteral("@cMode"), QStringLiteral("@GroupID"), QStringLiteral("@BaseTypeID"),
         QStringLiteral("@Selected"), QStringLiteral("@IsLeaf")},
        {QString(cMode), group.Id.toInt(), DataGrid->CellText(row, QStringLiteral("TypeID")),
         selected ? 1 : 0, 1});
    if (r >= 1) {
        const QSignalBlocker block(DataGrid);
        DataGrid->item(row, DataGrid->ColumnOfField(QStringLiteral("Selected")))
            ->setCheckState(selected ? Qt::Checked : Qt::Unchecked);
        return true;
    }
    const QString record = DataGrid->CellText(row, QStringLiteral("FullName"));
    QString text;
    if (r == -1)
        text = QStringLiteral("权限组\"%1\"已经不存在，设置失败。").arg(group.Name);
    else if (r == -2)
        text = batch ? QStringLiteral("基本信息已经不存在，设置失败。")
                     : QStringLiteral("基本信息\"%1\"已经不存在，设置失败。").arg(record);
    else if (r == -3)
        text = batch ? QStringLiteral("超级组不能设置。") : QStringLiteral("不能对超级组进行权限设置。");
    else
        text = batch ? QStringLiteral("权限组\"%1\"设置失败，请重试。").arg(group.Name)
                     : QStringLiteral("设置失败，请重试。");
    Udllmessageintf::ShowWarningMsg(text);
    return false;
}

void TfrmBaseRightSetNew::btnNewGroupClick()
{
    TfrmBaseRightGroupAdd dialog(u'A', cMode, 0, {}, {}, this);
    if (dialog.exec() == mrOk && dialog.Result())
        LoadTrees();
}

void TfrmBaseRightSetNew::EditGroup(QChar mode)
{
    const TNode node = SelectedNode();
    if (node.Id.isEmpty() || !node.IsGroup)
        return;
    const uBaseRightKinds::TBaseRightKind &k = uBaseRightKinds::KindOf(cMode);
    const QString comment =
        Udlldbservice::GetValueFromSQL(
            QStringLiteral("SELECT Comment FROM %1 WHERE %2 = ?").arg(k.GroupTable, k.GroupColumn),
            {node.Id.toInt()})
            .toString();
    TfrmBaseRightGroupAdd dialog(mode, cMode, node.Id.toInt(), node.Name, comment, this);
    if (dialog.exec() == mrOk && dialog.Result())
        LoadTrees();
}

void TfrmBaseRightSetNew::NEditGroupClick()
{
    EditGroup(u'U');
}

void TfrmBaseRightSetNew::NCopyClick()
{
    EditGroup(u'C');
}

void TfrmBaseRightSetNew::NDelGroupClick()
{
    const TNode node = SelectedNode();
    if (node.Id.isEmpty() || !node.IsGroup)
        return;
    if (!Udllmessageintf::ConfirmYesNo(
            QStringLiteral("确认要删除权限组\"%1\"？删除后不能恢复。").arg(node.Name)))
        return;
    if (TfrmBaseRightGroupAdd::StoreGroup(u'D', cMode, node.Id.toInt(), node.Name, node.Name, {}))
        LoadTrees();
}

void TfrmBaseRightSetNew::MenuSetClick()
{
    const TNode node = SelectedNode();
    if (node.Id.isEmpty() || node.IsGroup)
        return;
    TfrmBaseRightEmployee dialog(cMode, node.Id, node.Name, this);
    if (dialog.exec() == mrOk && dialog.Result())
        LoadTrees();
}
