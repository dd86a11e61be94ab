#include "uBillAuditConfig.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include "Kvtable.h"
#include "Udllbaseselect.h"
#include "Udllbillconfig.h"
#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "uAuditCondition.h"
#include "uBillAuditConfigSet.h"
#include "uBillMessageComm.h"
#include "uDllComm.h"
#include "uMultiLevelSelector.h"

using uAuditCondition::BillsInFlow;

namespace {

enum { colAuditName, colAuditCondition, colAuditEtypes, colAuditType, colLeveal };
constexpr int kRecRole = Qt::UserRole;

bool SmallEdition(int below)
{
    return !uDllComm::DllParams.IsNetCS && uDllComm::DllParams.PubVersion2 < below;
}

} // namespace

TfrmBillAuditConfig::TfrmBillAuditConfig(QWidget *parent) : TfrmMDIParent(parent)
{
    setObjectName(QStringLiteral("frmBillAuditConfig"));
    SetMoudleNo(1973);
    SetTitle(QStringLiteral("单据审核设置"));
    FHelpName = QStringLiteral("文件/单据多级审核设置");
    auto *root = new QVBoxLayout(pnlEntry);
    lblSelectVch = new QLabel(pnlEntry);
    lblSelectVch->setObjectName(QStringLiteral("lblSelectVch"));
    root->addWidget(lblSelectVch);
    auto *split = new QSplitter(pnlEntry);
    tvList = new QTreeWidget(split);
    tvList->setObjectName(QStringLiteral("tvList"));
    tvList->setHeaderHidden(true);
    tvList->setContextMenuPolicy(Qt::CustomContextMenu);
    MainGrid = new TKvGGeneralGrid(split);
    MainGrid->setObjectName(QStringLiteral("MainGrid"));
    MainGrid->SetColumns(GridColumns({{"AuditName", "审核流程名称"},
                                      {"AuditCondition", "审核条件"},
                                      {"AuditEtypes", "审核人"},
                                      {"AuditType", "审核方式"},
                                      {"leveal", ""}}));
    MainGrid->setColumnWidth(colAuditCondition, 200);
    MainGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    MainGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    split->setStretchFactor(1, 1);
    root->addWidget(split);

    btnNew = AddButton("btnNew", QStringLiteral("新增"));
    btnEdit = AddButton("btnEdit", QStringLiteral("修改"));
    btnDelete = AddButton("btnDelete", QStringLiteral("删除"));
    btnCopy = AddButton("btnCopy", QStringLiteral("复制"));
    btnBarcodeConfig = AddButton("btnBarcodeConfig", QStringLiteral("特审人"));
    btnStart = AddButton("btnStart", QStringLiteral("启用"));
    const auto tool = [this](const char *name, const QString &text) {
        QAction *a = ToolBar->addAction(text);
        a->setObjectName(QLatin1String(name));
        return a;
    };
    tbtNew = tool("tbtNew", QStringLiteral("新增"));
    tbtEdit = tool("tbtEdit", QStringLiteral("修改"));
    tbtTeShen = tool("tbtTeShen", QStringLiteral("特审人"));
    tbtCopy = tool("tbtCopy", QStringLiteral("复制"));
    pmPoPUser = new QMenu(this);
    pmPoPUser->setObjectName(QStringLiteral("pmPoPUser"));
    MenuStrat = pmPoPUser->addAction(QStringLiteral("启用审批流"));
    MenuStrat->setObjectName(QStringLiteral("MenuStrat"));
    MenuStop = pmPoPUser->addAction(QStringLiteral("停用审批流"));
    MenuStop->setObjectName(QStringLiteral("MenuStop"));

    const auto guarded = [](auto fn) { return [fn] { Kvtable::RunGuarded(fn); }; };
    for (auto [button, action, fn] :
         {std::tuple{btnNew, tbtNew, std::function<void()>([this] { btnNewClick(); })},
          std::tuple{btnEdit, tbtEdit, std::function<void()>([this] { btnEditClick(false); })},
          std::tuple{btnCopy, tbtCopy, std::function<void()>([this] { btnCopyClick(); })},
          std::tuple{btnBarcodeConfig, tbtTeShen,
                     std::function<void()>([this] { btnBarcodeConfigClick(); })}}) {
        connect(button, &QPushButton::clicked, this, guarded(fn));
        connect(action, &QAction::triggered, this, guarded(fn));
    }
    connect(btnDelete, &QPushButton::clicked, this, guarded([this] { btnDeleteClick(); }));
    const auto toggle = [this] {
        if (TVtreeRec *rec = Current(); rec && !rec->IsGroup)
            rec->IsAudit ? MenuStopClick() : MenuStratClick();
    };
    connect(btnStart, &QPushButton::clicked, this, guarded(toggle));
    connect(tvList, &QTreeWidget::itemDoubleClicked, this, guarded(toggle));
    connect(MenuStrat, &QAction::triggered, this, guarded([this] { MenuStratClick(); }));
    connect(MenuStop, &QAction::triggered, this, guarded([this] { MenuStopClick(); }));
    connect(tvList, &QTreeWidget::currentItemChanged, this, guarded([this] { RefreshAuditGrid(); }));
    connect(tvList, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        if (TVtreeRec *rec = Current(); rec && !rec->IsGroup)
            pmPoPUser->popup(tvList->viewport()->mapToGlobal(pos));
    });
    connect(MainGrid, &QTableWidget::cellDoubleClicked, this, guarded([this] { btnEditClick(true); }));
    connect(MainGrid, &QTableWidget::currentCellChanged, this, [this] { UpdateCommands(); });
    LoadAuditTree();
}

TfrmBillAuditConfig::~TfrmBillAuditConfig() = default;

bool TfrmBillAuditConfig::Execute()
{
    auto *form = new TfrmBillAuditConfig;
    form->SetStatusText(QString());
    form->ShowMDI();
    return true;
}

TVtreeRec *TfrmBillAuditConfig::Rec(QTreeWidgetItem *node) const
{
    return node ? static_cast<TVtreeRec *>(node->data(0, kRecRole).value<void *>()) : nullptr;
}

TVtreeRec *TfrmBillAuditConfig::Current() const
{
    return Rec(tvList->currentItem());
}

QTreeWidgetItem *TfrmBillAuditConfig::AddNode(QTreeWidgetItem *parent, std::unique_ptr<TVtreeRec> rec)
{
    auto *node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tvList);
    node->setText(0, rec->FullName);
    node->setData(0, kRecRole, QVariant::fromValue<void *>(rec.get()));
    if (!rec->IsGroup)
        SetNodeState(node, rec->IsAudit);
    FRecs.push_back(std::move(rec));
    return node;
}

void TfrmBillAuditConfig::SetNodeState(QTreeWidgetItem *node, bool isAudit)
{
    Rec(node)->IsAudit = isAudit;
    node->setData(0, kStateRole, isAudit ? 1 : 2);
    node->setIcon(
        0, style()->standardIcon(isAudit ? QStyle::SP_DialogApplyButton : QStyle::SP_DialogCancelButton));
}

QTreeWidgetItem *TfrmBillAuditConfig::FindNode(int vchType) const
{
    for (QTreeWidgetItemIterator it(tvList); *it; ++it)
        if (TVtreeRec *rec = Rec(*it); !rec->IsGroup && rec->VchType == vchType)
            return *it;
    return nullptr;
}

void TfrmBillAuditConfig::LoadAuditTree()
{
    tvList->clear();
    FRecs.clear();
    const int edition = uDllComm::DllParams.PubVersion2;
    QList<std::pair<QString, int>> categories{{QStringLiteral("采购类"), 1},
                                              {QStringLiteral("销售类"), 2},
                                              {QStringLiteral("库存类"), 3},
                                              {QStringLiteral("钱流类"), 4}};
    if (edition > 2680)
        categories.append({QStringLiteral("实物仓库"), 7});
    if (edition > 3680) {
        categories.append({QStringLiteral("生产类"), 5});
        if (edition > 4680)
            categories.append({QStringLiteral("委外类"), 6});
        if (Udlldbservice::GetValueFromSQL(
                QStringLiteral("SELECT count(1) FROM GetVchtype WHERE ParId = '00011' AND "
                               "Version IN ('em', 'e')"))
                .toInt() > 0)
            categories.append({QStringLiteral("简单委外类"), 8});
    }
    QTreeWidgetItem *first = nullptr;
    for (const auto &[name, number] : categories) {
        QTreeWidgetItem *group =
            AddNode(nullptr, std::make_unique<TVtreeRec>(TVtreeRec{QString(), name, number, true, false}));
        TClientDataSet rows;
        Udlldbservice::OpenProcByName(QStringLiteral("P_Audit_GetVchtype"), {QStringLiteral("@Vchtypes")},
                                      {number}, rows);
        for (rows.First(); !rows.Eof(); rows.Next()) {
            QTreeWidgetItem *node =
                AddNode(group, std::make_unique<TVtreeRec>(TVtreeRec{
                                   QString(), rows.FieldByName(QStringLiteral("VchName")).AsString(),
                                   rows.FieldByName(QStringLiteral("vchtype")).AsInteger(), false,
                                   rows.FieldByName(QStringLiteral("IsAduit")).AsInteger() == 1}));
            if (!first && number == 1)
                first = node;
        }
    }
    // Plug-in types nest by their tree code: a child's code is its parent's plus 5 characters.
    TClientDataSet plugIns;
    Udlldbservice::OpenSQL(QStringLiteral("SELECT a.TypeId, a.FullName, a.Leveal, a.Vchtype, a.Sonnum, "
                                          "coalesce(b.IsAudit, 0) AS IsAudit FROM T_Inf_PlugIn_Vchtype a "
                                          "LEFT JOIN AuditNdx b ON a.Vchtype = b.Vchtype "
                                          "WHERE a.AuditSet = 1 AND a.MainVersion = 'CS' ORDER BY a.TypeId"),
                           plugIns);
    QHash<int, QTreeWidgetItem *> lastAtLevel;
    for (plugIns.First(); !plugIns.Eof(); plugIns.Next()) {
        const int level = plugIns.FieldByName(QStringLiteral("Leveal")).AsInteger();
        const QString typeId = plugIns.FieldByName(QStringLiteral("TypeId")).AsString();
        QTreeWidgetItem *parent = level > 1 ? lastAtLevel.value(level - 1) : nullptr;
        if (level > 1 && (!parent || typeId.size() != Rec(parent)->TypeId.size() + 5))
            continue;
        lastAtLevel.insert(
            level, AddNode(parent, std::make_unique<TVtreeRec>(TVtreeRec{
                                       typeId, plugIns.FieldByName(QStringLiteral("FullName")).AsString(),
                                       plugIns.FieldByName(QStringLiteral("Vchtype")).AsInteger(),
                                       plugIns.FieldByName(QStringLiteral("Sonnum")).AsInteger() > 0,
                                       plugIns.FieldByName(QStringLiteral("IsAudit")).AsInteger() == 1})));
    }
    tvList->expandAll();
    tvList->scrollToTop();
    tvList->setCurrentItem(first ? first : tvList->topLevelItem(0));
}

int TfrmBillAuditConfig::GetFlowState(int vchType)
{
    return Udlldbservice::GetValueFromSQL(QStringLiteral("SELECT IsAudit FROM AuditNdx WHERE Vchtype = ?"),
                                          {vchType})
        .toInt();
}

int TfrmBillAuditConfig::GetFlowItemCount(int vchType)
{
    return Udlldbservice::GetValueFromSQL(
               QStringLiteral("SELECT (SELECT count(1) FROM AuditDetail WHERE Vchtype = ?) + "
                              "CASE WHEN EXISTS (SELECT 1 FROM \"AuditNdx-E\" WHERE Vchtype = ?) "
                              "THEN 1 ELSE 0 END"),
               {vchType, vchType})
        .toInt();
}

void TfrmBillAuditConfig::RefreshAuditGrid()
{
    lblSelectVch->clear();
    MainGrid->setRowCount(0);
    TVtreeRec *rec = Current();
    if (rec && !rec->IsGroup) {
        TClientDataSet rows;
        Udlldbservice::OpenProcByName(QStringLiteral("P_Audit_LoadVchtypeConfig"),
                                      {QStringLiteral("@Vchtype")}, {rec->VchType}, rows);
        for (rows.First(); !rows.Eof(); rows.Next()) {
            const int row = MainGrid->rowCount();
            MainGrid->insertRow(row);
            for (int column = 0; column <= colLeveal; ++column)
                MainGrid->setItem(row, column, new QTableWidgetItem(rows.Fields(column).AsString()));
        }
        SetNodeState(tvList->currentItem(), GetFlowState(rec->VchType) == 1);
        lblSelectVch->setText(QStringLiteral("选择单据：") + tvList->currentItem()->text(0));
        if (MainGrid->rowCount() > 0)
            MainGrid->setCurrentCell(0, colAuditName);
    }
    UpdateCommands();
}

int TfrmBillAuditConfig::CurrentLevel() const
{
    const int row = MainGrid->currentRow();
    return row < 0 || !MainGrid->item(row, colLeveal) ? 0 : MainGrid->item(row, colLeveal)->text().toInt();
}

void TfrmBillAuditConfig::UpdateCommands()
{
    TVtreeRec *rec = Current();
    const bool billType = rec && !rec->IsGroup;
    MenuStrat->setVisible(billType && !rec->IsAudit);
    MenuStop->setVisible(billType && rec->IsAudit);
    btnStart->setEnabled(billType);
    btnStart->setText(billType && rec->IsAudit ? QStringLiteral("停用") : QStringLiteral("启用"));
    bool canAdd = billType;
    if (canAdd && SmallEdition(3680))
        canAdd = MainGrid->rowCount() == 0 || MainGrid->item(0, colLeveal)->text().toInt() <= 0;
    btnNew->setEnabled(canAdd);
    tbtNew->setEnabled(canAdd);
    tbtCopy->setVisible(tbtNew->isVisible());
    tbtCopy->setEnabled(tbtNew->isEnabled());
    for (QWidget *w : {static_cast<QWidget *>(btnEdit), static_cast<QWidget *>(btnDelete),
                       static_cast<QWidget *>(btnCopy), static_cast<QWidget *>(btnBarcodeConfig)})
        w->setEnabled(billType);
    tbtEdit->setEnabled(billType);
    tbtTeShen->setEnabled(billType);
}

QString TfrmBillAuditConfig::RefusalName(bool plugIn) const
{
    return plugIn ? tvList->currentItem()->text(0) : Udllbillconfig::GetBillName(Current()->VchType);
}

int TfrmBillAuditConfig::SwitchFlow(int isAudit)
{
    const QStringList names{QStringLiteral("@nVchType"), QStringLiteral("@nIsAudit")};
    const QVariantList values{Current()->VchType, isAudit};
    int result = Udlldbservice::ExecuteProcByName(QStringLiteral("P_Audit_SetBillIsAudit;1"), names, values);
    if (result == 0)
        result =
            Udlldbservice::ExecuteProcByName(QStringLiteral("P_Audit_SetPlugInBillIsAudit;1"), names, values);
    return result;
}

void TfrmBillAuditConfig::MenuStratClick()
{
    const int result = SwitchFlow(1);
    if (result == 0)
        SetNodeState(tvList->currentItem(), true);
    else if (result == -1)
        Udllmessageintf::SuperMessageBox(QStringLiteral("必须先设置审核流程才能启用。"));
    UpdateCommands();
}

void TfrmBillAuditConfig::MenuStopClick()
{
    const int result = SwitchFlow(0);
    if (result == -1 || result == -2) {
        Udllmessageintf::SuperMessageBox(
            QStringLiteral("%1中有单据在审批流程中，不能停用该审批流程。").arg(RefusalName(result == -2)));
        return;
    }
    SetNodeState(tvList->currentItem(), false);
    UpdateCommands();
}

void TfrmBillAuditConfig::btnNewClick()
{
    TVtreeRec *rec = Current();
    if (!rec || rec->IsGroup)
        return;
    bool plugIn = false;
    Udllmessageintf::CheckError(
        BillsInFlow(rec->VchType, &plugIn) >= 1,
        QStringLiteral("  %1还有单据在审核流程中，不能新增该种单据的审核设置。").arg(RefusalName(plugIn)),
        TMessageBoxType::mtWarning);
    if (ShowAuditConfigSet(QStringLiteral("A"), rec->VchType, CurrentLevel()))
        RefreshAuditGrid();
}

void TfrmBillAuditConfig::btnEditClick(bool fromGrid)
{
    TVtreeRec *rec = Current();
    const int level = CurrentLevel();
    if (!rec || rec->IsGroup || level == 0)
        return;
    if (level == -1) {
        if (fromGrid && tbtTeShen->isEnabled())
            btnBarcodeConfigClick();
        return;
    }
    if (!tbtEdit->isEnabled())
        return;
    const int row = MainGrid->currentRow();
    if (ShowAuditConfigSet(QStringLiteral("M"), rec->VchType, level)) {
        RefreshAuditGrid();
        MainGrid->setCurrentCell(qMin(row, MainGrid->rowCount() - 1), colAuditName);
    }
}

void TfrmBillAuditConfig::btnDeleteClick()
{
    TVtreeRec *rec = Current();
    const int level = CurrentLevel();
    if (!rec || rec->IsGroup || level == 0)
        return;
    bool plugIn = false;
    Udllmessageintf::CheckError(
        BillsInFlow(rec->VchType, &plugIn) >= 1,
        QStringLiteral("  %1还有单据在审核流程中，不能删除该种单据的审核设置。").arg(RefusalName(plugIn)),
        TMessageBoxType::mtWarning);
    const bool last = rec->IsAudit && GetFlowItemCount(rec->VchType) - 1 < 1;
    if (!Udllmessageintf::ConfirmYesNo(last ? QStringLiteral("删除后将会停用本单据的审核流程，是否继续？")
                                            : QStringLiteral("数据删除后不能恢复，是否继续？")))
        return;
    const int result = Udlldbservice::ExecuteProcByName(
        QStringLiteral("P_Audit_DelVchtypeLeveal;1"), {QStringLiteral("@Vchtype"), QStringLiteral("@leveal")},
        {rec->VchType, level});
    Udllmessageintf::CheckError(result == -1, QStringLiteral("删除失败，该记录可能已被删除。"));
    Udllmessageintf::CheckError(result == -2,
                                QStringLiteral("删除失败，%1中有单据在审批流程中，不能停用该审批流程。")
                                    .arg(Udllbillconfig::GetBillName(rec->VchType)));
    if (last)
        SetNodeState(tvList->currentItem(), false);
    RefreshAuditGrid();
}

void TfrmBillAuditConfig::btnCopyClick()
{
    TVtreeRec *rec = Current();
    if (!rec || rec->IsGroup)
        return;
    Udllmessageintf::CheckError(MainGrid->rowCount() == 0 || CurrentLevel() == 0,
                                QStringLiteral("【") + tvList->currentItem()->text(0) +
                                    QStringLiteral("】没有审核流程，不能复制。"),
                                TMessageBoxType::mtWarning);
    TBaseRecordList picked;
    if (!Udllbaseselect::SelectBaseData(QStringLiteral("Vchtype"), QString(), false, picked) ||
        picked.isEmpty())
        return;
    CopyFlowTo(picked.first().TypeId.toInt(), picked.first().FullName);
}

void TfrmBillAuditConfig::CopyFlowTo(int target, const QString &targetName)
{
    TVtreeRec *rec = Current();
    const QString source = tvList->currentItem()->text(0);
    const auto refuse = [](bool condition, const QString &text) {
        Udllmessageintf::CheckError(condition, text, TMessageBoxType::mtWarning);
    };
    refuse(target == rec->VchType, QStringLiteral("不能将审核流程复制给自己。"));
    refuse(!FindNode(target), QStringLiteral("不能将【") + source + QStringLiteral("】的审核流程复制给【") +
                                  targetName + QStringLiteral("】。"));
    refuse(GetFlowState(target) == 1,
           QStringLiteral("【") + targetName + QStringLiteral("】已启用了审核流程，不能覆盖。"));
    const int existing =
        Udlldbservice::GetValueFromSQL(QStringLiteral("SELECT count(1) FROM (SELECT Vchtype FROM AuditDetail "
                                                      "WHERE Vchtype = ? UNION ALL SELECT Vchtype FROM "
                                                      "\"AuditNdx-E\" WHERE Vchtype = ?) a"),
                                       {target, target})
            .toInt();
    if (existing > 0 && !Udllmessageintf::ConfirmYesNo(QStringLiteral("【") + targetName +
                                                       QStringLiteral("】已设置审核流程，是否覆盖？")))
        return;
    TClientDataSet rows;
    const int result = Udlldbservice::OpenProcByName(
        QStringLiteral("P_Audit_CopyAuditDetail"),
        {QStringLiteral("@sVchType"), QStringLiteral("@dVchType"), QStringLiteral("@CopyTeShen")},
        {rec->VchType, target, tbtTeShen->isEnabled() ? 1 : 0}, rows);
    TBillBatchMessage batch;
    for (rows.First(); !rows.Eof(); rows.Next())
        batch.AddMsg(rows.FieldByName(QStringLiteral("Msg")).AsString());
    if (result == -1) {
        batch.ShowErrorBatchMsg();
        return;
    }
    tvList->setCurrentItem(FindNode(target));
    batch.ShowBatchMsg();
}

void TfrmBillAuditConfig::btnBarcodeConfigClick()
{
    TVtreeRec *rec = Current();
    if (!rec || rec->IsGroup)
        return;
    const int vchType = rec->VchType;
    const auto checkCount = [&] {
        bool plugIn = false;
        Udllmessageintf::CheckError(
            BillsInFlow(vchType, &plugIn) > 0,
            QStringLiteral("  %1还有单据在审核流程中，不能修改该种单据的特审人。").arg(RefusalName(plugIn)),
            TMessageBoxType::mtWarning);
    };
    checkCount();
    TClientDataSet current;
    Udlldbservice::OpenSQL(
        QStringLiteral("SELECT EtypeID, OperatorType FROM \"AuditNdx-E\" WHERE Vchtype = ?"), {vchType},
        current);
    TAuditorList list;
    for (current.First(); !current.Eof(); current.Next())
        list.append({current.FieldByName(QStringLiteral("EtypeID")).AsString(), QString(), QString(),
                     current.FieldByName(QStringLiteral("OperatorType")).AsInteger()});
    if (!ShowAuditorSelector(list, vchType, QStringLiteral("特审人")))
        return;
    checkCount();
    for (const TAuditorRec &r : std::as_const(list))
        if (!CheckAuditorValid(r.TypeId, r.OperatorType, r.FullName))
            return;
    {
        Udlldbservice::TTransaction transaction;
        Udlldbservice::ExecuteSQL(QStringLiteral("DELETE FROM \"AuditNdx-E\" WHERE Vchtype = ?"), {vchType});
        for (const TAuditorRec &r : std::as_const(list))
            Udlldbservice::ExecuteSQL(
                QStringLiteral(
                    "INSERT INTO \"AuditNdx-E\" (Vchtype, EtypeID, OperatorType) VALUES (?, ?, ?)"),
                {vchType, r.TypeId, r.OperatorType});
        Udlldbservice::ExecuteProcByName(QStringLiteral("P_Audit_CreateVchtypeNdx"),
                                         {QStringLiteral("@Vchtype")}, {vchType});
        Udlldbservice::ExecuteSQL(QStringLiteral("UPDATE AuditNdx SET IsAudit = 1 WHERE Vchtype = ?"),
                                  {vchType});
        transaction.Commit();
    }
    RefreshAuditGrid();
}
