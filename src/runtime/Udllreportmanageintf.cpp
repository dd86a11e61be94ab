#include "Udllreportmanageintf.h"

#include <stdexcept>

namespace Udllreportmanageintf {
IReportManageIntf *ReportManageIntf = nullptr;

namespace {
IReportManageIntf &Svc()
{
    if (!ReportManageIntf)
        throw std::logic_error("IReportManageIntf not installed");
    return *ReportManageIntf;
}
} // namespace

bool OpenReport(int reportId, const QString &params, int mode)
{
    return Svc().OpenReport(reportId, params, mode);
}
} // namespace Udllreportmanageintf
