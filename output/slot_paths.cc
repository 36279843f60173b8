#include "output/slot_paths.h"

#include <array>

#include "common/decimal.h"
#include "common/wide_format.h"
#include "output/driver_session.h"

namespace ztrm {
namespace {

// Notes why the walk stopped, when a record is kept; passes `result` on.
int Stop(WalkRecord* walk, int result, const char16_t* why, unsigned bus) {
  if (walk) walk->stop = FormatWide(why, bus);
  return result;
}

template <typename Segment>
int WalkSegmentPath(RunContext& ctx, Segment& segment, bool pxi1, WalkRecord* walk) {
  std::uint8_t bus = static_cast<std::uint8_t>(segment.usRootBusNumber & 0xFF);
  if (bus == 0xFF) return Stop(walk, kDriverDone, u"bus %u (0xFF): nothing to ask", bus);
  DriverHandle handle = OpenResourceDriver(ctx);
  if (handle == 0) {
    return Stop(walk, kDriverUnavailable, u"the resource driver cannot be opened (bus %u)", bus);
  }

  WString path;
  std::array<bool, 256> asked{};
  std::uint8_t answer[4] = {0, 0, 0, 0};
  for (;;) {
    if (asked[bus]) {  // the answers go round in a circle
      return Stop(walk, kDriverRequestFailed, u"bus %u asked a second time: the answers go round", bus);
    }
    asked[bus] = true;
    if (!RequestUpstreamBridge(ctx, handle, bus, answer)) {
      return Stop(walk, kDriverRequestFailed, u"the driver has no answer for bus %u", bus);
    }
    if (walk) {
      walk->answers += FormatWide(walk->answers.empty() ? u"bus %u gave %u,%u,%u,%u" : u", then bus %u gave %u,%u,%u,%u",
                                  bus, answer[0], answer[1], answer[2], answer[3]);
    }
    if (answer[3] == rmdrv::kRootBusMarker) {
      Stop(walk, 0, u"root bus %u (marker 255)", answer[0]);
      break;
    }
    if (pxi1 && answer[0] == 0 && answer[1] == 0 && answer[2] == 0) {
      Stop(walk, 0, u"answer 0,0,0 for bus %u: taken as the root bus 0", bus);
      break;
    }
    WString element = FormatWide(u",%.2X", (static_cast<unsigned>(answer[1]) << 3) | answer[2]);
    if (path.size() + element.size() > WideText::kMaxLength) {
      return Stop(walk, kDriverRequestFailed, u"the path would pass 259 characters at bus %u", bus);
    }
    path += element;
    bus = answer[0];
  }
  segment.szPCIPath = path;
  segment.szBusNumber = FormatWide(u"%d", answer[0]);
  return kDriverDone;
}

struct SlotMatch {
  std::size_t segment = 0;
  WideText idsel_name;
};

template <typename Segment>
bool FindIn(const std::vector<Segment>& segments, WStringView key, SlotMatch& match) {
  for (std::size_t s = 0; s < segments.size(); ++s) {
    const Segment& seg = segments[s];
    for (std::size_t i = 0; i < seg.vecIDSELValue.size(); ++i) {
      if (seg.vecIDSELValue[i] != key) continue;
      match.segment = s;
      match.idsel_name = i < seg.vecIDSELName.size() ? seg.vecIDSELName[i] : WideText();
      return true;
    }
  }
  return false;
}

bool FindSlot(const stPXISys& sys, const stSlot& slot, SlotMatch& match) {
  WString key = SlotKey(slot);
  return UsesPXI1BusSegments(sys) ? FindIn(sys.vecPXI1BusSegment, key, match)
                                  : FindIn(sys.vecPCIBusSegment, key, match);
}

}  // namespace

WString SlotKey(const stSlot& slot) { return FormatWide(u"Slot%s", slot.szName); }

int mf_GetPCIBusSegmentPath(RunContext& ctx, stPCIBusSegment& segment, WalkRecord* walk) {
  return WalkSegmentPath(ctx, segment, false, walk);
}

int mf_GetPXI1BusSegmentPath(RunContext& ctx, stPXI1BusSegment& segment, WalkRecord* walk) {
  return WalkSegmentPath(ctx, segment, true, walk);
}

void mf_GetSlotDeviceNumber(RunContext& ctx, std::size_t chassis, const stSlot& slot,
                            std::uint16_t& device) {
  if (chassis >= ctx.vecPXISys.size()) return;
  SlotMatch match;
  if (!FindSlot(ctx.vecPXISys[chassis], slot, match)) return;
  const std::int64_t number = ParseDecimal(match.idsel_name.view());
  device = static_cast<std::uint16_t>(static_cast<std::uint64_t>(number - 16) & 0xFFFF);
}

void mf_GetSlotBusSegment(RunContext& ctx, std::size_t chassis, const stSlot& slot,
                          std::uint16_t& segment) {
  if (chassis >= ctx.vecPXISys.size()) return;
  SlotMatch match;
  if (!FindSlot(ctx.vecPXISys[chassis], slot, match)) return;
  segment = static_cast<std::uint16_t>(match.segment);
}

void mf_MarkMappedSlots(RunContext& ctx, std::size_t chassis) {
  if (chassis >= ctx.vecPXISys.size()) return;
  stPXISys& sys = ctx.vecPXISys[chassis];
  for (stSlot& slot : sys.vecSlot) {
    SlotMatch match;
    if (FindSlot(sys, slot, match)) slot.bSlotMapped = 1;
  }
}

}  // namespace ztrm
