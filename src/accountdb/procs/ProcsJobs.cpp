// Procedures of the area "jobs".
//
// P_Sys_JobLock  @szJob, @nMode, @szOperatorId, @szOperatorName -> @ErrMsg.
//                Mode 1 takes the job lock for @szJob: 0 taken, -1 another job runs (@ErrMsg names it).
//                Mode 0 gives this connection's hold back: 0. Mode 2 asks: 0 free, -1 held (@ErrMsg).
//                Mode 3 is the hold's sign of life (its heartbeat): 0.
//                -2 for another mode or an empty job name.

#include "JobLock.h"
#include "procs/Procedures.h"

namespace accountdb {

namespace {

int jobLock(ProcContext &ctx)
{
    const int mode = ctx.in(QStringLiteral("@nMode")).toInt();
    const QString job = ctx.in(QStringLiteral("@szJob")).toString().trimmed();
    JobHolder holder;
    switch (mode) {
    case 0:
        JobLock::give(ctx);
        return 0;
    case 1:
        if (job.isEmpty())
            return -2;
        if (JobLock::take(ctx, job, ctx.in(QStringLiteral("@szOperatorId")).toString(),
                          ctx.in(QStringLiteral("@szOperatorName")).toString(), &holder) == 0)
            return 0;
        break;
    case 2:
        if (!JobLock::current(ctx, &holder))
            return 0;
        break;
    case 3:
        JobLock::beat(ctx);
        return 0;
    default:
        return -2;
    }
    ctx.setOut(QStringLiteral("@ErrMsg"), JobLock::busyMessage(holder));
    return -1;
}

} // namespace

void registerJobProcs(ProcRegistry &registry)
{
    registry.add(QStringLiteral("P_Sys_JobLock"), &jobLock);
}

} // namespace accountdb
