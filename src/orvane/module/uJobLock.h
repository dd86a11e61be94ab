#pragma once
// One whole-account-set job at a time (cost calculation, month-end checkout and its reversal,
// rebuild, restore), for every process and workstation of the account set: TJobLock takes the
// account set's job lock through P_Sys_JobLock for its lifetime. Create it outside any transaction;
// when another job runs, Acquired() is false and ErrorText() names that job, its operator and since
// when. A job of the same window that runs inside another (a checkout that calculates costs) shares
// the hold.

#include <QString>
#include <QTimer>
#include <memory>

class TJobLock
{
public:
    explicit TJobLock(const QString &AJob);
    ~TJobLock();
    TJobLock(const TJobLock &) = delete;
    TJobLock &operator=(const TJobLock &) = delete;

    bool Acquired() const { return FAcquired; }
    QString ErrorText() const { return FErrorText; }

private:
    bool FAcquired = false;
    QString FErrorText;
    // While the host's event loop runs (a window of the job), the hold shows it is alive.
    std::unique_ptr<QTimer> FHeartbeat;
};

namespace uJobLock {
// Why the current inventory period cannot be worked on (system value "JxcPeriod" not a period of
// the calendar); empty when it can. Every job checks it before it starts.
QString JxcPeriodProblem();
// A job on the current inventory period: checks the period, then takes the lock. Null with AError
// set when either refuses.
std::unique_ptr<TJobLock> StartPeriodJob(const QString &AJob, QString &AError);
} // namespace uJobLock
