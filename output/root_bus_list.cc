#include "output/root_bus_list.h"

namespace ztrm {

// Not built yet: the root bus list. Reports the driver as unavailable.
int mf_WriteRootBusList(RunContext&) { return 1; }

}  // namespace ztrm
