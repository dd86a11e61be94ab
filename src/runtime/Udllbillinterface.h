#pragma once
// Holds the host's IBillInterface for the module and forwards its operations.

#include "QuillInterfaces.h"
#include "quillcmrunstd_export.h"

namespace Udllbillinterface {
QUILLCMRUNSTD_EXPORT extern IBillInterface *BillInterface;
QUILLCMRUNSTD_EXPORT bool AllNewBill(int vchType);
QUILLCMRUNSTD_EXPORT bool OpenBill(int vchCode, int vchType);
QUILLCMRUNSTD_EXPORT bool AuditBill(int vchCode, int vchType);
QUILLCMRUNSTD_EXPORT bool AllAuditingBill(const QString &action, int vchCode, int vchType, int billType);
QUILLCMRUNSTD_EXPORT bool AllLoadBill(int vchCode, int vchType, bool edit, int billType);
} // namespace Udllbillinterface
