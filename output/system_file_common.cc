#include "output/system_file_common.h"

#include <algorithm>
#include <utility>

#include "output/timestamp.h"

namespace ztrm {

std::vector<std::size_t> ChassisOrder(const std::vector<stPXISys>& systems, bool skip_pxi1) {
  // (index, position) pairs sort by index, then in store order.
  std::vector<std::pair<std::uint32_t, std::size_t>> numbered;
  const std::size_t n = systems.size();
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint32_t p = systems[i].dwChassisIndex;
    if (p < 1 || p > n) continue;
    if (skip_pxi1 && systems[i].bPXI1 == 1) continue;
    numbered.emplace_back(p, i);
  }
  std::sort(numbered.begin(), numbered.end());
  std::vector<std::size_t> order;
  order.reserve(numbered.size());
  for (const auto& entry : numbered) order.push_back(entry.second);
  return order;
}

WString ChassisListText(const std::vector<stPXISys>& systems,
                        const std::vector<std::size_t>& order) {
  WString text;
  for (std::size_t k = 0; k < order.size(); ++k) {
    text += FormatWide(k == 0 ? u"%d" : u",%d", systems[order[k]].usChassisID);
  }
  return text;
}

void WriteResourceManagerSection(RunContext& ctx, TextStream& out) {
  out.Print(u"[ResourceManager]\n");
  out.Print(u"Name = \"ZELTRO Technology\"\n");
  out.Print(u"Version = \"%s\"\n", ctx.FileVersionText);
  out.Print(u"Timestamp = \"%s\"\n", mf_GetTimeStamp(ctx.platform.clock));
  out.Print(u"\n");
}

void WriteTriggerBridgeSections(const stPXISys& sys, TextStream& out) {
  if (sys.TriggerBridgeList.empty()) return;
  for (const stTriggerBridge& bridge : sys.vecTriggerBridge) {
    out.Print(u"[Chassis%dTriggerBridge%s]\n", sys.usChassisID, bridge.szName);
    out.Print(u"SourceTriggerBus = %s\n", bridge.SourceTriggerBus);
    out.Print(u"DestinationTriggerBus = %s\n", bridge.DestinationTriggerBus);
    out.Print(u"LineMappingSpec = %s\n", bridge.LineMappingSpec);
    out.Print(u"\n");
  }
}

void WriteLineMappingSpecSections(const stPXISys& sys, TextStream& out) {
  if (sys.LineMappingSpecList.empty()) return;
  for (const stLineMappingSpec& spec : sys.vecLineMappingSpec) {
    out.Print(u"[Chassis%dLineMappingSpec%s]\n", sys.usChassisID, spec.szName);
    for (std::size_t i = 0; i < spec.vecTrigLine.size(); ++i) {
      const WideText mapping = i < spec.vecTrigMapping.size() ? spec.vecTrigMapping[i] : WideText();
      out.Print(u"PXI_TRIG%s = \"%s\"\n", spec.vecTrigLine[i], mapping);
    }
    out.Print(u"\n");
  }
}

}  // namespace ztrm
