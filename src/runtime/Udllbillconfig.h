#pragma once
// Holds the host's IBillConfigIntf for the module and forwards its operations.

#include "QuillInterfaces.h"
#include "quillcmrunstd_export.h"

namespace Udllbillconfig {
QUILLCMRUNSTD_EXPORT extern IBillConfigIntf *BillConfigIntf;
QUILLCMRUNSTD_EXPORT QString GetBillName(int vchType);
QUILLCMRUNSTD_EXPORT int GetBillFunctionNo(int vchType);
QUILLCMRUNSTD_EXPORT QString GetBillTableName(int vchType);
} // namespace Udllbillconfig
