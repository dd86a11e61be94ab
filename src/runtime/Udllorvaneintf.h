#pragma once
// Holds the host's IOrvaneIntf for the module.

#include "QuillInterfaces.h"
#include "quillcmrunstd_export.h"

namespace Udllorvaneintf {
QUILLCMRUNSTD_EXPORT extern IOrvaneIntf *Orvane;
} // namespace Udllorvaneintf
