#include "uInputBox.h"

#include <QBoxLayout>
#include <QPushButton>
#include <cmath>
#include <memory>

#include "Kvbasicinfocomponent.h"
#include "Udllmessageintf.h"
#include "uTransformFunc.h"

namespace {
constexpr int BaseWidth = 360;
constexpr double MaxPrice = 100000000.0;
} // namespace

TfrmInputBox::TfrmInputBox(QWidget *parent) : TfrmDialogParent(parent)
{
    setObjectName(QStringLiteral("frmInputBox"));
    auto *entry = new QVBoxLayout(pnlEntry);
    entry->setContentsMargins(16, 8, 16, 4);
    lbPrompt = new QLabel(pnlEntry);
    lbPrompt->setObjectName(QStringLiteral("lbPrompt"));
    entry->addWidget(lbPrompt);
    edtInput = new TCMGLabelBtnEdit(QString(), pnlEntry);
    edtInput->setObjectName(QStringLiteral("edtInput"));
    edtInput->Label()->setVisible(false); // the prompt above names the value
    entry->addWidget(edtInput);
    btnOK = AddBottomButton(QStringLiteral("btnOK"), QStringLiteral("确定"));
    btnCancel = AddBottomButton(QStringLiteral("btnCancel"), QStringLiteral("取消"), mrCancel);
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &TfrmInputBox::btnOKClick);
    setMinimumWidth(BaseWidth);
}

TfrmInputBox::~TfrmInputBox() = default;

void TfrmInputBox::SetDataType(TCMDataType type)
{
    FDataType = type;
    edtInput->SetDataType(type);
    if (type == TCMDataType::cdtFloat)
        edtInput->SetMaxLength(255);
}

void TfrmInputBox::ApplyLayoutNo(int layoutNo)
{
    if (layoutNo > 56) {
        setMinimumWidth(BaseWidth * layoutNo / 56);
        resize(minimumWidth(), height());
    }
    if (layoutNo > 0) {
        IsCostPrice = true;
        // Buttons above the entry, right under the prompt band.
        auto *root = static_cast<QBoxLayout *>(layout());
        root->removeWidget(pnlBottom);
        root->insertWidget(root->indexOf(pnlEntry), pnlBottom);
    }
}

void TfrmInputBox::showEvent(QShowEvent *event)
{
    pnlTitle->setVisible(false);
    TfrmDialogParent::showEvent(event);
}

void TfrmInputBox::AfterShow()
{
    TfrmDialogParent::AfterShow();
    edtInput->SetLabelSpacing(5);
    edtInput->setFocus();
    edtInput->Edit()->selectAll();
}

void TfrmInputBox::btnOKClick()
{
    if (FDataType == TCMDataType::cdtFloat) {
        const QString text = edtInput->Text().trimmed();
        if (text.isEmpty()) {
            Udllmessageintf::ShowInfoMessage(IsCostPrice ? QStringLiteral("请输入成本单价。")
                                                         : QStringLiteral("请输入单价。"));
            edtInput->setFocus();
            return;
        }
        if (std::fabs(uTransformFunc::StrToFloatLoose(text)) <= 0.00001) {
            Udllmessageintf::ShowInfoMessage(IsCostPrice ? QStringLiteral("成本单价不能为零。")
                                                         : QStringLiteral("单价不能为零。"));
            edtInput->setFocus();
            return;
        }
    }
    done(mrOk);
}

QString TfrmInputBox::ResultText() const
{
    if (FDataType == TCMDataType::cdtFloat) {
        const double value = uTransformFunc::StrToFloatLoose(edtInput->Text());
        if (std::fabs(value) >= MaxPrice)
            return value < 0 ? QStringLiteral("-100000000") : QStringLiteral("100000000");
    }
    return edtInput->Text();
}

bool InputValue(const QString &title, const QString &prompt, QString &value, int layoutNo,
                TCMDataType dataType)
{
    auto form = std::make_unique<TfrmInputBox>();
    form->IsCostPrice = false;
    form->SetTitle(title);
    form->lbPrompt->setText(prompt);
    form->edtInput->SetCaption(prompt);
    form->SetDataType(dataType);
    form->edtInput->SetText(value);
    form->ApplyLayoutNo(layoutNo);
    if (form->exec() != mrOk)
        return false;
    value = form->ResultText();
    return true;
}
