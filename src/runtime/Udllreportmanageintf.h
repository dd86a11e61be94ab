#pragma once
// Holds the host's IReportManageIntf for the module and forwards its operations.

#include "QuillInterfaces.h"
#include "quillcmrunstd_export.h"

namespace Udllreportmanageintf {
QUILLCMRUNSTD_EXPORT extern IReportManageIntf *ReportManageIntf;
QUILLCMRUNSTD_EXPORT bool OpenReport(int reportId, const QString &params, int mode);
} // namespace Udllreportmanageintf
