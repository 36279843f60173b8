#include "output/pxisys_writer.h"

#include "enumeration/decision_trail.h"
#include "output/slot_paths.h"
#include "output/system_file_common.h"

namespace ztrm {
namespace {

const WideText& PCIPathOf(const stPXISys& sys, std::size_t segment) {
  return UsesPXI1BusSegments(sys) ? sys.vecPXI1BusSegment[segment].szPCIPath
                                  : sys.vecPCIBusSegment[segment].szPCIPath;
}
const WideText& BusNumberOf(const stPXISys& sys, std::size_t segment) {
  return UsesPXI1BusSegments(sys) ? sys.vecPXI1BusSegment[segment].szBusNumber
                                  : sys.vecPCIBusSegment[segment].szBusNumber;
}
std::uint16_t RootBusOf(const stPXISys& sys, std::size_t segment) {
  return UsesPXI1BusSegments(sys) ? sys.vecPXI1BusSegment[segment].usRootBusNumber
                                  : sys.vecPCIBusSegment[segment].usRootBusNumber;
}

bool IsMappedSlotName(const stPXISys& sys, const WideText& name) {
  for (const stSlot& slot : sys.vecSlot) {
    if (slot.bSlotMapped == 1 && slot.szName == name) return true;
  }
  return false;
}

void WriteChassisSection(const stPXISys& sys, TextStream& out) {
  out.Print(u"[Chassis%d]\n", sys.usChassisID);
  out.Print(u"Model = \"%s\"\n", sys.Model);
  out.Print(u"Vendor = \"%s\"\n", sys.Vendor);
  if (!sys.vecPCIBusSegment.empty()) {
    out.Print(u"PCIBusSegmentList = \"%s\"\n", sys.PCIBusSegmentList);
  } else if (!sys.vecPXI1BusSegment.empty()) {
    out.Print(u"PCIBusSegmentList = \"%s\"\n", sys.PXI1BusSegmentList);
  }
  WString slots = u"1";
  for (const stSlot& slot : sys.vecSlot) {
    if (slot.bSlotMapped == 1) slots += FormatWide(u",%s", slot.szName);
  }
  out.Print(u"SlotList = \"%s\"\n", slots);
  out.Print(u"TriggerBusList = \"%s\"\n", sys.TriggerBusList);
  out.Print(u"StarTriggerList = \"%s\"\n", sys.StarTriggerList);
  out.Print(u"TriggerBridgeList = \"%s\"\n", sys.TriggerBridgeList);
  out.Print(u"LineMappingSpecList = \"%s\"\n", sys.LineMappingSpecList);
  out.Print(u"TriggerManager = \"%s\\%s\"\n", sys.Vendor, sys.Model);
  out.Print(u"DescriptionFile = \"%s\"\n", sys.szDescriptionFile);
  out.Print(u"\n");
}

// The trail's entry for a segment's walk, and for the segments a failed walk
// leaves without a section.
template <typename Segment>
void TrailWalk(RunContext& ctx, std::size_t position, std::uint16_t chassis_id,
               const std::vector<Segment>& segments, std::size_t s, int result,
               const WalkRecord& walk) {
  const Segment& segment = segments[s];
  const auto a = static_cast<std::uint32_t>(position);
  const WString section = FormatWide(u"[Chassis%dPCIBusSegment%s]", chassis_id, segment.szName);
  TrailEntry& e = ctx.Trail->Add(
      result == 0 ? TrailKind::kSegmentWalk : TrailKind::kSegmentWalkFailed,
      {TrailSubjectKind::kSegment, a, static_cast<std::uint32_t>(s)},
      FormatWide(result == 0 ? u"%s of pxisys.ini, PCISlotPath ending \"%s\", root bus %s"
                             : u"%s of pxisys.ini with an empty path; later segments not written",
                 section, segment.szPCIPath, segment.szBusNumber));
  e.record = static_cast<std::int64_t>(position);
  With(e, "segment", segment.szName.view());
  With(e, "bus", segment.usRootBusNumber);
  With(e, "driver answers (next bus, device, function, marker)",
       walk.answers.empty() ? WString(u"none") : walk.answers);
  With(e, "stopped", walk.stop);
  if (result == 0) return;
  for (std::size_t later = s + 1; later < segments.size(); ++later) {
    TrailEntry& n = ctx.Trail->Add(TrailKind::kSegmentNotWritten,
                                   {TrailSubjectKind::kSegment, a, static_cast<std::uint32_t>(later)},
                                   kNotWritten);
    n.record = static_cast<std::int64_t>(position);
    With(n, "segment", segments[later].szName.view());
    With(n, "failed walk of segment", segment.szName.view());
  }
}

template <typename Segment>
void WriteSegments(RunContext& ctx, std::size_t position, std::uint16_t chassis_id,
                   std::vector<Segment>& segments,
                   int (*resolve)(RunContext&, Segment&, WalkRecord*), TextStream& out) {
  for (std::size_t s = 0; s < segments.size(); ++s) {
    Segment& segment = segments[s];
    out.Print(u"[Chassis%dPCIBusSegment%s]\n", chassis_id, segment.szName);
    out.Print(u"SlotList = \"%s\"\n", segment.SlotList);
    out.Print(u"\n");
    // A driver that fails here fails for the rest of the chassis too.
    if (!ctx.Trail) {
      if (resolve(ctx, segment, nullptr) != 0) break;
      continue;
    }
    WalkRecord walk;
    const int result = resolve(ctx, segment, &walk);
    TrailWalk(ctx, position, chassis_id, segments, s, result, walk);
    if (result != 0) break;
  }
}

// The trail's entry for one slot of the PXI-1 writer.
void TrailSlot(RunContext& ctx, std::size_t position, std::size_t i, bool described,
               std::uint16_t device, std::uint16_t segment) {
  const stPXISys& sys = ctx.vecPXISys[position];
  const stSlot& slot = sys.vecSlot[i];
  const bool written = slot.bSlotMapped == 1 || i == 0;
  const WString section = FormatWide(u"[Chassis%dSlot%s] of pxisys.ini", sys.usChassisID, slot.szName);
  const TrailKind kind = !written ? TrailKind::kSlotUnnamed
                         : described ? TrailKind::kSlotPlaced
                                     : TrailKind::kSlotNoPosition;
  TrailEntry& e = ctx.Trail->Add(
      kind, {TrailSubjectKind::kSlot, static_cast<std::uint32_t>(position), static_cast<std::uint32_t>(i)},
      written ? section : WString(kNotWritten));
  e.record = static_cast<std::int64_t>(position);
  With(e, "slot", slot.szName.view());
  if (kind == TrailKind::kSlotUnnamed) {
    With(e, "IDSEL value sought", SlotKey(slot));
  } else if (kind == TrailKind::kSlotPlaced) {
    With(e, "segment", UsesPXI1BusSegments(sys) ? sys.vecPXI1BusSegment[segment].szName.view()
                                                : sys.vecPCIBusSegment[segment].szName.view());
    With(e, "device", device);
  } else {
    With(e, "why", i == 0 ? WString(u"the first slot of the list") : FormatWide(u"device %u", device));
  }
}

void WriteTriggerBusSections(const stPXISys& sys, TextStream& out) {
  for (const stTriggerBus& bus : sys.vecTriggerBus) {
    out.Print(u"[Chassis%dTriggerBus%s]\n", sys.usChassisID, bus.szName);
    WString slots;
    bool first = true;
    for (const WideText& name : bus.vecSlotName) {
      for (const stSlot& slot : sys.vecSlot) {
        if (slot.szName != name) continue;
        if (sys.bPXIe == 1 && slot.bSlotMapped != 1) continue;
        slots += FormatWide(first ? u"%s" : u",%s", slot.szName);
        first = false;
      }
    }
    out.Print(u"SlotList = \"%s\"\n", slots);
    out.Print(u"\n");
  }
}

void WriteStarTriggerSections(const stPXISys& sys, TextStream& out) {
  int k = 0;
  for (const stStarTrigger& star : sys.vecStarTrigger) {
    out.Print(u"[Chassis%dStarTrigger%d]\n", sys.usChassisID, ++k);
    const bool timing = !star.SystemTimingSlot.empty();
    out.Print(u"ControllerSlot = %s\n", timing ? star.SystemTimingSlot : star.ControllerSlot);
    for (std::size_t i = 0; i < star.vecStarLine.size(); ++i) {
      const WideText slot = i < star.vecStarSlot.size() ? star.vecStarSlot[i] : WideText();
      if (timing && !IsMappedSlotName(sys, slot)) continue;
      out.Print(u"PXI_STAR%s = %s\n", star.vecStarLine[i], slot);
    }
    out.Print(u"\n");
  }
}

void WriteSlotSections(RunContext& ctx, std::size_t position, TextStream& out) {
  const stPXISys& sys = ctx.vecPXISys[position];
  const bool has_segments = SegmentsInUseCount(sys) > 0;
  std::uint16_t device = 0;
  std::uint16_t segment = 0;
  for (std::size_t i = 0; i < sys.vecSlot.size(); ++i) {
    const stSlot& slot = sys.vecSlot[i];
    const bool first = i == 0;
    if (slot.bSlotMapped != 1 && !first) {
      if (ctx.Trail) TrailSlot(ctx, position, i, false, 0, 0);
      continue;
    }
    mf_GetSlotDeviceNumber(ctx, position, slot, device);
    mf_GetSlotBusSegment(ctx, position, slot, segment);
    const bool described = device != 0 && !first && segment < SegmentsInUseCount(sys);
    if (ctx.Trail) TrailSlot(ctx, position, i, described, device, segment);

    out.Print(u"[Chassis%dSlot%s]\n", sys.usChassisID, slot.szName);
    if (has_segments) {
      if (described) {
        out.Print(u"PCISlotPath = \"%x%s\"\n", static_cast<unsigned>(device) * 8,
                  PCIPathOf(sys, segment));
        out.Print(u"PCISlotPathRootBus = %s\n", BusNumberOf(sys, segment));
        out.Print(u"PCIBusNumber = %d\n", RootBusOf(sys, segment));
      } else {
        out.Print(u"PCISlotPath = \"None\"\n");
        out.Print(u"PCISlotPathRootBus = \"None\"\n");
        out.Print(u"PCIBusNumber = \"None\"\n");
      }
    }
    if (described) {
      out.Print(u"PCIDeviceNumber = %d\n", device);
    } else {
      out.Print(u"PCIDeviceNumber = \"None\"\n");
    }
    const struct {
      const char16_t* key;
      const WideText& text;
    } local[] = {{u"LocalBusLeft", slot.LocalBusLeft},
                 {u"LocalBusRight", slot.LocalBusRight},
                 {u"ExternalBackplaneInterface", slot.ExternalBackplaneInterface}};
    for (const auto& line : local) {
      if (line.text.empty() || first) {
        out.Print(u"%s = \"None\"\n", line.key);
      } else {
        out.Print(u"%s = \"%s\"\n", line.key, line.text);
      }
    }
    out.Print(u"\n");
  }
}

void WriteChassis(RunContext& ctx, std::size_t position, TextStream& out) {
  mf_MarkMappedSlots(ctx, position);
  stPXISys& sys = ctx.vecPXISys[position];
  WriteChassisSection(sys, out);
  if (UsesPXI1BusSegments(sys)) {
    WriteSegments(ctx, position, sys.usChassisID, sys.vecPXI1BusSegment, &mf_GetPXI1BusSegmentPath,
                  out);
  } else {
    WriteSegments(ctx, position, sys.usChassisID, sys.vecPCIBusSegment, &mf_GetPCIBusSegmentPath,
                  out);
  }
  WriteTriggerBusSections(sys, out);
  WriteTriggerBridgeSections(sys, out);
  WriteLineMappingSpecSections(sys, out);
  WriteStarTriggerSections(sys, out);
  WriteSlotSections(ctx, position, out);
}

// Which chassis records the two files take, in what order, and which none.
void TrailChassisOrder(RunContext& ctx, const std::vector<std::size_t>& order) {
  std::vector<bool> written(ctx.vecPXISys.size(), false);
  for (std::size_t position : order) {
    written[position] = true;
    const stPXISys& sys = ctx.vecPXISys[position];
    TrailEntry& e = ctx.Trail->Add(
        TrailKind::kChassisWritten,
        {TrailSubjectKind::kChassisRecord, static_cast<std::uint32_t>(position), 0},
        FormatWide(sys.bPXI1 == 1 ? u"[Chassis%d] of pxisys.ini"
                                  : u"[Chassis%d] of pxisys.ini and of pxiesys.ini",
                   sys.usChassisID));
    e.record = static_cast<std::int64_t>(position);
    With(e, "index", sys.dwChassisIndex);
    With(e, "chassis ID", sys.usChassisID);
  }
  for (std::size_t position = 0; position < written.size(); ++position) {
    if (written[position]) continue;
    TrailEntry& e = ctx.Trail->Add(
        TrailKind::kChassisLeftOut,
        {TrailSubjectKind::kChassisRecord, static_cast<std::uint32_t>(position), 0}, kNotWritten);
    e.record = static_cast<std::int64_t>(position);
    With(e, "index", ctx.vecPXISys[position].dwChassisIndex);
    With(e, "chassis found", ctx.vecPXISys.size());
  }
}

}  // namespace

void mf_WritePXISys(RunContext& ctx) {
  if (!ctx.PxiSysStream) return;
  TextStream& out = *ctx.PxiSysStream;
  ctx.locale.UseUserDefault();
  const std::vector<std::size_t> order = ChassisOrder(ctx.vecPXISys, false);
  if (ctx.Trail) TrailChassisOrder(ctx, order);

  out.Print(u"[Version]\n");
  out.Print(u"Major = %d\n", 2);
  out.Print(u"Minor = %d\n", 4);
  out.Print(u"\n");
  WriteResourceManagerSection(ctx, out);
  out.Print(u"[System]\n");
  out.Print(u"ChassisList = \"%s\"\n", ChassisListText(ctx.vecPXISys, order));
  out.Print(u"\n");
  for (std::size_t position : order) WriteChassis(ctx, position, out);
}

}  // namespace ztrm
