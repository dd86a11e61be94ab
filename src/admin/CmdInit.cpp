// orvane-admin init --db FILE --company NAME --trade ID --year YYYY --start-period N
//                   --code-lengths 4-2-2 [--natural-months]
// The first set-up of an account set without the wizard: company name, trade (its chart of accounts),
// code lengths (levels not given keep the trade's defaults), the twelve periods of the account year
// (the calendar stored for that year, or the natural months; --natural-months always takes these) and
// the opening period. The wizard's checks and messages; a refusal changes nothing and exits with 1.

#include "AdminCommand.h"
#include "HostConfig.h"
#include "HostSession.h"
#include "QuillExceptions.h"
#include "Udlldbservice.h"
#include "uDllComm.h"
#include "uIniConfigCore.h"
#include "uTransformFunc.h"

namespace admin {

std::unique_ptr<HostSession> openClosingSession(const QCommandLineParser &parser,
                                                AdminRight right); // CmdCheckout.cpp

namespace {

using namespace uIniConfigCore;

// The nine level lengths of "4-2-2": the levels given, then the trade's defaults. Empty with the
// refusal's text in `problem`.
QStringList ParseLengths(const QString &text, int tradeId, QString &problem)
{
    const QStringList given = text.split(u'-');
    QStringList levels = LoadCodeLengths(tradeId);
    if (given.size() > kLevels) {
        problem = QStringLiteral("科目级次最多为 %1 级。").arg(kLevels);
        return {};
    }
    for (int i = 0; i < given.size(); ++i)
        levels[i] = given[i].trimmed();
    int sum = 0;
    for (const QString &level : std::as_const(levels))
        sum += uTransformFunc::StrToIntLoose(level);
    for (int i = 0; i < kLevels && problem.isEmpty(); ++i)
        problem = CodeLengthCellProblem(4 + i, uTransformFunc::StrToIntLoose(levels[i]), sum);
    if (problem.isEmpty())
        problem = CodeLengthsProblem(levels);
    return problem.isEmpty() ? levels : QStringList();
}

int Refuse(const QString &text)
{
    printError(text);
    return ExitFailure;
}

} // namespace

int cmdInit(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("账套初始设置：公司名称、企业类别（科目表）、科目编码长度、会计期间和开账期间。"));
    addDbOption(parser);
    addOperatorOptions(parser);
    parser.addOption(
        {QStringLiteral("company"), QStringLiteral("公司名称（全称与简称）。"), QStringLiteral("NAME")});
    parser.addOption({QStringLiteral("trade"),
                      QStringLiteral("企业类别编号（1 小企业会计准则，2 企业会计准则）。"),
                      QStringLiteral("ID")});
    parser.addOption(
        {QStringLiteral("year"), QStringLiteral("会计年度（2000 到 2099）。"), QStringLiteral("YYYY")});
    parser.addOption(
        {QStringLiteral("start-period"), QStringLiteral("开账期间（1 到 12）。"), QStringLiteral("N")});
    parser.addOption({QStringLiteral("code-lengths"), QStringLiteral("各级科目编码长度，如 4-2-2。"),
                      QStringLiteral("L1-L2-...")});
    parser.addOption({QStringLiteral("natural-months"), QStringLiteral("会计期间按自然月设置。")});
    if (const int code = parseCommand(parser, QStringLiteral("init"), args, 0, 0); code >= 0)
        return code;
    for (const char *required : {"company", "trade", "year", "start-period", "code-lengths"})
        if (!parser.isSet(QLatin1String(required))) {
            printError(QStringLiteral("缺少选项 --%1。").arg(QLatin1String(required)));
            return ExitUsage;
        }

    std::unique_ptr<HostSession> host = openClosingSession(parser, RightNone);
    if (!host->System().State().IsManager)
        return Refuse(QStringLiteral("只有系统管理员才能进行账套初始设置。"));
    HostConfig::ApplyTo(uDllComm::DllParams); // the edition decides which trades are offered

    TIniConfigData data;
    const QString company = parser.value(QStringLiteral("company")).trimmed();
    if (company.isEmpty() || company.size() > 100)
        return Refuse(QStringLiteral("公司名称不能为空，最多 100 个字。"));
    data.Company = {company, company};
    while (data.Company.size() < CompanyKeys().size())
        data.Company << QString();

    bool ok = false;
    data.TradeId = parser.value(QStringLiteral("trade")).toInt(&ok);
    const QList<TTradeInfo> trades = ReadTrades();
    QStringList offered;
    QString tradeName;
    for (const TTradeInfo &trade : trades) {
        offered << QStringLiteral("%1 %2").arg(trade.FId).arg(trade.FName);
        if (ok && trade.FId == data.TradeId) {
            data.TradeReportPath = trade.FReportPath;
            tradeName = trade.FName;
        }
    }
    if (tradeName.isEmpty())
        return Refuse(QStringLiteral("企业类别“%1”不存在。可选：%2。")
                          .arg(parser.value(QStringLiteral("trade")), offered.join(QStringLiteral("，"))));
    data.Year = parser.value(QStringLiteral("year")).toInt(&ok);
    if (!ok || data.Year < 2000 || data.Year > 2099)
        return Refuse(QStringLiteral("会计年度只能是 2000 到 2099 之间的年份。"));
    data.StartPeriod = parser.value(QStringLiteral("start-period")).toInt(&ok);
    if (!ok || data.StartPeriod < 1 || data.StartPeriod > 12)
        return Refuse(QStringLiteral("开账期间只能是 1 到 12 之间的整数。"));
    QString problem;
    data.Lengths = ParseLengths(parser.value(QStringLiteral("code-lengths")), data.TradeId, problem);
    if (!problem.isEmpty())
        return Refuse(problem);
    data.Periods =
        parser.isSet(QStringLiteral("natural-months")) ? NaturalMonths(data.Year) : LoadPeriods(data.Year);

    try {
        // All or nothing: a refused step leaves the account set as it was.
        Udlldbservice::TTransaction transaction;
        if (!FinalSave(data))
            return ExitFailure;
        transaction.Commit();
    } catch (const EDatabaseError &e) {
        return Refuse(e.Message());
    }
    printLine(
        QStringLiteral("账套初始设置完成：%1，%2，会计年度 %3，开账期间 %4。")
            .arg(company, tradeName)
            .arg(data.Year)
            .arg(uTransformFunc::FormatPeriodText(QString::number(data.Year * 100 + data.StartPeriod))));
    return ExitOk;
}

} // namespace admin
