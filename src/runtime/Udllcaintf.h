#pragma once
// Holds the host's ICAIntf for the module.

#include "QuillInterfaces.h"
#include "quillcmrunstd_export.h"

namespace Udllcaintf {
QUILLCMRUNSTD_EXPORT extern ICAIntf *CAIntf;
} // namespace Udllcaintf
