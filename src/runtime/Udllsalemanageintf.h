#pragma once
// Holds the host's ISaleManageIntf for the module.

#include "QuillInterfaces.h"
#include "quillcmrunstd_export.h"

namespace Udllsalemanageintf {
QUILLCMRUNSTD_EXPORT extern ISaleManageIntf *SaleManageIntf;
} // namespace Udllsalemanageintf
