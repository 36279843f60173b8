#include "inventory/inventory_reset.h"

namespace ztrm {

void ResetInventory(RunContext& ctx) {
  ctx.ResourceManagers = ResourceManagerList();
  ctx.ChassisModules = PxisaServiceList();
  ctx.PeripheralModules = PxisaServiceList();
  ctx.SystemModules = PxisaServiceList();
  ctx.SystemModuleLookup = SystemModuleIndex();
  ctx.TriggerManagers = PxisaServiceList();
  ctx.SystemModuleCounter = 0;
  ctx.PeripheralModuleCounter = 0;
}

}  // namespace ztrm
