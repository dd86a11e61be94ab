#pragma once
// TBatchMessage: collects message lines during a long operation (each text once, letter case ignored)
// and shows them together in the list window at the end.

#include <QStringList>

class TBatchMessage
{
public:
    TBatchMessage() = default;

    void ClearMsg() { FMsgList.clear(); }
    void AddMsg(const QString &text);
    void AddDistinctMsg(const QString &text) { AddMsg(text); }
    void AssignMsg(const QStringList &lines) { FMsgList = lines; }
    bool HasMsg() const { return !FMsgList.isEmpty(); }
    bool Contains(const QString &text) const { return FMsgList.contains(text, Qt::CaseInsensitive); }
    const QStringList &MsgList() const { return FMsgList; }

    void ShowBatchMsg() const;
    void ShowWarningBatchMsg() const;
    void ShowErrorBatchMsg() const;
    bool ConfirmYesNoBatchMsg() const;
    bool ConfirmOKCancelBatchMsg() const;

private:
    QStringList FMsgList;
};
