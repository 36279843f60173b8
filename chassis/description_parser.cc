#include "chassis/description_parser.h"

#include <utility>

#include "chassis/name_list.h"
#include "common/decimal.h"

namespace ztrm {
namespace {

constexpr std::size_t kValueBufferUnits = WideText::kCapacity;

// The numbered keys have fixed ranges; numbers beyond them are never asked for.
constexpr int kTrigLines = 8;             // PXI_TRIG0..7
constexpr int kStarSystemTimingSets = 16;  // StarSystemTimingSet0..15
constexpr int kStarLines = 17;            // PXI_STAR0..16

class DescriptionReader {
 public:
  DescriptionReader(ProfileFiles& profiles, WStringView path) : profiles_(profiles), path_(path) {}

  WideText Read(WStringView section, WStringView key) {
    return WideText(profiles_.ReadString(path_, section, key, u"", kValueBufferUnits));
  }

  // The keys key_prefix + 0 .. key_prefix + (count - 1) that hold a value:
  // their numbers into `numbers`, their values into `values`.
  void ReadNumbered(WStringView section, WStringView key_prefix, int count, TextList& numbers,
                    TextList& values) {
    for (int n = 0; n < count; ++n) {
      WString number = DecimalText(n);
      WideText value = Read(section, WString(key_prefix) + number);
      if (value.empty()) continue;
      numbers.emplace_back(number);
      values.push_back(std::move(value));
    }
  }

  // IDSELList of a bus segment section and the "IDSEL" + name key of each of
  // its names, missing keys included, so that the two lists stay parallel.
  void ReadIdsels(WStringView section, const WideText& idsel_list, TextList& names,
                  TextList& values) {
    for (WideText& name : SplitNameList(idsel_list.view())) {
      values.push_back(Read(section, WString(u"IDSEL") + name.str()));
      names.push_back(std::move(name));
    }
  }

 private:
  ProfileFiles& profiles_;
  WString path_;
};

WString Section(WStringView prefix, const WideText& name) { return WString(prefix) + name.str(); }

}  // namespace

void ParseChassisDescription(RunContext& ctx, WStringView path) {
  DescriptionReader in(ctx.platform.profiles, path);
  stPXISys sys;

  sys.Specification = in.Read(u"Version", u"Specification");
  sys.Major = in.Read(u"Version", u"Major");
  sys.Minor = in.Read(u"Version", u"Minor");
  sys.Model = in.Read(u"Chassis", u"Model");
  sys.Vendor = in.Read(u"Chassis", u"Vendor");
  sys.PCIBusSegmentList = in.Read(u"Chassis", u"PCIBusSegmentList");
  sys.TriggerBusList = in.Read(u"Chassis", u"TriggerBusList");
  sys.TriggerBridgeList = in.Read(u"Chassis", u"TriggerBridgeList");
  sys.LineMappingSpecList = in.Read(u"Chassis", u"LineMappingSpecList");
  sys.StarSystemTimingSetList = in.Read(u"Chassis", u"StarSystemTimingSetList");
  sys.StarTriggerList = in.Read(u"Chassis", u"StarTriggerList");
  sys.SlotList = in.Read(u"Chassis", u"SlotList");
  sys.PXI1BusSegmentList = in.Read(u"Chassis", u"PXI1BusSegmentList");

  // Slot names now; their sections are read after the bus segments.
  for (WideText& name : SplitNameList(sys.SlotList.view())) {
    stSlot slot;
    slot.szName = std::move(name);
    sys.vecSlot.push_back(std::move(slot));
  }

  for (WideText& name : SplitNameList(sys.PCIBusSegmentList.view())) {
    stPCIBusSegment segment;
    segment.szName = std::move(name);
    sys.vecPCIBusSegment.push_back(std::move(segment));
  }
  for (stPCIBusSegment& segment : sys.vecPCIBusSegment) {
    WString section = Section(u"PCIBusSegment", segment.szName);
    segment.SlotList = in.Read(section, u"SlotList");
    segment.BridgeList = in.Read(section, u"BridgeList");
    segment.IDSELList = in.Read(section, u"IDSELList");
    in.ReadIdsels(section, segment.IDSELList, segment.vecIDSELName, segment.vecIDSELValue);
  }

  for (WideText& name : SplitNameList(sys.TriggerBusList.view())) {
    stTriggerBus bus;
    bus.szName = std::move(name);
    bus.SlotList = in.Read(Section(u"TriggerBus", bus.szName), u"SlotList");
    sys.vecTriggerBus.push_back(std::move(bus));
  }
  for (stTriggerBus& bus : sys.vecTriggerBus) bus.vecSlotName = SplitNameList(bus.SlotList.view());

  for (WideText& name : SplitNameList(sys.StarSystemTimingSetList.view())) {
    stStarSystemTimingSet set;
    set.szName = std::move(name);
    sys.vecStarSystemTimingSet.push_back(std::move(set));
  }
  for (stStarSystemTimingSet& set : sys.vecStarSystemTimingSet) {
    // The section prefix has an "s" that the list key lacks.
    WString section = Section(u"StarSystemTimingSets", set.szName);
    set.SystemTimingSlot = in.Read(section, u"SystemTimingSlot");
    in.ReadNumbered(section, u"StarSystemTimingSet", kStarSystemTimingSets, set.vecSetNumber,
                    set.vecSetValue);
  }

  for (WideText& name : SplitNameList(sys.StarTriggerList.view())) {
    stStarTrigger star;
    star.szName = std::move(name);
    sys.vecStarTrigger.push_back(std::move(star));
  }
  for (stStarTrigger& star : sys.vecStarTrigger) {
    WString section = Section(u"StarTrigger", star.szName);
    star.SystemTimingSlot = in.Read(section, u"SystemTimingSlot");
    star.ControllerSlot = in.Read(section, u"ControllerSlot");
    in.ReadNumbered(section, u"PXI_STAR", kStarLines, star.vecStarLine, star.vecStarSlot);
  }

  if (!sys.PXI1BusSegmentList.empty()) {
    for (WideText& name : SplitNameList(sys.PXI1BusSegmentList.view())) {
      stPXI1BusSegment segment;
      segment.szName = std::move(name);
      sys.vecPXI1BusSegment.push_back(std::move(segment));
    }
    for (stPXI1BusSegment& segment : sys.vecPXI1BusSegment) {
      WString section = Section(u"PXI1BusSegment", segment.szName);
      segment.SlotList = in.Read(section, u"SlotList");
      segment.IDSELList = in.Read(section, u"IDSELList");
      in.ReadIdsels(section, segment.IDSELList, segment.vecIDSELName, segment.vecIDSELValue);
    }
  }

  for (stSlot& slot : sys.vecSlot) {
    WString section = Section(u"Slot", slot.szName);
    slot.IDSEL = in.Read(section, u"IDSEL");
    slot.LocalBusLeft = in.Read(section, u"LocalBusLeft");
    slot.LocalBusRight = in.Read(section, u"LocalBusRight");
    slot.ExternalBackplaneInterface = in.Read(section, u"ExternalBackplaneInterface");
  }

  if (!sys.TriggerBridgeList.empty()) {
    for (WideText& name : SplitNameList(sys.TriggerBridgeList.view())) {
      stTriggerBridge bridge;
      bridge.szName = std::move(name);
      sys.vecTriggerBridge.push_back(std::move(bridge));
    }
    for (stTriggerBridge& bridge : sys.vecTriggerBridge) {
      WString section = Section(u"TriggerBridge", bridge.szName);
      bridge.SourceTriggerBus = in.Read(section, u"SourceTriggerBus");
      bridge.DestinationTriggerBus = in.Read(section, u"DestinationTriggerBus");
      bridge.LineMappingSpec = in.Read(section, u"LineMappingSpec");
    }
  }

  if (!sys.LineMappingSpecList.empty()) {
    for (WideText& name : SplitNameList(sys.LineMappingSpecList.view())) {
      stLineMappingSpec mapping;
      mapping.szName = std::move(name);
      sys.vecLineMappingSpec.push_back(std::move(mapping));
    }
    for (stLineMappingSpec& mapping : sys.vecLineMappingSpec) {
      in.ReadNumbered(Section(u"LineMappingSpec", mapping.szName), u"PXI_TRIG", kTrigLines,
                      mapping.vecTrigLine, mapping.vecTrigMapping);
    }
  }

  ctx.vecPXISys.push_back(std::move(sys));
}

}  // namespace ztrm
