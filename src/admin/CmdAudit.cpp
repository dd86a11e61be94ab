// orvane-admin audit --bill VCHCODE [--reject --opinion TEXT]: one audit step of the operator on a bill
// waiting in its audit flow, as the program's audit takes it: passes the bill's current level (posting
// the bill when it was the last) or returns the bill to its maker. The step is one write transaction;
// when another auditor acted on the bill meanwhile the step is refused.

#include "AdminCommand.h"
#include "AuditEngine.h"

namespace admin {

int cmdAudit(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("审核一张在审核流程中的单据：通过当前级次，或驳回给制单人。"));
    addDbOption(parser);
    addOperatorOptions(parser);
    parser.addOption({QStringLiteral("bill"), QStringLiteral("单据的 Vchcode。"), QStringLiteral("VCHCODE")});
    parser.addOption({QStringLiteral("reject"), QStringLiteral("驳回单据（默认通过）。")});
    parser.addOption({QStringLiteral("opinion"), QStringLiteral("审核意见。"), QStringLiteral("TEXT")});
    if (const int code = parseCommand(parser, QStringLiteral("audit"), args, 0, 0); code >= 0)
        return code;
    bool ok = false;
    const qint64 vchcode = parser.value(QStringLiteral("bill")).toLongLong(&ok);
    if (!ok || vchcode <= 0) {
        printError(QStringLiteral("--bill 必须是单据的 Vchcode（正整数）。"));
        return ExitUsage;
    }
    Session session = openSession(parser, RightAudit);
    const accountdb::audit::StepResult r = accountdb::audit::runStep(
        *session.db, vchcode, session.operatorId,
        parser.isSet(QStringLiteral("reject")) ? accountdb::audit::Reject : accountdb::audit::Pass,
        parser.value(QStringLiteral("opinion")));
    if (r.code < 0) {
        printError(r.message);
        return ExitFailure;
    }
    printLine(r.code == accountdb::audit::Posted ? QStringLiteral("第%1级审核通过，单据已过账。").arg(r.level)
              : r.code == accountdb::audit::Rejected ? QStringLiteral("单据已驳回给制单人。")
                                                     : QStringLiteral("第%1级审核通过。").arg(r.level));
    return ExitOk;
}

} // namespace admin
