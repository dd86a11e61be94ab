#pragma once
// Forwarders to the host message service. Message type 2 with an empty caption is the usual box.

#include "QuillInterfaces.h"
#include "quillcmrunstd_export.h"

namespace Udllmessageintf {
QUILLCMRUNSTD_EXPORT extern IDllMessageCon *DllMessage;

QUILLCMRUNSTD_EXPORT TMessageBoxButton
SuperMessageBox(const QString &text, const QString &caption = QString(),
                TMessageBoxType type = TMessageBoxType::mtInformation,
                TMessageBoxButtons buttons = ButtonSet({TMessageBoxButton::mbOK}),
                TMessageBoxButton defaultButton = TMessageBoxButton::mbDefault);
QUILLCMRUNSTD_EXPORT bool ConfirmYesNo(const QString &text,
                                       TMessageBoxType type = TMessageBoxType::mtInformation,
                                       const QString &caption = QString());
QUILLCMRUNSTD_EXPORT bool ConfirmOKCancel(const QString &text,
                                          TMessageBoxType type = TMessageBoxType::mtInformation,
                                          const QString &caption = QString());
// Shows the text and raises EAbort when the condition holds; does nothing otherwise.
QUILLCMRUNSTD_EXPORT void CheckError(bool condition, const QString &text,
                                     TMessageBoxType type = TMessageBoxType::mtError,
                                     const QString &caption = QString());
QUILLCMRUNSTD_EXPORT void ShowErrorMsg(const QString &text);
QUILLCMRUNSTD_EXPORT void ShowWarningMsg(const QString &text);
QUILLCMRUNSTD_EXPORT void ShowInfoMessage(const QString &text);
QUILLCMRUNSTD_EXPORT int SuperBillBatchMessageBox(const std::array<TBillMessageList, 9> &lists,
                                                  TMessageBoxType type, bool flag1, bool flag2, bool flag3);
QUILLCMRUNSTD_EXPORT void SuperBillBatchMessageBoxModaless(const std::array<TBillMessageList, 9> &lists,
                                                           TMessageBoxType type, bool flag);
} // namespace Udllmessageintf
