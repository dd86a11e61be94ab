#include "uJXCUnCheckOut.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "QuillExceptions.h"
#include "Udllmessageintf.h"
#include "Udllsystemintf.h"
#include "uJxcCheckOutCore.h"

using namespace uJxcCheckOutCore;

TfrmUnJxcCheckOut::TfrmUnJxcCheckOut(QWidget *parent) : TfrmDialogParent(parent)
{
    auto *layout = new QVBoxLayout(pnlEntry);
    layout->setContentsMargins(12, 6, 12, 6);
    lblPeriod = new QLabel(pnlEntry);
    lblPeriod->setObjectName(QStringLiteral("lblPeriod"));
    Label1 = new QLabel(QStringLiteral("反结账：将删除结转成本的凭证，并返回到上一进销存期间。"), pnlEntry);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel(QStringLiteral("注意：反结账后的进销存期间不得小于当前的会计期间。"), pnlEntry);
    Label2->setObjectName(QStringLiteral("Label2"));
    layout->addWidget(lblPeriod);
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    layout->addStretch(1);
    btnOK = AddBottomButton(QStringLiteral("btnOK"), QStringLiteral("确定"));
    btnCancel = AddBottomButton(QStringLiteral("btnCancel"), QStringLiteral("退出"));
    connect(btnOK, &QPushButton::clicked, this, &TfrmUnJxcCheckOut::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmUnJxcCheckOut::btnCancelClick);
    lblPeriod->setText(PeriodCaption());
    SetTitle(QStringLiteral("进销存期末反结账"));
    FHelpName = QStringLiteral("单据处理/进销存期末反结账");
}

TfrmUnJxcCheckOut::~TfrmUnJxcCheckOut() = default;

int TfrmUnJxcCheckOut::Execute()
{
    TfrmUnJxcCheckOut form;
    const int result = form.exec();
    Udllsystemintf::RefreshMainStatusBar(RefreshSet({TRefreshSB::rsbAccount}));
    return result;
}

void TfrmUnJxcCheckOut::btnOKClick()
{
    struct TWaitCursor
    {
        TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
        ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
    } wait;
    TRunResult result;
    try {
        result = RunUnCheckOut();
    } catch (const std::exception &e) {
        const auto *db = dynamic_cast<const EDatabaseError *>(&e);
        Udllmessageintf::ShowWarningMsg(db ? db->Message() : QString::fromUtf8(e.what()));
        lblPeriod->setText(PeriodCaption());
        return;
    }
    switch (result.Status) {
    case TRunStatus::Done:
        Udllmessageintf::ShowInfoMessage(UnCheckOutDoneMessage);
        lblPeriod->setText(PeriodCaption());
        done(mrOk);
        return;
    case TRunStatus::PlugInFailed:
        Udllmessageintf::ShowErrorMsg(result.Message);
        return;
    case TRunStatus::Error:
        Udllmessageintf::ShowWarningMsg(result.Message);
        break;
    case TRunStatus::Refused:
    case TRunStatus::AdjustRefused:
        Udllmessageintf::SuperMessageBox(result.Message);
        break;
    }
    lblPeriod->setText(PeriodCaption());
}

void TfrmUnJxcCheckOut::btnCancelClick()
{
    done(mrCancel);
}
