#include "Udllbillconfig.h"

#include <stdexcept>

namespace Udllbillconfig {
IBillConfigIntf *BillConfigIntf = nullptr;

namespace {
IBillConfigIntf &Svc()
{
    if (!BillConfigIntf)
        throw std::logic_error("IBillConfigIntf not installed");
    return *BillConfigIntf;
}
} // namespace

QString GetBillName(int vchType)
{
    return Svc().GetBillName(vchType);
}
int GetBillFunctionNo(int vchType)
{
    return Svc().GetBillFunctionNo(vchType);
}
QString GetBillTableName(int vchType)
{
    return Svc().GetBillTableName(vchType);
}
} // namespace Udllbillconfig
