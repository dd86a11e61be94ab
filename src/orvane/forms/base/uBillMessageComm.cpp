#include "uBillMessageComm.h"

#include "Udllmessageintf.h"

namespace {
bool SameInfo(const TBillMessageInfo &a, const TBillMessageInfo &b)
{
    return a.Vchcode == b.Vchcode && a.Vchtype == b.Vchtype && a.Number == b.Number && a.Date == b.Date &&
           a.Message == b.Message;
}

// The host box takes its message type by ordinal.
TMessageBoxType BoxType(int ordinal)
{
    return static_cast<TMessageBoxType>(ordinal);
}
} // namespace

void TBillBatchMessage::ClearMsg()
{
    for (TBillMessageList &list : FLists)
        list.clear();
}

void TBillBatchMessage::AddMsg(const QString &text)
{
    TBillMessageInfo info;
    info.Message = text;
    Add(bmMsg, info);
}

void TBillBatchMessage::Add(TCategory category, const TBillMessageInfo &info)
{
    TBillMessageList &list = FLists[category];
    for (const TBillMessageInfo &existing : list)
        if (SameInfo(existing, info))
            return;
    list.append(info);
}

bool TBillBatchMessage::HasMsg() const
{
    for (const TBillMessageList &list : FLists)
        if (!list.isEmpty())
            return true;
    return false;
}

void TBillBatchMessage::ShowBatchMsg() const
{
    Udllmessageintf::SuperBillBatchMessageBox(FLists, BoxType(2), false, true, false);
}

void TBillBatchMessage::ShowWarningBatchMsg() const
{
    Udllmessageintf::SuperBillBatchMessageBox(FLists, BoxType(0), false, true, false);
}

void TBillBatchMessage::ShowErrorBatchMsg() const
{
    Udllmessageintf::SuperBillBatchMessageBox(FLists, BoxType(1), false, true, false);
}

bool TBillBatchMessage::ConfirmYesNoBatchMsg() const
{
    return Udllmessageintf::SuperBillBatchMessageBox(FLists, BoxType(3), true, true, false) == 0;
}

bool TBillBatchMessage::ConfirmOKCancelBatchMsg() const
{
    return Udllmessageintf::SuperBillBatchMessageBox(FLists, BoxType(3), true, false, false) == 0;
}

void TBillBatchMessage::ShowBatchMsgModaless() const
{
    Udllmessageintf::SuperBillBatchMessageBoxModaless(FLists, BoxType(2), false);
}

void TBillBatchMessage::ShowWarningBatchMsgModaless() const
{
    Udllmessageintf::SuperBillBatchMessageBoxModaless(FLists, BoxType(0), false);
}

void TBillBatchMessage::ShowErrorBatchMsgModaless() const
{
    Udllmessageintf::SuperBillBatchMessageBoxModaless(FLists, BoxType(1), false);
}

bool TBillBatchMessage::ConfirmYesNoBatchMsgModaless() const
{
    const int answer = Udllmessageintf::SuperBillBatchMessageBox(FLists, BoxType(3), true, true, true);
    // Answer 2: keep the list open beside the work without confirming.
    if (answer == 2)
        Udllmessageintf::SuperBillBatchMessageBoxModaless(FLists, BoxType(0), true);
    return answer == 0;
}

bool TBillBatchMessage::ConfirmOKCancelBatchMsgModaless() const
{
    const int answer = Udllmessageintf::SuperBillBatchMessageBox(FLists, BoxType(3), true, false, true);
    if (answer == 2)
        Udllmessageintf::SuperBillBatchMessageBoxModaless(FLists, BoxType(0), false);
    return answer == 0;
}
