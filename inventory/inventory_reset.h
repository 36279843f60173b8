// Emptying the inventory at the start of a run.
#ifndef ZTRM_INVENTORY_INVENTORY_RESET_H_
#define ZTRM_INVENTORY_INVENTORY_RESET_H_

#include "enumeration/run_context.h"

namespace ztrm {

// Empties the five inventory lists (their nested lists with them), sets every
// VendorCount and both module counters to 0. UseWow6432Node is left alone.
void ResetInventory(RunContext& ctx);

}  // namespace ztrm

#endif  // ZTRM_INVENTORY_INVENTORY_RESET_H_
