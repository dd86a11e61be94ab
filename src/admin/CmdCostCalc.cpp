// orvane-admin cost-calc [--db FILE] [--force-zero] [PTYPEID ...]
// The cost calculation of the current inventory period over every goods item that needs it, or over
// the goods (and goods classes) named, as the cost window runs it: item by item, failures listed with
// their reason, the same summary line at the end. Without --force-zero a cost that stays zero or too
// large after the substitute costs fails its item (there is nobody to type one); with it the cost is
// kept and the item stays marked for the month-end calculation. Ctrl+C stops after the current item.
// The items are committed in chunks; --commit-every N commits after every N items.
// Exit code 1 when an item failed or the run was stopped.

#include <QElapsedTimer>
#include <csignal>
#include <cstdio>
#include <unistd.h>

#include "AdminCommand.h"
#include "HostSession.h"
#include "Kvbasicfun.h"
#include "QuillExceptions.h"
#include "Udlldbservice.h"
#include "uCostCalcProcessMain.h"
#include "uDllComm.h"
#include "uJobLock.h"
#include "uOrvaneCommon.h"

namespace admin {

std::unique_ptr<HostSession> openClosingSession(const QCommandLineParser &parser,
                                                AdminRight right); // CmdCheckout.cpp

namespace {

volatile std::sig_atomic_t gCancel = 0;

void onInterrupt(int)
{
    gCancel = 1;
}

// "h小时m分s秒" of a duration in milliseconds.
QString elapsedText(qint64 ms)
{
    const qint64 s = ms / 1000;
    return QStringLiteral("%1小时%2分%3秒").arg(s / 3600).arg(s / 60 % 60).arg(s % 60);
}

class TProgress
{
public:
    explicit TProgress(int total) : FTotal(total), FTerminal(isatty(STDERR_FILENO) == 1) {}
    void Show(int done)
    {
        if (!FTerminal)
            return;
        const int width = 40;
        const int filled = FTotal > 0 ? std::min(width, done * width / FTotal) : width;
        const QByteArray bar = QStringLiteral("\r[%1%2] %3 / %4 个存货")
                                   .arg(QString(filled, u'#'), QString(width - filled, u' '))
                                   .arg(done)
                                   .arg(FTotal)
                                   .toUtf8();
        std::fwrite(bar.constData(), 1, size_t(bar.size()), stderr);
        std::fflush(stderr);
        FShown = true;
    }
    // Clears the bar so that a line can be printed.
    void Clear()
    {
        if (!FShown)
            return;
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
        FShown = false;
    }

private:
    int FTotal;
    bool FTerminal;
    bool FShown = false;
};

} // namespace

int cmdCostCalc(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "计算本期存货成本：不指定存货时计算全部需要计算的存货，否则计算指定的存货（或存货类）。"));
    addDbOption(parser);
    addOperatorOptions(parser);
    parser.addOption({QStringLiteral("force-zero"),
                      QStringLiteral("成本为零或成本过大且找不到替代成本时保留该成本（存货留待期末计算），"
                                     "不作为异常。")});
    parser.addOption({QStringLiteral("commit-every"),
                      QStringLiteral("每计算 N 个存货提交一次（默认按数量和时间分批）。"),
                      QStringLiteral("N")});
    parser.addPositionalArgument(QStringLiteral("PTYPEID"), QStringLiteral("存货编号（可以是存货类）。"),
                                 QStringLiteral("[PTYPEID ...]"));
    if (const int code = parseCommand(parser, QStringLiteral("cost-calc"), args, 0, 100000); code >= 0)
        return code;
    QStringList ids;
    for (const QString &raw : parser.positionalArguments()) {
        const QString id = raw.trimmed();
        if (id.isEmpty() || id.contains(u',')) {
            printError(QStringLiteral("存货编号无效：“%1”。").arg(raw));
            return ExitUsage;
        }
        ids << id;
    }

    // Log-on and right check of the operator, then the host services over the same account set.
    std::unique_ptr<HostSession> host = openClosingSession(parser, RightCostCalc);
    uDllComm::DllParams.IsGM = host->Params().IsGM;

    if (uOrvaneCommon::IsIniNotOver()) {
        printError(QStringLiteral("成本计算之前请先期初结账。"));
        return ExitFailure;
    }
    QStringList unknown;
    for (const QString &id : std::as_const(ids))
        if (Udlldbservice::GetValueFromSQL(QStringLiteral("SELECT count(*) FROM ptype WHERE typeId = ?"),
                                           {id})
                .toInt() == 0)
            unknown << id;
    if (!unknown.isEmpty()) {
        printError(QStringLiteral("没有这些存货（或存货类）：%1。").arg(unknown.join(QStringLiteral("、"))));
        return ExitFailure;
    }
    QString refusal;
    const std::unique_ptr<TJobLock> job = uJobLock::StartPeriodJob(QStringLiteral("成本计算"), refusal);
    if (!job) {
        printError(refusal);
        return ExitFailure;
    }

    const QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    TCostCalcProcess process(parser.isSet(QStringLiteral("force-zero")));
    const int count = process.GetCalcPtype(ids.isEmpty() ? QStringLiteral("00000") : ids.join(u','));
    if (count == 0 && !process.LastError().isEmpty()) {
        printError(process.LastError());
        return ExitFailure;
    }
    process.SetCommitEvery(parser.value(QStringLiteral("commit-every")).toInt());
    TProgress progress(count);
    QString current;
    process.SetOnGetOutPrice([&](const QString &reason, const QString &mode, double price) {
        progress.Clear();
        printLine(QStringLiteral("%1：%2，已通过【%3】方式获取成本，成本单价为【%4】")
                      .arg(current, reason, mode, Kvbasicfun::FloatToStringBit(price, 6)));
    });

    gCancel = 0;
    auto previous = std::signal(SIGINT, &onInterrupt);
    int processed = 0, failed = 0, lines = 0;
    progress.Show(0);
    while (!process.ProcessEnd() && !gCancel) {
        ++processed;
        current = process.CurrentPtype();
        const QString name = process.cdsPtype.Value(QStringLiteral("FullName")).toString();
        bool ok = false;
        QString reason;
        try {
            ok = process.CalcPtypeCost(lines);
            reason = process.LastError();
        } catch (const EDatabaseError &e) {
            reason = e.Message();
        } catch (const std::exception &e) {
            reason = QString::fromUtf8(e.what());
        }
        if (!ok) {
            ++failed;
            progress.Clear();
            printLine(QStringLiteral("× %1 %2：%3").arg(current, name, reason));
        }
        progress.Show(processed);
        process.ProcessNext();
    }
    process.CommitPending();
    std::signal(SIGINT, previous);
    progress.Clear();

    printLine(gCancel ? QStringLiteral("用户取消计算。") : QStringLiteral("成本计算完成。"));
    printLine(
        QStringLiteral("共计算存货 %1 个，其中 %2 个存货成本计算成功，%3 个存货成本计算异常。共计算明细%4条。"
                       "共耗时:%5。")
            .arg(processed)
            .arg(processed - failed)
            .arg(failed)
            .arg(lines)
            .arg(elapsedText(clock.elapsed())));
    return failed > 0 || gCancel ? ExitFailure : ExitOk;
}

} // namespace admin
