#include "uCondBox.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include "Kvbasicinfocomponent.h"
#include "Udllmessageintf.h"
#include "Udllsystemintf.h"

namespace {
bool IsDateItem(const TConditionSet &item)
{
    return item.ControlType == TControlType::ctDate || item.ControlType == TControlType::ctEmptyDate;
}

bool IsSet(const QVariant &value)
{
    return value.isValid() && !value.isNull() && !value.toString().isEmpty();
}

bool IsNumeric(const TConditionSet &item)
{
    return item.DataType == TCMDataType::cdtInteger || item.DataType == TCMDataType::cdtFloat;
}

// The host's default date for a date item, by its condition type.
QString DefaultDate(int conditionType)
{
    switch (conditionType) {
    case ctBeginDate:
        return Udllsystemintf::GetPubDefaultBeginDate();
    case ctEndDate:
        return Udllsystemintf::GetPubDefaultEndDate();
    case ctProduceDate:
        return Udllsystemintf::GetPubDefaultProDate();
    default:
        return Udllsystemintf::GetPubDefaultDate();
    }
}

int ChoiceIndex(const TConditionSet &item, const QVariant &value)
{
    if (!item.ReturnValue.isEmpty())
        return item.ReturnValue.indexOf(value.toString());
    bool ok = false;
    const int index = value.toInt(&ok);
    return ok ? index : -1;
}

QVariant ChoiceValue(const TConditionSet &item, int index)
{
    if (item.ReturnValue.isEmpty())
        return index;
    return index >= 0 && index < item.ReturnValue.size() ? QVariant(item.ReturnValue.at(index))
                                                         : QVariant(QString());
}
} // namespace

TfrmCondBox::TfrmCondBox(QWidget *parent) : TfrmDialogParent(parent)
{
    setObjectName(QStringLiteral("frmCondBox"));
    auto *entry = new QVBoxLayout(pnlEntry);
    entry->setContentsMargins(16, 8, 16, 8);
    imgTitle = new QLabel(pnlEntry);
    imgTitle->setObjectName(QStringLiteral("imgTitle"));
    imgTitle->setPixmap(style()->standardIcon(QStyle::SP_FileDialogContentsView).pixmap(32, 32));
    entry->addWidget(imgTitle);
    Bevel1 = new QFrame(pnlEntry);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    entry->addWidget(Bevel1);
    cbxSaveDate = new QCheckBox(QStringLiteral("保存查询时间"), pnlEntry);
    cbxSaveDate->setObjectName(QStringLiteral("cbxSaveDate"));
    entry->addWidget(cbxSaveDate);

    btnOK = AddBottomButton(QStringLiteral("btnOK"), QStringLiteral("确定"));
    btnCancel = AddBottomButton(QStringLiteral("btnCancel"), QStringLiteral("取消"), mrCancel);
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &TfrmCondBox::btnOKClick);
}

TfrmCondBox::~TfrmCondBox() = default;

void TfrmCondBox::SetCondition(const TCondition &condition)
{
    FCondition = condition;
    for (const TConditionSet &item : FCondition.ConditionSet) {
        if (item.ConditionType == ctBeginDate)
            FBeginDateCondSet = item;
        else if (item.ConditionType == ctEndDate)
            FEndDateCondSet = item;
    }
    QString title = FCondition.Title;
    if (title.isEmpty())
        title = uCondDefine::CaptionOfNo(FCondition.TitleNo);
    SetTitle(title.isEmpty() ? QStringLiteral("查询条件") : title);
}

QWidget *TfrmCondBox::ControlOfType(int conditionType) const
{
    for (int i = 0; i < FListControl.size(); ++i)
        if (FCondition.ConditionSet.at(FListItem.at(i)).ConditionType == conditionType)
            return FListControl.at(i);
    return nullptr;
}

void TfrmCondBox::AfterShow()
{
    TfrmDialogParent::AfterShow();
    if (FListControl.isEmpty())
        CreateControls();
}

void TfrmCondBox::CreateControls()
{
    auto *entry = static_cast<QVBoxLayout *>(pnlEntry->layout());
    int insertAt = entry->indexOf(Bevel1);
    bool hasDate = false;
    for (int i = 0; i < FCondition.ConditionSet.size(); ++i) {
        const TConditionSet &item = FCondition.ConditionSet.at(i);
        if (item.Invisible || item.ControlType == TControlType::ctNone)
            continue;
        QWidget *control = CreateItemControl(item, pnlEntry);
        control->setObjectName(QStringLiteral("edtCond%1").arg(item.ConditionType));
        control->setEnabled(!item.Disabled);
        entry->insertWidget(insertAt++, control);
        FListControl.append(control);
        FListItem.append(i);
        SetInitialValue(item, control);
        hasDate = hasDate || IsDateItem(item);
        if (auto *edit = qobject_cast<TGLabelBtnEdit *>(control))
            InitGLabelBtnEdit(edit);
        else if (auto *date = qobject_cast<TGLabelEmptyDate *>(control))
            InitGLabelEmptyDate(date);
        else if (auto *memo = qobject_cast<TGLabelMemo *>(control))
            InitGLabelMemo(memo);
        else if (auto *combo = qobject_cast<TGLabelComBox *>(control))
            InitGLabelComBox(combo);
    }
    cbxSaveDate->setVisible(FShowSaveDate && hasDate);
    for (QWidget *control : FListControl)
        if (control->isEnabled()) {
            FFirstControl = control;
            FFirstControl->setFocus();
            break;
        }
    adjustSize();
}

QWidget *TfrmCondBox::CreateItemControl(const TConditionSet &item, QWidget *owner)
{
    const QString caption = uCondDefine::ItemCaption(item);
    switch (item.ControlType) {
    case TControlType::ctRadioButton:
        return new QRadioButton(caption, owner);
    case TControlType::ctCheckBox:
        return new QCheckBox(caption, owner);
    case TControlType::ctRadioGroup: {
        auto *group = new QGroupBox(caption, owner);
        auto *layout = new QVBoxLayout(group);
        auto *buttons = new QButtonGroup(group);
        for (int i = 0; i < item.DisplayValue.size(); ++i) {
            auto *radio = new QRadioButton(item.DisplayValue.at(i), group);
            buttons->addButton(radio, i);
            layout->addWidget(radio);
        }
        return group;
    }
    case TControlType::ctComboBox:
    case TControlType::ctValueComBoBox: {
        auto *combo = new TGLabelComBox(caption, owner);
        combo->ComboBox()->addItems(item.DisplayValue);
        combo->SetAllowEmpty(!item.Required);
        if (item.ControlType == TControlType::ctValueComBoBox)
            connect(combo->ComboBox(), &QComboBox::currentIndexChanged, this, [this, item](int index) {
                const QVariant code = ChoiceValue(item, index);
                ApplyQuickDateRange(code.toString());
            });
        return combo;
    }
    case TControlType::ctMemo: {
        auto *memo = new TGLabelMemo(caption, owner);
        memo->SetAllowEmpty(!item.Required);
        memo->Memo()->setReadOnly(item.ReadOnly);
        return memo;
    }
    case TControlType::ctDate:
    case TControlType::ctEmptyDate: {
        auto *date = new TGLabelEmptyDate(caption, owner);
        date->SetAllowEmpty(!item.Required && item.ControlType == TControlType::ctEmptyDate);
        date->SetMinDate(QDate::fromString(item.MinDate, QStringLiteral("yyyy-MM-dd")));
        date->SetMaxDate(QDate::fromString(item.MaxDate, QStringLiteral("yyyy-MM-dd")));
        date->DateEdit()->setReadOnly(item.ReadOnly);
        return date;
    }
    case TControlType::ctButtonEdit:
    case TControlType::ctEdit:
    default: {
        auto *edit = new TCMGLabelBtnEdit(caption, owner);
        edit->SetDataType(item.DataType);
        if (item.MaxLength > 0)
            edit->SetMaxLength(item.MaxLength);
        edit->SetReadOnly(item.ReadOnly);
        edit->SetAllowEmpty(!item.Required);
        if (item.ControlType == TControlType::ctButtonEdit) {
            edit->SetBasicKind(item.KVBasicType);
            edit->SetMultiSelect(item.SelectOptions & soMultiSelect);
        }
        return edit;
    }
    }
}

void TfrmCondBox::SetInitialValue(const TConditionSet &item, QWidget *control)
{
    const bool hasParam = item.ConditionType >= 0 && item.ConditionType < OpenParamCount;
    const QVariant value = hasParam ? Params[item.ConditionType] : QVariant();
    if (auto *check = qobject_cast<QCheckBox *>(control))
        check->setChecked(IsSet(value) ? value.toBool() : item.Checked);
    else if (auto *radio = qobject_cast<QRadioButton *>(control))
        radio->setChecked(IsSet(value) ? value.toBool() : item.Checked);
    else if (auto *group = qobject_cast<QGroupBox *>(control)) {
        const auto radios = group->findChildren<QRadioButton *>();
        const int index = IsSet(value) ? ChoiceIndex(item, value) : 0;
        if (index >= 0 && index < radios.size())
            radios.at(index)->setChecked(true);
    } else if (auto *combo = qobject_cast<TGLabelComBox *>(control)) {
        combo->SetItemIndex(IsSet(value) ? ChoiceIndex(item, value)
                                         : (combo->ComboBox()->count() > 0 ? 0 : -1));
    } else if (auto *memo = qobject_cast<TGLabelMemo *>(control)) {
        memo->SetText(value.toString());
    } else if (auto *date = qobject_cast<TGLabelEmptyDate *>(control)) {
        const QString text = IsSet(value) ? value.toString() : DefaultDate(item.ConditionType);
        date->SetDate(QDate::fromString(text, QStringLiteral("yyyy-MM-dd")));
    } else if (auto *edit = qobject_cast<TGLabelBtnEdit *>(control)) {
        edit->SetText(IsSet(value) ? value.toString() : QString());
    }
}

QVariant TfrmCondBox::ControlValue(const TConditionSet &item, QWidget *control) const
{
    if (auto *check = qobject_cast<QCheckBox *>(control))
        return check->isChecked();
    if (auto *radio = qobject_cast<QRadioButton *>(control))
        return radio->isChecked();
    if (auto *group = qobject_cast<QGroupBox *>(control)) {
        const auto radios = group->findChildren<QRadioButton *>();
        for (int i = 0; i < radios.size(); ++i)
            if (radios.at(i)->isChecked())
                return ChoiceValue(item, i);
        return ChoiceValue(item, -1);
    }
    if (auto *combo = qobject_cast<TGLabelComBox *>(control))
        return ChoiceValue(item, combo->ItemIndex());
    if (auto *memo = qobject_cast<TGLabelMemo *>(control))
        return memo->Text();
    if (auto *date = qobject_cast<TGLabelEmptyDate *>(control))
        return date->DateText();
    if (auto *edit = qobject_cast<TGLabelBtnEdit *>(control)) {
        const QString text = edit->Value().trimmed();
        if (item.DataType == TCMDataType::cdtInteger)
            return text.toInt();
        if (item.DataType == TCMDataType::cdtFloat)
            return text.toDouble();
        return edit->Value();
    }
    return {};
}

bool TfrmCondBox::IsEmptyControl(QWidget *control) const
{
    if (auto *labelled = qobject_cast<TGLabelControl *>(control))
        return labelled->IsEmptyValue();
    if (auto *group = qobject_cast<QGroupBox *>(control)) {
        for (const QRadioButton *radio : group->findChildren<QRadioButton *>())
            if (radio->isChecked())
                return false;
        return true;
    }
    return false;
}

void TfrmCondBox::ApplyQuickDateRange(const QString &code)
{
    QDate beginDate, endDate;
    if (!uCondDefine::QuickDateRange(code, QDate::currentDate(), beginDate, endDate))
        return;
    if (auto *begin = qobject_cast<TGLabelEmptyDate *>(ControlOfType(ctBeginDate));
        begin && begin->InRange(beginDate))
        begin->SetDate(beginDate);
    if (auto *end = qobject_cast<TGLabelEmptyDate *>(ControlOfType(ctEndDate)); end && end->InRange(endDate))
        end->SetDate(endDate);
}

void TfrmCondBox::btnOKClick()
{
    for (int i = 0; i < FListControl.size(); ++i) {
        const TConditionSet &item = FCondition.ConditionSet.at(FListItem.at(i));
        QWidget *control = FListControl.at(i);
        if (!item.Required)
            continue;
        const QString caption = uCondDefine::ItemCaption(item);
        if (IsEmptyControl(control)) {
            Udllmessageintf::ShowWarningMsg(QStringLiteral("“%1”不能为空，请重新输入。").arg(caption));
            control->setFocus();
            return;
        }
        if (IsNumeric(item) && ControlValue(item, control).toDouble() == 0) {
            Udllmessageintf::ShowWarningMsg(QStringLiteral("“%1”不能为0，请重新输入。").arg(caption));
            control->setFocus();
            return;
        }
    }
    for (int i = 0; i < FListControl.size(); ++i) {
        const TConditionSet &item = FCondition.ConditionSet.at(FListItem.at(i));
        if (item.ConditionType >= 0 && item.ConditionType < OpenParamCount)
            Params[item.ConditionType] = ControlValue(item, FListControl.at(i));
    }
    Params[ParamSaveDate] = cbxSaveDate->isChecked();
    Params[ParamUnitType] = FUnitType;
    if (cbxSaveDate->isChecked())
        SaveDefaultDates();
    done(mrOk);
}

void TfrmCondBox::SaveDefaultDates()
{
    for (int i = 0; i < FListControl.size(); ++i) {
        const TConditionSet &item = FCondition.ConditionSet.at(FListItem.at(i));
        auto *date = qobject_cast<TGLabelEmptyDate *>(FListControl.at(i));
        if (!date || !IsDateItem(item))
            continue;
        const QString text = date->DateText();
        if (item.ConditionType == ctBeginDate)
            Udllsystemintf::SetPubDefaultBeginDate(text);
        else if (item.ConditionType == ctEndDate)
            Udllsystemintf::SetPubDefaultEndDate(text);
        else if (item.ConditionType == ctProduceDate)
            Udllsystemintf::SetPubDefaultProDate(text);
        else
            Udllsystemintf::SetPubDefaultDate(text);
    }
}

bool ShowCondBox(TOpenParams &params, const TCondition &condition, int unitType, bool showSaveDate)
{
    auto box = std::make_unique<TfrmCondBox>();
    box->SetUnitType(unitType);
    box->SetCondition(condition);
    box->SetShowSaveDate(showSaveDate);
    box->Params = params;
    if (box->exec() != mrOk)
        return false;
    params = box->Params;
    return true;
}
