// The list of procedure areas. A new area (costing, closing, ...) adds procs/ProcsXxx.cpp with
// `void registerXxxProcs(ProcRegistry &)`, declares it in Procedures.h, adds one line below and the
// file to src/accountdb/CMakeLists.txt.

#include "Procedures.h"

namespace accountdb {

void registerAllProcs(ProcRegistry &registry)
{
    registerSysProcs(registry);
    registerCostingProcs(registry);
    registerClosingProcs(registry);
    registerNumberingProcs(registry);
    registerJobProcs(registry);
    registerEventLogProcs(registry);
    registerWarnProcs(registry);
    registerUsersProcs(registry);
    registerAuditProcs(registry);
    registerSetupProcs(registry);
    registerRightsProcs(registry);
    registerLayoutsProcs(registry);
    registerLayoutsBasicProcs(registry);
    registerBillIoProcs(registry);
    registerOptionsProcs(registry);
    registerBaseDataProcs(registry);
    registerBaseRightsProcs(registry);
    registerAuditCenterProcs(registry);
    registerBillEntryProcs(registry);
}

} // namespace accountdb
