// Slot path resolution: where each slot of a chassis sits on the PCI bus.
//
// A chassis uses its PXI-1 bus segments when it has at least one, else its
// PCI bus segments ("the segment kind in use"). A slot is named in a
// segment's IDSEL values as "Slot<szName>", compared exactly.
//
// The bridge walk asks the resource driver for the bridge above the
// segment's bus, then above that bridge's bus, up to a root bus, and writes
// the bridges' device/function codes nearest-first as ",%.2X" elements into
// szPCIPath and the root bus into szBusNumber. The driver's answers are
// bounded here: a walk that would ask a bus a second time (an answer pointing
// back at a bus already asked, the bus itself included) or whose path would
// grow past 259 characters (about 86 bridges) is given up like a failed
// request: result 2, and the segment keeps its old texts. A truncated path
// would name a slot position that does not exist.
#ifndef ZTRM_OUTPUT_SLOT_PATHS_H_
#define ZTRM_OUTPUT_SLOT_PATHS_H_

#include <cstddef>
#include <cstdint>

#include "chassis/chassis_records.h"
#include "enumeration/run_context.h"

namespace ztrm {

// The text that names `slot` in an IDSEL value: "Slot" + its name.
WString SlotKey(const stSlot& slot);

// What a bridge walk asked and where it stopped, for the decision trail.
struct WalkRecord {
  WString answers;  // "bus 5 gave 4,13,0,0, then bus 4 gave ..." in the order asked
  WString stop;     // why the walk ended
};

// Resolve one segment's szPCIPath and szBusNumber. 0 when done or when there
// is nothing to do (bus 0xFF), 1 when the driver cannot be opened, 2 when a
// request fails or the walk is given up; on 1 and 2 the texts are unchanged.
// The PXI-1 walk also ends at an answer of [0, 0, 0, x].
// `walk`, when given, receives the answers used and where the walk stopped.
int mf_GetPCIBusSegmentPath(RunContext& ctx, stPCIBusSegment& segment, WalkRecord* walk = nullptr);
int mf_GetPXI1BusSegmentPath(RunContext& ctx, stPXI1BusSegment& segment,
                             WalkRecord* walk = nullptr);

// Device number of the slot: the IDSEL name beside the first IDSEL value that
// names the slot, read as a decimal number (as _wtoi reads it), minus 16, cut
// to 16 bits ("31" gives 15, "abc" 65520, "-5" 65515). Unchanged when no
// segment names the slot or `chassis` is not a position of vecPXISys.
void mf_GetSlotDeviceNumber(RunContext& ctx, std::size_t chassis, const stSlot& slot,
                            std::uint16_t& device);

// 0-based position, in the list of the segment kind in use, of the first
// segment naming the slot; unchanged when none does.
void mf_GetSlotBusSegment(RunContext& ctx, std::size_t chassis, const stSlot& slot,
                          std::uint16_t& segment);

// Sets bSlotMapped of every slot of the chassis that some segment of the kind
// in use names; never clears it.
void mf_MarkMappedSlots(RunContext& ctx, std::size_t chassis);

// True when the chassis uses its PXI-1 bus segments.
inline bool UsesPXI1BusSegments(const stPXISys& sys) { return !sys.vecPXI1BusSegment.empty(); }

// Number of segments of the kind in use.
inline std::size_t SegmentsInUseCount(const stPXISys& sys) {
  return UsesPXI1BusSegments(sys) ? sys.vecPXI1BusSegment.size() : sys.vecPCIBusSegment.size();
}

}  // namespace ztrm

#endif  // ZTRM_OUTPUT_SLOT_PATHS_H_
