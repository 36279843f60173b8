// Tying the inventory together by PCI bus ranges: system modules are numbered
// in bus order (the mapping index that keys chassis IDs), each peripheral
// module is attached to the system module whose range holds its bus, and each
// chassis root bus leads to the system module behind it, which gives the
// chassis its chassis ID, mapping index, root bus number and trigger manager.
//
// The bus owner and chassis text searches answer from ctx.SystemModuleLookup,
// which IndexSystemModules makes; their answers are those of a walk through
// SystemModules vendor by vendor, model by model, record by record.
#ifndef ZTRM_INVENTORY_BUS_ASSIGNMENT_H_
#define ZTRM_INVENTORY_BUS_ASSIGNMENT_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "enumeration/run_context.h"
#include "inventory/inventory_records.h"

namespace ztrm {

// The dwChassisIndex of a chassis whose match is unusable.
inline constexpr std::uint32_t kInvalidMappingIndex = 255;

// Sets MappingIndex of every system module record by two passes per record:
// the selection pass picks the unassigned range with the lowest MinBus (the
// last of equal minima, and a (0, 0) range starts the choice afresh), the
// assignment pass numbers the first unassigned record with that MinBus.
// Without (0, 0) ranges that numbers the records 1, 2, 3 ... by MinBus, ties
// in list order. A record that no pass numbers keeps 0.
void NumberSystemModules(RunContext& ctx);

// Makes ctx.SystemModuleLookup from the system module records as they are.
void IndexSystemModules(RunContext& ctx);

// The system module whose range holds `bus`; nullopt when none does. A walk
// keeps the first record whose range holds the bus and takes each later one
// whose range lies within the kept one's (so the innermost, the last of
// equal ranges; a kept (0, 0) range gives way to any later holder).
std::optional<ModulePosition> FindBusOwner(const RunContext& ctx, std::uint32_t bus);

// The Index of FindBusOwner's module, 0 when none.
std::uint32_t FindParentSystemModule(const RunContext& ctx, std::uint32_t bus);

// For the system module behind root bus `bus`: sets `mapping_index` to its
// MappingIndex m, gives the last stPXISys the chassis ID of m (choosing one
// when m has none yet) and the module that ID as its ChassisID, and logs the
// match. Changes nothing when no module spans the bus. A mapping index
// outside 1..255 has no chassis ID slot: the chassis and the module get 0.
void FindChassisSystemModule(RunContext& ctx, std::uint32_t bus, std::uint32_t& mapping_index);

// The key of a vendor and model in SystemModuleIndex::chassis_names: the
// vendor's length, then both texts, so no other pair gives the same key.
std::u16string ChassisNameKey(WStringView vendor, WStringView model);

// True when some system module's EEPROM chassis vendor and model equal the
// two texts exactly; always false while SystemModules.VendorCount is 0.
bool MatchChassisVendorModel(const RunContext& ctx, WStringView vendor, WStringView model);

// True when at most one stPXISys carries `mapping_index` as dwChassisIndex.
bool IsMappingIndexUnique(const RunContext& ctx, std::uint32_t mapping_index);

// The Library of the first trigger manager model whose vendor name contains
// `vendor` and whose model name contains `model` (case-sensitive; an empty
// text is contained in any). Otherwise logs the failure and gives "N/A".
WideText FindTriggerManagerPath(RunContext& ctx, WStringView vendor, WStringView model);

// The per-root-bus step of a chassis: `record` is the chassis record being
// built, `root` its root index from 1, `bus` a bus number 1..255, and the
// last stPXISys the chassis's description. `vendor`/`model` are the chassis's
// registry names.
void MapChassisRootBus(RunContext& ctx, ModuleRecord& record, std::uint32_t root,
                       std::uint32_t bus, WStringView vendor, WStringView model);

}  // namespace ztrm

#endif  // ZTRM_INVENTORY_BUS_ASSIGNMENT_H_
