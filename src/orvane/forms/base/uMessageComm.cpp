#include "uMessageComm.h"

#include "uBatchMessage.h"

void TBatchMessage::AddMsg(const QString &text)
{
    if (!Contains(text))
        FMsgList.append(text);
}

void TBatchMessage::ShowBatchMsg() const
{
    ShowBatchMessageWindow(FMsgList, 2, false, false);
}

void TBatchMessage::ShowWarningBatchMsg() const
{
    ShowBatchMessageWindow(FMsgList, 0, false, false);
}

void TBatchMessage::ShowErrorBatchMsg() const
{
    ShowBatchMessageWindow(FMsgList, 1, false, false);
}

bool TBatchMessage::ConfirmYesNoBatchMsg() const
{
    return ShowBatchMessageWindow(FMsgList, 3, true, true);
}

bool TBatchMessage::ConfirmOKCancelBatchMsg() const
{
    return ShowBatchMessageWindow(FMsgList, 3, true, false);
}
