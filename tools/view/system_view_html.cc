#include "tools/view/system_view_html.h"

#include <algorithm>
#include <cstdlib>

namespace ztrm {
namespace {

// Geometry, in SVG user units.
constexpr int kLeft = 10;
constexpr int kSlotWidth = 80;
constexpr int kPitch = 88;
constexpr int kSegmentTop = 10;
constexpr int kSlotTop = 36;
constexpr int kSlotHeight = 180;
constexpr int kStarTop = kSlotTop + kSlotHeight;  // 216
constexpr int kBusTop = 264;
constexpr int kBusRow = 34;
constexpr int kBridgeRow = 26;
constexpr int kColours = 6;

const char kStyle[] =
    "body{font-family:sans-serif;margin:16px;color:#222}\n"
    "h2{margin:24px 0 4px}\n"
    "svg.chassis{display:block;margin:8px 0;background:#fafafa;border:1px solid #ccc}\n"
    "svg text{font-size:11px}\n"
    ".segment{fill:#e8e8e8;stroke:#999}\n"
    ".segment-boundary{stroke:#555;stroke-dasharray:4 3}\n"
    ".slot{fill:#fff;stroke:#444}\n"
    ".slot.system{fill:#dde8ff}\n"
    ".slot.timing{fill:#ffe9c8}\n"
    ".slot-name{font-weight:bold;text-anchor:middle}\n"
    ".role{text-anchor:middle;fill:#a33}\n"
    ".module{fill:#cfe9d2;stroke:#2a6b33}\n"
    ".pci{text-anchor:middle;fill:#555}\n"
    ".star-line{fill:none;stroke:#b5179e}\n"
    ".star-label{fill:#b5179e}\n"
    ".trigger-bus{stroke:#333;fill-opacity:0.6}\n"
    ".tb0{fill:#4e79a7}.tb1{fill:#f28e2b}.tb2{fill:#59a14f}.tb3{fill:#e15759}.tb4{fill:#76b7b2}"
    ".tb5{fill:#edc948}\n"
    ".trigger-bridge{fill:#fff;stroke:#333}\n"
    ".bridge-link{stroke:#333}\n"
    "table{border-collapse:collapse;margin:6px 0 12px}\n"
    "th,td{border:1px solid #bbb;padding:2px 6px;text-align:left;font-size:13px}\n"
    "th{background:#eee}\n"
    ".skipped li{color:#a33}\n";

std::string N(long long value) { return std::to_string(value); }

int SlotX(std::size_t position) { return kLeft + static_cast<int>(position) * kPitch; }

// At most `count` characters of UTF-8 text, then an ellipsis.
std::string Short(const std::string& text, std::size_t count) {
  std::size_t seen = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    if (seen++ == count) return text.substr(0, i) + "\xE2\x80\xA6";
  }
  return text;
}

bool IsNumber(const std::string& text) {
  return !text.empty() && text.size() <= 10 &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string Attr(const char* name, const std::string& value) {
  return std::string(" ") + name + "=\"" + EscapeHtml(value) + "\"";
}

std::string Text(int x, int y, const char* cls, const std::string& text) {
  return "<text x=\"" + N(x) + "\" y=\"" + N(y) + "\"" + (cls[0] ? Attr("class", cls) : "") + ">" +
         EscapeHtml(text) + "</text>\n";
}

std::string JoinSlots(const ViewChassis& chassis, const std::vector<std::size_t>& positions) {
  std::string out;
  for (std::size_t p : positions) out += (out.empty() ? "" : ",") + chassis.slots[p].name;
  return out;
}

std::pair<std::size_t, std::size_t> Span(const std::vector<std::size_t>& positions) {
  return {*std::min_element(positions.begin(), positions.end()),
          *std::max_element(positions.begin(), positions.end())};
}

int SpanWidth(std::pair<std::size_t, std::size_t> span) {
  return static_cast<int>(span.second - span.first) * kPitch + kSlotWidth;
}

class ChassisDrawing {
 public:
  explicit ChassisDrawing(const ViewChassis& chassis) : c_(chassis) {}

  std::string Svg() {
    std::string body;
    body += Segments();
    body += Slots();
    body += StarLines();
    int bottom = TriggerBuses(body);
    int width = std::max(300, SlotX(c_.slots.size()) + 2);
    return "<svg class=\"chassis\" data-chassis=\"" + EscapeHtml(c_.id) +
           "\" xmlns=\"http://www.w3.org/2000/svg\" width=\"" + N(width) + "\" height=\"" +
           N(bottom + 10) + "\" viewBox=\"0 0 " + N(width) + " " + N(bottom + 10) + "\">\n" +
           body + "</svg>\n";
  }

 private:
  std::string Segments() {
    std::string out;
    std::vector<int> segment_of(c_.slots.size(), -1);
    for (std::size_t k = 0; k < c_.segments.size(); ++k) {
      const ViewSlotGroup& segment = c_.segments[k];
      if (segment.slots.empty()) continue;
      auto span = Span(segment.slots);
      out += "<rect class=\"segment\"" + Attr("data-segment", segment.name) + " x=\"" +
             N(SlotX(span.first)) + "\" y=\"" + N(kSegmentTop) + "\" width=\"" + N(SpanWidth(span)) +
             "\" height=\"20\"/>\n";
      out += Text(SlotX(span.first) + 4, kSegmentTop + 14, "",
                  "PCI bus segment " + Short(segment.name, 20));
      for (std::size_t p : segment.slots) {
        if (segment_of[p] < 0) segment_of[p] = static_cast<int>(k);
      }
    }
    for (std::size_t i = 0; i + 1 < c_.slots.size(); ++i) {
      if (segment_of[i] >= 0 && segment_of[i + 1] >= 0 && segment_of[i] != segment_of[i + 1]) {
        int x = SlotX(i) + kSlotWidth + (kPitch - kSlotWidth) / 2;
        out += "<line class=\"segment-boundary\" x1=\"" + N(x) + "\" y1=\"" + N(kSegmentTop) +
               "\" x2=\"" + N(x) + "\" y2=\"" + N(kSlotTop + kSlotHeight) + "\"/>\n";
      }
    }
    return out;
  }

  std::string Slots() {
    std::string out;
    for (std::size_t i = 0; i < c_.slots.size(); ++i) {
      const ViewSlot& slot = c_.slots[i];
      const int x = SlotX(i);
      std::string cls = "slot";
      if (slot.system_slot) cls += " system";
      if (slot.timing_slot) cls += " timing";
      out += "<rect" + Attr("class", cls) + Attr("data-chassis", c_.id) + Attr("data-slot", slot.name) +
             " x=\"" + N(x) + "\" y=\"" + N(kSlotTop) + "\" width=\"" + N(kSlotWidth) + "\" height=\"" +
             N(kSlotHeight) + "\"/>\n";
      const int mid = x + kSlotWidth / 2;
      out += Text(mid, kSlotTop + 16, "slot-name", Short(slot.name, 10));
      std::string role = slot.system_slot ? "SYS" : "";
      if (slot.timing_slot) role += role.empty() ? "TIM" : " TIM";
      if (!role.empty()) out += Text(mid, kSlotTop + 32, "role", role);
      if (slot.module) {
        const ViewModule& m = *slot.module;
        out += "<rect class=\"module\"" + Attr("data-chassis", c_.id) + Attr("data-slot", slot.name) +
               " x=\"" + N(x + 6) + "\" y=\"" + N(kSlotTop + 40) + "\" width=\"" + N(kSlotWidth - 12) +
               "\" height=\"120\"><title>" +
               EscapeHtml(m.vendor + " " + m.model + " " + m.instance + " " + m.address_info) +
               "</title></rect>\n";
        out += Text(x + 10, kSlotTop + 58, "", Short(m.model, 10));
        if (!m.bus.empty()) out += Text(x + 10, kSlotTop + 76, "", "bus " + Short(m.bus, 6));
        if (!m.device.empty()) out += Text(x + 10, kSlotTop + 92, "", "dev " + Short(m.device, 6));
        out += Text(x + 10, kSlotTop + 110, "", Short(m.instance, 8));
      }
      if (IsNumber(slot.pci_bus) && IsNumber(slot.pci_device)) {
        out += Text(mid, kSlotTop + kSlotHeight - 8, "pci",
                    "bus " + slot.pci_bus + " dev " + slot.pci_device);
      }
    }
    return out;
  }

  std::string StarLines() {
    std::string out;
    for (const ViewStarTrigger& star : c_.star_triggers) {
      std::size_t from = c_.slots.size();
      for (std::size_t i = 0; i < c_.slots.size(); ++i) {
        if (c_.slots[i].name == star.from_slot) from = i;
      }
      if (from == c_.slots.size()) continue;
      const int fx = SlotX(from) + kSlotWidth / 2;
      for (const ViewStarLine& line : star.lines) {
        const int tx = SlotX(line.slot) + kSlotWidth / 2;
        const int depth = std::min(80, 20 + 8 * std::abs(static_cast<int>(line.slot) - static_cast<int>(from)));
        out += "<path class=\"star-line\"" + Attr("data-line", line.line) +
               Attr("data-slot", c_.slots[line.slot].name) + " d=\"M " + N(fx) + " " + N(kStarTop) +
               " Q " + N((fx + tx) / 2) + " " + N(kStarTop + depth) + " " + N(tx) + " " + N(kStarTop) +
               "\"/>\n";
        out += Text(tx + 4, kStarTop + 12, "star-label", Short(line.line, 4));
      }
    }
    return out;
  }

  // Draws the trigger buses and bridges into `out`; returns the lowest y used.
  int TriggerBuses(std::string& out) {
    std::vector<std::vector<std::pair<std::size_t, std::size_t>>> rows;
    struct Placed {
      int y;
      std::pair<std::size_t, std::size_t> span;
    };
    std::vector<std::optional<Placed>> placed(c_.trigger_buses.size());
    for (std::size_t k = 0; k < c_.trigger_buses.size(); ++k) {
      const ViewSlotGroup& bus = c_.trigger_buses[k];
      if (bus.slots.empty()) continue;
      auto span = Span(bus.slots);
      std::size_t row = 0;
      while (row < rows.size() &&
             std::any_of(rows[row].begin(), rows[row].end(), [&](auto other) {
               return span.first <= other.second && other.first <= span.second;
             })) {
        ++row;
      }
      if (row == rows.size()) rows.emplace_back();
      rows[row].push_back(span);
      const int y = kBusTop + static_cast<int>(row) * kBusRow;
      placed[k] = Placed{y, span};
      out += "<rect class=\"trigger-bus tb" + N(static_cast<long long>(k % kColours)) + "\"" +
             Attr("data-chassis", c_.id) + Attr("data-bus", bus.name) + " x=\"" + N(SlotX(span.first)) +
             "\" y=\"" + N(y) + "\" width=\"" + N(SpanWidth(span)) + "\" height=\"22\"/>\n";
      out += Text(SlotX(span.first) + 4, y + 15, "", "Trigger bus " + Short(bus.name, 20));
    }
    // The links first, then the boxes over them: a link of a lower bridge
    // runs under the boxes above it.
    int y = kBusTop + static_cast<int>(rows.size()) * kBusRow;
    std::string boxes;
    auto middle = [](const Placed& p) { return SlotX(p.span.first) + SpanWidth(p.span) / 2; };
    auto find = [&](const std::string& name) -> std::optional<Placed> {
      for (std::size_t k = 0; k < c_.trigger_buses.size(); ++k) {
        if (c_.trigger_buses[k].name == name) return placed[k];
      }
      return std::nullopt;
    };
    for (const ViewTriggerBridge& bridge : c_.bridges) {
      std::optional<Placed> source = find(bridge.source_bus);
      std::optional<Placed> destination = find(bridge.destination_bus);
      // Centred between the two buses, or under the one that is drawn.
      int centre = kLeft + 70;
      if (source && destination) {
        centre = (middle(*source) + middle(*destination)) / 2;
      } else if (source || destination) {
        centre = middle(source ? *source : *destination);
      }
      centre = std::max(centre, kLeft + 70);
      for (const std::optional<Placed>& end : {source, destination}) {
        if (!end) continue;
        out += "<line class=\"bridge-link\" x1=\"" + N(centre) + "\" y1=\"" + N(y + 10) + "\" x2=\"" +
               N(middle(*end)) + "\" y2=\"" + N(end->y + 22) + "\"/>\n";
      }
      boxes += "<rect class=\"trigger-bridge\"" + Attr("data-chassis", c_.id) +
               Attr("data-bridge", bridge.name) + " x=\"" + N(centre - 70) + "\" y=\"" + N(y) +
               "\" width=\"140\" height=\"20\"/>\n";
      boxes += Text(centre - 66, y + 14, "",
                    "Bridge " + Short(bridge.name, 4) + ": " + Short(bridge.source_bus, 4) +
                        " \xE2\x86\x92 " + Short(bridge.destination_bus, 4));
      y += kBridgeRow;
    }
    out += boxes;
    return y;
  }

  const ViewChassis& c_;
};

std::string Cell(const std::string& text) { return "<td>" + EscapeHtml(text) + "</td>"; }

std::string FactsTable(const ViewChassis& c) {
  std::string described = c.in_pxisys && c.in_pxiesys ? "pxisys.ini, pxiesys.ini"
                          : c.in_pxisys               ? "pxisys.ini"
                                                      : "pxiesys.ini";
  std::string out = "<table class=\"facts\">\n";
  const std::pair<const char*, const std::string*> rows[] = {
      {"Chassis ID", &c.id},         {"Model", &c.model},
      {"Vendor", &c.vendor},         {"Serial number", &c.serial_number},
      {"Description file", &c.description_file}, {"Trigger manager", &c.trigger_manager},
      {"Described in", &described}};
  for (const auto& [name, value] : rows) {
    out += std::string("<tr><th>") + name + "</th>" + Cell(*value) + "</tr>\n";
  }
  return out + "</table>\n";
}

std::string SlotTable(const ViewChassis& c) {
  std::string out =
      "<table class=\"slot-table\">\n<tr><th>Slot</th><th>Role</th><th>Slot type</th>"
      "<th>PCI bus segment</th><th>PCI bus</th><th>PCI device</th><th>PCI slot path</th>"
      "<th>Module</th><th>Vendor</th><th>Instance</th><th>Address</th><th>Module bus</th>"
      "<th>Module device</th><th>Trigger bus</th><th>Star trigger lines</th></tr>\n";
  for (std::size_t i = 0; i < c.slots.size(); ++i) {
    const ViewSlot& s = c.slots[i];
    std::string role = s.system_slot ? "system slot" : "";
    if (s.timing_slot) role += role.empty() ? "timing slot" : ", timing slot";
    auto groups = [&](const std::vector<ViewSlotGroup>& list) {
      std::string names;
      for (const ViewSlotGroup& g : list) {
        if (std::find(g.slots.begin(), g.slots.end(), i) != g.slots.end()) {
          names += (names.empty() ? "" : ", ") + g.name;
        }
      }
      return names;
    };
    std::string stars;
    for (const ViewStarTrigger& star : c.star_triggers) {
      for (const ViewStarLine& line : star.lines) {
        if (line.slot == i) stars += (stars.empty() ? "PXI_STAR" : ", PXI_STAR") + line.line;
      }
    }
    const ViewModule empty;
    const ViewModule& m = s.module ? *s.module : empty;
    out += "<tr>" + Cell(s.name) + Cell(role) + Cell(s.slot_type) + Cell(groups(c.segments)) +
           Cell(s.pci_bus) + Cell(s.pci_device) + Cell(s.pci_path) + Cell(m.model) + Cell(m.vendor) +
           Cell(m.instance) + Cell(m.address_info) + Cell(m.bus) + Cell(m.device) +
           Cell(groups(c.trigger_buses)) + Cell(stars) + "</tr>\n";
  }
  return out + "</table>\n";
}

std::string GroupTable(const ViewChassis& c) {
  if (c.segments.empty() && c.trigger_buses.empty() && c.bridges.empty() && c.star_triggers.empty()) {
    return std::string();
  }
  std::string out = "<table class=\"group-table\">\n<tr><th>Item</th><th>Slots and lines</th></tr>\n";
  for (const ViewSlotGroup& g : c.segments) {
    out += "<tr>" + Cell("PCI bus segment " + g.name) + Cell(JoinSlots(c, g.slots)) + "</tr>\n";
  }
  for (const ViewSlotGroup& g : c.trigger_buses) {
    out += "<tr>" + Cell("Trigger bus " + g.name) + Cell(JoinSlots(c, g.slots)) + "</tr>\n";
  }
  for (const ViewTriggerBridge& b : c.bridges) {
    out += "<tr>" + Cell("Trigger bridge " + b.name) +
           Cell("from trigger bus " + b.source_bus + " to trigger bus " + b.destination_bus +
                ", line mapping " + b.line_mapping) +
           "</tr>\n";
  }
  for (const ViewStarTrigger& star : c.star_triggers) {
    std::string lines = "from slot " + star.from_slot + ":";
    for (const ViewStarLine& line : star.lines) {
      lines += " PXI_STAR" + line.line + " to slot " + c.slots[line.slot].name + ";";
    }
    out += "<tr>" + Cell("Star trigger " + star.number) + Cell(lines) + "</tr>\n";
  }
  return out + "</table>\n";
}

std::string RunSection(const ViewRun& run) {
  std::string out = "<section class=\"run\">\n<h2>Run</h2>\n<table class=\"run-table\">\n";
  out += "<tr><th>Time</th>" + Cell(run.time) + "</tr>\n";
  out += "<tr><th>Host manufacturer</th>" + Cell(run.host_manufacturer) + "</tr>\n";
  out += "<tr><th>Host model</th>" + Cell(run.host_model) + "</tr>\n</table>\n";
  if (!run.problems.empty()) {
    out += "<p>Run log lines reporting a failure:</p>\n<ul class=\"problems\">\n";
    for (const std::string& line : run.problems) out += "<li>" + EscapeHtml(line) + "</li>\n";
    out += "</ul>\n";
  }
  return out + "</section>\n";
}

}  // namespace

std::string EscapeHtml(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default:
        if ((static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') || c == 0x7F) {
          out += '?';
        } else {
          out += c;
        }
    }
  }
  return out;
}

std::string RenderSystemViewHtml(const SystemView& view) {
  std::string out =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<title>PXI system</title>\n<style>\n";
  out += kStyle;
  out += "</style>\n</head>\n<body>\n<h1>PXI system</h1>\n";
  out += "<p class=\"legend\">" + N(static_cast<long long>(view.chassis.size())) +
         " chassis. SYS: system slot; TIM: timing slot (the system timing slot of a PXI Express "
         "chassis, the star trigger controller slot of a PXI chassis); green boxes: modules; "
         "curves: star trigger lines; coloured bands: trigger buses.</p>\n";
  if (view.run) out += RunSection(*view.run);
  for (const ViewChassis& c : view.chassis) {
    out += "<section class=\"chassis-view\">\n<h2>Chassis " + EscapeHtml(c.id) + ": " +
           EscapeHtml(c.model) + "</h2>\n";
    out += ChassisDrawing(c).Svg();
    out += FactsTable(c);
    out += SlotTable(c);
    out += GroupTable(c);
    out += "</section>\n";
  }
  if (!view.skipped.empty()) {
    out += "<section class=\"skipped\">\n<h2>Not drawn</h2>\n<ul>\n";
    for (const std::string& note : view.skipped) out += "<li>" + EscapeHtml(note) + "</li>\n";
    if (view.skipped_not_kept > 0) {
      out += "<li>" + N(static_cast<long long>(view.skipped_not_kept)) + " more notes</li>\n";
    }
    out += "</ul>\n</section>\n";
  }
  return out + "</body>\n</html>\n";
}

}  // namespace ztrm
