#include "uDialogParent.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "Kvggeneralgrid.h"
#include "Kvtable.h"
#include "uDllComm.h"

namespace {
// Dialogs without an owner are centred on the host's main window.
QWidget *OwnerOrMainForm(QWidget *parent)
{
    return parent ? parent : uDllComm::DllParams.FparForm;
}
} // namespace

TfrmDialogParent::TfrmDialogParent(QWidget *parent) : TQuillForm(OwnerOrMainForm(parent))
{
    BuildFrame();
}

TfrmDialogParent::TfrmDialogParent(QWidget *parent, const QVariantList &params)
    : TQuillForm(OwnerOrMainForm(parent), params)
{
    BuildFrame();
}

TfrmDialogParent::~TfrmDialogParent() = default;

void TfrmDialogParent::BuildFrame()
{
    FIsNotMDIForm = true;
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    setSizeGripEnabled(false);
    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);

    pnlTitle = new QFrame(this);
    pnlTitle->setObjectName(QStringLiteral("pnlTitle"));
    auto *titleLayout = new QVBoxLayout(pnlTitle);
    titleLayout->setContentsMargins(12, 8, 12, 4);
    titleLayout->setSpacing(1);
    lblTitle = new QLabel(pnlTitle);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    lblTitle->setFont(titleFont);
    titleLayout->addWidget(lblTitle);
    for (QFrame **shape : {&Shape1, &Shape2}) {
        *shape = new QFrame(pnlTitle);
        (*shape)->setFrameShape(QFrame::HLine);
        (*shape)->setFixedHeight(2);
        titleLayout->addWidget(*shape, 0, Qt::AlignLeft);
    }
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape2->setObjectName(QStringLiteral("Shape2"));
    root->addWidget(pnlTitle);

    pnlEntry = new QWidget(this);
    pnlEntry->setObjectName(QStringLiteral("pnlEntry"));
    root->addWidget(pnlEntry, 1);

    pnlBottom = new QFrame(this);
    pnlBottom->setObjectName(QStringLiteral("pnlBottom"));
    pnlBottom->setFrameShape(QFrame::NoFrame); // no inner bevel
    auto *bottomLayout = new QHBoxLayout(pnlBottom);
    bottomLayout->setContentsMargins(12, 6, 12, 8);
    bottomLayout->addStretch(1);
    root->addWidget(pnlBottom);

    FUseClassName = QString::fromLatin1(metaObject()->className());
}

void TfrmDialogParent::SetTitle(const QString &title)
{
    TQuillForm::SetTitle(title);
    lblTitle->setText(title);
    setWindowTitle(title);
    // The underline runs 8 pixels past the title text.
    const int width = lblTitle->fontMetrics().horizontalAdvance(title) + 8;
    Shape1->setFixedWidth(width);
    Shape2->setFixedWidth(width);
    for (TKvGGeneralGrid *grid : findChildren<TKvGGeneralGrid *>())
        grid->SetPrintTitle(title);
}

void TfrmDialogParent::RefreshData()
{
    ShowRecordSet(cdsGetRecordSet);
}

QPushButton *TfrmDialogParent::AddPrintButton()
{
    auto *printButton = new TCMKvPrintBtn(pnlBottom);
    printButton->setObjectName(QStringLiteral("btnExpertPrint"));
    printButton->setVisible(false);
    QPushButton *button = AddBottomButton(QStringLiteral("btnPrint"), QStringLiteral("打印"));
    button->setMenu(printButton->PopupMenu);
    SetPrintButton(printButton);
    return button;
}

void TfrmDialogParent::AfterShow()
{
    TQuillForm::AfterShow();
    RefreshFaceAll();
}

QPushButton *TfrmDialogParent::AddBottomButton(const QString &objectName, const QString &text,
                                               int modalResult)
{
    auto *button = new QPushButton(text, pnlBottom);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    pnlBottom->layout()->addWidget(button);
    if (modalResult != mrNone)
        connect(button, &QPushButton::clicked, this, [this, modalResult] { done(modalResult); });
    return button;
}

void TfrmDialogParent::done(int result)
{
    FormClose();
    TQuillForm::done(result);
}
