#pragma once
// Holds the host's IExistsData for the module and forwards its operations.

#include "QuillInterfaces.h"
#include "quillcmrunstd_export.h"

namespace Udllexistintf {
QUILLCMRUNSTD_EXPORT extern IExistsData *ExistsData;
QUILLCMRUNSTD_EXPORT bool ExistsDataIn(const QString &tableName, const QString &keyField,
                                       const QVariant &key);
} // namespace Udllexistintf
