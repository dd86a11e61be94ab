#include "uExportToJS.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStandardPaths>
#include <QToolBar>
#include <stdexcept>

#include "Kvggeneralgrid.h"
#include "Kvtable.h"
#include "Udllbillinterface.h"
#include "Udllmessageintf.h"
#include "Udllsystemintf.h"
#include "uBillIoList.h"
#include "uDllComm.h"
#include "uExportBillDataCore.h"
#include "uExportToJSCore.h"

namespace {

constexpr int kFunctionNo = 1336;
constexpr int kBeginDate = 17;
constexpr int kEndDate = 18;

// The list of bills.
QList<TGridColumn> ListColumns()
{
    return GridColumns({{"checked", "选择"},
                        {"date", "日期"},
                        {"number", "单据编号"},
                        {"nvchtype", "单据类型"},
                        {"nbtypeid", "单位全名"},
                        {"netypeid", "经办人"},
                        {"total", "金额"},
                        {"summary", "摘要"},
                        {"vchcode", ""},
                        {"vchtype", ""}});
}

} // namespace

TfrmExportToJS::TfrmExportToJS(QWidget *parent) : TfrmJXCQueryParent(parent)
{
    setObjectName(QStringLiteral("frmExportToJS"));
    SetMoudleNo(kFunctionNo);
    auto *dates = new QHBoxLayout;
    lblBeginDate = new QLabel(this);
    lblBeginDate->setObjectName(QStringLiteral("lblBeginDate"));
    lblEndDate = new QLabel(this);
    lblEndDate->setObjectName(QStringLiteral("lblEndDate"));
    dates->addWidget(lblBeginDate);
    dates->addWidget(lblEndDate);
    dates->addStretch(1);
    QueryLayout()->addLayout(dates);
    MainGrid = new TKvGGeneralGrid(this);
    MainGrid->setObjectName(QStringLiteral("MainGrid"));
    MainGrid->SetColumns(ListColumns());
    QueryLayout()->addWidget(MainGrid, 1);
    chkSelect = new QCheckBox(QStringLiteral("全选"), this);
    chkSelect->setObjectName(QStringLiteral("chkSelect"));
    QueryLayout()->addWidget(chkSelect);
    uBillIoList::Connect(MainGrid, chkSelect);

    btnQuery = AddButton("btnQuery", QStringLiteral("查询条件"));
    btnOpen = AddButton("btnOpen", QStringLiteral("调阅单据"));
    btnExport = AddButton("btnExport", QStringLiteral("导出"));
    btnPrint = AddButton("btnPrint", QStringLiteral("打印"));
    btnHelp = AddButton("btnHelp", QStringLiteral("帮助"));
    btnClose = AddButton("btnClose", QStringLiteral("关闭"));
    // 打印 opens the print button's menu: print, preview, design of the listed bills.
    btnPrint->setMenu(btnExpertPrint->PopupMenu);
    const auto guarded = [this](void (TfrmExportToJS::*handler)()) {
        return [this, handler] { Kvtable::RunGuarded([this, handler] { (this->*handler)(); }); };
    };
    connect(btnQuery, &QPushButton::clicked, this, guarded(&TfrmExportToJS::btnQueryClick));
    connect(btnOpen, &QPushButton::clicked, this, guarded(&TfrmExportToJS::btnOpenClick));
    connect(btnExport, &QPushButton::clicked, this, guarded(&TfrmExportToJS::btnExportClick));
    connect(btnHelp, &QPushButton::clicked, this, &TQuillForm::ShowHelp);
    connect(btnClose, &QPushButton::clicked, this, &QWidget::close);
    connect(MainGrid, &QTableWidget::cellDoubleClicked, this, guarded(&TfrmExportToJS::btnOpenClick));

    OutputFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    SetStatusText(QString());
    SetTitle(QStringLiteral("导出到航天金穗"));
    FHelpName = QStringLiteral("文件/航天金穗数据导出");
    SetFunctionNo(kFunctionNo);
}

TfrmExportToJS::~TfrmExportToJS() = default;

bool TfrmExportToJS::Open()
{
    Params[kBeginDate] = Udllsystemintf::GetPubDefaultBeginDate();
    Params[kEndDate] = Udllsystemintf::GetPubDefaultEndDate();
    if (!ShowCondition(uCondDefine::DateRangeCondition(), true)) {
        close();
        return false;
    }
    LoadList();
    return true;
}

void TfrmExportToJS::LoadList()
{
    uExportBillDataCore::TExportQuery query;
    query.BeginDate = Params[kBeginDate].toString();
    query.EndDate = Params[kEndDate].toString();
    uExportBillDataCore::LoadList(query, cdsGetRecordSet);
    lblBeginDate->setText(QStringLiteral("开始日期：") + query.BeginDate);
    lblEndDate->setText(QStringLiteral("结束日期：") + query.EndDate);
    RefreshData();
    uBillIoList::Reset(MainGrid, chkSelect);
}

void TfrmExportToJS::btnQueryClick()
{
    if (ShowCondition(uCondDefine::DateRangeCondition(), true))
        LoadList();
}

void TfrmExportToJS::btnOpenClick()
{
    const int row = MainGrid->currentRow();
    if (row < 0)
        return;
    Udllbillinterface::AllLoadBill(MainGrid->CellText(row, QStringLiteral("vchcode")).toInt(),
                                   MainGrid->CellText(row, QStringLiteral("vchtype")).toInt(), false, 0);
}

void TfrmExportToJS::btnExportClick()
{
    QList<uExportToJSCore::TBillRef> bills;
    for (const int row : uBillIoList::TickedRows(MainGrid))
        bills.append({MainGrid->CellText(row, QStringLiteral("vchcode")).toLongLong(),
                      MainGrid->CellText(row, QStringLiteral("vchtype")).toInt(),
                      MainGrid->CellText(row, QStringLiteral("number"))});
    if (bills.isEmpty()) {
        Udllmessageintf::ShowWarningMsg(QStringLiteral("请先选择您要导出的单据。"));
        return;
    }
    if (!Udllmessageintf::ConfirmOKCancel(QStringLiteral("确认要导出选中的单据吗？")))
        return;
    const QString fileName = uExportToJSCore::FileName(OutputFolder);
    const uExportToJSCore::TExportResult result = uExportToJSCore::BuildFile(bills);
    QString error;
    if (!uExportBillDataCore::WriteFile(fileName, result.Bytes, error))
        throw std::runtime_error(error.toStdString());
    WrittenFile = fileName;
    if (result.Count > 0)
        uExportBillDataCore::RecordExport(fileName, result.Count);
    Udllmessageintf::ShowInfoMessage(uExportToJSCore::DoneText(result.Count, fileName));
}

namespace uExportToJS {

bool ShowExportToJS()
{
    auto *form = new TfrmExportToJS(uDllComm::DllParams.FparForm);
    form->ShowMDI();
    form->Open();
    return true;
}

} // namespace uExportToJS
