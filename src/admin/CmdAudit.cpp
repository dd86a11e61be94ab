// orvane-admin audit --bill VCHCODE [--reject --opinion TEXT]: one audit step of the operator on a bill
// waiting in its audit flow, as the program's audit takes it: passes the bill's current level (posting
// the bill when it was the last) or returns the bill to its maker. The step is one write transaction;
// when another auditor acted on the bill meanwhile the step is refused.
// orvane-admin audit --list [--mine]: the audit centre's list of the bills waiting for the operator's
// audit (with --mine: his own bills still waiting), one line per bill, through the centre's procedures
// and so with the same base-data rights.

#include "AdminCommand.h"
#include "AuditEngine.h"

namespace admin {

namespace {

int listBills(accountdb::AccountDatabase &db, const QString &operatorId, bool mine)
{
    accountdb::ProcParams params{{QStringLiteral("@nVchtype"), 0},
                                 {QStringLiteral("@szBtypeID"), QString()},
                                 {QStringLiteral("@szEtypeID"), QString()},
                                 {QStringLiteral("@szMtypeID"), QString()},
                                 {QStringLiteral("@szBeginDate"), QString()},
                                 {QStringLiteral("@szEndDate"), QString()},
                                 {QStringLiteral("@OperatorID"), operatorId},
                                 {QStringLiteral("@IsAudited"), 0},
                                 {QStringLiteral("@ShowAll"), QString()}};
    accountdb::ResultSet rs;
    db.callProc(mine ? QStringLiteral("P_KOVA_AuditCenter_MyMakedBill")
                     : QStringLiteral("p_KOVA_AuditCenter"),
                params, &rs);
    const auto column = [&rs](const char *name) { return rs.columnIndex(QLatin1String(name)); };
    const QList<int> shown{column("vchcode"),      column("Date"),      column("Number"),
                           column("VchTypeName"),  column("total"),     column("EFullName2"),
                           column("AuditedCount"), column("AuditCount")};
    printLine(QStringLiteral("Vchcode\t日期\t单据编号\t单据类型\t金额\t制单人\t已审级次/级次"));
    for (const QVariantList &row : rs.rows) {
        QStringList texts;
        for (int i = 0; i < 6; ++i)
            texts << row[shown[i]].toString();
        texts << QStringLiteral("%1/%2").arg(row[shown[6]].toInt()).arg(row[shown[7]].toInt());
        printLine(texts.join(u'\t'));
    }
    return ExitOk;
}

} // namespace

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
    parser.addOption({QStringLiteral("list"), QStringLiteral("列出等待本操作员审核的单据。")});
    parser.addOption(
        {QStringLiteral("mine"), QStringLiteral("与 --list 同用：列出本操作员制作、正在审核中的单据。")});
    if (const int code = parseCommand(parser, QStringLiteral("audit"), args, 0, 0); code >= 0)
        return code;
    if (parser.isSet(QStringLiteral("list"))) {
        Session session = openSession(parser, RightAudit);
        return listBills(*session.db, session.operatorId, parser.isSet(QStringLiteral("mine")));
    }
    bool ok = false;
    const qint64 vchcode = parser.value(QStringLiteral("bill")).toLongLong(&ok);
    if (!ok || vchcode <= 0) {
        printError(QStringLiteral("--bill 必须是单据的 Vchcode（正整数），或用 --list 列出待审核的单据。"));
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
