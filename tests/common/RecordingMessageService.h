#pragma once
// Message service for tests: records every message (text, type, caption, kind) and answers
// confirmations from a script of answers (default: Yes/OK).

#include <QList>
#include <QQueue>

#include "QuillInterfaces.h"

struct RecordedMessage
{
    QString Kind; // "box", "yesno", "okcancel", "error", "warning", "info", "batch"
    QString Text;
    TMessageBoxType Type = TMessageBoxType::mtInformation;
    QString Caption;
};

class RecordingMessageService final : public IDllMessageCon
{
public:
    QList<RecordedMessage> Messages;
    QQueue<bool> Answers;                 // for ConfirmYesNo / ConfirmOKCancel
    QQueue<TMessageBoxButton> BoxAnswers; // for SuperMessageBox
    int BatchAnswer = 0;                  // for SuperBillBatchMessageBox
    QList<std::array<TBillMessageList, 9>> Batches;

    void Clear()
    {
        Messages.clear();
        Answers.clear();
        BoxAnswers.clear();
        Batches.clear();
    }
    QStringList Texts() const;
    QString LastText() const { return Messages.isEmpty() ? QString() : Messages.last().Text; }

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
};
