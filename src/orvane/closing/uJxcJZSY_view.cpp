#include "uJxcJZSY_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "Kvbasicinfocomponent.h"
#include "Kvggeneralgrid.h"
#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "uDllComm.h"
#include "uJxcCheckOutCore.h"
#include "uOrvaneCommon.h"
#include "uPrintdata.h"

namespace {
const QString kCaption = QStringLiteral("结转成本附件");
constexpr int kCheckOutFunctionNo = 1320;
const QString kCaptionByGoods = QStringLiteral("结转成本附件(按存货)");
constexpr int kGoodsParam = 2;                     // goods id of the query conditions
const QString kAllGoods = QStringLiteral("00000"); // the root goods class
} // namespace

TfrmJxcJZSYView::TfrmJxcJZSYView(QWidget *parent) : TfrmDialogQueryParent(parent)
{
    lcbPeriod = new TGLabelComBox(QStringLiteral("期    间"), PanelRight);
    lcbPeriod->setObjectName(QStringLiteral("lcbPeriod"));
    lcbVchtype = new TGLabelComBox(QStringLiteral("单据类型"), PanelRight);
    lcbVchtype->setObjectName(QStringLiteral("lcbVchtype"));
    ckbPtype = new QCheckBox(QStringLiteral("按存货汇总"), PanelRight);
    ckbPtype->setObjectName(QStringLiteral("ckbPtype"));
    auto *conditions = new QHBoxLayout;
    conditions->addWidget(lcbPeriod);
    conditions->addWidget(lcbVchtype);
    conditions->addWidget(ckbPtype);
    conditions->addStretch(1);
    QueryLayout()->addLayout(conditions);
    MainGrid = new TKvGGeneralGrid(this);
    MainGrid->setObjectName(QStringLiteral("MainGrid"));
    QueryLayout()->addWidget(MainGrid, 1);

    btnCalcCost = AddBottomButton(QStringLiteral("btnCalcCost"), QStringLiteral("成本计算"));
    btnPrint = AddPrintButton();
    // Printed under the layout number of the month-end checkout it belongs to.
    PrintHandler()->SetPrintID(kCheckOutFunctionNo);
    btnHelp = AddBottomButton(QStringLiteral("btnHelp"), QStringLiteral("帮助"));
    btnClose = AddBottomButton(QStringLiteral("btnClose"), QStringLiteral("关闭"), mrCancel);
    connect(btnCalcCost, &QPushButton::clicked, this, &TfrmJxcJZSYView::btnCalcCostClick);
    connect(btnHelp, &QPushButton::clicked, this, &TQuillForm::ShowHelp);
    connect(ckbPtype, &QCheckBox::clicked, this, &TfrmJxcJZSYView::ckbPtypeClick);
    connect(MainGrid, &QTableWidget::currentCellChanged, this, [this](int row) {
        // The goods item of the chosen summary row is the one the cost calculation takes.
        if (FMode == u"P" && row >= 0)
            Params[kGoodsParam] = MainGrid->CellText(row, QStringLiteral("ptypeid"));
    });

    FPeriodText = uJxcCheckOutCore::CurrentPeriodText();
    SetTitle(kCaption);
    FHelpName = QStringLiteral("单据处理/进销存期末结账");
    FillVchtypes();
    FillPeriods();
    connect(lcbVchtype->ComboBox(), &QComboBox::currentIndexChanged, this,
            &TfrmJxcJZSYView::lcbVchtypeChange);
    connect(lcbPeriod->ComboBox(), &QComboBox::currentIndexChanged, this, &TfrmJxcJZSYView::lcbPeriodChange);
    LoadData();
}

TfrmJxcJZSYView::~TfrmJxcJZSYView() = default;

void TfrmJxcJZSYView::FillVchtypes()
{
    const int edition = uDllComm::DllParams.PubVersion2;
    QList<QPair<QString, int>> types = {{QStringLiteral("销售单"), 11},
                                        {QStringLiteral("销售退货单"), 45},
                                        {QStringLiteral("组装与拆分单"), 16},
                                        {QStringLiteral("其他出库单"), 141},
                                        {QStringLiteral("报损单"), 9}};
    if (edition >= 3680)
        types += {{QStringLiteral("差异调拨单"), 21},
                  {QStringLiteral("委托发货单"), 25},
                  {QStringLiteral("委托退货单"), 30},
                  {QStringLiteral("委托结算单"), 26}};
    else if (edition == 2680)
        types += {{QStringLiteral("差异调拨单"), 21}};
    if (!uDllComm::DllParams.IsCMSQ) {
        types += {{QStringLiteral("领料单"), 172},
                  {QStringLiteral("退料单"), 173},
                  {QStringLiteral("生产报损单"), 176},
                  {QStringLiteral("完工验收单"), 174}};
        if (edition >= 5680) {
            types += {{QStringLiteral("委外发料单"), 182},
                      {QStringLiteral("委外退料单"), 183},
                      {QStringLiteral("委外完工验收单"), 184},
                      {QStringLiteral("委外退回单"), 189}};
            if (Udlldbservice::GetValueFromSQL(
                    QStringLiteral(
                        "SELECT CASE WHEN EXISTS (SELECT 1 FROM T_GBL_Vchtype WHERE Vchtype = 211 AND "
                        "Visible = 1) THEN 1 ELSE 0 END"))
                    .toInt() == 1)
                types += {{QStringLiteral("简单委外发料单"), 212},
                          {QStringLiteral("简单委外退料单"), 213},
                          {QStringLiteral("简单委外完工验收单"), 214}};
        }
    }
    if (uOrvaneCommon::HasPlugInVchtype260000())
        types += {{QStringLiteral("销售出库单"), 250000},
                  {QStringLiteral("销售退库单"), 300000},
                  {QStringLiteral("销售发票"), 260000}};
    QComboBox *combo = lcbVchtype->ComboBox();
    for (const auto &t : std::as_const(types))
        combo->addItem(t.first, t.second);
    combo->setCurrentIndex(0);
    FVchtype = combo->currentData().toInt();
}

void TfrmJxcJZSYView::FillPeriods()
{
    QComboBox *combo = lcbPeriod->ComboBox();
    uOrvaneCommon::FillPeriodItems(combo, true);
    const int index = combo->findText(FPeriodText);
    if (index >= 0)
        combo->setCurrentIndex(index);
}

void TfrmJxcJZSYView::SetGridColumns()
{
    const auto column = [](const QString &field, const QString &caption, bool visible = true) {
        TGridColumn c;
        c.FieldName = field;
        c.Caption = caption;
        c.Visible = visible;
        return c;
    };
    if (FMode == u"P")
        MainGrid->SetColumns({column(QStringLiteral("ptypeid"), QStringLiteral("存货ID"), false),
                              column(QStringLiteral("UserCode"), QStringLiteral("存货编号")),
                              column(QStringLiteral("FullName"), QStringLiteral("存货名称")),
                              column(QStringLiteral("QTY"), QStringLiteral("数量")),
                              column(QStringLiteral("TOTAL"), QStringLiteral("金额")),
                              column(QStringLiteral("Price"), QStringLiteral("单价"))});
    else
        MainGrid->SetColumns({column(QStringLiteral("VCHTYPENAME"), QStringLiteral("单据类型")),
                              column(QStringLiteral("DATE"), QStringLiteral("日期")),
                              column(QStringLiteral("NUMBER"), QStringLiteral("单据编号")),
                              column(QStringLiteral("QTY"), QStringLiteral("数量")),
                              column(QStringLiteral("TOTAL"), QStringLiteral("金额")),
                              column(QStringLiteral("Price"), QStringLiteral("单价")),
                              column(QStringLiteral("vchcode"), QStringLiteral("vchcode"), false),
                              column(QStringLiteral("vchtype"), QStringLiteral("vchtype"), false),
                              column(QStringLiteral("redword"), QStringLiteral("redword"), false),
                              column(QStringLiteral("redold"), QStringLiteral("redold"), false)});
}

void TfrmJxcJZSYView::LoadData()
{
    SetGridColumns();
    Udlldbservice::OpenProcByName(
        QStringLiteral("P_jxc_JxcJZSYView"),
        {QStringLiteral("@Vchtype"), QStringLiteral("@szPeriod"), QStringLiteral("@cMode")},
        {FVchtype, FPeriodText, FMode}, cdsGetRecordSet);
    MainGrid->LoadFromDataSet(cdsGetRecordSet);
}

void TfrmJxcJZSYView::lcbVchtypeChange()
{
    FVchtype = lcbVchtype->ComboBox()->currentData().toInt();
    LoadData();
}

void TfrmJxcJZSYView::lcbPeriodChange()
{
    FPeriodText = lcbPeriod->ComboBox()->currentText();
    LoadData();
}

void TfrmJxcJZSYView::ckbPtypeClick()
{
    const bool byGoods = ckbPtype->isChecked();
    SetTitle(byGoods ? kCaptionByGoods : kCaption);
    FMode = byGoods ? QStringLiteral("P") : QStringLiteral("V");
    LoadData();
}

void TfrmJxcJZSYView::btnCalcCostClick()
{
    if (!uJxcCheckOutCore::CalcCostHook) {
        Udllmessageintf::ShowWarningMsg(uJxcCheckOutCore::NotCostedMessage);
        return;
    }
    // With no goods item chosen the root class stands for every goods item waiting for calculation:
    // the view always recalculates with progress, the empty list being the checkout's wizard.
    const QString goods = Params[kGoodsParam].toString().trimmed();
    if (uJxcCheckOutCore::CalcCostHook(goods.isEmpty() ? kAllGoods : goods))
        LoadData();
}
