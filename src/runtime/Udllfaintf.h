#pragma once
// Holds the host's IFAIntf for the module.

#include "QuillInterfaces.h"
#include "quillcmrunstd_export.h"

namespace Udllfaintf {
QUILLCMRUNSTD_EXPORT extern IFAIntf *FAIntf;
} // namespace Udllfaintf
