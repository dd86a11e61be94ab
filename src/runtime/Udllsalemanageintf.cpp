#include "Udllsalemanageintf.h"

namespace Udllsalemanageintf {
ISaleManageIntf *SaleManageIntf = nullptr;
} // namespace Udllsalemanageintf
