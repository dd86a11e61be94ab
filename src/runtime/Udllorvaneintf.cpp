#include "Udllorvaneintf.h"

namespace Udllorvaneintf {
IOrvaneIntf *Orvane = nullptr;
} // namespace Udllorvaneintf
