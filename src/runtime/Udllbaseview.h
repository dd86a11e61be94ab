#pragma once
// Holds the host's IBaseViewIntf for the module and forwards its operations.

#include "QuillInterfaces.h"
#include "quillcmrunstd_export.h"

namespace Udllbaseview {
QUILLCMRUNSTD_EXPORT extern IBaseViewIntf *BaseViewIntf;
QUILLCMRUNSTD_EXPORT bool ShowBaseView(const QString &kind, const QString &typeId);
} // namespace Udllbaseview
