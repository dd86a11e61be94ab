// orvane-admin bill-number --db FILE TYPE [--count N] [--date yyyy-mm-dd]: takes N bill numbers of bill
// type TYPE (default 1) for the date (default today), one p_jxc_GetVchNumber call each, and prints them
// one a line. Each call is its own write transaction, so several processes taking numbers at once get
// distinct numbers without gaps.

#include <QDate>

#include "AdminCommand.h"

namespace admin {

int cmdBillNumber(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("为单据类型 TYPE 取新的单据编号并逐行输出。"));
    addDbOption(parser);
    addOperatorOptions(parser);
    parser.addPositionalArgument(QStringLiteral("TYPE"), QStringLiteral("单据类型编号，例如 11（销售单）。"));
    parser.addOption({QStringLiteral("count"), QStringLiteral("取号个数（默认 1）。"), QStringLiteral("N"),
                      QStringLiteral("1")});
    parser.addOption({QStringLiteral("date"), QStringLiteral("单据日期 yyyy-mm-dd（默认今天）。"),
                      QStringLiteral("DATE")});
    if (const int code = parseCommand(parser, QStringLiteral("bill-number"), args, 1, 1); code >= 0)
        return code;
    bool typeOk = false, countOk = false;
    const int vchType = parser.positionalArguments().constFirst().toInt(&typeOk);
    const int count = parser.value(QStringLiteral("count")).toInt(&countOk);
    const QString date = parser.isSet(QStringLiteral("date"))
                             ? parser.value(QStringLiteral("date")).trimmed()
                             : QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    if (!typeOk || vchType <= 0 || !countOk || count < 1) {
        printError(QStringLiteral("单据类型和取号个数必须是正整数。"));
        return ExitUsage;
    }
    Session session = openSession(parser, RightBillEntry);
    for (int i = 0; i < count; ++i) {
        accountdb::ProcParams p{{QStringLiteral("@nWork"), 1},
                                {QStringLiteral("@nVchType"), vchType},
                                {QStringLiteral("@szDate"), date},
                                {QStringLiteral("@szNumberIn"), QString()},
                                {QStringLiteral("@szOperatorName"), session.operatorName},
                                {QStringLiteral("@szNumber"), QString(), true}};
        const int result = session.db->callProc(QStringLiteral("p_jxc_GetVchNumber"), p);
        if (result == -1) {
            printError(QStringLiteral("单据类型 %1 不存在。").arg(vchType));
            return ExitFailure;
        }
        if (result < 0) {
            printError(QStringLiteral("单据日期必须是 yyyy-mm-dd 格式：") + date);
            return ExitFailure;
        }
        printLine(p.last().value.toString());
    }
    return ExitOk;
}

} // namespace admin
