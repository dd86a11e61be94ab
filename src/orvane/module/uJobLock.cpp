#include "uJobLock.h"

#include "ParamList.h"
#include "Udlldbservice.h"
#include "Udllsystemintf.h"
#include "uOrvaneCommon.h"

#include <QRegularExpression>

namespace {
constexpr int kHeartbeatMillis = 60 * 1000;
}

TJobLock::TJobLock(const QString &AJob)
{
    TParamList outputs;
    const int result = Udlldbservice::ExecuteProcByName(
        QStringLiteral("P_Sys_JobLock"),
        {QStringLiteral("@szJob"), QStringLiteral("@nMode"), QStringLiteral("@szOperatorId"),
         QStringLiteral("@szOperatorName"), QStringLiteral("@ErrMsg")},
        {AJob, 1, Udllsystemintf::GetCurrentOperatorId(), Udllsystemintf::GetCurrentOperatorName(),
         QString()},
        &outputs);
    FAcquired = result >= 0;
    if (!FAcquired) {
        FErrorText = outputs.ParamByName(QStringLiteral("@ErrMsg")).toString();
        return;
    }
    FHeartbeat = std::make_unique<QTimer>();
    FHeartbeat->setInterval(kHeartbeatMillis);
    QObject::connect(FHeartbeat.get(), &QTimer::timeout, [] {
        try {
            Udlldbservice::ExecuteProcByName(QStringLiteral("P_Sys_JobLock"),
                                             {QStringLiteral("@szJob"), QStringLiteral("@nMode")},
                                             {QString(), 3});
        } catch (...) {
            // A missed beat only matters to another computer after minutes without one.
        }
    });
    FHeartbeat->start();
}

TJobLock::~TJobLock()
{
    if (!FAcquired)
        return;
    FHeartbeat.reset();
    try {
        Udlldbservice::ExecuteProcByName(QStringLiteral("P_Sys_JobLock"),
                                         {QStringLiteral("@szJob"), QStringLiteral("@nMode")},
                                         {QString(), 0});
    } catch (...) {
        // The row stays behind and reads as stale once this process has ended.
    }
}

QString uJobLock::JxcPeriodProblem()
{
    const QString text = uOrvaneCommon::GetSysValue(QStringLiteral("JxcPeriod")).trimmed();
    static const QRegularExpression number(QStringLiteral("^[0-9]{1,9}$"));
    const bool known =
        number.match(text).hasMatch() && text.toInt() >= 1 &&
        Udlldbservice::GetValueFromSQL(
            QStringLiteral("SELECT count(*) FROM T_Gbl_MonthProc WHERE Period = ?"), {text.toInt()})
                .toInt() > 0;
    return known ? QString()
                 : QStringLiteral("当前进销存期间“%1”无效（不是会计期间表中的期间），不能继续。请检查系统值 "
                                  "JxcPeriod。")
                       .arg(text);
}

std::unique_ptr<TJobLock> uJobLock::StartPeriodJob(const QString &AJob, QString &AError)
{
    AError = JxcPeriodProblem();
    if (!AError.isEmpty())
        return nullptr;
    auto job = std::make_unique<TJobLock>(AJob);
    if (job->Acquired())
        return job;
    AError = job->ErrorText();
    return nullptr;
}
