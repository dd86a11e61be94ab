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
bool AllAuditingBill(const QString &action, int vchCode, int vchType, int billType)
{
    return Svc().AllAuditingBill(action, vchCode, vchType, billType);
}
bool AllLoadBill(int vchCode, int vchType, bool edit, int billType)
{
    return Svc().AllLoadBill(vchCode, vchType, edit, billType);
}
} // namespace Udllbillinterface
