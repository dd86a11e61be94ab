#include "Udllcaintf.h"

namespace Udllcaintf {
ICAIntf *CAIntf = nullptr;
} // namespace Udllcaintf
