#include "JobLock.h"

#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QMutex>
#include <QSysInfo>
#include <QThread>
#include <unistd.h>

#include "AccountDatabase.h"
#include "ProcRegistry.h"

namespace accountdb {

namespace {

const QString kLockName = QStringLiteral("account");
// A holder on another computer is taken for gone when it has given no sign of life for this long.
constexpr qint64 kStaleSeconds = 10 * 60;

// Hold depth per connection of this process (a nested take on the same connection).
QMutex g_depthMutex;
QHash<QString, int> g_depth;

QString readFirstLine(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLatin1(f.readLine()).trimmed();
}

QString bootId()
{
    static const QString id = readFirstLine(QStringLiteral("/proc/sys/kernel/random/boot_id"));
    return id;
}

// Field 22 of /proc/PID/stat, the start time in clock ticks since boot: a pid taken again by another
// process has another start time. The command name (field 2) may hold blanks, so count after ')'.
QString processStart(qint64 pid)
{
    const QString stat = readFirstLine(QStringLiteral("/proc/%1/stat").arg(pid));
    const qsizetype close = stat.lastIndexOf(u')');
    if (close < 0)
        return QString();
    const QStringList fields = stat.mid(close + 2).split(u' ');
    return fields.size() > 19 ? fields[19] : QString(); // fields[0] is field 3
}

// On a server the hold is also a session-level advisory lock of the holder's connection: the server
// drops it with the session, so a killed client's row reads as stale at once, on any computer.
constexpr int kAdvisoryKey = 1; // with kApplicationId: the account set's job lock

bool serverHolderAlive(ProcContext &ctx)
{
    return ctx.value(QStringLiteral(
                         "SELECT count(*) FROM pg_locks WHERE locktype = 'advisory' AND granted "
                         "AND database = (SELECT oid FROM pg_database WHERE datname = "
                         "current_database()) AND CAST(classid AS BIGINT) = ? "
                         "AND CAST(objid AS BIGINT) = ? AND objsubid = 2 AND pid <> pg_backend_pid()"),
                     {kApplicationId, kAdvisoryKey})
               .toInt() > 0;
}

bool tryServerHold(ProcContext &ctx)
{
    return ctx
        .value(QStringLiteral("SELECT pg_try_advisory_lock(CAST(? AS INT), CAST(? AS INT))"),
               {kApplicationId, kAdvisoryKey})
        .toBool();
}

void releaseServerHold(AccountDatabase &db)
{
    // A session's holds of one key are counted: give back every one it has (and no other: unlocking
    // what is not held draws a warning).
    while (
        db.value(QStringLiteral("SELECT pg_advisory_unlock(CAST(? AS INT), CAST(? AS INT)) FROM pg_locks "
                                "WHERE locktype = 'advisory' AND pid = pg_backend_pid() AND "
                                "CAST(classid AS BIGINT) = ? AND CAST(objid AS BIGINT) = ? AND objsubid = 2"),
                 {kApplicationId, kAdvisoryKey, kApplicationId, kAdvisoryKey})
            .toBool()) {
    }
}

QString now()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

QString hostName()
{
    return QSysInfo::machineHostName();
}

} // namespace

bool JobLock::holderAlive(const QString &host, const QString &boot, qint64 pid, const QString &pidStart,
                          const QString &heartbeat)
{
    if (host == hostName()) {
        if (boot != bootId())
            return false; // the computer was restarted since
        return pid > 0 && processStart(pid) == pidStart && !pidStart.isEmpty();
    }
    const QDateTime beat = QDateTime::fromString(heartbeat, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    return beat.isValid() && beat.secsTo(QDateTime::currentDateTime()) < kStaleSeconds;
}

bool JobLock::current(ProcContext &ctx, JobHolder *holder)
{
    QSqlQuery q =
        ctx.exec(QStringLiteral("SELECT Job, OperatorId, OperatorName, Host, BootId, Pid, PidStart, "
                                "Connection, StartedAt, Heartbeat FROM T_Sys_JobLock WHERE LockName = ?"),
                 {kLockName});
    if (!q.next())
        return false;
    const QString host = q.value(3).toString();
    const qint64 pid = q.value(5).toLongLong();
    const bool ours =
        host == hostName() && pid == qint64(getpid()) && q.value(6).toString() == processStart(getpid());
    // A row of this process but of a connection that is gone was left by a connection closed while
    // it held the lock; a row of a connection of ours that still exists is live.
    bool alive = false;
    if (ours) {
        QMutexLocker lock(&g_depthMutex);
        alive = g_depth.value(q.value(7).toString()) > 0;
    } else if (ctx.database().isServer()) {
        alive = serverHolderAlive(ctx);
    } else {
        alive = holderAlive(host, q.value(4).toString(), pid, q.value(6).toString(), q.value(9).toString());
    }
    if (alive && holder) {
        holder->job = q.value(0).toString();
        holder->operatorId = q.value(1).toString();
        holder->operatorName = q.value(2).toString();
        holder->host = host;
        holder->pid = pid;
        holder->startedAt = q.value(8).toString();
    }
    q.finish();
    return alive;
}

int JobLock::take(ProcContext &ctx, const QString &job, const QString &operatorId,
                  const QString &operatorName, JobHolder *holder)
{
    const QString connection = ctx.database().connectionName();
    {
        QMutexLocker lock(&g_depthMutex);
        if (g_depth.value(connection) > 0) {
            ++g_depth[connection];
            return 0;
        }
    }
    JobHolder live;
    if (current(ctx, &live)) {
        if (holder)
            *holder = live;
        return -1;
    }
    if (ctx.database().isServer() && !tryServerHold(ctx)) {
        // Another session took it a moment ago: its row shows once its take has committed.
        for (int wait = 0; wait < 50 && !current(ctx, &live); ++wait)
            QThread::msleep(100);
        if (live.job.isEmpty())
            live.job = job;
        if (holder)
            *holder = live;
        return -1;
    }
    const QString stamp = now();
    ctx.exec(QStringLiteral("DELETE FROM T_Sys_JobLock WHERE LockName = ?"), {kLockName});
    ctx.exec(
        QStringLiteral("INSERT INTO T_Sys_JobLock (LockName, Job, OperatorId, OperatorName, Host, BootId, "
                       "Pid, PidStart, Connection, StartedAt, Heartbeat) VALUES (?,?,?,?,?,?,?,?,?,?,?)"),
        {kLockName, job, operatorId, operatorName, hostName(), bootId(), qint64(getpid()),
         processStart(getpid()), connection, stamp, stamp});
    QMutexLocker lock(&g_depthMutex);
    g_depth[connection] = 1;
    return 0;
}

void JobLock::give(ProcContext &ctx)
{
    const QString connection = ctx.database().connectionName();
    {
        QMutexLocker lock(&g_depthMutex);
        const int depth = g_depth.value(connection);
        if (depth > 1) {
            --g_depth[connection];
            return;
        }
        if (depth == 0)
            return; // not ours: nothing to give back
        g_depth.remove(connection);
    }
    ctx.exec(QStringLiteral("DELETE FROM T_Sys_JobLock WHERE LockName = ? AND Host = ? AND Pid = ? AND "
                            "Connection = ?"),
             {kLockName, hostName(), qint64(getpid()), connection});
    if (ctx.database().isServer())
        releaseServerHold(ctx.database());
}

void JobLock::beat(ProcContext &ctx)
{
    ctx.exec(QStringLiteral(
                 "UPDATE T_Sys_JobLock SET Heartbeat = ? WHERE LockName = ? AND Host = ? AND Pid = ? AND "
                 "Connection = ?"),
             {now(), kLockName, hostName(), qint64(getpid()), ctx.database().connectionName()});
}

void JobLock::dropConnection(AccountDatabase &db, const QString &connection)
{
    {
        QMutexLocker lock(&g_depthMutex);
        g_depth.remove(connection);
    }
    db.exec(QStringLiteral(
                "DELETE FROM T_Sys_JobLock WHERE LockName = ? AND Host = ? AND Pid = ? AND Connection = ?"),
            {kLockName, hostName(), qint64(getpid()), connection});
    // The hold of a server session goes with the session; one still open (a restore that stopped
    // before its swap) gives it back.
    if (db.isServer() && db.connectionName() == connection)
        releaseServerHold(db);
}

QString JobLock::busyMessage(const JobHolder &h)
{
    const QString who = h.operatorName.isEmpty() || h.operatorName == h.operatorId
                            ? h.operatorId
                            : QStringLiteral("%1 %2").arg(h.operatorId, h.operatorName);
    return QStringLiteral("“%1”正在进行中（操作员 %2，计算机 %3，进程 %4，开始于 %5），请等它结束后再试。")
        .arg(h.job, who, h.host)
        .arg(h.pid)
        .arg(h.startedAt);
}

bool takeJobLock(AccountDatabase &db, const QString &job, const QString &operatorId,
                 const QString &operatorName, QString *message)
{
    ProcParams p{{QStringLiteral("@szJob"), job},
                 {QStringLiteral("@nMode"), 1},
                 {QStringLiteral("@szOperatorId"), operatorId},
                 {QStringLiteral("@szOperatorName"), operatorName},
                 {QStringLiteral("@ErrMsg"), QString(), true}};
    if (db.callProc(QStringLiteral("P_Sys_JobLock"), p) >= 0)
        return true;
    if (message)
        *message = p.last().value.toString();
    return false;
}

JobLockGuard::JobLockGuard(AccountDatabase &db, const QString &job, const QString &operatorId,
                           const QString &operatorName)
    : m_db(db)
{
    QString message;
    if (!takeJobLock(m_db, job, operatorId, operatorName, &message))
        throw DbError(message);
}

JobLockGuard::~JobLockGuard()
{
    try {
        ProcParams p{{QStringLiteral("@szJob"), QString()}, {QStringLiteral("@nMode"), 0}};
        m_db.callProc(QStringLiteral("P_Sys_JobLock"), p);
    } catch (const DbError &) {
        // The row stays; it reads as stale once this process has ended.
    }
}

} // namespace accountdb
