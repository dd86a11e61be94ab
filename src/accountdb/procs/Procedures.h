#pragma once
// Registration of every stored procedure of the account set, area by area.

#include "ProcRegistry.h"

namespace accountdb {

void registerAllProcs(ProcRegistry &registry);

// One per procedure file.
void registerSysProcs(ProcRegistry &registry);          // ProcsSys.cpp
void registerCostingProcs(ProcRegistry &registry);      // ProcsCosting.cpp (+ ProcsCostMonth, ProcsPosting)
void registerClosingProcs(ProcRegistry &registry);      // ProcsClosing.cpp
void registerNumberingProcs(ProcRegistry &registry);    // ProcsNumbering.cpp
void registerJobProcs(ProcRegistry &registry);          // ProcsJobs.cpp
void registerEventLogProcs(ProcRegistry &registry);     // ProcsEventLog.cpp
void registerWarnProcs(ProcRegistry &registry);         // ProcsWarn.cpp
void registerWarnListProcs(ProcRegistry &registry);     // ProcsWarnList.cpp (called by registerWarnProcs)
void registerUsersProcs(ProcRegistry &registry);        // ProcsUsers.cpp
void registerAuditProcs(ProcRegistry &registry);        // ProcsAudit.cpp (+ ProcsAuditEngine.cpp)
void registerAuditEngineProcs(ProcRegistry &registry);  // ProcsAuditEngine.cpp
void registerSetupProcs(ProcRegistry &registry);        // ProcsSetup.cpp
void registerRightsProcs(ProcRegistry &registry);       // ProcsRights.cpp
void registerLayoutsProcs(ProcRegistry &registry);      // ProcsLayouts.cpp
void registerLayoutsBasicProcs(ProcRegistry &registry); // ProcsLayoutsBasic.cpp
void registerBillIoProcs(ProcRegistry &registry);       // ProcsBillIo.cpp
void registerBillIoImportProcs(
    ProcRegistry &registry);                       // ProcsBillIoImport.cpp (called by registerBillIoProcs)
void registerOptionsProcs(ProcRegistry &registry); // ProcsOptions.cpp
void registerOptionsRebuildProcs(ProcRegistry &registry); // ProcsOptionsRebuild.cpp
void registerBaseDataProcs(ProcRegistry &registry);       // ProcsBaseData.cpp (+ ProcsBaseDataCsv.cpp)
void registerBaseRightsProcs(ProcRegistry &registry);     // ProcsBaseRights.cpp
void registerAuditCenterProcs(ProcRegistry &registry);    // ProcsAuditCenter.cpp
void registerBillEntryProcs(ProcRegistry &registry);      // ProcsBillEntry.cpp

} // namespace accountdb
