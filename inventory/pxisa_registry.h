// The PXISA service registry: which vendors and models registered chassis,
// peripheral modules, system modules, trigger managers and resource managers,
// with their vendor module library paths and version words. Read into the
// inventory lists of the run context and traced into the run log.
//
// Key paths are built from the registry names without a length limit (a
// name itself is at most 254 units, as the enumeration buffer allows).
#ifndef ZTRM_INVENTORY_PXISA_REGISTRY_H_
#define ZTRM_INVENTORY_PXISA_REGISTRY_H_

#include <cstdint>

#include "enumeration/run_context.h"
#include "platform/registry.h"

namespace ztrm {

// The service keys, 64-bit view and 32-bit (Wow6432Node) view.
struct PxisaServicePaths {
  const char16_t* chassis;
  const char16_t* peripheral_modules;
  const char16_t* system_modules;
  const char16_t* trigger_managers;
  const char16_t* resource_managers;
};
// The view UseWow6432Node selects; there is no fall-back to the other one.
const PxisaServicePaths& ServicePaths(bool use_wow6432_node);

// Reads the five services in the order chassis, peripheral modules, system
// modules, trigger managers, resource managers.
void QueryPxisaRegistry(RunContext& ctx);

// Fills `list` from the vendor and model keys below `service_path`; false
// only when the service key cannot be opened. A vendor key that cannot be
// opened keeps its entry without models; a model key that cannot be opened,
// or a value that is missing, of another type or does not fit (a "Library"
// of 260 units or more), leaves Library empty or Version 0.
bool QueryServiceKey(RunContext& ctx, PxisaServiceList& list, WStringView service_path);

// Fills ResourceManagers with each vendor's three version words; false only
// when the key cannot be opened.
bool QueryResourceManagers(RunContext& ctx, WStringView service_path);

// Appends one name-only entry per subkey of `key` in enumeration order and
// sets the count beside the list to the list's length. Prints
// "\nNumber of subkeys: %d\n" to standard output first. A key without
// subkeys (or whose count cannot be read) appends nothing and leaves the
// count as it was; a name of 255 units or more is skipped silently.
void EnumerateSubkeys(RunContext& ctx, RegistryKey& key, PxisaServiceList& vendors);
void EnumerateSubkeys(RunContext& ctx, RegistryKey& key, PxisaVendorEntry& models);
void EnumerateSubkeys(RunContext& ctx, RegistryKey& key, ResourceManagerList& vendors);

}  // namespace ztrm

#endif  // ZTRM_INVENTORY_PXISA_REGISTRY_H_
