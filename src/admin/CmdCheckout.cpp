// orvane-admin checkout [--db FILE] [--ignore-unallocated] [--ignore-unaudited] [--auto-adjust]
// The month-end checkout of the current inventory period, with the checks, the transaction and the
// messages of the checkout window. The window's questions are answered by the options: open expense
// allocations and unaudited bills stop the checkout unless --ignore-unallocated / --ignore-unaudited
// is given; --auto-adjust runs the automatic stock adjustment. Exit code 1 on any refusal.
// Also the shared start of the closing commands: log-on check, then the host services installed.

#include "AdminCommand.h"
#include "HostSession.h"
#include "QuillExceptions.h"
#include "uDllComm.h"
#include "uJobLock.h"
#include "uJxcCheckOutCore.h"
#include "uOrvaneCommon.h"
#include "uTransformFunc.h"

namespace admin {

namespace {

// Messages of the host services go to the terminal; a command never waits for an answer.
class TConsoleMessages final : public IDllMessageCon
{
public:
    TMessageBoxButton SuperMessageBox(const QString &text, const QString &, TMessageBoxType,
                                      TMessageBoxButtons, TMessageBoxButton) override
    {
        printLine(text);
        return TMessageBoxButton::mbOK;
    }
    bool ConfirmYesNo(const QString &text, TMessageBoxType, const QString &) override
    {
        printLine(text);
        return false;
    }
    bool ConfirmOKCancel(const QString &text, TMessageBoxType, const QString &) override
    {
        printLine(text);
        return false;
    }
    void ShowErrorMsg(const QString &text) override { printError(text); }
    void ShowWarningMsg(const QString &text) override { printError(text); }
    void ShowInfoMessage(const QString &text) override { printLine(text); }
    int SuperBillBatchMessageBox(const std::array<TBillMessageList, 9> &lists, TMessageBoxType, bool, bool,
                                 bool) override
    {
        printBatch(lists);
        return 0;
    }
    void SuperBillBatchMessageBoxModaless(const std::array<TBillMessageList, 9> &lists, TMessageBoxType,
                                          bool) override
    {
        printBatch(lists);
    }

private:
    static void printBatch(const std::array<TBillMessageList, 9> &lists)
    {
        for (const TBillMessageList &list : lists)
            for (const TBillMessageInfo &info : list)
                printError(info.Message);
    }
};

} // namespace

// The account set of --db with the operator of --operator logged on, his right checked and the host
// services installed; messages go to the terminal.
std::unique_ptr<HostSession> openClosingSession(const QCommandLineParser &parser, AdminRight right)
{
    static TConsoleMessages messages;
    Session logOn = openSession(parser, right);
    const QString path = logOn.db->path();
    logOn.db.reset();
    std::unique_ptr<HostSession> host = HostSession::Open(path, &messages);
    TLogOnState &state = host->System().State();
    state.OperatorId = state.OperatorCode =
        logOn.operatorId.isEmpty() ? parser.value(QStringLiteral("operator")) : logOn.operatorId;
    state.OperatorName = logOn.operatorName;
    state.IsManager = logOn.manager;
    host->System().ReloadSysCon();
    host->Install();
    return host;
}

// "2026年01月" of a period number year × 100 + month.
QString periodText(int period)
{
    return uTransformFunc::FormatPeriodText(QString::number(period));
}

// Prints what the checkout or reversal transaction ended with, naming the period it left and the
// one it entered; the exit code.
int reportClosingRun(const uJxcCheckOutCore::TRunResult &result, const QString &doneMessage)
{
    using uJxcCheckOutCore::TRunStatus;
    switch (result.Status) {
    case TRunStatus::Done:
        printLine(doneMessage);
        printLine(QStringLiteral("当前进销存期间：%1。").arg(periodText(uOrvaneCommon::GetJxcPeriod())));
        return ExitOk;
    case TRunStatus::AdjustRefused:
        for (const QString &text : result.Messages)
            printError(text);
        return ExitFailure;
    case TRunStatus::PlugInFailed:
    case TRunStatus::Refused:
    case TRunStatus::Error:
        printError(result.Message);
        return ExitFailure;
    }
    return ExitFailure;
}

int cmdCheckout(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("进销存期末结账：结转本期成本，进入下个进销存期间。"));
    addDbOption(parser);
    addOperatorOptions(parser);
    parser.addOption(
        {QStringLiteral("ignore-unallocated"), QStringLiteral("有尚未分配费用的单据时仍然结账。")});
    parser.addOption(
        {QStringLiteral("ignore-unaudited"), QStringLiteral("忽略本期未审核的单据进行期末结账。")});
    parser.addOption({QStringLiteral("auto-adjust"),
                      QStringLiteral("自动调整库存：数量为零而金额不为零的存货生成调价单。")});
    if (const int code = parseCommand(parser, QStringLiteral("checkout"), args, 0, 0); code >= 0)
        return code;

    std::unique_ptr<HostSession> host = openClosingSession(parser, RightCheckOut);
    // Held from the pre-check to the end, so that no cost calculation slips in between.
    QString refusal;
    const std::unique_ptr<TJobLock> job = uJobLock::StartPeriodJob(QStringLiteral("进销存期末结账"), refusal);
    if (!job) {
        printError(refusal);
        return ExitFailure;
    }
    namespace core = uJxcCheckOutCore;
    const int check = core::PreCheck();
    if (check < 0) {
        printError(check == core::NotCostedCode ? core::NotCostedMessage : core::PreCheckMessage(check));
        return ExitFailure;
    }
    const QString period = core::CurrentPeriodText();
    for (const QString &question : core::OpenAllocationQuestions(period, uDllComm::DllParams.PubVersion2)) {
        printLine(question);
        if (!parser.isSet(QStringLiteral("ignore-unallocated"))) {
            printError(QStringLiteral("期末结账已停止（用 --ignore-unallocated 继续）。"));
            return ExitFailure;
        }
    }
    if (const int count = core::UnauditedBillCount(period); count != 0) {
        printLine(core::UnauditedBillsQuestion(count));
        if (!parser.isSet(QStringLiteral("ignore-unaudited"))) {
            printError(QStringLiteral("期末结账已停止（用 --ignore-unaudited 忽略未审核的单据）。"));
            return ExitFailure;
        }
    }
    try {
        const int closing = uOrvaneCommon::GetJxcPeriod();
        return reportClosingRun(core::RunCheckOut(parser.isSet(QStringLiteral("auto-adjust"))),
                                core::CheckOutDoneMessage +
                                    QStringLiteral("已结账期间：%1。").arg(periodText(closing)));
    } catch (const EDatabaseError &e) {
        printError(e.Message());
        return ExitFailure;
    }
}

} // namespace admin
