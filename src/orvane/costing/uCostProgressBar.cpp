#include "uCostProgressBar.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include "Udllmessageintf.h"
#include "Udllsystemintf.h"
#include "uCostCalcProcessMain.h"
#include "uCostInput.h"
#include "uDllComm.h"
#include "uJobLock.h"
#include "uOrvaneCommon.h"

namespace {
const QEvent::Type CalcCostEvent = QEvent::Type(TfrmCostProgressBar::WM_CALCCOST);

// "正在计算：name（n / total）" for the goods item under calculation (its id when the list has no name).
QString ItemText(const TCostCalcProcess &AProcess, int ANumber, int ATotal)
{
    const TClientDataSet &items = AProcess.cdsPtype;
    QString name = items.HasField(QStringLiteral("FullName"))
                       ? items.Value(QStringLiteral("FullName")).toString()
                       : QString();
    if (name.isEmpty())
        name = AProcess.CurrentPtype();
    return QStringLiteral("正在计算：%1（%2 / %3）").arg(name).arg(ANumber).arg(ATotal);
}
} // namespace

TfrmCostProgressBar::TfrmCostProgressBar(const QString &APtypeList, QWidget *parent)
    : TfrmDialogParent(parent), FPtypeList(APtypeList)
{
    setObjectName(QStringLiteral("frmCostProgressBar"));
    // FormCreate: this window never asks for a cost.
    FProcess = std::make_unique<TCostCalcProcess>(true);
    auto *layout = new QVBoxLayout(pnlEntry);
    layout->setContentsMargins(12, 8, 12, 8);
    // The goods item under calculation, and how far the run is: "n / total".
    auto *lblItem = new QLabel(pnlEntry);
    lblItem->setObjectName(QStringLiteral("lblItem"));
    gProgressBar = new QProgressBar(pnlEntry);
    gProgressBar->setObjectName(QStringLiteral("gProgressBar"));
    gProgressBar->setRange(0, 1);
    gProgressBar->setValue(0);
    gProgressBar->setFormat(QStringLiteral("%v / %m"));
    layout->addWidget(lblItem);
    layout->addWidget(gProgressBar);
    pnlBottom->setVisible(false);
    SetTitle(QStringLiteral("正在计算"));
    resize(420, 130);
    EnsureFormInit();
}

TfrmCostProgressBar::~TfrmCostProgressBar() = default;

int TfrmCostProgressBar::OpenPtypeList()
{
    const int count = FProcess->GetCalcPtype(FPtypeList);
    if (count == 0 && !FProcess->LastError().isEmpty())
        Udllmessageintf::ShowErrorMsg(FProcess->LastError());
    if (count > 0)
        gProgressBar->setMaximum(count);
    return count;
}

void TfrmCostProgressBar::PostCalcMessage()
{
    QCoreApplication::postEvent(this, new QEvent(CalcCostEvent));
}

bool TfrmCostProgressBar::event(QEvent *event)
{
    if (event->type() == CalcCostEvent) {
        uCostInput::RunHandler([this] { CalcCost(); });
        return true;
    }
    return TfrmDialogParent::event(event);
}

void TfrmCostProgressBar::closeEvent(QCloseEvent *event)
{
    // Closing from the system menu cancels: the run stops after the item under calculation.
    setResult(mrCancel);
    TfrmDialogParent::closeEvent(event);
}

void TfrmCostProgressBar::CalcCost()
{
    setResult(mrNone);
    // A database error ends the run; the window closes as cancelled.
    try {
        while (!FProcess->ProcessEnd() && result() != mrCancel) {
            ++FCount;
            QCoreApplication::processEvents();
            SetTitle(QStringLiteral("正在计算") + QString(FCount % 10, QLatin1Char('.')));
            findChild<QLabel *>(QStringLiteral("lblItem"))
                ->setText(ItemText(*FProcess, FCount, gProgressBar->maximum()));
            FProcess->CalcPtypeCost(FDlyCount);
            if (gProgressBar->value() < gProgressBar->maximum())
                gProgressBar->setValue(gProgressBar->value() + 1);
            FProcess->ProcessNext();
        }
        FProcess->CommitPending();
    } catch (...) {
        if (result() != mrCancel)
            done(mrCancel);
        throw;
    }
    gProgressBar->setValue(gProgressBar->maximum());
    if (result() != mrCancel)
        done(mrOk);
}

bool CalcCostWithProgress(const QString &APtypeList)
{
    if (uDllComm::DllParams.IsQuery || !Udllsystemintf::CheckSysCon(140) || uOrvaneCommon::IsIniNotOver())
        return false;
    QString refusal;
    const std::unique_ptr<TJobLock> job = uJobLock::StartPeriodJob(QStringLiteral("成本计算"), refusal);
    if (!job) {
        Udllmessageintf::ShowWarningMsg(refusal);
        return false;
    }
    TfrmCostProgressBar frm(APtypeList);
    const int count = frm.OpenPtypeList();
    if (count == 0)
        return false;
    frm.PostCalcMessage();
    frm.exec();
    return true;
}
