#include "HostServerObject.h"

#include "EventLog.h"
#include "HostDatabaseService.h"
#include "HostSystemService.h"

bool HostServerObject::BeginWork()
{
    FDb.BeginTrans();
    return true;
}

bool HostServerObject::CommitWork()
{
    FDb.CommitTrans();
    return true;
}

bool HostServerObject::RollBackWork()
{
    FDb.RollBackTrans();
    return true;
}

bool HostServerObject::AfterRebuild()
{
    FSystem.ReloadSysCon();
    return true;
}

bool HostServerObject::AfterScript(const QString &fileName)
{
    accountdb::writeEvent(FDb.Database(), FSystem.GetCurrentOperatorId(),
                          accountdb::event::Upgrade.arg(fileName));
    return true;
}
