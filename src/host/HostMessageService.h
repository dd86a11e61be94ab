#pragma once
// The host's message boxes (Qt message boxes; modal on the active window).

#include "QuillInterfaces.h"

class HostMessageService final : public IDllMessageCon
{
public:
    TMessageBoxButton SuperMessageBox(const QString &text, const QString &caption, TMessageBoxType type,
                                      TMessageBoxButtons buttons, TMessageBoxButton defaultButton) override;
    bool ConfirmYesNo(const QString &text, TMessageBoxType type, const QString &caption) override;
    bool ConfirmOKCancel(const QString &text, TMessageBoxType type, const QString &caption) override;
    void ShowErrorMsg(const QString &text) override;
    void ShowWarningMsg(const QString &text) override;
    void ShowInfoMessage(const QString &text) override;
    int SuperBillBatchMessageBox(const std::array<TBillMessageList, 9> &lists, TMessageBoxType type,
                                 bool flag1, bool flag2, bool flag3) override;
    void SuperBillBatchMessageBoxModaless(const std::array<TBillMessageList, 9> &lists, TMessageBoxType type,
                                          bool flag) override;

    // Caption used when the caller passes none: "错误", "警告", "提示" or "确认" by type.
    static QString DefaultCaption(TMessageBoxType type);
    // The nine result categories of a bill batch, in list order.
    static const QStringList &BatchCategoryNames();
    // The batch lists as text: one block per non-empty category.
    static QString BatchText(const std::array<TBillMessageList, 9> &lists);
};
