#include "RecordingMessageService.h"

QStringList RecordingMessageService::Texts() const
{
    QStringList texts;
    for (const RecordedMessage &m : Messages)
        texts << m.Text;
    return texts;
}

TMessageBoxButton RecordingMessageService::SuperMessageBox(const QString &text, const QString &caption,
                                                           TMessageBoxType type, TMessageBoxButtons,
                                                           TMessageBoxButton)
{
    Messages.append({QStringLiteral("box"), text, type, caption});
    return BoxAnswers.isEmpty() ? TMessageBoxButton::mbOK : BoxAnswers.dequeue();
}

bool RecordingMessageService::ConfirmYesNo(const QString &text, TMessageBoxType type, const QString &caption)
{
    Messages.append({QStringLiteral("yesno"), text, type, caption});
    return Answers.isEmpty() ? true : Answers.dequeue();
}

bool RecordingMessageService::ConfirmOKCancel(const QString &text, TMessageBoxType type,
                                              const QString &caption)
{
    Messages.append({QStringLiteral("okcancel"), text, type, caption});
    return Answers.isEmpty() ? true : Answers.dequeue();
}

void RecordingMessageService::ShowErrorMsg(const QString &text)
{
    Messages.append({QStringLiteral("error"), text, TMessageBoxType::mtError, QString()});
}

void RecordingMessageService::ShowWarningMsg(const QString &text)
{
    Messages.append({QStringLiteral("warning"), text, TMessageBoxType::mtWarning, QString()});
}

void RecordingMessageService::ShowInfoMessage(const QString &text)
{
    Messages.append({QStringLiteral("info"), text, TMessageBoxType::mtInformation, QString()});
}

int RecordingMessageService::SuperBillBatchMessageBox(const std::array<TBillMessageList, 9> &lists,
                                                      TMessageBoxType type, bool, bool, bool)
{
    Batches.append(lists);
    Messages.append({QStringLiteral("batch"), QString(), type, QString()});
    return BatchAnswer;
}

void RecordingMessageService::SuperBillBatchMessageBoxModaless(const std::array<TBillMessageList, 9> &lists,
                                                               TMessageBoxType type, bool)
{
    Batches.append(lists);
    Messages.append({QStringLiteral("batch"), QString(), type, QString()});
}
