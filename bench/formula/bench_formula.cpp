// Evaluations per second of typical bill column formulas (stored forms with values filled in).

#include <QElapsedTimer>
#include <QStringList>

#include <cstdio>
#include <ctime>

#include "uFormulaCalculate.h"

int main()
{
    const QStringList formulas = {
        QStringLiteral(" 12.5 * 3.75 * 1.13 - 4.2 "),                   // quantity * price * rate - discount
        QStringLiteral("( 120 + 35.5 ) * 0.17 + 120 * 0.03"),           // tax on amount plus fee
        QStringLiteral(" 1.50 * 1.50 * 1.1 / ( 1 + 0.13 ) - 0.25 * 2"), // net price from gross
        QStringLiteral("[ 250 - 18.75 ] * { 1 - 0.05 } / 12"),          // discounted monthly amount
        QStringLiteral("abs( 3.2 - 7.9 ) * 100 + sqrt( 16 ) * 2.5"),    // functions
        QStringLiteral(" 88.8 * ( 1 - 0.15 ) * ( 1 + 0.13 ) - 5 / 3"),  // nested price chain
        QStringLiteral("1500 / 7 * 3 - 2.5e2 + 18 * -2"),               // exponent and signs
        QStringLiteral("((( 2 + 3 ) * 4 - 6 ) / 7 + 9 ) * 11 - 13"),    // deep groups
    };
    qint64 totalLength = 0;
    for (const QString &f : formulas)
        totalLength += f.size();

    QString result;
    QString check;
    // Warm-up, and one line per formula so that wrong results show at once.
    for (const QString &f : formulas) {
        TFormulaCalculate calc;
        calc.Eval(f, result);
        std::printf("%-48s = %s%s\n", qPrintable(f), qPrintable(result), calc.isAbort ? " (rejected)" : "");
    }

    // The machine is shared: CPU time of this thread measures the engine, wall time the neighbours too.
    timespec cpuStart{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpuStart);
    QElapsedTimer timer;
    timer.start();
    qint64 evals = 0;
    while (timer.elapsed() < 2000) {
        for (const QString &f : formulas) {
            TFormulaCalculate calc; // one instance per evaluation, as the callers do
            calc.Eval(f, result);
            ++evals;
        }
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    timespec cpuEnd{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpuEnd);
    const double cpuSeconds =
        double(cpuEnd.tv_sec - cpuStart.tv_sec) + (cpuEnd.tv_nsec - cpuStart.tv_nsec) / 1e9;
    const double perSecond = evals / cpuSeconds;
    std::printf("formulas: %lld, average length %.1f characters\n", static_cast<long long>(formulas.size()),
                double(totalLength) / formulas.size());
    std::printf("evaluations: %lld in %.3f s wall, %.3f s CPU, %.2f us CPU each, %.0f evals/s wall\n",
                static_cast<long long>(evals), seconds, cpuSeconds, 1e6 * cpuSeconds / evals,
                evals / seconds);
    std::printf("formula: %.0f evals/s\n", perSecond); // per CPU second
    return 0;
}
