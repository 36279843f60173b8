#include "tools/check_report.h"

#include <algorithm>

#include "output/slot_paths.h"
#include "tools/check_text.h"

namespace ztrm {
namespace {

std::size_t SectionLine(const DescriptionCheck& c, WStringView prefix, const WideText& name) {
  return c.SectionLine(WString(prefix) + name.str());
}

std::string At(std::size_t line) {
  return line ? "(line " + std::to_string(line) + ")" : "(no section)";
}

Json LineJson(std::size_t line) { return line ? Json::Number(static_cast<std::int64_t>(line)) : Json::Null(); }

std::string Pairs(const TextList& numbers, const TextList& values, WStringView key_prefix) {
  std::string out;
  for (std::size_t i = 0; i < numbers.size() && i < values.size(); ++i) {
    out += ", " + ToUtf8(key_prefix) + ToUtf8(numbers[i].view()) + " " + Quoted(values[i].view());
  }
  return out;
}

Json PairsJson(const TextList& numbers, const TextList& values) {
  Json out = Json::Object();
  for (std::size_t i = 0; i < numbers.size() && i < values.size(); ++i) {
    out.Set(ToUtf8(numbers[i].view()), Json::String(values[i].view()));
  }
  return out;
}

std::string Names(const TextList& names) {
  std::string out;
  for (const WideText& n : names) out += (out.empty() ? "" : ", ") + Quoted(n.view());
  return out.empty() ? "none" : out;
}

std::string KeyLineText(const KeyLine& key) {
  if (!key.found) return "no line";
  if (!key.matches) return "no match (line " + std::to_string(key.line) + ")";
  return Quoted(key.name) + " (line " + std::to_string(key.line) + ")";
}

Json KeyLineJson(const KeyLine& key) {
  return Json::Object()
      .Set("name", key.matches ? Json::String(key.name) : Json::Null())
      .Set("line", LineJson(key.line));
}

template <typename Segment>
std::string IdselText(const Segment& s) {
  std::string out;
  for (std::size_t i = 0; i < s.vecIDSELName.size(); ++i) {
    out += (i ? ", " : "") + Quoted(s.vecIDSELName[i].view()) + " = " +
           Quoted(s.vecIDSELValue[i].view());
  }
  return out.empty() ? "none" : out;
}

template <typename Segment>
Json IdselJson(const Segment& s) {
  Json out = Json::Array();
  for (std::size_t i = 0; i < s.vecIDSELName.size(); ++i) {
    out.Add(Json::Object()
                .Set("name", Json::String(s.vecIDSELName[i].view()))
                .Set("value", Json::String(s.vecIDSELValue[i].view())));
  }
  return out;
}

// The segment a slot's place names, by kind and name.
std::string PlaceSegmentName(const stPXISys& sys, const SlotPlace& place) {
  if (UsesPXI1BusSegments(sys)) {
    return "PXI-1 bus segment " + Quoted(sys.vecPXI1BusSegment[place.segment].szName.view());
  }
  return "PCI bus segment " + Quoted(sys.vecPCIBusSegment[place.segment].szName.view());
}

std::string SlotPlaceText(const DescriptionCheck& c, std::size_t i) {
  const SlotPlace& place = c.slots[i];
  if (i == 0) return "first slot, written without a PCI position";
  if (!place.named) return "named by no bus segment, left out of pxisys.ini";
  return "device " + std::to_string(place.device) + " on " + PlaceSegmentName(c.sys, place);
}

std::string WarningText(const CheckWarning& w) {
  return (w.line ? "line " + std::to_string(w.line) : std::string("file")) + ": " + w.kind + ": " +
         w.message;
}

}  // namespace

std::string FormatCheckText(const DescriptionCheck& c) {
  if (!c.error.empty()) return c.file + ": error: " + c.error + "\n";
  const stPXISys& sys = c.sys;
  std::string out = c.file + "\n";
  out += "  vendor: " + KeyLineText(c.vendor) + "\n";
  out += "  model: " + KeyLineText(c.model) + "\n";
  out += "  bus segment headers: " + std::to_string(c.bus_segment_headers) + "\n";
  out += "  version: Specification " + Quoted(sys.Specification.view()) + ", Major " +
         Quoted(sys.Major.view()) + ", Minor " + Quoted(sys.Minor.view()) + "\n";
  for (const stPCIBusSegment& s : sys.vecPCIBusSegment) {
    out += "  PCI bus segment " + Quoted(s.szName.view()) + " " +
           At(SectionLine(c, u"PCIBusSegment", s.szName)) + ": SlotList " +
           Quoted(s.SlotList.view()) + ", BridgeList " + Quoted(s.BridgeList.view()) +
           ", IDSEL " + IdselText(s) + "\n";
  }
  for (const stPXI1BusSegment& s : sys.vecPXI1BusSegment) {
    out += "  PXI-1 bus segment " + Quoted(s.szName.view()) + " " +
           At(SectionLine(c, u"PXI1BusSegment", s.szName)) + ": SlotList " +
           Quoted(s.SlotList.view()) + ", IDSEL " + IdselText(s) + "\n";
  }
  for (std::size_t i = 0; i < sys.vecSlot.size(); ++i) {
    const stSlot& s = sys.vecSlot[i];
    out += "  slot " + Quoted(s.szName.view()) + " " + At(SectionLine(c, u"Slot", s.szName)) +
           ": " + SlotPlaceText(c, i) + "; IDSEL " + Quoted(s.IDSEL.view()) + ", LocalBusLeft " +
           Quoted(s.LocalBusLeft.view()) + ", LocalBusRight " + Quoted(s.LocalBusRight.view()) +
           ", ExternalBackplaneInterface " + Quoted(s.ExternalBackplaneInterface.view()) + "\n";
  }
  for (const stTriggerBus& t : sys.vecTriggerBus) {
    out += "  trigger bus " + Quoted(t.szName.view()) + " " +
           At(SectionLine(c, u"TriggerBus", t.szName)) + ": slots " + Names(t.vecSlotName) + "\n";
  }
  for (const stTriggerBridge& b : sys.vecTriggerBridge) {
    out += "  trigger bridge " + Quoted(b.szName.view()) + " " +
           At(SectionLine(c, u"TriggerBridge", b.szName)) + ": SourceTriggerBus " +
           Quoted(b.SourceTriggerBus.view()) + ", DestinationTriggerBus " +
           Quoted(b.DestinationTriggerBus.view()) + ", LineMappingSpec " +
           Quoted(b.LineMappingSpec.view()) + "\n";
  }
  for (const stLineMappingSpec& m : sys.vecLineMappingSpec) {
    std::string pairs = Pairs(m.vecTrigLine, m.vecTrigMapping, u"PXI_TRIG");
    out += "  line mapping spec " + Quoted(m.szName.view()) + " " +
           At(SectionLine(c, u"LineMappingSpec", m.szName)) + ": " +
           (pairs.empty() ? "no lines" : pairs.substr(2)) + "\n";
  }
  for (const stStarTrigger& s : sys.vecStarTrigger) {
    out += "  star trigger " + Quoted(s.szName.view()) + " " +
           At(SectionLine(c, u"StarTrigger", s.szName)) + ": SystemTimingSlot " +
           Quoted(s.SystemTimingSlot.view()) + ", ControllerSlot " +
           Quoted(s.ControllerSlot.view()) + Pairs(s.vecStarLine, s.vecStarSlot, u"PXI_STAR") +
           "\n";
  }
  for (const stStarSystemTimingSet& s : sys.vecStarSystemTimingSet) {
    out += "  star system timing set " + Quoted(s.szName.view()) + " " +
           At(SectionLine(c, u"StarSystemTimingSets", s.szName)) + ": SystemTimingSlot " +
           Quoted(s.SystemTimingSlot.view()) +
           Pairs(s.vecSetNumber, s.vecSetValue, u"StarSystemTimingSet") + "\n";
  }
  for (const CheckWarning& w : c.warnings) out += "  " + WarningText(w) + "\n";
  std::string result = c.warnings.empty() ? "clean"
                       : c.WarningCount() == 1
                           ? "1 warning"
                           : std::to_string(c.WarningCount()) + " warnings";
  if (c.warnings_left_out) result += " (the first " + std::to_string(c.warnings.size()) + " shown)";
  if (c.Unusable()) result += "; no chassis is ever matched to this file";
  return out + "  result: " + result + "\n";
}

std::string FormatCheckJson(const std::vector<DescriptionCheck>& checks) {
  Json files = Json::Array();
  for (const DescriptionCheck& c : checks) {
    Json f = Json::Object();
    f.Set("file", Json::Utf8String(c.file)).Set("exit", Json::Number(c.ExitCode()));
    if (!c.error.empty()) {
      files.Add(f.Set("error", Json::Utf8String(c.error)));
      continue;
    }
    const stPXISys& sys = c.sys;
    f.Set("vendor", KeyLineJson(c.vendor))
        .Set("model", KeyLineJson(c.model))
        .Set("busSegmentHeaders", Json::Number(c.bus_segment_headers))
        .Set("version", Json::Object()
                            .Set("Specification", Json::String(sys.Specification.view()))
                            .Set("Major", Json::String(sys.Major.view()))
                            .Set("Minor", Json::String(sys.Minor.view())));
    Json pci = Json::Array();
    for (const stPCIBusSegment& s : sys.vecPCIBusSegment) {
      pci.Add(Json::Object()
                  .Set("name", Json::String(s.szName.view()))
                  .Set("line", LineJson(SectionLine(c, u"PCIBusSegment", s.szName)))
                  .Set("SlotList", Json::String(s.SlotList.view()))
                  .Set("BridgeList", Json::String(s.BridgeList.view()))
                  .Set("IDSEL", IdselJson(s)));
    }
    Json pxi1 = Json::Array();
    for (const stPXI1BusSegment& s : sys.vecPXI1BusSegment) {
      pxi1.Add(Json::Object()
                   .Set("name", Json::String(s.szName.view()))
                   .Set("line", LineJson(SectionLine(c, u"PXI1BusSegment", s.szName)))
                   .Set("SlotList", Json::String(s.SlotList.view()))
                   .Set("IDSEL", IdselJson(s)));
    }
    Json slots = Json::Array();
    for (std::size_t i = 0; i < sys.vecSlot.size(); ++i) {
      const stSlot& s = sys.vecSlot[i];
      const SlotPlace& place = c.slots[i];
      Json where = Json::Null();
      if (i > 0 && place.named) {
        const WideText& segment = UsesPXI1BusSegments(sys)
                                      ? sys.vecPXI1BusSegment[place.segment].szName
                                      : sys.vecPCIBusSegment[place.segment].szName;
        where = Json::Object()
                    .Set("device", Json::Number(place.device))
                    .Set("segment", Json::String(segment.view()));
      }
      slots.Add(Json::Object()
                    .Set("name", Json::String(s.szName.view()))
                    .Set("line", LineJson(SectionLine(c, u"Slot", s.szName)))
                    .Set("place", std::move(where))
                    .Set("IDSEL", Json::String(s.IDSEL.view()))
                    .Set("LocalBusLeft", Json::String(s.LocalBusLeft.view()))
                    .Set("LocalBusRight", Json::String(s.LocalBusRight.view()))
                    .Set("ExternalBackplaneInterface",
                         Json::String(s.ExternalBackplaneInterface.view())));
    }
    Json buses = Json::Array();
    for (const stTriggerBus& t : sys.vecTriggerBus) {
      Json names = Json::Array();
      for (const WideText& n : t.vecSlotName) names.Add(Json::String(n.view()));
      buses.Add(Json::Object()
                    .Set("name", Json::String(t.szName.view()))
                    .Set("line", LineJson(SectionLine(c, u"TriggerBus", t.szName)))
                    .Set("slots", std::move(names)));
    }
    Json bridges = Json::Array();
    for (const stTriggerBridge& b : sys.vecTriggerBridge) {
      bridges.Add(Json::Object()
                      .Set("name", Json::String(b.szName.view()))
                      .Set("line", LineJson(SectionLine(c, u"TriggerBridge", b.szName)))
                      .Set("SourceTriggerBus", Json::String(b.SourceTriggerBus.view()))
                      .Set("DestinationTriggerBus", Json::String(b.DestinationTriggerBus.view()))
                      .Set("LineMappingSpec", Json::String(b.LineMappingSpec.view())));
    }
    Json mappings = Json::Array();
    for (const stLineMappingSpec& m : sys.vecLineMappingSpec) {
      mappings.Add(Json::Object()
                       .Set("name", Json::String(m.szName.view()))
                       .Set("line", LineJson(SectionLine(c, u"LineMappingSpec", m.szName)))
                       .Set("PXI_TRIG", PairsJson(m.vecTrigLine, m.vecTrigMapping)));
    }
    Json stars = Json::Array();
    for (const stStarTrigger& s : sys.vecStarTrigger) {
      stars.Add(Json::Object()
                    .Set("name", Json::String(s.szName.view()))
                    .Set("line", LineJson(SectionLine(c, u"StarTrigger", s.szName)))
                    .Set("SystemTimingSlot", Json::String(s.SystemTimingSlot.view()))
                    .Set("ControllerSlot", Json::String(s.ControllerSlot.view()))
                    .Set("PXI_STAR", PairsJson(s.vecStarLine, s.vecStarSlot)));
    }
    Json sets = Json::Array();
    for (const stStarSystemTimingSet& s : sys.vecStarSystemTimingSet) {
      sets.Add(Json::Object()
                   .Set("name", Json::String(s.szName.view()))
                   .Set("line", LineJson(SectionLine(c, u"StarSystemTimingSets", s.szName)))
                   .Set("SystemTimingSlot", Json::String(s.SystemTimingSlot.view()))
                   .Set("StarSystemTimingSet", PairsJson(s.vecSetNumber, s.vecSetValue)));
    }
    Json warnings = Json::Array();
    for (const CheckWarning& w : c.warnings) {
      warnings.Add(Json::Object()
                       .Set("line", LineJson(w.line))
                       .Set("kind", Json::Utf8String(w.kind))
                       .Set("message", Json::Utf8String(w.message)));
    }
    f.Set("pciBusSegments", std::move(pci))
        .Set("pxi1BusSegments", std::move(pxi1))
        .Set("slots", std::move(slots))
        .Set("triggerBuses", std::move(buses))
        .Set("triggerBridges", std::move(bridges))
        .Set("lineMappingSpecs", std::move(mappings))
        .Set("starTriggers", std::move(stars))
        .Set("starSystemTimingSets", std::move(sets))
        .Set("warnings", std::move(warnings))
        .Set("warningsLeftOut", Json::Number(static_cast<std::int64_t>(c.warnings_left_out)));
    files.Add(std::move(f));
  }
  return Json::Object().Set("files", std::move(files)).Print() + "\n";
}

int ReportChecks(const std::vector<DescriptionCheck>& checks, bool json, Console& console) {
  int code = 0;
  std::string out;
  for (std::size_t i = 0; i < checks.size(); ++i) {
    code = std::max(code, checks[i].ExitCode());
    if (!json) out += (i ? "\n" : "") + FormatCheckText(checks[i]);
  }
  if (json) out = FormatCheckJson(checks);
  console.Write(out);
  return code;
}

}  // namespace ztrm
