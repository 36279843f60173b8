#include "inventory/module_discovery.h"

namespace ztrm {

// Not built yet: module discovery through the vendor module libraries.
void DiscoverModules(RunContext&) {}

}  // namespace ztrm
