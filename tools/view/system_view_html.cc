#include "tools/view/system_view_html.h"

#include <algorithm>
#include <cstdlib>
#include <map>

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
constexpr int kBridgeWidth = 140;
constexpr int kBridgeGap = 10;
constexpr int kModuleText = 62;  // room for a text in a module box
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
    ".pci{text-anchor:middle;fill:#555;font-size:10px}\n"
    ".instance{font-size:9px}\n"
    ".repeat-mark{text-anchor:end;fill:#a33;font-weight:bold}\n"
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

constexpr double kFontPx = 11;     // svg text
constexpr double kPciFontPx = 10;  // .pci
// .instance: small enough that an instance name of 11 characters, the usual
// length, is drawn whole in its module box.
constexpr double kInstanceFontPx = 9;
const char kEllipsis[] = "\xE2\x80\xA6";

// At most `count` characters of UTF-8 text, then an ellipsis.
std::string Short(const std::string& text, std::size_t count) {
  std::size_t seen = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    if (seen++ == count) return text.substr(0, i) + kEllipsis;
  }
  return text;
}

// DejaVu Sans advance widths of ' ' to '~', in thousandths of an em.
constexpr unsigned short kRegularWidths[95] = {
    318, 401, 460, 838, 636, 950, 780, 275, 390, 390, 500, 838, 318, 361, 318, 337, 636, 636, 636,
    636, 636, 636, 636, 636, 636, 636, 337, 337, 838, 838, 838, 531, 1000, 684, 686, 698, 770, 632,
    575, 775, 752, 295, 295, 656, 557, 863, 748, 787, 603, 787, 695, 635, 611, 732, 684, 989, 685,
    611, 685, 390, 337, 390, 838, 500, 500, 613, 635, 550, 635, 615, 352, 635, 634, 278, 278, 579,
    278, 974, 634, 612, 635, 635, 411, 521, 392, 634, 592, 818, 592, 592, 525, 636, 337, 636, 838};
constexpr unsigned short kBoldWidths[95] = {
    348, 456, 521, 838, 696, 1002, 872, 306, 457, 457, 523, 838, 380, 415, 380, 365, 696, 696, 696,
    696, 696, 696, 696, 696, 696, 696, 400, 400, 838, 838, 838, 580, 1000, 774, 762, 734, 830, 683,
    683, 821, 837, 372, 372, 775, 637, 995, 837, 850, 733, 850, 770, 720, 682, 812, 774, 1103, 771,
    724, 725, 457, 365, 457, 838, 500, 500, 675, 716, 593, 716, 678, 435, 716, 712, 343, 343, 665,
    343, 1042, 712, 687, 716, 716, 493, 595, 478, 712, 652, 924, 645, 652, 582, 712, 365, 712, 838};

// UTF-8 text as its characters.
std::vector<std::string> Characters(const std::string& text) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80 && !out.empty()) {
      out.back() += text[i];
    } else {
      out.emplace_back(1, text[i]);
    }
  }
  return out;
}

std::string Join(const std::vector<std::string>& chars, std::size_t from, std::size_t to) {
  std::string out;
  for (std::size_t i = from; i < to; ++i) out += chars[i];
  return out;
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

// A fitted text; a cut one carries `whole` as its tooltip.
std::string Text(int x, int y, const char* cls, const FittedText& text, const std::string& whole) {
  if (!text.cut) return Text(x, y, cls, text.shown);
  return "<text x=\"" + N(x) + "\" y=\"" + N(y) + "\"" + (cls[0] ? Attr("class", cls) : "") +
         "><title>" + EscapeHtml(whole) + "</title>" + EscapeHtml(text.shown) + "</text>\n";
}

// The first of `forms` (longest first) that fits `width`, else the last cut
// to fit; the tooltip of any but the first is the first.
std::string Label(int x, int y, const char* cls, const std::vector<std::string>& forms, double width,
                  double font_px = kFontPx, bool bold = false) {
  for (std::size_t i = 0; i < forms.size(); ++i) {
    FittedText fitted = FitText(forms[i], width, font_px, Ellipsis::kEnd, bold);
    if (fitted.cut && i + 1 < forms.size()) continue;
    fitted.cut = fitted.cut || i > 0;
    return Text(x, y, cls, fitted, forms.front());
  }
  return std::string();
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
    int width = std::max({300, SlotX(c_.slots.size()) + 2, right_ + 10});
    return "<svg class=\"chassis\" data-chassis=\"" + EscapeHtml(c_.id) +
           "\" xmlns=\"http://www.w3.org/2000/svg\" width=\"" + N(width) + "\" height=\"" +
           N(bottom + 10) + "\" viewBox=\"0 0 " + N(width) + " " + N(bottom + 10) + "\">\n" +
           (c_.trail.empty() ? "" : "<title>" + EscapeHtml(c_.trail) + "</title>\n") + body + "</svg>\n";
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
      out += Label(SlotX(span.first) + 4, kSegmentTop + 14, "",
                   {"PCI bus segment " + segment.name, "Segment " + segment.name, segment.name},
                   SpanWidth(span) - 8);
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
    // Instance names side by side: distinct names keep distinct labels.
    std::vector<std::string> instances;
    for (const ViewSlot& slot : c_.slots) {
      if (slot.module) instances.push_back(slot.module->instance);
    }
    const std::vector<FittedText> instance_labels = DistinctLabels(instances, kModuleText, kInstanceFontPx);
    std::size_t module_index = 0;
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
      // A slot the files list more than once: its count at the right of the
      // name, the name kept clear of it.
      int name_width = kSlotWidth - 8;
      if (slot.times_listed > 1) {
        const std::string mark = "\xC3\x97" + std::to_string(slot.times_listed);
        const int mark_width = static_cast<int>(TextWidth(mark, kFontPx)) + 1;
        name_width = 2 * (kSlotWidth / 2 - 4 - mark_width - 2);
        out += "<text x=\"" + N(x + kSlotWidth - 4) + "\" y=\"" + N(kSlotTop + 16) +
               "\" class=\"repeat-mark\"><title>" + EscapeHtml(slot.repeat_note) + "</title>" + mark +
               "</text>\n";
      }
      out += Text(mid, kSlotTop + 16, "slot-name",
                  FitText(slot.name, name_width, kFontPx, Ellipsis::kEnd, true), slot.name);
      std::string role = slot.system_slot ? "SYS" : "";
      if (slot.timing_slot) role += role.empty() ? "TIM" : " TIM";
      if (!role.empty()) out += Text(mid, kSlotTop + 32, "role", role);
      if (slot.module) {
        const ViewModule& m = *slot.module;
        out += "<rect class=\"module\"" + Attr("data-chassis", c_.id) + Attr("data-slot", slot.name) +
               " x=\"" + N(x + 6) + "\" y=\"" + N(kSlotTop + 40) + "\" width=\"" + N(kSlotWidth - 12) +
               "\" height=\"120\"><title>" +
               EscapeHtml(m.vendor + " " + m.model + " " + m.instance + " " + m.address_info) +
               (m.trail.empty() ? "" : "\n\n" + EscapeHtml(m.trail)) + "</title></rect>\n";
        out += Text(x + 10, kSlotTop + 58, "", FitText(m.model, kModuleText, kFontPx), m.model);
        for (const auto& [y, value] : {std::pair<int, std::string>{kSlotTop + 76, "bus " + m.bus},
                                       std::pair<int, std::string>{kSlotTop + 92, "dev " + m.device}}) {
          if (value.size() > 4) out += Text(x + 10, y, "", FitText(value, kModuleText, kFontPx), value);
        }
        out += Text(x + 10, kSlotTop + 110, "instance", instance_labels[module_index++], m.instance);
      }
      if (IsNumber(slot.pci_bus) && IsNumber(slot.pci_device)) {
        const std::string pci = "bus " + slot.pci_bus + " dev " + slot.pci_device;
        out += Text(mid, kSlotTop + kSlotHeight - 8, "pci", FitText(pci, kSlotWidth - 4, kPciFontPx),
                    pci);
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
      out += Label(SlotX(span.first) + 4, y + 15, "",
                   {"Trigger bus " + bus.name, "Bus " + bus.name, bus.name}, SpanWidth(span) - 8);
    }
    // The bridges side by side on one row under the buses, each as near the
    // middle of its two buses as the ones before it leave room for; the
    // links rise from the boxes' top edges, so none crosses a box.
    const int y = kBusTop + static_cast<int>(rows.size()) * kBusRow;
    int next_free = kLeft;  // left edge of the room after the last box
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
      centre = std::max(centre, next_free + kBridgeWidth / 2);
      next_free = centre + kBridgeWidth / 2 + kBridgeGap;
      right_ = std::max(right_, centre + kBridgeWidth / 2);
      for (const std::optional<Placed>& end : {source, destination}) {
        if (!end) continue;
        out += "<line class=\"bridge-link\" x1=\"" + N(centre) + "\" y1=\"" + N(y) + "\" x2=\"" +
               N(middle(*end)) + "\" y2=\"" + N(end->y + 22) + "\"/>\n";
      }
      boxes += "<rect class=\"trigger-bridge\"" + Attr("data-chassis", c_.id) +
               Attr("data-bridge", bridge.name) + " x=\"" + N(centre - kBridgeWidth / 2) +
               "\" y=\"" + N(y) + "\" width=\"" + N(kBridgeWidth) + "\" height=\"20\"/>\n";
      const std::string label = "Bridge " + bridge.name + ": " + bridge.source_bus +
                                " \xE2\x86\x92 " + bridge.destination_bus;
      boxes += Text(centre - kBridgeWidth / 2 + 4, y + 14, "",
                    FitText(label, kBridgeWidth - 8, kFontPx), label);
    }
    out += boxes;
    return c_.bridges.empty() ? y : y + kBridgeRow;
  }

  int right_ = 0;  // the right edge of the rightmost bridge box

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

// What the run wrote nowhere, each item with its decisions as the
// explanation tells them.
std::string LeftOutSection(const SystemView& view) {
  std::string out =
      "<section class=\"left-out\">\n<h2>Left out of the system files</h2>\n<p>What the run found "
      "and wrote in neither file, and the decisions that left it out (<code>ztrm-sim --explain</code> "
      "tells every decision of the run).</p>\n";
  if (view.left_out.empty() && view.left_out_not_kept == 0) {
    return out + "<p>Nothing: every chassis and module the run found is written.</p>\n</section>\n";
  }
  out += "<ul>\n";
  for (const std::string& item : view.left_out) out += "<li><pre>" + EscapeHtml(item) + "</pre></li>\n";
  if (view.left_out_not_kept > 0) {
    out += "<li>" + N(static_cast<long long>(view.left_out_not_kept)) +
           " more, not listed here (<code>ztrm-sim --explain-all</code> lists every one)</li>\n";
  }
  return out + "</ul>\n</section>\n";
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

double TextWidth(const std::string& text, double font_px, bool bold) {
  const unsigned short* widths = bold ? kBoldWidths : kRegularWidths;
  double thousandths = 0;
  for (const std::string& c : Characters(text)) {
    const unsigned char u = static_cast<unsigned char>(c[0]);
    thousandths += c.size() == 1 && u >= 0x20 && u <= 0x7E ? widths[u - 0x20] : 1000;
  }
  return thousandths * font_px / 1000;
}

FittedText FitText(const std::string& text, double width, double font_px, Ellipsis where,
                   bool bold) {
  if (TextWidth(text, font_px, bold) <= width) return {text, false};
  const std::vector<std::string> chars = Characters(text);
  auto w = [&](const std::string& c) { return TextWidth(c, font_px, bold); };
  const double room = width - w(kEllipsis);
  double used = 0;
  std::size_t tail = chars.size();  // the kept end starts here
  if (where == Ellipsis::kMiddle) {
    while (tail > 0 && used + w(chars[tail - 1]) <= room * 2 / 3) used += w(chars[--tail]);
  }
  std::size_t head = 0;
  while (head < tail && used + w(chars[head]) <= room) used += w(chars[head++]);
  return {Join(chars, 0, head) + kEllipsis + Join(chars, tail, chars.size()), true};
}

std::vector<FittedText> DistinctLabels(const std::vector<std::string>& texts, double width,
                                       double font_px) {
  std::vector<FittedText> out;
  for (const std::string& t : texts) out.push_back(FitText(t, width, font_px, Ellipsis::kMiddle));
  // Labels alike for different texts: each shows its text from a little
  // before the first place where the texts of the group differ. A group
  // whose texts still look alike differs further on: the next round moves on.
  for (int round = 0; round < 16; ++round) {
    std::map<std::string, std::vector<std::size_t>> alike;
    for (std::size_t i = 0; i < out.size(); ++i) alike[out[i].shown].push_back(i);
    bool changed = false;
    for (const auto& entry : alike) {
      // A named reference, not a structured binding: lambdas below use it.
      const std::vector<std::size_t>& group = entry.second;
      if (std::all_of(group.begin(), group.end(), [&](std::size_t i) { return texts[i] == texts[group[0]]; })) {
        continue;
      }
      std::vector<std::vector<std::string>> chars;
      for (std::size_t i : group) chars.push_back(Characters(texts[i]));
      std::size_t common = 0;
      while (std::all_of(chars.begin(), chars.end(), [&](const std::vector<std::string>& c) {
        return common < c.size() && c[common] == chars[0][common];
      })) {
        ++common;
      }
      const std::size_t from = common > 2 ? common - 2 : 0;
      for (std::size_t k = 0; k < group.size(); ++k) {
        FittedText label =
            from == 0 ? FitText(texts[group[k]], width, font_px)
                      : FitText(kEllipsis + Join(chars[k], from, chars[k].size()), width, font_px);
        label.cut = true;
        if (!(label == out[group[k]])) changed = true;
        out[group[k]] = label;
      }
    }
    if (!changed) break;
  }
  return out;
}

std::string RenderSystemViewHtml(const SystemView& view) {
  std::string out =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<title>PXI system</title>\n<style>\n";
  out += kStyle;
  if (view.has_trail) out += ".left-out pre{white-space:pre-wrap;margin:2px 0;font-size:12px}\n";
  out += "</style>\n</head>\n<body>\n<h1>PXI system</h1>\n";
  out += "<p class=\"legend\">" + N(static_cast<long long>(view.chassis.size())) +
         " chassis. SYS: system slot; TIM: timing slot (the system timing slot of a PXI Express "
         "chassis, the star trigger controller slot of a PXI chassis); green boxes: modules; "
         "curves: star trigger lines; coloured bands: trigger buses." +
         (view.has_trail ? " The run's decisions about each chassis and module are in their tooltips; "
                           "what it left out is listed after the chassis."
                         : "") +
         "</p>\n";
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
  if (view.has_trail) out += LeftOutSection(view);
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
