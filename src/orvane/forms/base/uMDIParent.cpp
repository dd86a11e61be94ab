#include "uMDIParent.h"

#include <QPushButton>

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include <QVBoxLayout>

#include "Kvcontrols.h"
#include "Kvtable.h"
#include "uDllComm.h"

TfrmMDIParent::TfrmMDIParent(QWidget *parent) : TQuillForm(parent)
{
    BuildFrame();
}

TfrmMDIParent::TfrmMDIParent(QWidget *parent, const QVariantList &params) : TQuillForm(parent, params)
{
    BuildFrame();
}

TfrmMDIParent::~TfrmMDIParent() = default;

void TfrmMDIParent::BuildFrame()
{
    setWindowFlags(Qt::Widget);
    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);

    ToolBar = new QToolBar(this);
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    btnExpertPrint = new TCMKvPrintBtn(ToolBar);
    btnExpertPrint->setObjectName(QStringLiteral("btnExpertPrint"));
    btnExpertPrint->SetLimitDetailNo(2); // detail 2 of a function is its print right
    ToolBar->addWidget(btnExpertPrint);
    tbsPrintSep = ToolBar->addSeparator();
    tbsPrintSep->setObjectName(QStringLiteral("tbsPrintSep"));
    root->addWidget(ToolBar);

    pnlTitle = new QFrame(this);
    pnlTitle->setObjectName(QStringLiteral("pnlTitle"));
    auto *titleLayout = new QVBoxLayout(pnlTitle);
    titleLayout->setContentsMargins(12, 6, 12, 4);
    lblTitle = new QLabel(pnlTitle);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setAlignment(Qt::AlignCenter);
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    lblTitle->setFont(titleFont);
    titleLayout->addWidget(lblTitle);
    root->addWidget(pnlTitle);

    ShadowPanel1 = new QFrame(this);
    ShadowPanel1->setObjectName(QStringLiteral("ShadowPanel1"));
    ShadowPanel1->setFrameShape(QFrame::StyledPanel);
    auto *shadowLayout = new QVBoxLayout(ShadowPanel1);
    shadowLayout->setContentsMargins(4, 4, 4, 4);
    pnlEntry = new QWidget(ShadowPanel1);
    pnlEntry->setObjectName(QStringLiteral("pnlEntry"));
    shadowLayout->addWidget(pnlEntry);
    root->addWidget(ShadowPanel1, 1);

    pnlButton = new QFrame(this);
    pnlButton->setObjectName(QStringLiteral("pnlButton"));
    auto *buttonLayout = new QHBoxLayout(pnlButton);
    buttonLayout->setContentsMargins(8, 4, 8, 4);
    buttonLayout->addStretch(1);
    root->addWidget(pnlButton);

    sbStatus = new TKvStatusBar(this);
    sbStatus->setObjectName(QStringLiteral("sbStatus"));
    root->addWidget(sbStatus);

    FUseClassName = QString::fromLatin1(metaObject()->className());
    SetPrintButton(btnExpertPrint);
    FFormCreating = false;
}

void TfrmMDIParent::SetTitle(const QString &title)
{
    TQuillForm::SetTitle(title);
    lblTitle->setText(title);
    setWindowTitle(title);
}

void TfrmMDIParent::AfterShow()
{
    TQuillForm::AfterShow();
    RefreshFaceAll();
}

void TfrmMDIParent::RefreshData()
{
    ShowRecordSet(cdsGetRecordSet);
}

void TfrmMDIParent::SetStatusText(const QString &text)
{
    FStatusText = text;
    sbStatus->SetSimpleText(text);
}

QMdiSubWindow *TfrmMDIParent::ShowMDI()
{
    QWidget *mainForm = uDllComm::DllParams.FparForm;
    QMdiArea *area = mainForm ? mainForm->findChild<QMdiArea *>() : nullptr;
    if (!area) {
        setParent(nullptr, Qt::Window);
        setAttribute(Qt::WA_DeleteOnClose);
        show();
        return nullptr;
    }
    QMdiSubWindow *sub = area->addSubWindow(this);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(windowTitle());
    sub->show();
    return sub;
}

void TfrmMDIParent::done(int result)
{
    setResult(result);
    close();
}

void TfrmMDIParent::closeEvent(QCloseEvent *event)
{
    FormClose();
    event->accept();
    // Closed from inside (a 退出 button): the sub-window follows, and deletes itself with the window.
    auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget());
    if (sub && !FClosing) {
        FClosing = true;
        QTimer::singleShot(0, sub, &QWidget::close);
    }
}

QPushButton *TfrmMDIParent::AddButton(const char *objectName, const QString &text)
{
    auto *button = new QPushButton(text, pnlButton);
    button->setObjectName(QLatin1String(objectName));
    button->setAutoDefault(false);
    pnlButton->layout()->addWidget(button);
    return button;
}
