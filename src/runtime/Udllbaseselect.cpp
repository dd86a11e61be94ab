#include "Udllbaseselect.h"

#include <stdexcept>

namespace Udllbaseselect {
IBaseSelect *BaseSelect = nullptr;

namespace {
IBaseSelect &Svc()
{
    if (!BaseSelect)
        throw std::logic_error("IBaseSelect not installed");
    return *BaseSelect;
}
} // namespace

bool SelectBaseData(const QString &kind, const QString &searchText, bool multiSelect,
                    TBaseRecordList &selected)
{
    return Svc().SelectBaseData(kind, searchText, multiSelect, selected);
}
bool SelectAtype(const QString &startCode, TBaseRecord &selected)
{
    return Svc().SelectAtype(startCode, selected);
}
} // namespace Udllbaseselect
