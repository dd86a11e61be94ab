#include "uRightSet.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>

#include "ClientDataSet.h"
#include "Udllbaseselect.h"
#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "Udllserverobject.h"
#include "Udllsystemintf.h"
#include "uDllComm.h"
#include "uMessageComm.h"
#include "uOrvaneCommon.h"
#include "uRightGroupInput.h"
#include "uRightGroupSelect.h"
#include "uRightRules.h"

namespace {
constexpr int RecRole = Qt::UserRole;
constexpr int ImageRole = Qt::UserRole + 1; // 0 group, 1 operator, 3 accounting supervisor
const QString kAdministrator = QStringLiteral("00000");
const QString kNotCustomGroup = QStringLiteral("请选择一个自定义权限组，才能进行此操作。");

void Box(const QString &text)
{
    Udllmessageintf::SuperMessageBox(text);
}

QString Quoted(const QString &name)
{
    return u'"' + name + u'"';
}

// "1,2,3" as bound values and their placeholders.
QVariantList IdValues(const QString &ids, QString &placeholders)
{
    QVariantList values;
    QStringList marks;
    for (const QString &id : ids.split(u',', Qt::SkipEmptyParts)) {
        values << id.trimmed().toInt();
        marks << QStringLiteral("?");
    }
    placeholders = marks.join(u',');
    return values;
}

int DealLoginUser(int mode, const QString &etypeId)
{
    return Udlldbservice::ExecuteProcByName(QStringLiteral("P_GBL_DealLoginUser;1"),
                                            {QStringLiteral("@lMode"), QStringLiteral("@szETypeID"),
                                             QStringLiteral("@Custom1"), QStringLiteral("@Custom2")},
                                            {mode, etypeId, QString(), QString()});
}

QString NewString(int size, bool granted)
{
    return QString(size, granted ? QLatin1Char('1') : QLatin1Char('0'));
}

// Right kinds hidden by the edition: each rule replaces the one before.
QStringList HiddenKinds(int edition)
{
    QStringList hidden;
    if (edition < 3680 && edition != 2680)
        hidden = {QStringLiteral("0000200009"), QStringLiteral("0000200011"), QStringLiteral("0000300012"),
                  QStringLiteral("0000300004"), QStringLiteral("0000300013"), QStringLiteral("00007"),
                  QStringLiteral("00008"),      QStringLiteral("0000300020")};
    if (edition == 2680)
        hidden = {QStringLiteral("0000200009"), QStringLiteral("0000200011"), QStringLiteral("0000300004"),
                  QStringLiteral("0000300013"), QStringLiteral("0000300020")};
    if (edition > 4680 &&
        Udlldbservice::GetValueFromSQL(
            QStringLiteral("SELECT count(1) FROM VersionFunction WHERE FunctionNO = 2162 AND PubVersion = ?"),
            {edition})
                .toInt() == 0)
        hidden = {QStringLiteral("0000200012")};
    if (edition == 4680)
        hidden = {QStringLiteral("0000200011"), QStringLiteral("0000300013")};
    return hidden;
}
} // namespace

TfrmRightSet::TfrmRightSet(QWidget *parent) : TfrmDialogQueryParent(parent)
{
    setObjectName(QStringLiteral("frmRightSet"));
    auto *splitter = new QSplitter(this);
    TrvLeft = new QTreeWidget(splitter);
    TrvLeft->setObjectName(QStringLiteral("TrvLeft"));
    TrvLeft->setHeaderHidden(true);
    TrvLeft->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TrvLeft->setSelectionBehavior(QAbstractItemView::SelectRows);
    TrvLeft->setContextMenuPolicy(Qt::CustomContextMenu);
    auto *right = new QWidget(splitter);
    auto *rightLayout = new QVBoxLayout(right);
    lblSelectOper = new QLabel(right);
    lblSelectOper->setObjectName(QStringLiteral("lblSelectOper"));
    KVLimitClass1 = new TKVLimitClass(right);
    KVLimitClass1->setObjectName(QStringLiteral("KVLimitClass1"));
    rightLayout->addWidget(lblSelectOper);
    rightLayout->addWidget(KVLimitClass1, 1);
    splitter->setStretchFactor(1, 1);
    QueryLayout()->addWidget(splitter, 1);
    auto *tip = new QLabel(QStringLiteral("权限组和操作员相关设置请点击鼠标右键完成"), this);
    tip->setObjectName(QStringLiteral("lblTip"));
    QueryLayout()->addWidget(tip);
    SetStatusText(
        QStringLiteral("注：选择权限组才能修改权限，会计组和系统组的权限不能修改。权限修改后会立即保存，"
                       "操作员再次登录才能生效。"));

    const auto button = [this](const char *name, const QString &text, void (TfrmRightSet::*slot)()) {
        QPushButton *b = AddBottomButton(QString::fromLatin1(name), text);
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    const auto tool = [this](const char *name, const QString &text, void (TfrmRightSet::*slot)()) {
        QAction *a = ToolBar->addAction(text, this, slot);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    const auto close = [this] { done(mrCancel); };
    btnNewGroup = button("btnNewGroup", QStringLiteral("新增组"), &TfrmRightSet::btnNewGroupClick);
    btnNewUser = button("btnNewUser", QStringLiteral("新增操作员"), &TfrmRightSet::btnNewUserClick);
    btnAll = button("btnAll", QStringLiteral("全选"), &TfrmRightSet::btnAllClick);
    btnUnAll = button("btnUnAll", QStringLiteral("全消"), &TfrmRightSet::btnUnAllClick);
    btnHelp = button("btnHelp", QStringLiteral("帮助"), &TQuillForm::ShowHelp);
    btnClose = AddBottomButton(QStringLiteral("btnClose"), QStringLiteral("关闭"), mrCancel);
    tbtnNewGroup = tool("tbtnNewGroup", QStringLiteral("新增组"), &TfrmRightSet::btnNewGroupClick);
    tbtnNewUser = tool("tbtnNewUser", QStringLiteral("新增操作员"), &TfrmRightSet::btnNewUserClick);
    tbtnAll = tool("tbtnAll", QStringLiteral("全选"), &TfrmRightSet::btnAllClick);
    tbtnUnAll = tool("tbtnUnAll", QStringLiteral("全消"), &TfrmRightSet::btnUnAllClick);
    tbtnHelp = tool("tbtnHelp", QStringLiteral("帮助"), &TQuillForm::ShowHelp);
    tbtnClose = ToolBar->addAction(QStringLiteral("关闭"), this, close);
    tbtnClose->setObjectName(QStringLiteral("tbtnClose"));

    const auto item = [this](QMenu *menu, const char *name, const QString &text,
                             void (TfrmRightSet::*slot)()) {
        QAction *a = menu->addAction(text, this, slot);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    PopGroup = new QMenu(this);
    PopGroup->setObjectName(QStringLiteral("PopGroup"));
    NEditGroup =
        item(PopGroup, "NEditGroup", QStringLiteral("修改权限组(&M)"), &TfrmRightSet::NEditGroupClick);
    NDelGroup = item(PopGroup, "NDelGroup", QStringLiteral("删除权限组(&D)"), &TfrmRightSet::NDelGroupClick);
    NCopy = item(PopGroup, "NCopy", QStringLiteral("复制权限组(&C)"), &TfrmRightSet::NCopyClick);
    PoPUser = new QMenu(this);
    PoPUser->setObjectName(QStringLiteral("PoPUser"));
    MenuDel = item(PoPUser, "MenuDel", QStringLiteral("删除操作员(&D)"), &TfrmRightSet::MenuDelClick);
    MenuSet = item(PoPUser, "MenuSet", QStringLiteral("设置权限组(&S)"), &TfrmRightSet::MenuSetClick);
    mniClearPassword = item(PoPUser, "mniClearPassword", QStringLiteral("清空密码(&P)"),
                            &TfrmRightSet::mniClearPasswordClick);
    mniSetManager = item(PoPUser, "mniSetManager", QStringLiteral("设置为会计主管(&A)"),
                         &TfrmRightSet::mniSetManagerClick);

    connect(TrvLeft, &QTreeWidget::currentItemChanged, this, [this] {
        if (!FRebuilding)
            TrvLeftChange();
    });
    connect(TrvLeft, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        QTreeWidgetItem *node = TrvLeft->itemAt(pos);
        if (!node)
            return;
        TrvLeft->setCurrentItem(node);
        if (!node->parent())
            return; // the roots have no menu
        (SelectedRec().IsGroup ? PopGroup : PoPUser)->popup(TrvLeft->viewport()->mapToGlobal(pos));
    });

    KVLimitClass1->OnSetLimitBefore = [this](int r, bool v, bool &allow) {
        KVLimitClass1SetLimitBefore(r, v, allow);
    };
    KVLimitClass1->OnUserSetLimit = [this](int r, bool v) { KVLimitClass1UserSetLimit(r, v); };
    KVLimitClass1->OnLoadBtnLimit = [this](int r, QString &d) { KVLimitClass1LoadBtnLimit(r, d); };
    KVLimitClass1->OnSetBtnLimitBefore = [this](int r, int d, bool v, bool &allow) {
        KVLimitClass1SetBtnLimitBefore(r, d, v, allow);
    };
    KVLimitClass1->OnSaveBtnLimit = [this](int r, const QString &d) { KVLimitClass1SaveBtnLimit(r, d); };
    KVLimitClass1->SetPageCount(1);
    TKVLimitPage *page = KVLimitClass1->GetLimitPage(1);
    page->SetCheckBoxVisable(false);
    page->SetNameColCaption(1, QStringLiteral("模块名称"));
    page->SetNameColCaption(2, QStringLiteral("有否权限"));

    FNodeGroup = AddNode(nullptr, QStringLiteral("权限组设置"), TPtreeRec{QString(), true, QString(), 0}, 0);
    FNodeUser = AddNode(nullptr, QStringLiteral("待授权操作员"), TPtreeRec{}, 1);
}

TfrmRightSet::~TfrmRightSet() = default;

QTreeWidgetItem *TfrmRightSet::AddNode(QTreeWidgetItem *parent, const QString &text, const TPtreeRec &rec,
                                       int image)
{
    auto *node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(TrvLeft);
    node->setText(0, text);
    node->setData(0, RecRole, QVariant::fromValue(rec));
    node->setData(0, ImageRole, image);
    return node;
}

TPtreeRec TfrmRightSet::SelectedRec() const
{
    QTreeWidgetItem *node = TrvLeft->currentItem();
    return node ? node->data(0, RecRole).value<TPtreeRec>() : TPtreeRec{};
}

QString TfrmRightSet::SelectedText() const
{
    return TrvLeft->currentItem() ? TrvLeft->currentItem()->text(0) : QString();
}

bool TfrmRightSet::SelectNode(const QString &id, bool isGroup)
{
    for (QTreeWidgetItemIterator it(TrvLeft); *it; ++it) {
        const TPtreeRec rec = (*it)->data(0, RecRole).value<TPtreeRec>();
        if ((*it)->parent() && rec.ID == id && rec.IsGroup == isGroup) {
            TrvLeft->setCurrentItem(*it);
            return true;
        }
    }
    return false;
}

void TfrmRightSet::AddOperatorNodes(QTreeWidgetItem *parent, TClientDataSet &rows, bool &selected)
{
    for (rows.First(); !rows.Eof(); rows.Next()) {
        TPtreeRec rec;
        rec.ID = rows.FieldByName(QStringLiteral("Typeid")).AsString();
        rec.IsManager = rows.FieldByName(QStringLiteral("IsManager")).AsInteger();
        QTreeWidgetItem *node = AddNode(parent, rows.FieldByName(QStringLiteral("FullName")).AsString(), rec,
                                        rec.IsManager == 1 ? 3 : 1);
        if (!selected && !oldSelectEtype.isEmpty() && rec.ID == oldSelectEtype) {
            TrvLeft->setCurrentItem(node);
            selected = true;
        }
    }
}

void TfrmRightSet::LoadRightTree(TTreeBranch branch)
{
    const QString operatorColumns = QStringLiteral("SELECT e.TypeId AS Typeid, e.ParId, e.Leveal, e.Sonnum, "
                                                   "e.UserCode, e.FullName AS FullName, e.Department, "
                                                   "l.IsManager AS IsManager ");
    FRebuilding = true;
    bool selected = false;
    if (branch == TTreeBranch::Groups) {
        qDeleteAll(FNodeGroup->takeChildren());
        TClientDataSet groups;
        Udlldbservice::OpenSQL(QStringLiteral("SELECT ID, GroupName, Memo FROM \"group\" ORDER BY ID"),
                               groups);
        for (groups.First(); !groups.Eof(); groups.Next()) {
            const QString id = groups.FieldByName(QStringLiteral("ID")).AsString();
            QTreeWidgetItem *node =
                AddNode(FNodeGroup, groups.FieldByName(QStringLiteral("GroupName")).AsString(),
                        TPtreeRec{id, true, groups.FieldByName(QStringLiteral("Memo")).AsString(), 0}, 0);
            if (!selected && id == oldSelectEtype) {
                TrvLeft->setCurrentItem(node);
                selected = true;
            }
            TClientDataSet members;
            Udlldbservice::OpenSQL(
                operatorColumns +
                    QStringLiteral("FROM UserToGroup g INNER JOIN T_GBL_LoginUser l ON g.UserId = "
                                   "l.ETypeId INNER JOIN Employee e ON g.UserId = e.TypeId "
                                   "WHERE g.GroupId = ? AND e.Deleted <> 1 AND e.TypeId <> ? "
                                   "ORDER BY l.IsManager DESC, e.TypeId"),
                {id.toInt(), kAdministrator}, members);
            AddOperatorNodes(node, members, selected);
            node->setExpanded(true);
        }
        FNodeGroup->setExpanded(true);
    } else {
        qDeleteAll(FNodeUser->takeChildren());
        TClientDataSet rows;
        Udlldbservice::OpenSQL(
            operatorColumns +
                QStringLiteral("FROM Employee e INNER JOIN T_GBL_LoginUser l ON e.TypeId = l.ETypeId "
                               "AND e.TypeId <> ? WHERE e.Deleted <> 1 AND l.ETypeId NOT IN "
                               "(SELECT UserId FROM UserToGroup) ORDER BY e.UserCode"),
            {kAdministrator}, rows);
        AddOperatorNodes(FNodeUser, rows, selected);
        FNodeUser->setExpanded(true);
    }
    FRebuilding = false;
}

void TfrmRightSet::RebuildTree()
{
    LoadRightTree(TTreeBranch::Groups);
    LoadRightTree(TTreeBranch::Users);
    TrvLeftChange();
}

void TfrmRightSet::LoadRightPage()
{
    if (bLoadAllRight)
        return;
    KVLimitClass1->SetTabSheetCaption(1, QStringLiteral("权限"));
    const int edition = uDllComm::DllParams.PubVersion2;
    const QString kindColumns = QStringLiteral(
        "SELECT TypeID, CAST(TypeID AS INTEGER) AS ID, "
        "CASE WHEN TypeID = '00000' THEN -1 ELSE CAST(ParID AS INTEGER) END AS ParID, "
        "CASE WHEN length(TypeID) = 10 THEN '  ' || FullName ELSE FullName END AS FullName, orderno ");
    TClientDataSet kinds;
    if (!uDllComm::DllParams.IsGL) {
        QString sql = kindColumns + QStringLiteral("FROM t_gbl_rightkind WHERE TypeID NOT IN ('0000300017')");
        if (edition > 880)
            sql += QStringLiteral(" UNION ALL ") + kindColumns +
                   QStringLiteral(
                       "FROM T_OA_GBL_rightKind WHERE TypeID IN ('00012', '0001200005', '0001200004')");
        Udlldbservice::OpenSQL(sql + QStringLiteral(" ORDER BY orderno, TypeID"), kinds);
        const QStringList hidden = HiddenKinds(edition);
        kinds.SetFilter([hidden](const TClientDataSet &ds, const TClientDataSet::Row &row) {
            return !hidden.contains(ds.ValueIn(row, QStringLiteral("TypeID")).toString());
        });
        kinds.SetFiltered(true);
    } else {
        Udlldbservice::OpenSQL(kindColumns +
                                   QStringLiteral("FROM t_gbl_rightkind WHERE TypeID NOT IN ('00002', "
                                                  "'00003') AND ParID NOT IN ('00002', '00003') "
                                                  "ORDER BY orderno, TypeID"),
                               kinds);
    }
    TKVLimitPage *page = KVLimitClass1->GetLimitPage(1);
    page->ClearPartsCaption();
    for (kinds.First(); !kinds.Eof(); kinds.Next())
        page->AddPartsCaption(kinds.FieldByName(QStringLiteral("FullName")).AsString(),
                              kinds.FieldByName(QStringLiteral("ID")).AsInteger(),
                              kinds.FieldByName(QStringLiteral("ParID")).AsInteger());

    TClientDataSet rights;
    Udlldbservice::OpenProcByName(QStringLiteral("p_jxc_RtLoadLimit"),
                                  {QStringLiteral("@Version"), QStringLiteral("@szLimitClass")},
                                  {edition, QStringLiteral("0")}, rights);
    ALimit = QList<TLimitData>(rights.RecordCount() + 1);
    int i = 1;
    for (rights.First(); !rights.Eof(); rights.Next(), ++i) {
        TLimitData &d = ALimit[i];
        d.LimitNo = rights.FieldByName(QStringLiteral("Functionno")).AsInteger();
        d.KindID = rights.FieldByName(QStringLiteral("KindID")).AsString().trimmed().toInt();
        d.Caption = rights.FieldByName(QStringLiteral("Caption")).AsString();
        d.Visible = d.Enabled = d.LimitNo <= uRightRules::RightCount ? 1 : 0;
    }
    page->SetLimitData(rights.RecordCount(), ALimit.constData() + 1);
    page->SetColCount(2);
    page->SetNameColWidth(200);
    page->SetListWidth(120);
    page->SetUseBtnLimit(true);
    page->DisplayLimitData();
    bLoadAllRight = true;
}

void TfrmRightSet::TrvLeftChange()
{
    LoadRightPage();
    oldSelectEtype.clear();
    tbtnAll->setEnabled(false);
    tbtnUnAll->setEnabled(false);
    const TPtreeRec rec = SelectedRec();
    const QString name = SelectedText();
    if (rec.ID.isEmpty()) {
        lblSelectOper->clear();
        ShowGroupRights(QString());
    } else if (!rec.IsGroup) {
        lblSelectOper->setText(QStringLiteral("选择操作员:") + name +
                               (rec.IsManager == 1 ? QStringLiteral("(会计主管)") : QString()));
        oldSelectEtype = rec.ID;
        ShowGroupRights(GetUserGroupIds(rec.ID));
    } else {
        const bool custom = name != uRightRules::DefaultGroup;
        tbtnAll->setEnabled(custom);
        tbtnUnAll->setEnabled(custom);
        lblSelectOper->setText(QStringLiteral("选择权限组:") + name);
        oldSelectEtype = rec.ID;
        ShowGroupRights(rec.ID);
    }
}

QString TfrmRightSet::GetUserGroupIds(const QString &etypeId)
{
    TClientDataSet rows;
    Udlldbservice::OpenSQL(
        QStringLiteral("SELECT GroupID FROM UserToGroup WHERE UserID = ? ORDER BY GroupID"), {etypeId}, rows);
    QStringList ids;
    for (rows.First(); !rows.Eof(); rows.Next())
        ids << rows.FieldByName(QStringLiteral("GroupID")).AsString();
    return ids.join(u',');
}

void TfrmRightSet::ShowGroupRights(const QString &groupIds)
{
    QString rights = NewString(uRightRules::RightCount, false);
    QString marks;
    const QVariantList ids = IdValues(groupIds, marks);
    if (!ids.isEmpty()) {
        TClientDataSet rows;
        Udlldbservice::OpenSQL(QStringLiteral("SELECT LimitNo FROM T_Gbl_UserPower WHERE GroupID IN (%1) "
                                              "ORDER BY LimitNo")
                                   .arg(marks),
                               ids, rows);
        for (rows.First(); !rows.Eof(); rows.Next()) {
            const int no = rows.FieldByName(QStringLiteral("LimitNo")).AsInteger();
            if (no >= 1 && no <= uRightRules::RightCount)
                rights[no - 1] = QLatin1Char('1');
        }
    }
    KVLimitClass1->SetLimitString(rights);
    KVLimitClass1->GetLimitPage(1)->DisplayLimitData();
    // The detail list follows the node as well.
    if (const int current = KVLimitClass1->CurrentLimitNo(); current > 0) {
        QString details;
        KVLimitClass1LoadBtnLimit(current, details);
        KVLimitClass1->SetBtnLimitString(details);
        KVLimitClass1->DisplayBtnLimit();
    }
}

bool TfrmRightSet::IsCustomGroup() const
{
    const TPtreeRec rec = SelectedRec();
    return !rec.ID.isEmpty() && rec.IsGroup && SelectedText() != uRightRules::DefaultGroup;
}

int TfrmRightSet::SelectedGroupId() const
{
    return SelectedRec().ID.toInt();
}

bool TfrmRightSet::GroupExists(int id)
{
    return Udlldbservice::GetValueFromSQL(QStringLiteral("SELECT count(1) FROM \"group\" WHERE ID = ?"), {id})
               .toInt() > 0;
}

QString TfrmRightSet::SelectedGroupIds()
{
    const TPtreeRec rec = SelectedRec();
    return rec.IsGroup ? rec.ID : GetUserGroupIds(rec.ID);
}

bool TfrmRightSet::GroupHasRight(int right, int group)
{
    return !Udlldbservice::GetValueFromSQL(
                QStringLiteral(
                    "SELECT 1 FROM T_Gbl_FunctionList f INNER JOIN T_Gbl_UserPower u ON f.FunctionNo = "
                    "u.LimitNo WHERE u.GroupID = ? AND f.FunctionNo = ?"),
                {group, right})
                .isNull();
}

void TfrmRightSet::SetGroupRight(int group, int right, bool grant)
{
    if (grant)
        Udlldbservice::ExecuteSQL(
            QStringLiteral("INSERT INTO T_Gbl_UserPower (LimitNo, GroupID, LimitPower) "
                           "VALUES (?, ?, ?) ON CONFLICT (GroupID, LimitNo) DO NOTHING"),
            {right, group, NewString(uRightRules::DetailCount, true)});
    else
        Udlldbservice::ExecuteSQL(
            QStringLiteral("DELETE FROM T_Gbl_UserPower WHERE LimitNo = ? AND GroupID = ?"), {right, group});
}

void TfrmRightSet::RightsChanged(const QString &what)
{
    uOrvaneCommon::WriteSysEvent(QStringLiteral("操作员授权：权限组“%1”%2").arg(SelectedText(), what));
}

void TfrmRightSet::KVLimitClass1SetLimitBefore(int right, bool value, bool &allow)
{
    allow = false;
    if (!IsCustomGroup())
        return;
    const int group = SelectedGroupId();
    if (const int coupled = uRightRules::CoupledRight(right, value);
        coupled && GroupHasRight(coupled, group) != value) {
        Box(value ? uRightRules::GrantsOtherBills : uRightRules::RevokesAuditCentre);
        SetGroupRight(group, coupled, value);
    }
    allow = true;
}

void TfrmRightSet::KVLimitClass1UserSetLimit(int right, bool value)
{
    if (!IsCustomGroup())
        return;
    const QString details = NewString(uRightRules::DetailCount, value);
    Udlldbservice::ExecuteProcByName(
        QStringLiteral("p_KOVA_SaveLimit"),
        {QStringLiteral("@cMode"), QStringLiteral("@nGroupID"), QStringLiteral("@nFunctionNo"),
         QStringLiteral("@szPowerLimit")},
        {value ? QStringLiteral("A") : QStringLiteral("D"), SelectedGroupId(), right, details});
    RightsChanged((value ? QStringLiteral("授予权限%1") : QStringLiteral("取消权限%1")).arg(right));
    if (right == KVLimitClass1->CurrentLimitNo()) {
        KVLimitClass1->SetBtnLimitString(details);
        KVLimitClass1->DisplayBtnLimit();
    }
    if (right == uRightRules::AuditCentre || right == uRightRules::OtherOperatorsBills)
        ShowGroupRights(SelectedRec().ID);
}

void TfrmRightSet::KVLimitClass1LoadBtnLimit(int right, QString &details)
{
    TClientDataSet rows;
    Udlldbservice::OpenProcByName(uDllComm::DllParams.IsCMSQ || uDllComm::DllParams.IsGL
                                      ? QStringLiteral("SL_GetPowerRelation")
                                      : QStringLiteral("SL_GM_GetPowerRelation"),
                                  {QStringLiteral("@nLimitNo")}, {right}, rows);
    KVLimitClass1->ClearBtnLimit();
    for (rows.First(); !rows.Eof(); rows.Next())
        KVLimitClass1->AddBtnLimit(rows.FieldByName(QStringLiteral("Detailno")).AsInteger(),
                                   rows.FieldByName(QStringLiteral("DisplayName")).AsString());
    details = NewString(uRightRules::DetailCount, false);
    QString marks;
    const QVariantList ids = IdValues(SelectedGroupIds(), marks);
    if (ids.isEmpty())
        return;
    TClientDataSet powers;
    Udlldbservice::OpenSQL(
        QStringLiteral("SELECT LimitPower FROM T_Gbl_UserPower WHERE GroupID IN (%1) AND LimitNo = ?")
            .arg(marks),
        ids + QVariantList{right}, powers);
    for (powers.First(); !powers.Eof(); powers.Next()) {
        const QString power = powers.FieldByName(QStringLiteral("LimitPower")).AsString();
        for (int k = 0; k < qMin(power.size(), int(uRightRules::DetailCount)); ++k)
            if (power.at(k) == QLatin1Char('1'))
                details[k] = QLatin1Char('1');
    }
}

void TfrmRightSet::KVLimitClass1SetBtnLimitBefore(int right, int detail, bool value, bool &allow)
{
    allow = false;
    if (!IsCustomGroup())
        return;
    if (!GroupHasRight(right, SelectedGroupId())) {
        if (Udlldbservice::GetValueFromSQL(QStringLiteral("SELECT count(*) AS num FROM T_Gbl_PowerRelation "
                                                          "WHERE LimitNo = ?"),
                                           {right})
                .toInt() != 0)
            Box(QStringLiteral("请先选择模块权限，修改明细权限才能有效。"));
        return;
    }
    const auto hasDetail = [right](int d) {
        return Udlldbservice::GetValueFromSQL(
                   QStringLiteral(
                       "SELECT CASE WHEN EXISTS(SELECT 1 FROM T_Gbl_PowerRelation WHERE LimitNo = ? "
                       "AND DetailNo = ?) THEN 1 ELSE 0 END"),
                   {right, d})
                   .toInt() == 1;
    };
    for (const uRightRules::TDetailChange &c : uRightRules::CoupledDetails(detail, value, hasDetail))
        KVLimitClass1->SetBtnLimit(right, c.DetailNo, c.Value);
    allow = true;
}

void TfrmRightSet::KVLimitClass1SaveBtnLimit(int right, const QString &details)
{
    const TPtreeRec rec = SelectedRec();
    if (!rec.IsGroup || rec.ID.isEmpty())
        return;
    Udlldbservice::ExecuteSQL(QStringLiteral("INSERT INTO T_Gbl_UserPower (LimitNo, GroupID, LimitPower) "
                                             "VALUES (?, ?, ?) ON CONFLICT (GroupID, LimitNo) "
                                             "DO UPDATE SET LimitPower = excluded.LimitPower"),
                              {right, rec.ID.toInt(), details});
    RightsChanged(
        QStringLiteral("权限%1的明细权限改为%2").arg(right).arg(details.left(details.lastIndexOf(u'1') + 1)));
}

void TfrmRightSet::SetAllRights(bool grant)
{
    if (!IsCustomGroup()) {
        Box(kNotCustomGroup);
        return;
    }
    const int group = SelectedGroupId();
    if (!GroupExists(group)) {
        Box(QStringLiteral("权限组") + SelectedText() + QStringLiteral("已经不存在，设置失败。"));
        return;
    }
    const QString details = NewString(uRightRules::DetailCount, grant);
    Udlldbservice::BeginTrans();
    try {
        for (int right : KVLimitClass1->GetLimitPage(1)->GetLimitNoList())
            Udlldbservice::ExecuteProcByName(
                QStringLiteral("p_KOVA_SaveLimit"),
                {QStringLiteral("@cMode"), QStringLiteral("@nGroupID"), QStringLiteral("@nFunctionNo"),
                 QStringLiteral("@szPowerLimit")},
                {grant ? QStringLiteral("A") : QStringLiteral("D"), group, right, details});
        RightsChanged(grant ? QStringLiteral("全选") : QStringLiteral("全消"));
        Udlldbservice::CommitTrans();
    } catch (...) {
        Udlldbservice::RollBackTrans();
        throw;
    }
    ShowGroupRights(SelectedRec().ID);
}

void TfrmRightSet::btnAllClick()
{
    SetAllRights(true);
}

void TfrmRightSet::btnUnAllClick()
{
    SetAllRights(false);
}

bool TfrmRightSet::ShowRightGroupInput(const QString &name, const QString &memo, const QString &oldName,
                                       QChar mode, int id)
{
    TfrmRightGroupInput form(mode, id, oldName, this);
    form.lbeName->setText(name);
    form.lbeMemo->setText(memo);
    form.exec();
    return form.Result();
}

bool TfrmRightSet::ShowRightGroupSelect(const QString &etypeId, const QString &name, bool isManager)
{
    TfrmRightGroupSelect form(etypeId, name, isManager, this);
    form.exec();
    return form.Result();
}

void TfrmRightSet::EditGroup(QChar mode)
{
    const TPtreeRec rec = SelectedRec();
    const QString name = mode == u'N' ? QString() : SelectedText();
    if (mode != u'N' && (!rec.IsGroup || rec.ID.isEmpty()))
        return;
    if (mode == u'M' && name == uRightRules::DefaultGroup) {
        Box(Quoted(name) + QStringLiteral("不能被修改。"));
        return;
    }
    if (ShowRightGroupInput(name, mode == u'N' ? QString() : rec.Memo, name, mode,
                            mode == u'N' ? 0 : rec.ID.toInt())) {
        LoadRightTree(TTreeBranch::Groups);
        TrvLeftChange();
    }
}

void TfrmRightSet::btnNewGroupClick()
{
    EditGroup(u'N');
}

void TfrmRightSet::NEditGroupClick()
{
    EditGroup(u'M');
}

void TfrmRightSet::NCopyClick()
{
    EditGroup(u'C');
}

void TfrmRightSet::NDelGroupClick()
{
    const TPtreeRec rec = SelectedRec();
    const QString name = SelectedText();
    if (!rec.IsGroup || rec.ID.isEmpty())
        return;
    if (name == uRightRules::DefaultGroup) {
        Box(Quoted(name) + QStringLiteral("不能被删除。"));
        return;
    }
    if (!Udllmessageintf::ConfirmOKCancel(QStringLiteral("确认要删除权限组") + Quoted(name) +
                                          QStringLiteral("？删除后不能恢复。")))
        return;
    if (!GroupExists(rec.ID.toInt())) {
        Box(QStringLiteral("权限组") + name + QStringLiteral("已经不存在，删除失败。"));
        return;
    }
    const int result = Udlldbservice::ExecuteProcByName(
        QStringLiteral("P_jxc_InsertGroup;1"),
        {QStringLiteral("@ckind"), QStringLiteral("@nId"), QStringLiteral("@Name"), QStringLiteral("@memo")},
        {QStringLiteral("D"), rec.ID.toInt(), name, QString()});
    if (result == -3) {
        Box(QStringLiteral("权限组“%1”已经分配给了操作员，不能删除该权限组。").arg(name));
        return;
    }
    if (result < 0)
        return;
    uOrvaneCommon::WriteSysEvent(QStringLiteral("操作员授权：删除权限组“%1”").arg(name));
    Box(QStringLiteral("删除权限组") + Quoted(name) + QStringLiteral("成功。"));
    LoadRightTree(TTreeBranch::Groups);
    lblSelectOper->clear();
    TrvLeftChange();
}

void TfrmRightSet::MenuSetClick()
{
    const TPtreeRec rec = SelectedRec();
    if (rec.IsGroup || rec.ID.isEmpty())
        return;
    if (ShowRightGroupSelect(rec.ID, SelectedText(), rec.IsManager == 1))
        RebuildTree();
}

void TfrmRightSet::btnNewUserClick()
{
    Udllmessageintf::CheckError(uDllComm::DllParams.IsQuery, QStringLiteral("查询版不能新增操作员。"));
    TBaseRecordList picked;
    if (!Udllbaseselect::SelectBaseData(QStringLiteral("Employee"), QString(), true, picked))
        return;
    TBatchMessage batch;
    QStringList added;
    for (const TBaseRecord &e : std::as_const(picked)) {
        if (e.TypeId.isEmpty())
            continue;
        if (Udlldbservice::GetValueFromSQL(
                QStringLiteral("SELECT CASE WHEN EXISTS(SELECT 1 FROM Employee WHERE "
                               "Sonnum = 0 AND TypeId = ?) THEN 1 ELSE 0 END"),
                {e.TypeId})
                .toInt() == 0) {
            batch.AddMsg(QStringLiteral("职员[%1]已被分类，无法增加。").arg(e.FullName));
            continue;
        }
        if (DealLoginUser(1, e.TypeId) < 0)
            batch.AddMsg(QStringLiteral("职员[%1]已被设置为操作员，无法再次增加。").arg(e.FullName));
        else
            added << e.FullName;
    }
    if (!added.isEmpty())
        uOrvaneCommon::WriteSysEvent(
            QStringLiteral("操作员授权：新增操作员%1").arg(added.join(QStringLiteral("、"))));
    if (batch.HasMsg())
        batch.ShowErrorBatchMsg();
    RebuildTree();
}

void TfrmRightSet::MenuDelClick()
{
    const TPtreeRec rec = SelectedRec();
    const QString name = SelectedText();
    if (rec.IsGroup || rec.ID.isEmpty())
        return;
    if (rec.ID == kAdministrator) {
        Box(QStringLiteral("系统管理员不能被删除。"));
        return;
    }
    if (rec.ID == Udllsystemintf::GetCurrentOperatorId()) {
        Box(QStringLiteral("只能删除其他操作员，不能删除自己。"));
        return;
    }
    if (rec.IsManager == 1) {
        Box(QStringLiteral("操作员[%1]已设置为会计主管，不能被删除。").arg(name));
        return;
    }
    using namespace Udllserverobject;
    Invoke(DispBeginTrans);
    try {
        TClientDataSet procs;
        Udlldbservice::OpenSQL(
            QStringLiteral("SELECT ProcName, IsBefore FROM T_Inf_PlugIn_DealLoginUserProc ORDER BY ID"),
            procs);
        QStringList before, after;
        for (procs.First(); !procs.Eof(); procs.Next())
            (procs.FieldByName(QStringLiteral("IsBefore")).AsInteger() == 1 ? before : after)
                << procs.FieldByName(QStringLiteral("ProcName")).AsString();
        // A plug-in's refusal ends the deletion with its text.
        const auto runPlugIns = [&rec](const QStringList &names) {
            for (const QString &proc : names) {
                TParamList outputs;
                if (Udlldbservice::ExecuteProcByName(proc,
                                                     {QStringLiteral("@EtypeId"), QStringLiteral("@ErrMsg")},
                                                     {rec.ID, QString()}, &outputs) < 0) {
                    Invoke(DispRollBackTrans);
                    Udllmessageintf::ShowErrorMsg(outputs.ParamByName(QStringLiteral("@ErrMsg")).toString());
                    return false;
                }
            }
            return true;
        };
        if (!runPlugIns(before))
            return;
        if (DealLoginUser(4, rec.ID) < 0) {
            Invoke(DispRollBackTrans);
            return;
        }
        if (!runPlugIns(after))
            return;
        uOrvaneCommon::WriteSysEvent(QStringLiteral("操作员授权：删除操作员%1").arg(name));
        Invoke(DispCommitTrans);
    } catch (...) {
        if (Udlldbservice::InTransaction())
            Invoke(DispRollBackTrans);
        throw;
    }
    Box(QStringLiteral("删除操作员[%1]成功。").arg(name));
    RebuildTree();
    lblSelectOper->clear();
}

void TfrmRightSet::mniClearPasswordClick()
{
    const TPtreeRec rec = SelectedRec();
    const QString name = SelectedText();
    if (rec.IsGroup || rec.ID.isEmpty())
        return;
    if (!Udllmessageintf::ConfirmOKCancel(QStringLiteral("请确认是否真的要清空操作员[") + name +
                                          QStringLiteral("]的密码？")))
        return;
    if (DealLoginUser(2, rec.ID) >= 0) {
        uOrvaneCommon::WriteSysEvent(QStringLiteral("操作员授权：清空操作员%1的密码").arg(name));
        Box(QStringLiteral("已经清空操作员[%1]的密码。").arg(name));
    }
}

void TfrmRightSet::mniSetManagerClick()
{
    const TPtreeRec rec = SelectedRec();
    if (rec.IsGroup || rec.ID.isEmpty())
        return;
    if (rec.ID == kAdministrator) {
        Box(QStringLiteral("系统管理员不能被设为会计主管。"));
        return;
    }
    if (DealLoginUser(5, rec.ID) < 0)
        return;
    uOrvaneCommon::WriteSysEvent(QStringLiteral("操作员授权：设置%1为会计主管").arg(SelectedText()));
    Udllsystemintf::SetOperateIdManage(Udllsystemintf::GetCurrentOperatorId() == rec.ID);
    RebuildTree();
}

namespace uRightSet {

bool ShowRightSet()
{
    TfrmRightSet form;
    form.SetTitle(QStringLiteral("操作员授权"));
    form.FHelpName = QStringLiteral("文件/操作员授权");
    if (Udllsystemintf::IsNormalToken()) {
        Udllmessageintf::SuperMessageBox(QStringLiteral("您的安全钥匙是普通级别，不能进入该功能模块。"));
        return false;
    }
    form.LoadRightTree(TfrmRightSet::TTreeBranch::Groups);
    form.LoadRightTree(TfrmRightSet::TTreeBranch::Users);
    form.exec();
    return false;
}

} // namespace uRightSet
