// orvane-admin create-demo --db FILE [--size small|medium|large] [--seed N] [--goods N] [--lines N]
//                          [--periods N]
// A new account set filled with the demo company: base data, opening stock and bills of several
// periods, all posted. The size picks goods, lines and periods; the other options override it.
// The same seed and sizes give the same account set.

#include <QElapsedTimer>
#include <QFile>
#include <cstdio>
#include <unistd.h>

#include "AdminCommand.h"
#include "demo/DemoGenerator.h"

namespace admin {

namespace {

bool positive(const QCommandLineParser &parser, const QString &name, qint64 &target)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    const qint64 v = parser.value(name).toLongLong(&ok);
    if (!ok || v <= 0) {
        printError(QStringLiteral("--%1 必须是正整数。").arg(name));
        return false;
    }
    target = v;
    return true;
}

void showProgress(qint64 done, qint64 target)
{
    const int width = 40;
    const int filled = target > 0 ? int(std::min<qint64>(width, done * width / target)) : width;
    const QByteArray bar = QStringLiteral("\r[%1%2] %3 / %4 行")
                               .arg(QString(filled, u'#'), QString(width - filled, u' '))
                               .arg(done)
                               .arg(target)
                               .toUtf8();
    std::fwrite(bar.constData(), 1, size_t(bar.size()), stderr);
    std::fflush(stderr);
}

} // namespace

int cmdCreateDemo(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("创建演示账套：基本资料、期初库存和若干期间的已过账单据。"));
    addDbOption(parser);
    parser.addOption({QStringLiteral("size"), QStringLiteral("规模：small（默认）、medium 或 large。"),
                      QStringLiteral("SIZE"), QStringLiteral("small")});
    parser.addOption(
        {QStringLiteral("seed"), QStringLiteral("随机种子（相同种子生成相同账套）。"), QStringLiteral("N")});
    parser.addOption({QStringLiteral("goods"), QStringLiteral("存货个数。"), QStringLiteral("N")});
    parser.addOption(
        {QStringLiteral("lines"), QStringLiteral("单据明细行数（约数）。"), QStringLiteral("N")});
    parser.addOption({QStringLiteral("periods"), QStringLiteral("有单据的期间数。"), QStringLiteral("N")});
    if (const int code = parseCommand(parser, QStringLiteral("create-demo"), args, 0, 0); code >= 0)
        return code;

    accountdb::demo::DemoOptions options;
    if (!accountdb::demo::optionsForSize(parser.value(QStringLiteral("size")), options)) {
        printError(QStringLiteral("--size 只能是 small、medium 或 large。"));
        return ExitUsage;
    }
    qint64 seed = options.seed, goods = options.goods, lines = options.lines, periods = options.periods;
    if (!positive(parser, QStringLiteral("seed"), seed) ||
        !positive(parser, QStringLiteral("goods"), goods) ||
        !positive(parser, QStringLiteral("lines"), lines) ||
        !positive(parser, QStringLiteral("periods"), periods))
        return ExitUsage;
    if (goods < 5 || goods > 100000 || periods > 36 || seed > 0xFFFFFFFFLL) {
        printError(QStringLiteral("存货个数须在 5 到 100000 之间，期间数不超过 36。"));
        return ExitUsage;
    }
    options.seed = quint32(seed);
    options.goods = int(goods);
    options.lines = lines;
    options.periods = int(periods);

    const QString path = dbPath(parser);
    QElapsedTimer total;
    total.start();
    auto db = accountdb::AccountDatabase::create(path);
    const bool terminal = isatty(STDERR_FILENO) == 1;
    accountdb::demo::DemoReport report;
    try {
        // The demo company keeps the accounts of small enterprises; the generator sets its periods.
        accountdb::ProcParams trade{{QStringLiteral("@prm_TradeID"), 1}};
        db->callProc(QStringLiteral("P_GBL_ChangeTrade"), trade);
        const QString setValue = QStringLiteral("UPDATE T_Gbl_SysDataCw SET SubValue = ? WHERE SubName = ?");
        db->exec(setValue, {QStringLiteral("T"), QStringLiteral("InitSetup")});
        db->exec(setValue, {QStringLiteral("1"), QStringLiteral("TradeID")});
        report = accountdb::demo::generateDemo(*db, options, terminal ? &showProgress : nullptr);
    } catch (...) {
        db.reset();
        for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
            QFile::remove(path + suffix);
        throw;
    }
    if (terminal)
        std::fputs("\n", stderr);
    printLine(QStringLiteral("已创建演示账套：%1").arg(db->path()));
    printLine(QStringLiteral("存货 %1 个，仓库 %2 个，供应商 %3 个，客户 %4 个；单据 %5 张，明细 %6 行。")
                  .arg(report.goods)
                  .arg(report.warehouses)
                  .arg(report.suppliers)
                  .arg(report.customers)
                  .arg(report.bills)
                  .arg(report.lines));
    printLine(QStringLiteral("过账用时 %1 秒（%2 行/秒），总用时 %3 秒。")
                  .arg(report.seconds, 0, 'f', 2)
                  .arg(report.seconds > 0 ? qint64(double(report.lines) / report.seconds) : 0)
                  .arg(double(total.elapsed()) / 1000.0, 0, 'f', 2));
    return ExitOk;
}

} // namespace admin
