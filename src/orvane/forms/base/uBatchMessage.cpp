#include "uBatchMessage.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QStyle>
#include <memory>

TfrmBatchMessage::TfrmBatchMessage(QWidget *parent) : TfrmDialogParent(parent)
{
    setObjectName(QStringLiteral("frmBatchMessage"));
    auto *entry = new QHBoxLayout(pnlEntry);
    entry->setContentsMargins(8, 8, 8, 0);
    Panel1 = new QFrame(pnlEntry);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    entry->addWidget(Panel1);
    auto *panel = new QHBoxLayout(Panel1);
    panel->setContentsMargins(0, 0, 0, 0);
    Image = new QLabel(Panel1);
    Image->setObjectName(QStringLiteral("Image"));
    Image->setFixedSize(32, 32);
    panel->addWidget(Image, 0, Qt::AlignTop);
    MsgMemo = new QPlainTextEdit(Panel1);
    MsgMemo->setObjectName(QStringLiteral("MsgMemo"));
    MsgMemo->setReadOnly(true);
    MsgMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont memoFont = MsgMemo->font();
    memoFont.setPixelSize(16);
    MsgMemo->setFont(memoFont);
    MsgMemo->setMinimumSize(420, 220);
    panel->addWidget(MsgMemo, 1);

    btnOK = AddBottomButton(QStringLiteral("btnOK"), QStringLiteral("是"));
    btnOK->setVisible(false);
    btnClose = AddBottomButton(QStringLiteral("btnClose"), QStringLiteral("关闭"));
    connect(btnOK, &QPushButton::clicked, this, &TfrmBatchMessage::btnOKClick);
    connect(btnClose, &QPushButton::clicked, this, &TfrmBatchMessage::btnCloseClick);
    SetIconType(2);
}

TfrmBatchMessage::~TfrmBatchMessage() = default;

void TfrmBatchMessage::SetIconType(int type)
{
    FIconType = type;
    QStyle::StandardPixmap pixmap = QStyle::SP_MessageBoxInformation;
    switch (type) {
    case 0:
        pixmap = QStyle::SP_MessageBoxWarning;
        break;
    case 1:
        pixmap = QStyle::SP_MessageBoxCritical;
        break;
    case 3:
        pixmap = QStyle::SP_MessageBoxQuestion;
        break;
    default:
        break;
    }
    Image->setPixmap(style()->standardIcon(pixmap).pixmap(32, 32));
}

void TfrmBatchMessage::btnOKClick()
{
    confirmOK = true;
    done(mrOk);
}

void TfrmBatchMessage::btnCloseClick()
{
    done(mrCancel);
}

bool ShowBatchMessageWindow(const QStringList &lines, int type, bool confirm, bool yesNo)
{
    if (type == 0)
        type = 2;
    auto form = std::make_unique<TfrmBatchMessage>();
    if (confirm) {
        form->SetTitle(QStringLiteral("请确认"));
        form->btnOK->setText(yesNo ? QStringLiteral("是") : QStringLiteral("确定"));
        form->btnClose->setText(yesNo ? QStringLiteral("否") : QStringLiteral("取消"));
        form->btnOK->setVisible(true);
        form->btnOK->setDefault(true);
    } else {
        form->SetTitle(type == 1 ? QStringLiteral("错误") : QStringLiteral("提示"));
    }
    form->pnlTitle->setVisible(false);
    form->SetIconType(type);
    form->confirmOK = false;
    form->MsgMemo->setPlainText(lines.join(QLatin1Char('\n')));
    form->exec();
    return form->confirmOK;
}
