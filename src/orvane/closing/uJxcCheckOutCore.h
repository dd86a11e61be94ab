#pragma once
// The month-end checkout of the inventory period and its reversal without windows: the checks, the
// questions' texts, the transaction with the plug-in procedures, and the messages of the return
// codes. The checkout window, the reversal window and orvane-admin all run these, so the three share
// one behaviour; each asks its questions and shows its messages its own way.

#include <QString>
#include <QStringList>
#include <functional>

namespace uJxcCheckOutCore {

// The cost calculation with progress for a list of goods ids (empty: every goods item waiting for
// it); true when a calculation ran. Installed by the cost calculation windows; unset, the checkout
// reports the goods as not costed.
using TCalcCostHook = std::function<bool(const QString &ptypeIds)>;
extern TCalcCostHook CalcCostHook;
// The audit query window, for the unaudited bills of the period. Installed by the audit windows.
using TShowAuditQueryHook = std::function<void()>;
extern TShowAuditQueryHook ShowAuditQueryHook;

// Return code that stands for an amount overflow raised by a procedure.
constexpr int OverflowCode = -20;
// Codes of the pre-check.
constexpr int NotCostedCode = -5;

extern const QString NotCostedQuestion; // "有存货未计算成本，是否进行成本计算？"
extern const QString NotCostedMessage; // "有存货没有进行成本计算，请先计算所有存货成本。"
extern const QString CheckOutDoneMessage;   // "本月期末结账成功。"
extern const QString UnCheckOutDoneMessage; // "本次期末反结账成功，进销存将返回上一期间。"
extern const QString NoAuditQueryRightMessage;

// "当前进销存期间:" followed by the period text.
QString PeriodCaption();
// The current inventory period text (system value "JxcPeriod").
QString CurrentPeriodText();

// P_Jxc_CheckJxcCheckOut: its result; an exception whose text holds "溢出" gives OverflowCode, any
// other exception 0.
int PreCheck();
// Message of a refusal of the pre-check (every negative code but NotCostedCode).
QString PreCheckMessage(int code);

// The questions about expense allocations still open in the period, in the order they are asked
// (by the edition code of the host), each with the first bill number found.
QStringList OpenAllocationQuestions(const QString &periodText, int edition);
// Unaudited bills of every bill family in the period, and the question about them.
int UnauditedBillCount(const QString &periodText);
QString UnauditedBillsQuestion(int count);

// What one run of the transaction ended with.
enum class TRunStatus {
    Done,          // committed
    AdjustRefused, // the automatic adjustment reported errors (Messages); rolled back
    PlugInFailed,  // a plug-in procedure returned a negative value (Message = its @ErrMsg); rolled back
    Refused,       // the checkout / reversal procedure returned Code < 0 (Message); rolled back
    Error,         // the procedure raised an exception (Message = its text); rolled back
};

struct TRunResult
{
    TRunStatus Status = TRunStatus::Done;
    int Code = 0;
    QString Message;
    QStringList Messages;
    QString AdjustedBills = QStringLiteral("0"); // Vchcodes of the automatic adjustment bills
};

// Steps 4 to 8 of the checkout in one transaction: the automatic stock adjustment (when asked),
// the plug-in procedures before, P_Jxc_JxcCheckOut;1, the plug-ins after, the adjusted goods marked
// for calculation, commit. Any failure rolls everything back; an exception of a plug-in or of the
// adjustment rolls back and passes on.
TRunResult RunCheckOut(bool autoImprove);
QString CheckOutMessage(int code);

// The reversal in one transaction: plug-ins before, P_Jxc_UnCheckOut;1, plug-ins after, commit.
TRunResult RunUnCheckOut();
QString UnCheckOutMessage(int code);

} // namespace uJxcCheckOutCore
