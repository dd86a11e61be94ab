#include "Udllmessageintf.h"

#include "QuillExceptions.h"

#include <stdexcept>

namespace Udllmessageintf {
IDllMessageCon *DllMessage = nullptr;

namespace {
IDllMessageCon &Svc()
{
    if (!DllMessage)
        throw std::logic_error("Message service not installed");
    return *DllMessage;
}
} // namespace

TMessageBoxButton SuperMessageBox(const QString &text, const QString &caption, TMessageBoxType type,
                                  TMessageBoxButtons buttons, TMessageBoxButton defaultButton)
{
    return Svc().SuperMessageBox(text, caption, type, buttons, defaultButton);
}

bool ConfirmYesNo(const QString &text, TMessageBoxType type, const QString &caption)
{
    return Svc().ConfirmYesNo(text, type, caption);
}

bool ConfirmOKCancel(const QString &text, TMessageBoxType type, const QString &caption)
{
    return Svc().ConfirmOKCancel(text, type, caption);
}

void CheckError(bool condition, const QString &text, TMessageBoxType type, const QString &caption)
{
    if (!condition)
        return;
    Svc().SuperMessageBox(text, caption, type, ButtonSet({TMessageBoxButton::mbOK}),
                          TMessageBoxButton::mbDefault);
    throw EAbort();
}

void ShowErrorMsg(const QString &text)
{
    Svc().ShowErrorMsg(text);
}
void ShowWarningMsg(const QString &text)
{
    Svc().ShowWarningMsg(text);
}
void ShowInfoMessage(const QString &text)
{
    Svc().ShowInfoMessage(text);
}

int SuperBillBatchMessageBox(const std::array<TBillMessageList, 9> &lists, TMessageBoxType type, bool flag1,
                             bool flag2, bool flag3)
{
    return Svc().SuperBillBatchMessageBox(lists, type, flag1, flag2, flag3);
}

void SuperBillBatchMessageBoxModaless(const std::array<TBillMessageList, 9> &lists, TMessageBoxType type,
                                      bool flag)
{
    Svc().SuperBillBatchMessageBoxModaless(lists, type, flag);
}
} // namespace Udllmessageintf
