#include "Udllbaseview.h"

#include <stdexcept>

namespace Udllbaseview {
IBaseViewIntf *BaseViewIntf = nullptr;

namespace {
IBaseViewIntf &Svc()
{
    if (!BaseViewIntf)
        throw std::logic_error("IBaseViewIntf not installed");
    return *BaseViewIntf;
}
} // namespace

bool ShowBaseView(const QString &kind, const QString &typeId)
{
    return Svc().ShowBaseView(kind, typeId);
}
} // namespace Udllbaseview
