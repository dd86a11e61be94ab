#pragma once
// Holds the host's IBaseSelect for the module and forwards its operations.

#include "QuillInterfaces.h"
#include "quillcmrunstd_export.h"

namespace Udllbaseselect {
QUILLCMRUNSTD_EXPORT extern IBaseSelect *BaseSelect;
QUILLCMRUNSTD_EXPORT bool SelectBaseData(const QString &kind, const QString &searchText, bool multiSelect,
                                         TBaseRecordList &selected);
QUILLCMRUNSTD_EXPORT bool SelectAtype(const QString &startCode, TBaseRecord &selected);
} // namespace Udllbaseselect
