// Chassis description records: what one description file says about a
// chassis, plus the few fields the mapping stages add.
//
// Plain values: copying a record copies its lists; records refer to one
// another by name text, never by pointer. Every text is a bounded WideText, so
// a value longer than 259 units is cut wherever it comes from.
#ifndef ZTRM_CHASSIS_CHASSIS_RECORDS_H_
#define ZTRM_CHASSIS_CHASSIS_RECORDS_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/wide_text.h"

namespace ztrm {

using TextList = std::vector<WideText>;

// [PCIBusSegment<name>]
struct stPCIBusSegment {
  WideText szName;
  WideText SlotList;
  WideText BridgeList;
  WideText IDSELList;
  TextList vecIDSELName;
  TextList vecIDSELValue;  // parallel to vecIDSELName; empty text for a missing key
  std::uint16_t usRootBusNumber = 0;
  WideText szPCIPath;    // bridge path, filled by slot path resolution
  WideText szBusNumber;  // root bus as decimal text, filled by slot path resolution
};

// [PXI1BusSegment<name>]: a PCI bus segment without a bridge list.
struct stPXI1BusSegment {
  WideText szName;
  WideText SlotList;
  WideText IDSELList;
  TextList vecIDSELName;
  TextList vecIDSELValue;
  std::uint16_t usRootBusNumber = 0;
  WideText szPCIPath;
  WideText szBusNumber;
};

// [TriggerBus<name>]
struct stTriggerBus {
  WideText szName;
  WideText SlotList;
  TextList vecSlotName;
};

// [TriggerBridge<name>]
struct stTriggerBridge {
  WideText szName;
  WideText SourceTriggerBus;
  WideText DestinationTriggerBus;
  WideText LineMappingSpec;
};

// [LineMappingSpec<name>]: PXI_TRIG0..7 that hold a value.
struct stLineMappingSpec {
  WideText szName;
  TextList vecTrigLine;     // "0".."7", ascending
  TextList vecTrigMapping;  // parallel values
};

// [StarSystemTimingSets<name>] (the section prefix carries an "s").
struct stStarSystemTimingSet {
  WideText szName;
  WideText SystemTimingSlot;
  TextList vecSetNumber;  // "0".."15", ascending
  TextList vecSetValue;
};

// [StarTrigger<name>]: PXI_STAR0..16 that hold a value.
struct stStarTrigger {
  WideText szName;
  WideText SystemTimingSlot;
  WideText ControllerSlot;
  TextList vecStarLine;  // "0".."16", ascending
  TextList vecStarSlot;
};

// [Slot<name>]
struct stSlot {
  WideText szName;
  WideText IDSEL;
  WideText LocalBusLeft;
  WideText LocalBusRight;
  WideText ExternalBackplaneInterface;
  std::uint8_t bSlotMapped = 0;  // set by slot path resolution
};

// One chassis tied to its description file.
struct stPXISys {
  WideText Specification;
  WideText Major;
  WideText Minor;
  WideText Vendor;
  WideText Model;
  WideText PCIBusSegmentList;
  WideText SlotList;
  WideText TriggerBusList;
  WideText StarTriggerList;
  WideText TriggerBridgeList;
  WideText LineMappingSpecList;
  WideText StarSystemTimingSetList;
  WideText PXI1BusSegmentList;
  std::vector<stPCIBusSegment> vecPCIBusSegment;
  std::vector<stTriggerBridge> vecTriggerBridge;
  std::vector<stTriggerBus> vecTriggerBus;
  std::vector<stSlot> vecSlot;
  std::vector<stStarSystemTimingSet> vecStarSystemTimingSet;
  std::vector<stStarTrigger> vecStarTrigger;
  std::vector<stPXI1BusSegment> vecPXI1BusSegment;
  std::vector<stLineMappingSpec> vecLineMappingSpec;
  std::uint16_t usChassisID = 0;
  std::uint32_t dwChassisIndex = 0;  // 1-based writing order; 0xFF: not numbered
  WideText szDescriptionFile;        // file name without folder
  std::uint8_t bPXIe = 0;
  std::uint8_t bPXI1 = 0;
};

// One description file found on disk.
struct stChassisDescFile {
  WideText szPath;      // folder, backslash, file name
  WideText szFileName;  // as the listing gives it
  WideText szVendorLine;  // last line containing "Vendor", with its line feed
  WideText szModelLine;   // last line containing "Model", with its line feed
  std::uint32_t dwBusSegmentCount = 0;
};

// The first of the listed description files for each pair of vendor and
// model lines, over the files [0, covered) of the list. The mapping takes in
// the files appended since its last look before it looks again (an appended
// file never changes an answer: the first file wins); whoever empties the
// list or changes a listed file empties this too.
struct ChassisDescFileIndex {
  // Key: the vendor line's length, then both lines (chassis/chassis_mapping.cc).
  std::unordered_map<std::u16string, std::size_t> first;
  std::size_t covered = 0;
};

}  // namespace ztrm

#endif  // ZTRM_CHASSIS_CHASSIS_RECORDS_H_
