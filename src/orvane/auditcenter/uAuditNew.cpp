#include "uAuditNew.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ClientDataSet.h"
#include "Kvbasicinfocomponent.h"
#include "Kvggeneralgrid.h"
#include "Udllbillconfig.h"
#include "Udllbillinterface.h"
#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "Udllsystemintf.h"
#include "uBillBaseRights.h"
#include "uDialogParent.h"
#include "uDllComm.h"
#include "uJxcCheckOutCore.h"
#include "uOrvaneCommon.h"

namespace {

constexpr int GroupRole = Qt::UserRole;
constexpr int StateRole = Qt::UserRole + 1;
constexpr int kAutoOpenSwitch = 113;
constexpr int kAuditDetail = 96;

QTreeWidgetItem *AddNode(QTreeWidgetItem *parent, const QString &text, int group, int state)
{
    auto *node = new QTreeWidgetItem(parent, {text});
    node->setData(0, GroupRole, group);
    node->setData(0, StateRole, state);
    return node;
}

} // namespace

TfrmAuditNew::TfrmAuditNew(QWidget *parent) : TfrmMDIParent(parent)
{
    setObjectName(QStringLiteral("frmAuditNew"));
    SetMoudleNo(1974);
    SetTitle(QStringLiteral("单据审核中心"));
    FHelpName = uDllComm::DllParams.IsCMSQ
                    ? (uDllComm::DllParams.PubVersion2 == 2680 ? QStringLiteral("单据处理/单据审核中心")
                                                               : QStringLiteral("单据处理/多级审核中心"))
                    : QStringLiteral("单据处理/单据多级审核中心");
    auto *root = new QVBoxLayout(pnlEntry);
    auto *split = new QSplitter(pnlEntry);
    tvLeft = new QTreeWidget(split);
    tvLeft->setObjectName(QStringLiteral("tvLeft"));
    tvLeft->setHeaderHidden(true);
    auto *right = new QSplitter(Qt::Vertical, split);
    MainGrid = new TKvGGeneralGrid(right);
    MainGrid->setObjectName(QStringLiteral("MainGrid"));
    MainGrid->SetColumns(GridColumns({{"checked", "选中"},
                                      {"Date", "日期"},
                                      {"Number", "单据编号"},
                                      {"VchTypeName", "单据类型"},
                                      {"Summary", "摘要"},
                                      {"total", "金额"},
                                      {"EFullName1", "经办人"},
                                      {"EFullName2", "制单人"},
                                      {"AuditCount", "审核级次"},
                                      {"AuditedCount", "已通过级次"},
                                      {"UserDefined01", "自定义1"},
                                      {"UserDefined02", "自定义2"},
                                      {"UserDefined03", "自定义3"},
                                      {"vchcode", ""},
                                      {"vchtype", ""},
                                      {"billtype", ""},
                                      {"pubufts", ""}}));
    OtherGrid = new TKvGGeneralGrid(right);
    OtherGrid->setObjectName(QStringLiteral("OtherGrid"));
    OtherGrid->SetTitle(QStringLiteral("单据审核情况"));
    OtherGrid->SetColumns(GridColumns({{"EFullName", "审核人"},
                                       {"AuditDate", "审核日期"},
                                       {"Leveal", "审核级次"},
                                       {"Audit", "审核情况"},
                                       {"AuditOpinion", "审核意见"}}));
    root->addWidget(split, 1);
    auto *options = new QHBoxLayout;
    chkSelect = new QCheckBox(QStringLiteral("全选"), pnlEntry);
    chkSelect->setObjectName(QStringLiteral("chkSelect"));
    chbSet = new QCheckBox(QStringLiteral("登入系统时自动弹出单据审核中心"), pnlEntry);
    chbSet->setObjectName(QStringLiteral("chbSet"));
    chbSet->setChecked(Udllsystemintf::CheckSysCon(kAutoOpenSwitch));
    options->addWidget(chkSelect);
    options->addStretch();
    options->addWidget(chbSet);
    root->addLayout(options);

    btnQuery = AddButton("btnQuery", QStringLiteral("查询条件"));
    btnAudit = AddButton("btnAudit", QStringLiteral("审核"));
    btnOpen = AddButton("btnOpen", QStringLiteral("调阅单据"));
    btnRefresh = AddButton("btnRefresh", QStringLiteral("刷新"));
    btnHelp = AddButton("btnHelp", QStringLiteral("帮助"));
    btnClose = AddButton("btnClose", QStringLiteral("关闭"));
    connect(btnQuery, &QPushButton::clicked, this, &TfrmAuditNew::btnQueryClick);
    connect(btnAudit, &QPushButton::clicked, this, &TfrmAuditNew::btnAuditClick);
    connect(btnOpen, &QPushButton::clicked, this, &TfrmAuditNew::btnOpenClick);
    connect(btnRefresh, &QPushButton::clicked, this, &TfrmAuditNew::LoadList);
    connect(btnHelp, &QPushButton::clicked, this, &TfrmAuditNew::ShowHelp);
    connect(btnClose, &QPushButton::clicked, this, &QWidget::close);
    connect(MainGrid, &QTableWidget::cellDoubleClicked, this, [this] { btnOpenClick(); });
    connect(MainGrid, &QTableWidget::currentCellChanged, this, [this] { LoadHistory(); });
    connect(chkSelect, &QCheckBox::clicked, this, [this](bool on) {
        for (int row = 0; row < MainGrid->rowCount(); ++row)
            SetRowChecked(row, on);
    });
    connect(chbSet, &QCheckBox::clicked, this,
            [](bool on) { Udllsystemintf::SetOneSysCon(kAutoOpenSwitch, on); });

    Conditions.BeginDate = Udllsystemintf::GetPubDefaultBeginDate();
    Conditions.EndDate = Udllsystemintf::GetPubDefaultEndDate();

    QTreeWidgetItem *mine = AddNode(tvLeft->invisibleRootItem(), QStringLiteral("我审核的单据"), 1, 0);
    AddNode(mine, QStringLiteral("待审核单据"), 1, 1);
    AddNode(mine, QStringLiteral("已审核单据"), 1, 2);
    QTreeWidgetItem *made = AddNode(tvLeft->invisibleRootItem(), QStringLiteral("我提交的单据"), 2, 0);
    AddNode(made, QStringLiteral("待审核单据"), 2, 1);
    AddNode(made, QStringLiteral("已审核单据"), 2, 2);
    AddNode(made, QStringLiteral("被驳回单据"), 2, 3);
    tvLeft->expandAll();
    connect(tvLeft, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *node) {
        if (!node)
            return;
        FGroup = node->data(0, GroupRole).toInt();
        // A root lists what its first child lists.
        FState = qMax(1, node->data(0, StateRole).toInt());
        LoadList();
    });
    tvLeft->setCurrentItem(mine->child(0));
}

TfrmAuditNew *TfrmAuditNew::ShowAuditNew(bool askConditions)
{
    auto *form = new TfrmAuditNew(uDllComm::DllParams.FparForm);
    if (askConditions && !form->AskConditions()) {
        delete form;
        return nullptr;
    }
    form->ShowMDI();
    return form;
}

bool TfrmAuditNew::AskConditions()
{
    TfrmDialogParent dialog(this);
    dialog.setObjectName(QStringLiteral("frmAuditCondition"));
    dialog.SetTitle(FGroup == 1 ? QStringLiteral("单据审核中心-A") : QStringLiteral("单据审核中心-S"));
    auto *form = new QFormLayout(dialog.pnlEntry);
    auto *cboVchType = new QComboBox(dialog.pnlEntry);
    cboVchType->setObjectName(QStringLiteral("cboVchType"));
    cboVchType->addItem(QStringLiteral("全部单据"), 0);
    TClientDataSet types;
    Udlldbservice::OpenSQL(
        QStringLiteral("SELECT Vchtype, Name FROM T_GBL_Vchtype WHERE Vchtype IN "
                       "(SELECT Vchtype FROM AuditNdx WHERE IsAudit = 1) ORDER BY Vchtype"),
        types);
    for (types.First(); !types.Eof(); types.Next())
        cboVchType->addItem(types.FieldByName(QStringLiteral("Name")).AsString(),
                            types.FieldByName(QStringLiteral("Vchtype")).AsInteger());
    cboVchType->setCurrentIndex(qMax(0, cboVchType->findData(Conditions.VchType)));
    auto *cboMaker = new QComboBox(dialog.pnlEntry);
    cboMaker->setObjectName(QStringLiteral("cboMaker"));
    cboMaker->addItem(QStringLiteral("全部"), QString());
    TClientDataSet makers;
    Udlldbservice::OpenSQL(
        QStringLiteral("SELECT E.TypeId, E.FullName FROM Employee E INNER JOIN T_GBL_LoginUser L "
                       "ON L.ETypeId = E.TypeId WHERE E.Deleted <> 1 ORDER BY E.UserCode"),
        makers);
    for (makers.First(); !makers.Eof(); makers.Next())
        cboMaker->addItem(makers.FieldByName(QStringLiteral("FullName")).AsString(),
                          makers.FieldByName(QStringLiteral("TypeId")).AsString());
    cboMaker->setCurrentIndex(qMax(0, cboMaker->findData(Conditions.MtypeId)));
    const auto dateEdit = [&dialog](const char *name, const QString &value) {
        auto *edit = new QDateEdit(QDate::fromString(value, QStringLiteral("yyyy-MM-dd")), dialog.pnlEntry);
        edit->setObjectName(QLatin1String(name));
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        edit->setCalendarPopup(true);
        return edit;
    };
    // Unit and handling employee, picked through the host's selection dialog (the operator's base-data
    // rights limit what it offers); an empty edit is no condition.
    const auto baseEdit = [&dialog](const char *name, const QString &caption, const QString &kind,
                                    const QString &table, const QString &typeId) {
        auto *edit = new TGLabelBtnEdit(caption, dialog.pnlEntry);
        edit->setObjectName(QLatin1String(name));
        edit->SetBasicKind(kind);
        TClientDataSet row;
        if (!typeId.isEmpty())
            Udlldbservice::OpenSQL(
                QStringLiteral("SELECT TypeId, UserCode, FullName FROM %1 WHERE TypeId = ?").arg(table),
                {typeId}, row);
        if (!typeId.isEmpty() && !row.Eof()) {
            TBaseRecord r;
            r.TypeId = typeId;
            r.UserCode = row.FieldByName(QStringLiteral("UserCode")).AsString();
            r.FullName = row.FieldByName(QStringLiteral("FullName")).AsString();
            edit->SetRecord(r);
        }
        return edit;
    };
    TGLabelBtnEdit *edtBtype = baseEdit("edtBtype", QStringLiteral("往来单位:"), QStringLiteral("Btype"),
                                        QStringLiteral("btype"), Conditions.BtypeId);
    TGLabelBtnEdit *edtEtype = baseEdit("edtEtype", QStringLiteral("经手人:"), QStringLiteral("Employee"),
                                        QStringLiteral("Employee"), Conditions.EtypeId);
    QDateEdit *edtBegin = dateEdit("edtBeginDate", Conditions.BeginDate);
    QDateEdit *edtEnd = dateEdit("edtEndDate", Conditions.EndDate);
    form->addRow(QStringLiteral("单据类型:"), cboVchType);
    form->addRow(QStringLiteral("制单人:"), cboMaker);
    form->addRow(edtBtype);
    form->addRow(edtEtype);
    form->addRow(QStringLiteral("开始日期:"), edtBegin);
    form->addRow(QStringLiteral("结束日期:"), edtEnd);
    dialog.AddBottomButton(QStringLiteral("btnOK"), QStringLiteral("确定"), mrOk);
    dialog.AddBottomButton(QStringLiteral("btnCancel"), QStringLiteral("取消"), mrCancel);
    if (dialog.exec() != mrOk)
        return false;
    if (edtBegin->date() > edtEnd->date()) {
        Udllmessageintf::ShowWarningMsg(QStringLiteral("开始日期不能大于结束日期。"));
        return false;
    }
    for (TGLabelBtnEdit *edit : {edtBtype, edtEtype}) {
        if (!edit->Text().trimmed().isEmpty() && !edit->HasRecord()) {
            Udllmessageintf::ShowWarningMsg(QStringLiteral("“%1”不是选出的%2，请用选择按钮选择。")
                                                .arg(edit->Text().trimmed(), edit == edtBtype
                                                                                 ? QStringLiteral("往来单位")
                                                                                 : QStringLiteral("职员")));
            return false;
        }
    }
    const auto chosen = [](TGLabelBtnEdit *edit) {
        return edit->Text().trimmed().isEmpty() ? QString() : edit->Record().TypeId;
    };
    Conditions.BtypeId = chosen(edtBtype);
    Conditions.EtypeId = chosen(edtEtype);
    Conditions.VchType = cboVchType->currentData().toInt();
    Conditions.MtypeId = cboMaker->currentData().toString();
    Conditions.BeginDate = edtBegin->date().toString(QStringLiteral("yyyy-MM-dd"));
    Conditions.EndDate = edtEnd->date().toString(QStringLiteral("yyyy-MM-dd"));
    return true;
}

void TfrmAuditNew::InstallAuditQueryHook()
{
    uJxcCheckOutCore::ShowAuditQueryHook = [] { ShowAuditNew(true); };
}

bool TfrmAuditNew::SelectNode(int group, int state)
{
    for (QTreeWidgetItemIterator it(tvLeft); *it; ++it)
        if ((*it)->data(0, GroupRole).toInt() == group && (*it)->data(0, StateRole).toInt() == state) {
            tvLeft->setCurrentItem(*it);
            return true;
        }
    return false;
}

void TfrmAuditNew::LoadList()
{
    const bool toAudit = FGroup == 1 && FState == 1;
    const QStringList paging{QStringLiteral("@ShowAll"), QStringLiteral("@IsPaging"),
                             QStringLiteral("@PageSize"), QStringLiteral("@PageIndex"),
                             QStringLiteral("@PageTotal")};
    const QVariantList pagingValues{Conditions.ShowAll, 0, 50, 0, 0};
    const QString op = Udllsystemintf::GetCurrentOperatorId();
    // Both lists take the same conditions: the bills waiting for me or audited by me, or my own bills
    // by state.
    TClientDataSet rows;
    Udlldbservice::OpenProcByName(FGroup == 1 ? QStringLiteral("p_KOVA_AuditCenter")
                                              : QStringLiteral("P_KOVA_AuditCenter_MyMakedBill"),
                                  QStringList{QStringLiteral("@nVchtype"), QStringLiteral("@szBtypeID"),
                                              QStringLiteral("@szEtypeID"), QStringLiteral("@szMtypeID"),
                                              QStringLiteral("@szBeginDate"), QStringLiteral("@szEndDate"),
                                              QStringLiteral("@OperatorID"), QStringLiteral("@IsAudited")} +
                                      paging,
                                  QVariantList{Conditions.VchType, Conditions.BtypeId, Conditions.EtypeId,
                                               Conditions.MtypeId, Conditions.BeginDate, Conditions.EndDate,
                                               op, FGroup == 1 ? (toAudit ? 0 : 1) : FState - 1} +
                                      pagingValues,
                                  rows);
    {
        const QSignalBlocker block(MainGrid);
        MainGrid->LoadFromDataSet(rows);
        const int column = MainGrid->ColumnOfField(QStringLiteral("checked"));
        MainGrid->setColumnHidden(column, !toAudit);
        for (int row = 0; row < MainGrid->rowCount(); ++row) {
            QTableWidgetItem *item = MainGrid->item(row, column);
            item->setText({});
            item->setFlags(toAudit ? Qt::ItemIsEnabled | Qt::ItemIsUserCheckable : Qt::ItemIsEnabled);
            if (toAudit)
                item->setCheckState(Qt::Unchecked);
        }
        if (MainGrid->rowCount() > 0)
            MainGrid->setCurrentCell(0, MainGrid->ColumnOfField(QStringLiteral("Date")));
    }
    chkSelect->setChecked(false);
    chkSelect->setEnabled(toAudit);
    btnAudit->setEnabled(toAudit);
    LoadHistory();
}

void TfrmAuditNew::LoadHistory()
{
    const int row = MainGrid->currentRow();
    TClientDataSet history;
    if (row >= 0)
        Udlldbservice::OpenProcByName(QStringLiteral("p_jxc_AuditCenter_AuditDetail"),
                                      {QStringLiteral("@nVchcode"), QStringLiteral("@nVchtype")},
                                      {MainGrid->CellText(row, QStringLiteral("vchcode")).toInt(),
                                       MainGrid->CellText(row, QStringLiteral("vchtype")).toInt()},
                                      history);
    if (history.FieldCount() > 0)
        OtherGrid->LoadFromDataSet(history);
    else
        OtherGrid->setRowCount(0);
}

void TfrmAuditNew::SetRowChecked(int row, bool checked)
{
    if (QTableWidgetItem *item = MainGrid->item(row, MainGrid->ColumnOfField(QStringLiteral("checked"))))
        if (item->flags() & Qt::ItemIsUserCheckable)
            item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

bool TfrmAuditNew::RowChecked(int row) const
{
    const QTableWidgetItem *item = MainGrid->item(row, MainGrid->ColumnOfField(QStringLiteral("checked")));
    return item && (item->flags() & Qt::ItemIsUserCheckable) && item->checkState() == Qt::Checked;
}

void TfrmAuditNew::btnOpenClick()
{
    const int row = MainGrid->currentRow();
    if (row < 0)
        return;
    const int code = MainGrid->CellText(row, QStringLiteral("vchcode")).toInt();
    const int type = MainGrid->CellText(row, QStringLiteral("vchtype")).toInt();
    if (uBillBaseRights::CheckBillBaseRights(type, code, true))
        Udllbillinterface::AllLoadBill(code, type, false,
                                       MainGrid->CellText(row, QStringLiteral("billtype")).toInt());
}

void TfrmAuditNew::btnQueryClick()
{
    if (AskConditions())
        LoadList();
}

void TfrmAuditNew::btnAuditClick()
{
    struct TBill
    {
        int VchType, VchCode, BillType;
        QString Number;
    };
    QList<TBill> bills;
    for (int row = 0; row < MainGrid->rowCount(); ++row) {
        if (!RowChecked(row))
            continue;
        const int type = MainGrid->CellText(row, QStringLiteral("vchtype")).toInt();
        const int code = MainGrid->CellText(row, QStringLiteral("vchcode")).toInt();
        if (!uOrvaneCommon::HasLimitPowerAt(Udllbillconfig::GetBillFunctionNo(type), kAuditDetail)) {
            Udllmessageintf::ShowWarningMsg(
                QStringLiteral("您没有第[%1]行单据的权限，不能审核该单据。").arg(row + 1));
            return;
        }
        if (!uBillBaseRights::CheckBillBaseRights(type, code, true))
            return;
        const QString number = MainGrid->CellText(row, QStringLiteral("Number"));
        bills << TBill{type, code, MainGrid->CellText(row, QStringLiteral("billtype")).toInt(),
                       number.isEmpty() ? QStringLiteral("[无单据编号]") : number};
    }
    if (bills.isEmpty()) {
        Udllmessageintf::ShowWarningMsg(QStringLiteral("请选择要审核的单据。"));
        return;
    }
    if (!Udllmessageintf::ConfirmOKCancel(QStringLiteral("请确定将审核所有选中的单据。")))
        return;
    int succeeded = 0;
    for (const TBill &bill : bills) {
        if (bill.VchCode <= 0)
            continue;
        if (Udllbillinterface::AllAuditingBill(QStringLiteral("D"), bill.VchCode, bill.VchType,
                                               bill.BillType)) {
            ++succeeded;
            continue;
        }
        // The host has said why the bill failed.
        if (bills.size() == 1) {
            LoadList();
            return;
        }
        if (!Udllmessageintf::ConfirmOKCancel(
                QStringLiteral("%1：%2没有审核成功，按确定将继续，按取消退出。")
                    .arg(Udllbillconfig::GetBillName(bill.VchType), bill.Number))) {
            Udllbillinterface::AllLoadBill(bill.VchCode, bill.VchType, false, bill.BillType);
            LoadList();
            return;
        }
    }
    Udllmessageintf::ShowInfoMessage(
        QStringLiteral("共选中%1张单据，成功审核%2张。").arg(bills.size()).arg(succeeded));
    LoadList();
}
