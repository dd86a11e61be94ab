// orvane-admin rebuild [--db FILE] [--keep-opening] [--keep-drafts] [--keep-orders | --keep-audited-orders]
//                      [--drop-prices] [--yes]
// The system rebuild as its window runs it: the business data goes, what the options name stays, in one
// transaction with the plug-in procedures. Fixed assets used in production, batch tasks and batch
// processing bills are deleted only with --yes (their questions are printed otherwise). Exit code 1 on
// any refusal.

#include "AdminCommand.h"
#include "HostSession.h"
#include "uCMSystemReBuildCore.h"

namespace admin {

std::unique_ptr<HostSession> openClosingSession(const QCommandLineParser &parser,
                                                AdminRight right); // CmdCheckout.cpp

int cmdRebuild(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("系统重建：清除账套的业务数据，回到启用期间。"));
    addDbOption(parser);
    addOperatorOptions(parser);
    parser.addOption({QStringLiteral("keep-opening"), QStringLiteral("保留期初数据。")});
    parser.addOption({QStringLiteral("keep-drafts"), QStringLiteral("保留草稿。")});
    parser.addOption({QStringLiteral("keep-orders"), QStringLiteral("保留所有订单。")});
    parser.addOption({QStringLiteral("keep-audited-orders"), QStringLiteral("保留已审核订单。")});
    parser.addOption({QStringLiteral("drop-prices"), QStringLiteral("不保留价格跟踪数据。")});
    parser.addOption({QStringLiteral("yes"), QStringLiteral("同意删除固定资产、批次任务单和批次加工单。")});
    if (const int code = parseCommand(parser, QStringLiteral("rebuild"), args, 0, 0); code >= 0)
        return code;

    std::unique_ptr<HostSession> host = openClosingSession(parser, RightRebuild);
    namespace core = uCMSystemReBuildCore;
    const QStringList questions = core::DataQuestions();
    if (!questions.isEmpty() && !parser.isSet(QStringLiteral("yes"))) {
        for (const QString &question : questions)
            printError(question);
        return ExitFailure;
    }
    core::TRebuildOptions options;
    options.IniData = parser.isSet(QStringLiteral("keep-opening"));
    options.Draft = parser.isSet(QStringLiteral("keep-drafts"));
    options.Orders = parser.isSet(QStringLiteral("keep-orders"));
    options.CheckedOrders = options.Orders || parser.isSet(QStringLiteral("keep-audited-orders"));
    options.PriceTrack = !parser.isSet(QStringLiteral("drop-prices"));
    const core::TRunResult result = core::Run(options);
    if (result.Status != core::TRunStatus::Done) {
        printError(result.Message.isEmpty() ? QStringLiteral("系统重建失败。") : result.Message);
        return ExitFailure;
    }
    printLine(core::DoneText);
    return ExitOk;
}

} // namespace admin
