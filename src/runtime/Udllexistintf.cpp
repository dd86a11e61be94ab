#include "Udllexistintf.h"

#include <stdexcept>

namespace Udllexistintf {
IExistsData *ExistsData = nullptr;

namespace {
IExistsData &Svc()
{
    if (!ExistsData)
        throw std::logic_error("IExistsData not installed");
    return *ExistsData;
}
} // namespace

bool ExistsDataIn(const QString &tableName, const QString &keyField, const QVariant &key)
{
    return Svc().ExistsData(tableName, keyField, key);
}
} // namespace Udllexistintf
