#pragma once
// Holds the host's IBuyManageIntf for the module.

#include "QuillInterfaces.h"
#include "quillcmrunstd_export.h"

namespace Udllbuymanageintf {
QUILLCMRUNSTD_EXPORT extern IBuyManageIntf *BuyManageIntf;
} // namespace Udllbuymanageintf
