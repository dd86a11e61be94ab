#include "Udllproduceintf.h"

namespace Udllproduceintf {
IProduceIntf *ProduceIntf = nullptr;
} // namespace Udllproduceintf
