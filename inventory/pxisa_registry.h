#ifndef ZTRM_INVENTORY_PXISA_REGISTRY_H_
#define ZTRM_INVENTORY_PXISA_REGISTRY_H_

#include <cstdint>

#include "enumeration/run_context.h"

namespace ztrm {

// Reads the PXISA service registry into the inventory lists.
void QueryPxisaRegistry(RunContext& ctx);

}  // namespace ztrm

#endif  // ZTRM_INVENTORY_PXISA_REGISTRY_H_
