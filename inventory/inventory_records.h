// The inventory of one enumeration run: what the PXISA service registry
// registers and what the vendor module libraries report.
//
// Plain values: appending copies a record with its nested lists, and element
// order is the order of appending, which every later search walks (vendor by
// vendor, model by model, record by record). Text fields are bounded
// WideTexts (260 units, terminator included); numbers are unsigned 32-bit.
// New records start with empty texts, empty lists and zero numbers.
//
// Who fills what: the registry enumeration fills every service, vendor and
// model field except Modules and ModuleCount, and the resource managers;
// module discovery fills ModuleCount and the Modules lists; bus-range
// assignment completes MappingIndex, ChassisID (system modules), Index and
// TriggerManagerPath (chassis).
#ifndef ZTRM_INVENTORY_INVENTORY_RECORDS_H_
#define ZTRM_INVENTORY_INVENTORY_RECORDS_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "common/wide_text.h"

namespace ztrm {

inline constexpr std::size_t kEepromSize = 256;

// One root bus of a chassis as its vendor library reported it.
struct RootBusEntry {
  std::uint32_t RootIndex = 0;  // 0-based position of the root bus
  std::uint32_t BusNumber = 0;  // as reported, whatever its value
};

// One system module, peripheral module or chassis. One layout serves the
// three kinds; each fills only its own fields (see the comments) and leaves
// the others zero.
struct ModuleRecord {
  WideText AddressInfo;    // system, peripheral: from GetName
  WideText UniqueName;     // system, peripheral: from GetName
  WideText ChassisVendor;  // system: EEPROM bytes from 0x05 up to the first zero
  WideText ChassisModel;   // system: EEPROM bytes from 0x41 up to the first zero
  // System: the chassis mapping index (1-based, by bus range). Peripheral:
  // Index of the parent system module, 0 when none.
  std::uint32_t MappingIndex = 0;
  // System, peripheral: running number of its kind, 1-based. Chassis: the
  // MappingIndex of the system module behind its last mapped root bus.
  std::uint32_t Index = 0;
  std::array<std::uint8_t, kEepromSize> Eeprom{};  // system: the whole image
  std::uint32_t MaxLink1Width2Link = 0;            // system: GetInformation item 0
  std::uint32_t MaxLink2Width2Link = 0;            // item 1
  std::uint32_t MaxLink1Width4Link = 0;            // item 2
  std::uint32_t MaxLink2Width4Link = 0;            // item 3
  std::uint32_t MaxLink3Width4Link = 0;            // item 4
  std::uint32_t MaxLink4Width4Link = 0;            // item 5
  std::uint32_t NumberofValidLinks = 0;            // item 100
  std::array<std::uint32_t, 4> PCIBusLink{};       // items 101..104, link 1..4
  std::array<std::uint32_t, 4> SubPCIBusLink{};    // items 105..108, link 1..4
  std::uint32_t ChassisID = 0;  // system: ID of the chassis it controls, 0 until set
  std::uint32_t MaxBus = 0;     // system: highest bus behind its links
  std::uint32_t MinBus = 0;     // system: lowest bus behind its links
  std::uint32_t MaxLinkWidth = 0;        // peripheral: GetInformation item 0
  std::uint32_t PCIBusNumber = 0;        // peripheral: item 100
  std::uint32_t NegotiateLinkWidth = 0;  // peripheral: item 101
  std::uint32_t SlotNumber = 0;          // peripheral: item 102 (geographic address)
  std::uint32_t RootBusCount = 0;  // chassis: bus segments of its description, 0 when none
  std::vector<RootBusEntry> RootBuses;  // chassis: one per root bus asked for
  WideText TriggerManagerPath;          // chassis: library path or "N/A"
};

// One model subkey.
struct PxisaModelEntry {
  std::vector<ModuleRecord> Modules;  // empty for trigger managers
  WideText Library;                   // the "Library" value
  WideText ModelName;                 // the subkey's name
  std::uint32_t Version = 0;          // the "Version" value
  std::uint32_t ModuleCount = 0;      // what GetCount reported
};

// One vendor subkey.
struct PxisaVendorEntry {
  std::vector<PxisaModelEntry> Models;
  WideText VendorName;
  std::uint32_t ModelCount = 0;
};

// One PXISA service category.
struct PxisaServiceList {
  std::vector<PxisaVendorEntry> Vendors;
  std::uint32_t VendorCount = 0;  // 0 when the key has no subkeys or cannot be opened
};

// One vendor subkey under the Resource Managers key.
struct ResourceManagerEntry {
  std::uint32_t Pxi2Version = 0;  // "PXI-2Version"
  std::uint32_t Pxi4Version = 0;  // "PXI-4Version"
  std::uint32_t Pxi6Version = 0;  // "PXI-6Version"
  WideText VendorName;
};

struct ResourceManagerList {
  std::vector<ResourceManagerEntry> Vendors;
  std::uint32_t VendorCount = 0;
};

// Where a record sits in a PxisaServiceList: vendor, model, record.
struct ModulePosition {
  std::size_t vendor = 0;
  std::size_t model = 0;
  std::size_t record = 0;
};

// What bus-range assignment looks up in the system module records, made by
// IndexSystemModules (inventory/bus_assignment.h) once the system stage has
// appended the last of them. The bus ranges and chassis texts it covers never
// change after that, and no record is appended or moved until the inventory
// is emptied, which empties this too.
struct SystemModuleIndex {
  // The buses from span_starts[i] up to the next start (the last span: up to
  // 0xFFFFFFFF) lie in the same ranges, so they have the same owner,
  // span_owners[i]. No spans before the index is made.
  std::vector<std::uint32_t> span_starts;
  std::vector<std::optional<ModulePosition>> span_owners;
  // Every record's EEPROM chassis vendor and model, as ChassisNameKey makes them.
  std::unordered_set<std::u16string> chassis_names;
};

}  // namespace ztrm

#endif  // ZTRM_INVENTORY_INVENTORY_RECORDS_H_
