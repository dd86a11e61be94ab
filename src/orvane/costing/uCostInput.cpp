#include "uCostInput.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QValidator>

#include "ClientDataSet.h"
#include "Format.h"
#include "Kvbasicfun.h"
#include "Kvbasicinfocomponent.h"
#include "Kvtable.h"
#include "QuillExceptions.h"
#include "Udllbillconfig.h"
#include "Udlldbservice.h"
#include "Udllmessageintf.h"

namespace uCostInput {

bool GetPtypeNames(const QString &APtypeID, QString &AFullName, QString &AUserCode)
{
    AFullName.clear();
    AUserCode.clear();
    TClientDataSet ds;
    Udlldbservice::OpenSQL(QStringLiteral("SELECT FullName, UserCode FROM ptype WHERE typeId = ?"),
                           {APtypeID}, ds);
    if (ds.IsEmpty())
        return false;
    AFullName = ds.Value(QStringLiteral("FullName")).toString();
    AUserCode = ds.Value(QStringLiteral("UserCode")).toString();
    return true;
}

QString GetBillName(int AVchtype)
{
    if (Udllbillconfig::BillConfigIntf)
        return Udllbillconfig::GetBillName(AVchtype);
    const int baseType = AVchtype > 10000 ? AVchtype / 10000 : AVchtype;
    return Udlldbservice::GetValueFromSQL(QStringLiteral("SELECT Name FROM T_GBL_Vchtype WHERE Vchtype = ?"),
                                          {baseType})
        .toString();
}

void RunHandler(const std::function<void()> &AHandler)
{
    Kvtable::RunGuarded(AHandler);
}

} // namespace uCostInput

namespace {
// Unit costs are typed as digits with one decimal point, never above the largest cost; a sign cannot
// be typed at all.
class TPriceValidator final : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        if (input.isEmpty())
            return Intermediate;
        static const QRegularExpression pattern(QStringLiteral("^\\d*\\.?\\d*$"));
        if (!pattern.match(input).hasMatch())
            return Invalid;
        if (input == QLatin1String("."))
            return Intermediate;
        return input.toDouble() <= uCostInput::MaxInputPrice ? Acceptable : Invalid;
    }
};

QLabel *AddLabel(QWidget *parent, const QString &name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}
} // namespace

TfrmCostInput::TfrmCostInput(const TBillInfo &ABillInfo, double APrice, QWidget *parent)
    : TfrmDialogParent(parent), FBillInfo(ABillInfo), FPrice(APrice)
{
    setObjectName(QStringLiteral("frmCostInput"));
    BuildControls();
    SetTitle(QStringLiteral("成本录入"));
    ShowBillInfo();
    EnsureFormInit();
    // After the framework's own filter, so this one sees the keys first.
    edtPrice->Edit()->installEventFilter(this);
}

TfrmCostInput::~TfrmCostInput() = default;

void TfrmCostInput::BuildControls()
{
    auto *grid = new QGridLayout(pnlEntry);
    grid->setContentsMargins(16, 10, 16, 10);
    grid->setHorizontalSpacing(10);
    lblVchtype = AddLabel(pnlEntry, QStringLiteral("lblVchtype"), QStringLiteral("单据类型"));
    lblVchtypeName = AddLabel(pnlEntry, QStringLiteral("lblVchtypeName"), QString());
    lblPtype = AddLabel(pnlEntry, QStringLiteral("lblPtype"), QStringLiteral("存货全名"));
    lblPtypeName = AddLabel(pnlEntry, QStringLiteral("lblPtypeName"), QString());
    lblPtypeNo = AddLabel(pnlEntry, QStringLiteral("lblPtypeNo"), QStringLiteral("存货编号"));
    lblPtypeNoValue = AddLabel(pnlEntry, QStringLiteral("lblPtypeNoValue"), QString());
    lblQty = AddLabel(pnlEntry, QStringLiteral("lblQty"), QStringLiteral("数    量"));
    lblQtyValue = AddLabel(pnlEntry, QStringLiteral("lblQtyValue"), QString());
    lblBlockNo = AddLabel(pnlEntry, QStringLiteral("lblBlockNo"), QStringLiteral("批    号"));
    lblBlockNoValue = AddLabel(pnlEntry, QStringLiteral("lblBlockNoValue"), QString());
    const QList<QPair<QLabel *, QLabel *>> rows = {{lblVchtype, lblVchtypeName},
                                                   {lblPtype, lblPtypeName},
                                                   {lblPtypeNo, lblPtypeNoValue},
                                                   {lblQty, lblQtyValue},
                                                   {lblBlockNo, lblBlockNoValue}};
    int row = 0;
    for (const auto &[caption, value] : rows) {
        grid->addWidget(caption, row, 0);
        grid->addWidget(value, row, 1);
        ++row;
    }
    edtPrice = new TGLabelBtnEdit(QStringLiteral("单位成本 :"), pnlEntry);
    edtPrice->setObjectName(QStringLiteral("edtPrice"));
    edtPrice->SetDataType(TCMDataType::cdtFloat);
    edtPrice->Edit()->setValidator(new TPriceValidator(edtPrice->Edit()));
    grid->addWidget(edtPrice, row, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    btnConfirm = AddBottomButton(QStringLiteral("btnConfirm"), QStringLiteral("确定"));
    btnConfirm->setDefault(true);
    btnCancel = AddBottomButton(QStringLiteral("btnCancel"), QStringLiteral("取消"), mrCancel);
    connect(btnConfirm, &QPushButton::clicked, this,
            [this] { uCostInput::RunHandler([this] { btnConfirmClick(); }); });
    resize(360, 260);
}

void TfrmCostInput::ShowBillInfo()
{
    lblVchtypeName->setText(uCostInput::GetBillName(FBillInfo.Vchtype));
    QString fullName, userCode;
    uCostInput::GetPtypeNames(FBillInfo.Ptypeid, fullName, userCode);
    lblPtypeName->setText(fullName);
    lblPtypeNoValue->setText(userCode);
    lblQtyValue->setText(FBillInfo.Qty);
    lblBlockNoValue->setText(FBillInfo.BlockNo);
    const bool hasBlock = !FBillInfo.BlockNo.isEmpty();
    lblBlockNo->setVisible(hasBlock);
    lblBlockNoValue->setVisible(hasBlock);
    // The starting cost is shown as it is, also when it is outside what can be typed.
    edtPrice->SetText(Kvbasicfun::DoubleToString(FPrice));
}

void TfrmCostInput::btnConfirmClick()
{
    const QString text = edtPrice->Text().trimmed();
    Udllmessageintf::CheckError(text.isEmpty(), QStringLiteral("单位成本不能为空，请重新输入。"));
    const double price = StrToFloatDef(text, 0);
    const double qty = StrToFloatDef(FBillInfo.Qty, 0);
    Udllmessageintf::CheckError(qAbs(price * qty) > uCostInput::MaxInputTotal,
                                QStringLiteral("单位成本乘以数量超极大值，请重新输入。"));
    Udllmessageintf::CheckError(price < 0, QStringLiteral("单位成本不能小于0，请重新输入。"));
    FPrice = price;
    done(mrOk);
}

bool TfrmCostInput::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == edtPrice->Edit() && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Minus)
            return true;
        if (key->matches(QKeySequence::Paste) ||
            (key->key() == Qt::Key_V && (key->modifiers() & Qt::ControlModifier))) {
            // Pasted text could carry anything; the edit takes a plain zero instead.
            edtPrice->SetText(QStringLiteral("0"));
            return true;
        }
    }
    return TfrmDialogParent::eventFilter(watched, event);
}

bool ShowCostInput(double &APrice, const TBillInfo &ABillInfo)
{
    TfrmCostInput frm(ABillInfo, APrice);
    if (frm.exec() != mrOk)
        return false;
    APrice = frm.Price();
    return true;
}
