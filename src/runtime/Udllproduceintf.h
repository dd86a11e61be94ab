#pragma once
// Holds the host's IProduceIntf for the module.

#include "QuillInterfaces.h"
#include "quillcmrunstd_export.h"

namespace Udllproduceintf {
QUILLCMRUNSTD_EXPORT extern IProduceIntf *ProduceIntf;
} // namespace Udllproduceintf
