#include "Udllfaintf.h"

namespace Udllfaintf {
IFAIntf *FAIntf = nullptr;
} // namespace Udllfaintf
