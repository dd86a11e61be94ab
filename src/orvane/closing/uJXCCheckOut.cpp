#include "uJXCCheckOut.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "QuillExceptions.h"
#include "Udllmessageintf.h"
#include "Udllsystemintf.h"
#include "uBillMessageComm.h"
#include "uDllComm.h"
#include "uJxcCheckOutCore.h"
#include "uJxcJZSY_view.h"
#include "uOrvaneCommon.h"

using namespace uJxcCheckOutCore;

namespace {

constexpr int kAutoImproveConId = 166;
constexpr int kCostCarryOverConId = 167;
constexpr int kPeriodSyncConId = 97;
constexpr int kCostCalcRight = 2110;
constexpr int kFullHeight = 370;
constexpr int kLabelHeight = 23;

// Hourglass for the length of a handler, restored on every path.
struct TWaitCursor
{
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
};

QLabel *NewLabel(const QString &name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

} // namespace

TfrmJXCCheckOut::TfrmJXCCheckOut(QWidget *parent) : TfrmDialogParent(parent)
{
    BuildControls();
    Prepare();
}

TfrmJXCCheckOut::~TfrmJXCCheckOut() = default;

int TfrmJXCCheckOut::Execute()
{
    TfrmJXCCheckOut form;
    return form.exec();
}

void TfrmJXCCheckOut::BuildControls()
{
    auto *layout = new QVBoxLayout(pnlEntry);
    layout->setContentsMargins(12, 6, 12, 6);
    lblPeriod = NewLabel(QStringLiteral("lblPeriod"), QString(), pnlEntry);
    layout->addWidget(lblPeriod);

    grp1 = new QGroupBox(pnlEntry);
    grp1->setObjectName(QStringLiteral("grp1"));
    auto *group = new QVBoxLayout(grp1);
    group->setSpacing(2);
    Label1 =
        NewLabel(QStringLiteral("Label1"), QStringLiteral("  系统将根据以下单据类型生成不同的凭证："), grp1);
    Label2 = NewLabel(QStringLiteral("Label2"),
                      QStringLiteral("销售单、销售退货单、组装与拆分单、其他出库单、报损单、"), grp1);
    Label3 = NewLabel(QStringLiteral("Label3"),
                      QStringLiteral("委托发货单、委托退货单、委托结算单、领料单、退料单、"), grp1);
    Label7 = NewLabel(QStringLiteral("Label7"),
                      QStringLiteral("差异调拨单、生产报损单、完工验收单、委外发料单、"), grp1);
    Label8 =
        NewLabel(QStringLiteral("Label8"), QStringLiteral("委外退料单、委外完工验收单、委外退回单、"), grp1);
    Label9 = NewLabel(QStringLiteral("Label9"),
                      QStringLiteral("简单委外发料单、简单委外退料单、简单委外完工验收单。"), grp1);
    Label4 = NewLabel(QStringLiteral("Label4"),
                      QStringLiteral("  期末结账后，将进入下个进销存期间。结账之后，如果要"), grp1);
    Label5 = NewLabel(QStringLiteral("Label5"),
                      QStringLiteral("返回到上个进销存期间，请使用进销存期末反结账功能。"), grp1);
    Label6 = NewLabel(QStringLiteral("Label6"),
                      QStringLiteral("  查看本期间的单据明细情况，请点击查看附件。"), grp1);
    for (QLabel *label : {Label1, Label2, Label3, Label7, Label8, Label9, Label4, Label5, Label6})
        group->addWidget(label);
    layout->addWidget(grp1);

    chkAutoImprove = new QCheckBox(QStringLiteral("自动调整库存"), pnlEntry);
    chkAutoImprove->setObjectName(QStringLiteral("chkAutoImprove"));
    chkCostCarryOver = new QCheckBox(QStringLiteral("期末成本结转"), pnlEntry);
    chkCostCarryOver->setObjectName(QStringLiteral("chkCostCarryOver"));
    chkCostCarryOver->setChecked(true);
    chkCostCarryOver->setVisible(false);
    auto *checks = new QHBoxLayout;
    checks->addWidget(chkAutoImprove);
    checks->addWidget(chkCostCarryOver);
    checks->addStretch(1);
    layout->addLayout(checks);

    btnCalcCost = AddBottomButton(QStringLiteral("btnCalcCost"), QStringLiteral("成本计算"));
    btnView = AddBottomButton(QStringLiteral("btnView"), QStringLiteral("查看附件"));
    btnOK = AddBottomButton(QStringLiteral("btnOK"), QStringLiteral("期末结账"));
    btnExit = AddBottomButton(QStringLiteral("btnExit"), QStringLiteral("退出"));

    connect(btnOK, &QPushButton::clicked, this, &TfrmJXCCheckOut::btnOKClick);
    connect(btnCalcCost, &QPushButton::clicked, this, &TfrmJXCCheckOut::btnCalcCostClick);
    connect(btnView, &QPushButton::clicked, this, &TfrmJXCCheckOut::btnViewClick);
    connect(btnExit, &QPushButton::clicked, this, &TfrmJXCCheckOut::btnExitClick);
    connect(chkAutoImprove, &QCheckBox::clicked, this, &TfrmJXCCheckOut::chkAutoImproveClick);
    connect(chkCostCarryOver, &QCheckBox::clicked, this, &TfrmJXCCheckOut::chkCostCarryOverClick);
}

void TfrmJXCCheckOut::Prepare()
{
    SetTitle(QStringLiteral("期末结账"));
    FHelpName = QStringLiteral("单据处理/进销存期末结账");
    btnCalcCost->setVisible(uOrvaneCommon::HasRightByLimitNo(kCostCalcRight));
    FPeriodText = CurrentPeriodText();
    lblPeriod->setText(PeriodCaption());
    chkAutoImprove->setChecked(Udllsystemintf::CheckSysCon(kAutoImproveConId));
    chkCostCarryOver->setVisible(!Udllsystemintf::CheckSysCon(kPeriodSyncConId));
    chkCostCarryOver->setChecked(Udllsystemintf::CheckSysCon(kCostCarryOverConId));
    ApplyEdition();
}

void TfrmJXCCheckOut::ApplyEdition()
{
    const int edition = uDllComm::DllParams.PubVersion2;
    QList<QLabel *> hidden;
    if (uDllComm::DllParams.IsCMSQ) {
        if (edition == 880) {
            Label2->setText(QStringLiteral("销售单、销售退货单、组装与拆分单、其他出库单、报损单。"));
            hidden = {Label3, Label7, Label8, Label9};
        } else {
            Label3->setText(edition < 3680
                                ? QStringLiteral("差异调拨单。")
                                : QStringLiteral("委托发货单、委托退货单、委托结算单、差异调拨单。"));
            hidden = {Label7, Label8, Label9};
        }
    } else if (edition == 4680) {
        Label7->setText(QStringLiteral("差异调拨单、生产报损单、完工验收单。"));
        hidden = {Label8, Label9};
    } else if (edition == 5680 || edition == 6680) {
        Label7->setText(QStringLiteral("差异调拨单、生产报损单、完工验收单、委外发料单、"));
    }
    for (QLabel *label : hidden)
        label->setVisible(false);
    FHiddenLabels = int(hidden.size());
    resize(width(), kFullHeight - kLabelHeight * FHiddenLabels);
}

void TfrmJXCCheckOut::OpenCostCalculation(const QString &ptypeIds)
{
    if (CalcCostHook)
        CalcCostHook(ptypeIds);
    else
        Udllmessageintf::ShowWarningMsg(NotCostedMessage);
}

void TfrmJXCCheckOut::btnOKClick()
{
    const int check = PreCheck();
    if (check < 0) {
        if (check == NotCostedCode) {
            if (Udllmessageintf::ConfirmYesNo(NotCostedQuestion))
                OpenCostCalculation(QString());
        } else {
            Udllmessageintf::SuperMessageBox(PreCheckMessage(check));
        }
        return;
    }

    TWaitCursor wait;
    for (const QString &question : OpenAllocationQuestions(FPeriodText, uDllComm::DllParams.PubVersion2)) {
        if (!Udllmessageintf::ConfirmYesNo(question))
            return;
    }
    const int unaudited = UnauditedBillCount(FPeriodText);
    if (unaudited != 0 && !Udllmessageintf::ConfirmYesNo(UnauditedBillsQuestion(unaudited))) {
        if (!uOrvaneCommon::HasRightByClickName(QStringLiteral("单据审核查询"))) {
            Udllmessageintf::ShowErrorMsg(NoAuditQueryRightMessage);
            return;
        }
        // Without an audit query window the checkout simply ends, so that the bills are handled first.
        if (ShowAuditQueryHook)
            ShowAuditQueryHook();
        done(mrCancel);
        return;
    }

    TRunResult result;
    try {
        result = RunCheckOut(chkAutoImprove->isChecked());
    } catch (const std::exception &e) {
        const auto *db = dynamic_cast<const EDatabaseError *>(&e);
        Udllmessageintf::ShowWarningMsg(db ? db->Message() : QString::fromUtf8(e.what()));
        return;
    }
    switch (result.Status) {
    case TRunStatus::Done:
        Udllmessageintf::ShowInfoMessage(CheckOutDoneMessage);
        Udllsystemintf::RefreshMainStatusBar(RefreshSet({TRefreshSB::rsbAccount}));
        done(mrOk);
        break;
    case TRunStatus::AdjustRefused: {
        TBillBatchMessage batch;
        for (const QString &text : std::as_const(result.Messages))
            batch.AddMsg(text);
        batch.ShowWarningBatchMsg();
        break;
    }
    case TRunStatus::PlugInFailed:
        Udllmessageintf::ShowErrorMsg(result.Message);
        break;
    case TRunStatus::Refused:
        Udllmessageintf::SuperMessageBox(result.Message);
        break;
    case TRunStatus::Error:
        Udllmessageintf::ShowWarningMsg(result.Message);
        break;
    }
}

void TfrmJXCCheckOut::btnCalcCostClick()
{
    OpenCostCalculation(QString());
}

void TfrmJXCCheckOut::btnViewClick()
{
    TfrmJxcJZSYView view(this);
    view.exec();
}

void TfrmJXCCheckOut::btnExitClick()
{
    done(mrCancel);
}

void TfrmJXCCheckOut::chkAutoImproveClick()
{
    uOrvaneCommon::SetSysConStats(kAutoImproveConId, chkAutoImprove->isChecked());
}

void TfrmJXCCheckOut::chkCostCarryOverClick()
{
    uOrvaneCommon::SetSysConStats(kCostCarryOverConId, chkCostCarryOver->isChecked());
}
