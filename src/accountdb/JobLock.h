#pragma once
// The job lock of an account set: one whole-account-set job at a time (cost calculation, month-end
// checkout and its reversal, rebuild, restore), visible to every process and computer that opens the
// account set because it is a row of the database. A row whose process has ended (a crash, a kill)
// is stale and is taken over; a live holder makes the next job fail at once with a message that
// names it. The same connection may take the lock again while it holds it (a checkout that runs the
// cost calculation); it is given back when the outermost holder releases it.

#include <QString>

namespace accountdb {

class AccountDatabase;
class ProcContext;

struct JobHolder
{
    QString job;
    QString operatorId;
    QString operatorName;
    QString host;
    qint64 pid = 0;
    QString startedAt; // yyyy-MM-dd hh:mm:ss, local time
};

namespace JobLock {

// Inside the caller's write transaction. Returns 0 when the lock is now held by this connection,
// -1 when another live holder has it (holder filled).
int take(ProcContext &ctx, const QString &job, const QString &operatorId, const QString &operatorName,
         JobHolder *holder);
// Gives back one level of this connection's hold; the row goes with the last.
void give(ProcContext &ctx);
// A sign of life of this connection's hold, for processes on other computers.
void beat(ProcContext &ctx);
// A connection closed for good while it held the lock (a restore swaps the file under it): its row
// goes (when the file still has it) and this process forgets the hold.
void dropConnection(AccountDatabase &db, const QString &connection);
// The live holder, if any (a stale row reads as none).
bool current(ProcContext &ctx, JobHolder *holder);

// "“成本计算”正在进行中（操作员 …，计算机 …，开始于 …），请等它结束后再试。"
QString busyMessage(const JobHolder &holder);

// Whether the process that wrote a row is still running (same computer and boot: its pid with the
// same start time; another computer: a heartbeat younger than the stale age).
bool holderAlive(const QString &host, const QString &bootId, qint64 pid, const QString &pidStart,
                 const QString &heartbeat);

} // namespace JobLock

// Takes the lock through P_Sys_JobLock on its own or in the open transaction; false with the busy
// message when another job holds it.
bool takeJobLock(AccountDatabase &db, const QString &job, const QString &operatorId,
                 const QString &operatorName, QString *message);

// Scope object over P_Sys_JobLock for code that works on an AccountDatabase directly (orvane-admin):
// takes the lock or throws DbError with the busy message; gives it back on leaving the scope.
class JobLockGuard
{
public:
    JobLockGuard(AccountDatabase &db, const QString &job, const QString &operatorId,
                 const QString &operatorName);
    ~JobLockGuard();
    JobLockGuard(const JobLockGuard &) = delete;
    JobLockGuard &operator=(const JobLockGuard &) = delete;

private:
    AccountDatabase &m_db;
};

} // namespace accountdb
