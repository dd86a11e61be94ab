#pragma once
// The host's server object: the transaction calls of the late-bound interface on the session's own
// connection (so the module's SQL and procedures between begin and commit are part of it), the reload
// of what the host caches after a rebuild and the record of a script that ran.

#include "QuillInterfaces.h"

class HostDatabaseService;
class HostSystemService;

class HostServerObject final : public ICoQuillServerDisp
{
public:
    HostServerObject(HostDatabaseService &db, HostSystemService &system) : FDb(db), FSystem(system) {}

    bool BeginWork() override;
    bool CommitWork() override;
    bool RollBackWork() override;
    bool AfterRebuild() override;
    // Writes the script's file name to the event log, in the open transaction when there is one.
    bool AfterScript(const QString &fileName) override;

private:
    HostDatabaseService &FDb;
    HostSystemService &FSystem;
};
