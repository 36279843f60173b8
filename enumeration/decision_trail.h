// The decision trail: what a run took, dropped, cut or numbered, and why, one
// entry per decision, for `ztrm-sim --explain` to tell a user why a module or
// chassis is where it is, or missing.
//
// A run records it only when asked: RunContext::Trail is null in the service,
// so every stage pays one null check and nothing more. The trail only
// listens: it never changes what a stage does, reads or writes, so the run's
// files are the same bytes with it on or off.
//
// An entry names its subject (a system or peripheral module by its Index, a
// reported chassis by its place among the chassis read, a chassis record by
// its place in vecPXISys, a description file, a chassis list entry, a bus
// segment walk, a slot), its kind (which rule decided; TrailKindRule gives
// the rule in words), the values that decided, and where the subject ended
// up: a file, section and key, or "not written".
#ifndef ZTRM_ENUMERATION_DECISION_TRAIL_H_
#define ZTRM_ENUMERATION_DECISION_TRAIL_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/wide_format.h"
#include "common/wide_text.h"

namespace ztrm {

enum class TrailKind : std::uint8_t {
  // Module discovery and bus-range assignment.
  kCountCut,             // a model's count past what the run's bound leaves
  kNoBusRange,           // a controller without usable links: range 0-0
  kMappingIndex,         // a controller numbered by its lowest bus
  kParent,               // a peripheral module attached to a controller
  kNoParent,             // a peripheral module whose bus no range holds
  kNoRootBusExport,      // a chassis library without GetPCIRootBusNumber
  kNoRootBuses,          // a description without bus segment sections
  kRootBusInvalid,       // a root bus answer outside 1..255
  kRootBusNoController,  // a root bus that no controller's range holds
  kChassisId,            // the chassis ID of a PXI Express chassis
  kMappingIndexNoSlot,   // a mapping index outside 1..255: chassis ID 0
  kEepromMismatch,       // no controller's EEPROM names the chassis: 255
  kIndexTaken,           // another chassis holds the mapping index: 255
  // Description files, chassis mapping, the chassis list.
  kFileUnreadable,       // a listed file that cannot be opened
  kDescription,          // a chassis matched to its description file
  kNoDescription,        // a chassis that no description file matches
  kListed,               // a chassis list entry read
  kListUnread,           // a list entry past TotalChassis
  // Writers.
  kChassisWritten,       // a chassis record in chassis order
  kChassisLeftOut,       // a chassis record whose index is 0 or too high
  kSegmentWalk,          // a bus segment's bridge walk that ended
  kSegmentWalkFailed,    // a walk given up or refused by the driver
  kSegmentNotWritten,    // a segment after a failed walk
  kSlotUnnamed,          // a PXI-1 writer slot named by no IDSEL value
  kSlotNoPosition,       // a slot written with "None" (first slot, device 0)
  kSlotPlaced,           // a slot with its PCI position
  kController,           // a controller in its chassis's system slot
  kControllerUnused,     // a controller in no system slot
  kPeripheralPlaced,     // a peripheral module in its slot
  kSlotNumberUnmatched,  // no EEPROM descriptor holds the slot number
  kSlotTaken,            // an earlier module of the controller took the slot
  kPastDescriptors,      // slots past the 31st peripheral slot
  kParentNotWritten,     // a peripheral module whose controller is in no file
  kCount                 // not a kind: the number of kinds
};

enum class TrailSubjectKind : std::uint8_t {
  kModel,             // a = place of the model among those read (1-based), b = stage
  kSystemModule,      // a = Index
  kPeripheralModule,  // a = Index
  kChassisModule,     // a = place among the chassis read (1-based)
  kChassisRecord,     // a = position in vecPXISys
  kDescriptionFile,   // a = position in vecChassisDescFile (unreadable: the list's size then)
  kListEntry,         // a = N of [ChassisN]
  kSegment,           // a = chassis record position, b = segment position
  kSlot,              // a = chassis record position, b = slot position
};

struct TrailSubject {
  TrailSubjectKind kind = TrailSubjectKind::kModel;
  std::uint32_t a = 0;
  std::uint32_t b = 0;
  friend bool operator==(const TrailSubject& x, const TrailSubject& y) {
    return x.kind == y.kind && x.a == y.a && x.b == y.b;
  }
};

struct TrailEntry {
  TrailKind kind = TrailKind::kCount;
  TrailSubject subject;
  // The deciding values, by name, in the order a reader takes them in.
  std::vector<std::pair<std::string, WString>> values;
  // The file and section (or key) the subject ended up in, or "not written";
  // empty when the decision places nothing by itself.
  WString where;
  // A chassis record the entry leads to (position in vecPXISys), or -1.
  std::int64_t record = -1;

  // The value of `name`; empty when there is none.
  WString Value(const std::string& name) const;
};

inline constexpr char16_t kNotWritten[] = u"not written";

// The short name of a kind ("no-parent") and its rule in words.
const char* TrailKindName(TrailKind kind);
const char* TrailKindRule(TrailKind kind);

class DecisionTrail {
 public:
  TrailEntry& Add(TrailKind kind, TrailSubject subject, WString where = WString());
  const std::vector<TrailEntry>& entries() const { return entries_; }

  // Places handed out while the run reads models and chassis.
  std::uint32_t NextModel() { return ++models_; }
  std::uint32_t NextChassis() { return ++chassis_; }

 private:
  std::vector<TrailEntry> entries_;
  std::uint32_t models_ = 0;
  std::uint32_t chassis_ = 0;
};

// A module as the trail names it: vendor, model and "unique name".
WString TrailModuleName(WStringView vendor, WStringView model, WStringView unique_name);

// Builders for the values of an entry.
// The records of a service list (vendor by vendor, model by model), the
// first `shown` of them told by `describe` and joined with ", ", then how many
// more: enough to see what a value was compared with. `none` when there are
// no records.
template <typename ServiceList, typename Describe>
WString DescribeFirstRecords(const ServiceList& list, Describe describe, WStringView none,
                             std::size_t shown = 16) {
  WString text;
  std::size_t count = 0;
  for (const auto& vendor : list.Vendors) {
    for (const auto& model : vendor.Models) {
      for (const auto& record : model.Modules) {
        if (count++ >= shown) continue;
        if (!text.empty()) text += u", ";
        text += describe(record);
      }
    }
  }
  if (count == 0) return WString(none);
  if (count > shown) text += FormatWide(u" and %u more", static_cast<unsigned>(count - shown));
  return text;
}

TrailEntry& With(TrailEntry& entry, const char* name, WStringView text);
TrailEntry& With(TrailEntry& entry, const char* name, std::uint64_t number);

}  // namespace ztrm

#endif  // ZTRM_ENUMERATION_DECISION_TRAIL_H_
