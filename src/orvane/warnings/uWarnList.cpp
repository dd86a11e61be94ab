#include "uWarnList.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "Kvprintengine.h"
#include "Kvtable.h"
#include "Udllbillinterface.h"
#include "Udlldbservice.h"
#include "Udllsystemintf.h"
#include "uDllComm.h"
#include "uGoodsWarnsSetup.h"
#include "uOrvaneCommon.h"
#include "uPartStocksWarnSetUp.h"
#include "uWarnSetUp.h"

namespace {
constexpr int kWarnRight = 1317;
constexpr int kAutoWarnSwitch = 80;
constexpr int kTypeRole = Qt::UserRole;

const QStringList kProcParams = {QStringLiteral("@fMode"),      QStringLiteral("@DateEnd"),
                                 QStringLiteral("@Operatorid"), QStringLiteral("@IsPaging"),
                                 QStringLiteral("@PageSize"),   QStringLiteral("@PageIndex"),
                                 QStringLiteral("@PageTotal")};
} // namespace

TfrmWarnList::TfrmWarnList(QWidget *parent) : TfrmMDIParent(parent)
{
    setObjectName(QStringLiteral("frmWarnList"));
    SetMoudleNo(kWarnRight);
    auto *root = new QVBoxLayout(pnlEntry);
    auto *body = new QHBoxLayout;
    trvList = new QTreeWidget(pnlEntry);
    trvList->setObjectName(QStringLiteral("trvList"));
    trvList->setHeaderHidden(true);
    trvList->setContextMenuPolicy(Qt::CustomContextMenu);
    MainGrid = new TKvGGeneralGrid(pnlEntry);
    MainGrid->setObjectName(QStringLiteral("MainGrid"));
    MainGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    body->addWidget(trvList, 1);
    body->addWidget(MainGrid, 4);
    root->addLayout(body, 1);
    auto *status = new QHBoxLayout;
    chkSys = new QCheckBox(QStringLiteral("登入系统时弹出报警窗口"), pnlEntry);
    chkSys->setObjectName(QStringLiteral("chkSys"));
    lblInfo = new QLabel(pnlEntry);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    status->addWidget(chkSys);
    status->addWidget(lblInfo, 1);
    root->addLayout(status);

    pm1 = new QMenu(this);
    pm1->setObjectName(QStringLiteral("pm1"));
    meSetFirstDisplay = pm1->addAction(QStringLiteral("设置为首先显示"));
    meSetFirstDisplay->setObjectName(QStringLiteral("meSetFirstDisplay"));
    connect(trvList, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { pm1->popup(trvList->viewport()->mapToGlobal(pos)); });

    btnSetup = AddButton("btnSetup", QStringLiteral("报警设置"));
    btnPrint = AddButton("btnPrint", QStringLiteral("打印"));
    btnRefresh = AddButton("btnRefresh", QStringLiteral("刷新"));
    btnClose = AddButton("btnClose", QStringLiteral("关闭"));
    btnPrint->setMenu(btnExpertPrint->PopupMenu);

    const auto guarded = [this](void (TfrmWarnList::*handler)()) {
        return [this, handler] { Kvtable::RunGuarded([this, handler] { (this->*handler)(); }); };
    };
    connect(trvList, &QTreeWidget::currentItemChanged, this, guarded(&TfrmWarnList::trvListChange));
    connect(meSetFirstDisplay, &QAction::triggered, this, guarded(&TfrmWarnList::meSetFirstDisplayClick));
    connect(btnSetup, &QPushButton::clicked, this, guarded(&TfrmWarnList::btnSetupClick));
    connect(btnRefresh, &QPushButton::clicked, this, guarded(&TfrmWarnList::trvListChange));
    connect(btnClose, &QPushButton::clicked, this, &QWidget::close);
    connect(chkSys, &QCheckBox::clicked, this, guarded(&TfrmWarnList::chkSysClick));
    connect(MainGrid, &QTableWidget::cellDoubleClicked, this,
            [this](int row) { Kvtable::RunGuarded([this, row] { MainGridDblClick(row); }); });

    SetTitle(QStringLiteral("报警簿"));
    SetFunctionNo(kWarnRight);
    if (!uOrvaneCommon::CheckLimitDetail2(kWarnRight))
        GridOptions &= ~0x100u;
    chkSys->setChecked(Udllsystemintf::CheckSysCon(kAutoWarnSwitch));
}

TfrmWarnList::~TfrmWarnList() = default;

void TfrmWarnList::BuildTree(int mode)
{
    const QString op = Udllsystemintf::GetCurrentOperatorId();
    mFristNode =
        mode >= 0
            ? mode
            : Udlldbservice::GetValueFromSQL(
                  QStringLiteral("SELECT TreeType FROM T_Inf_WarnList_FirstDisplay WHERE EtypeID = ?"), {op})
                  .toInt();
    TClientDataSet items;
    Udlldbservice::OpenSQL(
        QStringLiteral("SELECT * FROM T_Inf_WarnList_TreeView WHERE Visible = 1 ORDER BY RowNo"), items);
    const QSignalBlocker block(trvList);
    trvList->clear();
    mItems.clear();
    QTreeWidgetItem *first = nullptr;
    for (items.First(); !items.Eof(); items.Next()) {
        const int detail = items.FieldByName(QStringLiteral("DetailNo")).AsInteger();
        const int functionNo = items.FieldByName(QStringLiteral("functionNo")).AsInteger();
        if (detail > 0 && !uOrvaneCommon::HasLimitPowerAt(kWarnRight, detail))
            continue;
        if (functionNo >= 20000 && !uOrvaneCommon::HasRightByLimitNo(functionNo))
            continue;
        const QString name = items.FieldByName(QStringLiteral("TreeFullName")).AsString();
        const int type = items.FieldByName(QStringLiteral("TreeType")).AsInteger();
        auto *node = new QTreeWidgetItem(trvList, {name});
        node->setData(0, kTypeRole, type);
        mItems.insert(name, type);
        if (type == mFristNode)
            first = node;
    }
    if (first) {
        trvList->setCurrentItem(first);
        ShowItem(mFristNode);
    }
}

void TfrmWarnList::trvListChange()
{
    if (const QTreeWidgetItem *node = trvList->currentItem())
        ShowItem(node->data(0, kTypeRole).toInt());
}

void TfrmWarnList::ShowItem(int treeType)
{
    fnMode = treeType;
    SetMoudleNo(13170 + treeType);
    TClientDataSet columns;
    Udlldbservice::OpenSQL(
        QStringLiteral("SELECT * FROM T_Inf_WarnList_GridColumn WHERE TreeType = ? AND Display = 1 "
                       "ORDER BY RowNo"),
        {treeType}, columns);
    QList<TGridColumn> gridColumns;
    QList<bool> shown;
    QString procName;
    for (columns.First(); !columns.Eof(); columns.Next()) {
        if (procName.isEmpty())
            procName = columns.FieldByName(QStringLiteral("ProcName")).AsString();
        TGridColumn column;
        column.FieldName = columns.FieldByName(QStringLiteral("DataBaseName")).AsString();
        column.Caption = columns.FieldByName(QStringLiteral("Caption")).AsString();
        column.Visible = columns.FieldByName(QStringLiteral("Visible")).AsInteger() == 1;
        gridColumns << column;
        shown << (columns.FieldByName(QStringLiteral("Show")).AsInteger() == 1);
    }
    MainGrid->SetColumns(gridColumns);
    for (int i = 0; i < gridColumns.size(); ++i) {
        MainGrid->setColumnHidden(i, !gridColumns[i].Visible || !shown[i]);
        if (gridColumns[i].Visible)
            MainGrid->setColumnWidth(i, 100);
    }
    cdsGetRecordSet.Clear();
    if (!procName.isEmpty())
        Udlldbservice::OpenProcByName(
            procName, kProcParams,
            {treeType, Udllsystemintf::GetLogOnDate(), Udllsystemintf::GetCurrentOperatorId(), 0, 50, 0, 0},
            cdsGetRecordSet);
    if (cdsGetRecordSet.FieldCount() > 0)
        MainGrid->LoadFromDataSet(cdsGetRecordSet);
    else
        MainGrid->setRowCount(0);
    // An item without an upper limit has none: the upper-limit column shows infinity.
    if (const int up = MainGrid->ColumnOfField(QStringLiteral("warnup")); up >= 0)
        for (int row = 0; row < MainGrid->rowCount(); ++row)
            if (QTableWidgetItem *cell = MainGrid->item(row, up);
                cell && (cell->text().trimmed().isEmpty() || cell->text().trimmed().toDouble() == 0))
                cell->setText(QStringLiteral("＋∞"));
    const QTreeWidgetItem *node = trvList->currentItem();
    lblInfo->setText(QStringLiteral("当前是[%1]列表,共有[%2]条满足条件的记录")
                         .arg(node ? node->text(0) : QString())
                         .arg(MainGrid->rowCount()) +
                     QString(16, QLatin1Char(' ')));
}

void TfrmWarnList::MainGridDblClick(int row)
{
    const int code = MainGrid->CellText(row, QStringLiteral("vchcode")).toInt();
    if (MainGrid->ColumnOfField(QStringLiteral("vchcode")) < 0 || code <= 0)
        return;
    Udllbillinterface::OpenBill(code, MainGrid->CellText(row, QStringLiteral("vchtype")).toInt());
}

void TfrmWarnList::meSetFirstDisplayClick()
{
    const QTreeWidgetItem *node = trvList->currentItem();
    if (!node)
        return;
    const QString op = Udllsystemintf::GetCurrentOperatorId();
    Udlldbservice::TTransaction transaction;
    Udlldbservice::ExecuteSQL(QStringLiteral("DELETE FROM T_Inf_WarnList_FirstDisplay WHERE EtypeID = ?"),
                              {op});
    Udlldbservice::ExecuteSQL(
        QStringLiteral("INSERT INTO T_Inf_WarnList_FirstDisplay (EtypeID, TreeType) VALUES (?, ?)"),
        {op, node->data(0, kTypeRole).toInt()});
    transaction.Commit();
}

void TfrmWarnList::btnSetupClick()
{
    bool saved = false;
    if (fnMode == 1) {
        if (!HasDetailRight(63))
            return;
        saved = TfrmGoodsWarnSetup::Execute();
    } else if (fnMode == 2) {
        if (!HasDetailRight(64))
            return;
        saved = TfrmPartStocksWarnSetUp::Execute();
    } else {
        saved = TfrmWarnSetUp::Execute(fnMode);
    }
    if (saved)
        ShowItem(fnMode);
}

void TfrmWarnList::chkSysClick()
{
    uOrvaneCommon::SetSysConStats(kAutoWarnSwitch, chkSys->isChecked());
}

namespace uWarnList {

bool ShowWarnList(int mode)
{
    auto *form = new TfrmWarnList(uDllComm::DllParams.FparForm);
    form->ShowMDI();
    form->BuildTree(mode);
    return true;
}

bool AutoWarnAtLogOn()
{
    if (!Udllsystemintf::CheckSysCon(kAutoWarnSwitch) ||
        !uOrvaneCommon::HasRightByClickName(QStringLiteral("报警簿")))
        return false;
    return ShowWarnList(-1);
}

} // namespace uWarnList
