// orvane-admin uncheckout [--db FILE]
// The reversal of the last month-end checkout, with the transaction, plug-in procedures and messages
// of the reversal window. Exit code 1 when the reversal is refused.

#include "AdminCommand.h"
#include "HostSession.h"
#include "QuillExceptions.h"
#include "uJxcCheckOutCore.h"

namespace admin {

std::unique_ptr<HostSession> openClosingSession(const QCommandLineParser &parser,
                                                AdminRight right); // CmdCheckout.cpp
int reportClosingRun(const uJxcCheckOutCore::TRunResult &result,
                     const QString &doneMessage); // CmdCheckout.cpp

int cmdUncheckout(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("进销存期末反结账：删除结转成本的凭证，返回到上一进销存期间。"));
    addDbOption(parser);
    addOperatorOptions(parser);
    if (const int code = parseCommand(parser, QStringLiteral("uncheckout"), args, 0, 0); code >= 0)
        return code;

    std::unique_ptr<HostSession> host = openClosingSession(parser, RightUnCheckOut);
    printLine(uJxcCheckOutCore::PeriodCaption());
    try {
        return reportClosingRun(uJxcCheckOutCore::RunUnCheckOut(), uJxcCheckOutCore::UnCheckOutDoneMessage);
    } catch (const EDatabaseError &e) {
        printError(e.Message());
        return ExitFailure;
    }
}

} // namespace admin
