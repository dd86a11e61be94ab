#include "kvParentFormUnit.h"

#include "Kvbasicinfocomponent.h"
#include "Kvcontrols.h"
#include "Kvggeneralgrid.h"
#include "Udllmessageintf.h"

#include <QPointer>

TkvParentForm::TkvParentForm(QWidget *parent) : QDialog(parent) {}

TkvParentForm::~TkvParentForm() = default;

void TkvParentForm::SetTitle(const QString &title)
{
    FTitle = title;
    for (TKvGGeneralGrid *grid : findChildren<TKvGGeneralGrid *>())
        grid->SetTitle(title);
}

void TkvParentForm::FocusNext()
{
    focusNextChild();
}

void TkvParentForm::FocusNextFrom(QWidget *control)
{
    // Walk the focus chain from the control to the next one that takes keyboard focus.
    QWidget *w = control ? control->focusProxy() ? control->focusProxy() : control : nullptr;
    if (!w) {
        FocusNext();
        return;
    }
    for (QWidget *next = w->nextInFocusChain(); next && next != w; next = next->nextInFocusChain())
        if (next->isVisible() && next->isEnabled() && (next->focusPolicy() & Qt::TabFocus) &&
            isAncestorOf(next)) {
            next->setFocus(Qt::TabFocusReason);
            return;
        }
}

void TkvParentForm::InitParamList() {}

void TkvParentForm::AfterSetParamList() {}

bool TkvParentForm::CheckInput()
{
    for (TGLabelControl *control : findChildren<TGLabelControl *>()) {
        const bool checked = qobject_cast<TGLabelBtnEdit *>(control) ||
                             qobject_cast<TGLabelEmptyDate *>(control) ||
                             qobject_cast<TGLabelMemo *>(control);
        if (!checked || control->AllowEmpty() || !control->IsEmptyValue())
            continue;
        Udllmessageintf::SuperMessageBox(QStringLiteral("必须输入 ") + control->Caption() +
                                             QStringLiteral("!"),
                                         QStringLiteral("提示"), TMessageBoxType::mtInformation);
        control->setFocus();
        return false;
    }
    return true;
}

void TkvParentForm::EnsureFormInit()
{
    if (FIsFormInit)
        return;
    FIsFormInit = true;
    InitControls();
}

TPrintLayout TkvParentForm::DoPrintGetConfig(int printId, const QString &templateName)
{
    return TPrintLayout::Load(printId, templateName);
}

void TkvParentForm::DoPrintSetCongfig(int printId, const QString &templateName, const TPrintLayout &layout)
{
    layout.Save(printId, templateName);
}

void TkvParentForm::InitControls()
{
    // An initialiser may delete inner children (the status bar's size grip): hold guarded pointers.
    QList<QPointer<QWidget>> widgets;
    for (QWidget *w : findChildren<QWidget *>())
        widgets.append(w);
    for (QWidget *w : widgets) {
        if (!w)
            continue;
        if (auto *c = qobject_cast<TGLabelBtnEdit *>(w))
            InitGLabelBtnEdit(c);
        else if (auto *c = qobject_cast<TGLabelMemo *>(w))
            InitGLabelMemo(c);
        else if (auto *c = qobject_cast<TGLabelComBox *>(w))
            InitGLabelComBox(c);
        else if (auto *c = qobject_cast<TGLabelEmptyDate *>(w))
            InitGLabelEmptyDate(c);
        else if (auto *c = qobject_cast<TKvGGeneralGrid *>(w))
            InitGeneralGrid(c);
        else if (auto *c = qobject_cast<TGKvBitbtn *>(w))
            InitGBitbtn(c);
        else if (auto *c = qobject_cast<TKvStatusBar *>(w))
            InitStatusBar(c);
    }
}

void TkvParentForm::CreateParamList()
{
    if (!FParamList)
        FParamList = std::make_unique<TParamList>();
}

void TkvParentForm::InitGLabelBtnEdit(TGLabelBtnEdit *control)
{
    control->SetLabelSpacing(4);
    ControlInitialised(control);
}

void TkvParentForm::InitGLabelMemo(TGLabelMemo *control)
{
    ControlInitialised(control);
}

void TkvParentForm::InitGLabelComBox(TGLabelComBox *control)
{
    ControlInitialised(control);
}

void TkvParentForm::InitGLabelEmptyDate(TGLabelEmptyDate *control)
{
    ControlInitialised(control);
}

void TkvParentForm::InitGBitbtn(TGKvBitbtn *control)
{
    ControlInitialised(control);
}

void TkvParentForm::InitStatusBar(TKvStatusBar *control)
{
    control->setSizeGripEnabled(false);
    ControlInitialised(control);
}

void TkvParentForm::InitGeneralGrid(TKvGGeneralGrid *control)
{
    control->SetTitle(FTitle);
    ControlInitialised(control);
}

void TkvParentForm::ControlInitialised(QWidget *) {}
