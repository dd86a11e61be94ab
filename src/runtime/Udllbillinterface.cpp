#include "Udllbillinterface.h"

#include <stdexcept>

namespace Udllbillinterface {
IBillInterface *BillInterface = nullptr;

namespace {
IBillInterface &Svc()
{
    if (!BillInterface)
        throw std::logic_error("IBillInterface not installed");
    return *BillInterface;
}
} // namespace

bool AllNewBill(int vchType)
{
    return Svc().AllNewBill(vchType);
}
bool OpenBill(int vchCode, int vchType)
{
    return Svc().OpenBill(vchCode, vchType);
}
bool AuditBill(int vchCode, int vchType)
{
    return Svc().AuditBill(vchCode, vchType);
}
// The host audits and opens bills of every kind the same way: the kind and the edit flag are the
// callers' record of what they asked for.
bool AllAuditingBill(const QString &action, int vchCode, int vchType, int billType)
{
    Q_UNUSED(billType);
    return action == u"D" && Svc().AuditBill(vchCode, vchType);
}
bool AllLoadBill(int vchCode, int vchType, bool edit, int billType)
{
    Q_UNUSED(edit);
    Q_UNUSED(billType);
    return Svc().OpenBill(vchCode, vchType);
}
} // namespace Udllbillinterface
