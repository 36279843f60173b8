#ifndef ZTRM_INVENTORY_MODULE_DISCOVERY_H_
#define ZTRM_INVENTORY_MODULE_DISCOVERY_H_

#include <cstdint>

#include "enumeration/run_context.h"

namespace ztrm {

// Loads every registered vendor module library and records its modules.
void DiscoverModules(RunContext& ctx);

}  // namespace ztrm

#endif  // ZTRM_INVENTORY_MODULE_DISCOVERY_H_
