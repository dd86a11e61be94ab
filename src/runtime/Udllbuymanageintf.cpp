#include "Udllbuymanageintf.h"

namespace Udllbuymanageintf {
IBuyManageIntf *BuyManageIntf = nullptr;
} // namespace Udllbuymanageintf
