// Module discovery: every model registered under "System Modules",
// "Peripheral Modules" and "Chassis" has its vendor module library loaded and
// asked which modules of that model are present; each one becomes a
// ModuleRecord of the model's Modules list. Between the stages the bus-range
// assignment numbers the system modules, attaches each peripheral module to
// its parent and maps each chassis root bus. Everything is traced into the
// run log.
//
// Bounds against libraries that answer nonsense: a run reads at most
// kMaxModulesPerRun system modules, as many peripheral modules and
// kMaxChassisPerRun chassis (vendor_exports.h says why no real system comes
// near them); a model whose count goes past what is left is logged, its
// count stored as reported in ModuleCount, and read that far; names are read up to their first zero
// byte within the 260-byte buffer, which always has a zero byte after it; a
// chassis EEPROM text ends at the image's end at the latest.
#ifndef ZTRM_INVENTORY_MODULE_DISCOVERY_H_
#define ZTRM_INVENTORY_MODULE_DISCOVERY_H_

#include <cstdint>

#include "enumeration/run_context.h"

namespace ztrm {

// The three stages in the order system modules, peripheral modules, chassis.
void DiscoverModules(RunContext& ctx);

}  // namespace ztrm

#endif  // ZTRM_INVENTORY_MODULE_DISCOVERY_H_
