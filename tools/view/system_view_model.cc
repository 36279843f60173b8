#include "tools/view/system_view_model.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>

#include "common/wide_text.h"
#include "platform/native/cp1252.h"
#include "platform/native/profile_text.h"
#include "tools/view/ini_lookup.h"

namespace ztrm {
namespace {

class Notes {
 public:
  explicit Notes(SystemView& view) : view_(view) {}
  void Add(std::string text) {
    if (view_.skipped.size() < kMaxViewSkipped) {
      view_.skipped.push_back(std::move(text));
    } else {
      ++view_.skipped_not_kept;
    }
  }

 private:
  SystemView& view_;
};

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// The first kMaxViewText characters of UTF-8 text.
std::string Cut(std::string text) {
  std::size_t seen = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    if (seen++ == kMaxViewText) {
      text.resize(i);
      break;
    }
  }
  return text;
}

// A trail text cut to kMaxViewTrailText bytes, at a character's start, with
// an ellipsis and where to read the rest.
std::string CutTrail(const std::string& text) {
  if (text.size() <= kMaxViewTrailText) return text;
  const std::string rest = "\xE2\x80\xA6 (cut: ztrm-sim --explain tells the whole)";
  std::size_t end = kMaxViewTrailText - rest.size();
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end) + rest;
}

// The trail's text of `section`, cut; empty when it has none.
std::string TrailOf(const ViewTrail* trail, const std::string& section) {
  if (!trail) return std::string();
  auto found = trail->placed.find(section);
  return found == trail->placed.end() ? std::string() : CutTrail(found->second);
}

std::vector<std::string> SplitList(const std::string& text) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t comma = text.find(',', start);
    if (comma == std::string::npos) comma = text.size();
    std::string item = text.substr(start, comma - start);
    item.erase(0, item.find_first_not_of(" \t"));
    item.erase(item.find_last_not_of(" \t") + 1);
    if (!item.empty()) out.push_back(Cut(std::move(item)));
    start = comma + 1;
  }
  return out;
}

// A slot name that is a number, as the writers name slots.
bool IsSlotNumber(const std::string& name) {
  return !name.empty() && name.size() <= 9 &&
         std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A chassis number as the writers print it ("%d" of a 16-bit ID).
std::optional<unsigned> ChassisNumber(const std::string& text) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  unsigned value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  if (value > 65535) return std::nullopt;
  return value;
}

struct SourceFile {
  const char* name;  // "pxisys.ini" or "pxiesys.ini"
  std::unique_ptr<IniLookup> ini;
};

void LoadFile(const std::optional<std::string>& bytes, SourceFile& file, Notes& notes) {
  if (!bytes) return;
  std::string_view text(*bytes);
  if (text.size() > kMaxViewFileBytes) {
    notes.Add(std::string(file.name) + ": only its first " + std::to_string(kMaxViewFileBytes >> 20) +
              " MB are read");
    text = text.substr(0, kMaxViewFileBytes);
  }
  file.ini = std::make_unique<IniLookup>(ParseProfile(text));
  if (!file.ini->HasSection("System")) {
    notes.Add(std::string(file.name) + " has no [System] section: none of its chassis are drawn");
  }
}

std::vector<unsigned> ListedChassis(const SourceFile& file, Notes& notes) {
  std::vector<unsigned> out;
  if (!file.ini) return out;
  std::optional<std::string> list = file.ini->Value("System", "ChassisList");
  if (!list) {
    if (file.ini->HasSection("System")) {
      notes.Add(std::string(file.name) + ": [System] has no ChassisList");
    }
    return out;
  }
  std::size_t bad = 0;
  std::string first_bad;
  std::set<unsigned> seen;
  for (const std::string& item : SplitList(*list)) {
    std::optional<unsigned> number = ChassisNumber(item);
    if (!number) {
      if (bad++ == 0) first_bad = item;
      continue;
    }
    if (seen.insert(*number).second) out.push_back(*number);
  }
  if (bad > 0) {
    notes.Add(std::string(file.name) + ": ChassisList entry " + Quoted(first_bad) +
              (bad > 1 ? " and " + std::to_string(bad - 1) + " more" : std::string()) +
              " not a chassis number from 0 to 65535");
  }
  return out;
}

// A list value, whole.
std::string GetList(const SourceFile& file, const std::string& section, const char* key) {
  if (!file.ini) return std::string();
  return file.ini->Value(section, key).value_or(std::string());
}

// Any other value, cut to kMaxViewText.
std::string Get(const SourceFile& file, const std::string& section, const char* key) {
  return Cut(GetList(file, section, key));
}

bool Has(const SourceFile& file, const std::string& section) {
  return file.ini && file.ini->HasSection(section);
}

std::optional<std::size_t> SlotPosition(const ViewChassis& chassis, const std::string& name) {
  for (std::size_t i = 0; i < chassis.slots.size(); ++i) {
    if (chassis.slots[i].name == name) return i;
  }
  return std::nullopt;
}

// "PCI::bus::device::function" gives bus and device.
void SplitAddressInfo(ViewModule& module) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  const std::string& text = module.address_info;
  while (true) {
    std::size_t sep = text.find("::", start);
    parts.push_back(text.substr(start, sep == std::string::npos ? std::string::npos : sep - start));
    if (sep == std::string::npos) break;
    start = sep + 2;
  }
  if (parts.size() == 4 && parts[0] == "PCI") {
    module.bus = parts[1];
    module.device = parts[2];
  }
}

class ChassisReader {
 public:
  ChassisReader(unsigned id, const SourceFile& pxisys, const SourceFile& pxiesys, Notes& notes)
      : pxisys_(pxisys), pxiesys_(pxiesys), notes_(notes) {
    chassis_.id = std::to_string(id);
    prefix_ = "Chassis" + chassis_.id;
    chassis_.in_pxisys = Has(pxisys, prefix_);
    chassis_.in_pxiesys = Has(pxiesys, prefix_);
  }

  bool Present() const { return chassis_.in_pxisys || chassis_.in_pxiesys; }

  ViewChassis Read() {
    // Trigger buses, bridges and star triggers: from pxiesys.ini for a chassis it describes.
    const SourceFile& triggers = chassis_.in_pxiesys ? pxiesys_ : pxisys_;
    chassis_.model = Either("Model");
    chassis_.vendor = Either("Vendor");
    chassis_.serial_number = Get(pxiesys_, prefix_, "SerialNumber");
    chassis_.description_file = Either("DescriptionFile");
    chassis_.trigger_manager = Either("TriggerManager");
    ReadSlots();
    ReadSegments();
    ReadTriggerBuses(triggers);
    ReadBridges(triggers);
    ReadStarTriggers(triggers);
    MarkTimingSlot(triggers);
    return std::move(chassis_);
  }

 private:
  std::string Either(const char* key) {
    std::string value = chassis_.in_pxiesys ? Get(pxiesys_, prefix_, key) : std::string();
    return value.empty() ? Get(pxisys_, prefix_, key) : value;
  }

  std::string Where() const { return "chassis " + chassis_.id; }

  void ReadSlots() {
    std::vector<std::string> names;
    std::set<std::string> seen;
    // Names a list gives more than once: where, and how many times.
    std::map<std::string, std::vector<std::pair<std::string, std::size_t>>> repeats;
    auto add = [&](const std::string& list, const std::string& where) {
      std::map<std::string, std::size_t> counts;
      for (const std::string& name : SplitList(list)) {
        if (seen.insert(name).second) names.push_back(name);
        ++counts[name];
      }
      for (const auto& [name, count] : counts) {
        if (count > 1) repeats[name].emplace_back(where, count);
      }
    };
    for (const SourceFile* file : {&pxiesys_, &pxisys_}) {
      if (Has(*file, prefix_)) add(GetList(*file, prefix_, "SlotList"), std::string(file->name) + "'s SlotList");
    }
    // pxisys.ini lists only the slots it gives a PCI position; its segments
    // name the others (all slots of a PXI Express chassis it alone describes).
    if (chassis_.in_pxisys) {
      std::vector<std::string> segments = SplitList(GetList(pxisys_, prefix_, "PCIBusSegmentList"));
      if (segments.size() > kMaxViewGroups) segments.resize(kMaxViewGroups);
      for (const std::string& segment : segments) {
        const std::string section = prefix_ + "PCIBusSegment" + segment;
        add(GetList(pxisys_, section, "SlotList"), "pxisys.ini's [" + section + "] SlotList");
      }
    }
    // Chassis order: by number when every slot is named by one. A slot that
    // pxisys.ini gives no PCI position comes only from a segment's list and
    // would otherwise stand after all the others.
    if (std::all_of(names.begin(), names.end(), IsSlotNumber)) {
      std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return std::stoul(a) < std::stoul(b);
      });
    }
    if (names.empty()) notes_.Add(Where() + ": no slots are listed");
    if (names.size() > kMaxViewSlots) {
      notes_.Add(Where() + ": " + std::to_string(names.size() - kMaxViewSlots) +
                 " more slots are listed; only the first " + std::to_string(kMaxViewSlots) +
                 " are drawn");
      names.resize(kMaxViewSlots);
    }
    for (const std::string& name : names) {
      ViewSlot slot;
      slot.name = name;
      std::string section = prefix_ + "Slot" + name;
      if (auto it = repeats.find(name); it != repeats.end()) NoteRepeats(slot, section, it->second);
      slot.pci_bus = Get(pxisys_, section, "PCIBusNumber");
      slot.pci_device = Get(pxisys_, section, "PCIDeviceNumber");
      slot.pci_path = Get(pxisys_, section, "PCISlotPath");
      slot.slot_type = Get(pxiesys_, section, "SlotType");
      ViewModule module;
      module.model = Get(pxiesys_, section, "Model");
      module.vendor = Get(pxiesys_, section, "Vendor");
      module.instance = Get(pxiesys_, section, "InstanceName");
      module.address_info = Get(pxiesys_, section, "AddressInfo");
      module.link_width_max = Get(pxiesys_, section, "PeripheralModuleLinkWidthMax");
      module.link_width_negotiated = Get(pxiesys_, section, "PeripheralModuleLinkWidthNegotiated");
      if (!module.model.empty() || !module.instance.empty() || !module.address_info.empty()) {
        SplitAddressInfo(module);
        slot.module = std::move(module);
      }
      chassis_.slots.push_back(std::move(slot));
    }
    std::optional<std::size_t> system = SlotPosition(chassis_, "1");
    if (!system && !chassis_.slots.empty()) system = 0;
    if (system) chassis_.slots[*system].system_slot = true;
  }

  // A slot some list names more than once: drawn once, from the first
  // section of its name in each file; the note says what the files hold.
  void NoteRepeats(ViewSlot& slot, const std::string& section,
                   const std::vector<std::pair<std::string, std::size_t>>& lists) {
    std::string held;
    for (const auto& [where, count] : lists) {
      held += (held.empty() ? "" : ", ") + where + " names it " + Times(count);
      slot.times_listed = std::max(slot.times_listed, count);
    }
    for (const SourceFile* file : {&pxiesys_, &pxisys_}) {
      if (!file->ini) continue;
      const std::size_t sections = file->ini->SectionCount(section);
      if (sections > 1) {
        held += "; " + std::string(file->name) + " holds " + std::to_string(sections) + " [" +
                section + "] sections, of which only the first is drawn";
      }
    }
    slot.repeat_note = "slot " + Quoted(slot.name) + " is listed more than once: " + held;
    notes_.Add(Where() + ": " + slot.repeat_note + "; it is drawn once");
  }

  static std::string Times(std::size_t n) { return n == 2 ? "twice" : std::to_string(n) + " times"; }

  // Positions of a group's slots; names the slots that are not in the chassis.
  std::vector<std::size_t> GroupSlots(const std::string& what, const std::string& list) {
    std::vector<std::size_t> out;
    for (const std::string& name : SplitList(list)) {
      std::optional<std::size_t> at = SlotPosition(chassis_, name);
      if (at) {
        if (std::find(out.begin(), out.end(), *at) == out.end()) out.push_back(*at);
      } else {
        notes_.Add(Where() + ": " + what + " names slot " + Quoted(name) +
                   ", which is not among the slots drawn");
      }
    }
    return out;
  }

  std::vector<std::string> Bounded(const std::string& what, std::vector<std::string> names) {
    if (names.size() > kMaxViewGroups) {
      notes_.Add(Where() + ": " + std::to_string(names.size() - kMaxViewGroups) + " more " + what +
                 " are listed; only the first " + std::to_string(kMaxViewGroups) + " are drawn");
      names.resize(kMaxViewGroups);
    }
    return names;
  }

  void ReadSegments() {
    if (!chassis_.in_pxisys) return;
    for (const std::string& name :
         Bounded("PCI bus segments", SplitList(GetList(pxisys_, prefix_, "PCIBusSegmentList")))) {
      std::string section = prefix_ + "PCIBusSegment" + name;
      if (!Has(pxisys_, section)) {
        notes_.Add(Where() + ": PCI bus segment " + Quoted(name) + " has no [" + section +
                   "] section in pxisys.ini");
        continue;
      }
      chassis_.segments.push_back(
          {name, GroupSlots("PCI bus segment " + Quoted(name), GetList(pxisys_, section, "SlotList"))});
    }
  }

  void ReadTriggerBuses(const SourceFile& file) {
    for (const std::string& name :
         Bounded("trigger buses", SplitList(GetList(file, prefix_, "TriggerBusList")))) {
      std::string section = prefix_ + "TriggerBus" + name;
      if (!Has(file, section)) {
        notes_.Add(Where() + ": trigger bus " + Quoted(name) + " has no [" + section + "] section in " +
                   file.name);
        continue;
      }
      chassis_.trigger_buses.push_back(
          {name, GroupSlots("trigger bus " + Quoted(name), GetList(file, section, "SlotList"))});
    }
  }

  void ReadBridges(const SourceFile& file) {
    for (const std::string& name :
         Bounded("trigger bridges", SplitList(GetList(file, prefix_, "TriggerBridgeList")))) {
      std::string section = prefix_ + "TriggerBridge" + name;
      if (!Has(file, section)) {
        notes_.Add(Where() + ": trigger bridge " + Quoted(name) + " has no [" + section +
                   "] section in " + file.name);
        continue;
      }
      chassis_.bridges.push_back({name, Get(file, section, "SourceTriggerBus"),
                                  Get(file, section, "DestinationTriggerBus"),
                                  Get(file, section, "LineMappingSpec")});
    }
  }

  void ReadStarTriggers(const SourceFile& file) {
    // Star trigger sections are numbered 1, 2, ... by their place in the list.
    std::size_t count =
        Bounded("star triggers", SplitList(GetList(file, prefix_, "StarTriggerList"))).size();
    for (std::size_t k = 1; k <= count; ++k) {
      std::string section = prefix_ + "StarTrigger" + std::to_string(k);
      if (!Has(file, section)) {
        notes_.Add(Where() + ": star trigger " + std::to_string(k) + " has no [" + section +
                   "] section in " + file.name);
        continue;
      }
      ViewStarTrigger star;
      star.number = std::to_string(k);
      star.from_slot = Get(file, section, "SystemTimingSlot");
      if (star.from_slot.empty()) star.from_slot = Get(file, section, "ControllerSlot");
      auto keys = file.ini->KeysWithPrefix(section, "PXI_STAR", kMaxViewStarLines + 1);
      if (keys.size() > kMaxViewStarLines) {
        notes_.Add(Where() + ": star trigger " + star.number + " has more than " +
                   std::to_string(kMaxViewStarLines) + " lines; only the first are drawn");
        keys.resize(kMaxViewStarLines);
      }
      for (auto& [key, slot_name] : keys) {
        key = Cut(std::move(key));
        slot_name = Cut(std::move(slot_name));
        std::string line = key.substr(8);
        std::optional<std::size_t> at = SlotPosition(chassis_, slot_name);
        if (!at) {
          notes_.Add(Where() + ": star trigger " + star.number + " line " + Quoted(key) +
                     " names slot " + Quoted(slot_name) + ", which is not among the slots drawn");
          continue;
        }
        star.lines.push_back({line, *at});
      }
      chassis_.star_triggers.push_back(std::move(star));
    }
  }

  void MarkTimingSlot(const SourceFile& triggers) {
    std::string timing;
    if (chassis_.in_pxiesys) {
      for (const ViewStarTrigger& star : chassis_.star_triggers) {
        if (timing.empty()) timing = Get(pxiesys_, prefix_ + "StarTrigger" + star.number, "SystemTimingSlot");
      }
      std::size_t sets =
          std::min(SplitList(GetList(pxiesys_, prefix_, "StarSystemTimingSetList")).size(), kMaxViewGroups);
      for (std::size_t k = 1; k <= sets && timing.empty(); ++k) {
        timing = Get(pxiesys_, prefix_ + "StarSystemTimingSets" + std::to_string(k), "SystemTimingSlot");
      }
      for (std::size_t i = 0; i < chassis_.slots.size() && timing.empty(); ++i) {
        if (chassis_.slots[i].slot_type == "PXIeSystemTimingSlot") timing = chassis_.slots[i].name;
      }
    }
    for (std::size_t k = 0; k < chassis_.star_triggers.size() && timing.empty(); ++k) {
      timing = Get(triggers, prefix_ + "StarTrigger" + chassis_.star_triggers[k].number, "ControllerSlot");
    }
    if (timing.empty()) return;
    if (std::optional<std::size_t> at = SlotPosition(chassis_, timing)) {
      chassis_.slots[*at].timing_slot = true;
    } else {
      notes_.Add(Where() + ": the timing slot " + Quoted(timing) + " is not among the slots drawn");
    }
  }

  const SourceFile& pxisys_;
  const SourceFile& pxiesys_;
  Notes& notes_;
  ViewChassis chassis_;
  std::string prefix_;
};

WString CutLine(WStringView line) {
  return WString(line.substr(0, std::min<std::size_t>(line.size(), WideText::kMaxLength)));
}

std::optional<std::string> AfterPrefix(WStringView line, WStringView prefix) {
  if (line.substr(0, prefix.size()) != prefix) return std::nullopt;
  WStringView rest = line.substr(prefix.size());
  if (!rest.empty() && rest.back() == u'.') rest.remove_suffix(1);
  return ToUtf8(CutLine(rest));
}

ViewRun ReadRunLog(std::string_view bytes, Notes& notes) {
  ViewRun run;
  if (bytes.size() > kMaxViewFileBytes) {
    notes.Add("pxirms.log: only its first " + std::to_string(kMaxViewFileBytes >> 20) + " MB are read");
    bytes = bytes.substr(0, kMaxViewFileBytes);
  }
  WString text = DecodeWindows1252(bytes);
  std::size_t problems = 0;
  WStringView rest(text);
  while (!rest.empty()) {
    std::size_t end = rest.find_first_of(u"\r\n");
    WStringView line = rest.substr(0, end);
    rest = end == WStringView::npos ? WStringView() : rest.substr(end + 1);
    while (!line.empty() && (line.back() == u' ' || line.back() == u'\t')) line.remove_suffix(1);
    if (line.empty()) continue;
    if (run.time.empty() && line.front() == u'[' && line.back() == u']') {
      run.time = ToUtf8(CutLine(line.substr(1, line.size() - 2)));
    } else if (auto maker = AfterPrefix(line, u"Current System Manufacturer Name = ")) {
      if (run.host_manufacturer.empty()) run.host_manufacturer = *maker;
    } else if (auto model = AfterPrefix(line, u"Current System Model Name = ")) {
      if (run.host_model.empty()) run.host_model = *model;
    } else if (line.find(u"Fail") != WStringView::npos) {
      if (problems++ < kMaxViewLogProblems) run.problems.push_back(ToUtf8(CutLine(line)));
    }
  }
  if (problems > kMaxViewLogProblems) {
    notes.Add("pxirms.log: " + std::to_string(problems - kMaxViewLogProblems) +
              " more lines holding \"Fail\" are not listed");
  }
  return run;
}

}  // namespace

std::size_t ViewChassisPageBound(const ViewChassis& c) {
  // Escaping makes a byte at most 6 ("&quot;"); each text is counted as often
  // as the page can show it, and each element's markup generously.
  constexpr std::size_t kEscaped = 6;
  std::size_t texts = 3 * (c.id.size() + c.model.size() + c.vendor.size() + c.serial_number.size() +
                           c.description_file.size() + c.trigger_manager.size()) +
                      c.trail.size();
  std::size_t markup = 8000;
  for (const ViewSlot& s : c.slots) {
    texts += 10 * s.name.size() + 2 * (s.slot_type.size() + s.pci_bus.size() + s.pci_device.size() +
                                       s.pci_path.size() + s.repeat_note.size());
    if (s.module) {
      const ViewModule& m = *s.module;
      // Shown, in a tooltip when cut, in the module's tooltip and in the table.
      texts += 4 * (m.model.size() + m.vendor.size() + m.instance.size() + m.address_info.size() +
                    m.bus.size() + m.device.size()) +
               m.trail.size();
    }
    markup += 2000;
  }
  for (const auto* groups : {&c.segments, &c.trigger_buses}) {
    for (const ViewSlotGroup& g : *groups) {
      // The name also stands in the slot table row of every member slot.
      texts += g.name.size() * (4 + g.slots.size());
      for (std::size_t p : g.slots) texts += c.slots[p].name.size() + 1;
      markup += 600;
    }
  }
  for (const ViewTriggerBridge& b : c.bridges) {
    texts += 4 * (b.name.size() + b.source_bus.size() + b.destination_bus.size() + b.line_mapping.size());
    markup += 1000;
  }
  for (const ViewStarTrigger& st : c.star_triggers) {
    texts += 2 * (st.number.size() + st.from_slot.size());
    markup += 300;
    for (const ViewStarLine& l : st.lines) {
      texts += 4 * l.line.size() + 4 * c.slots[l.slot].name.size();
      markup += 400;
    }
  }
  return kEscaped * texts + markup;
}

SystemView ReadSystemView(const ViewInputs& inputs) {
  SystemView view;
  Notes notes(view);
  for (const std::string& reason : inputs.unreadable) notes.Add(reason);

  SourceFile pxisys{"pxisys.ini", nullptr};
  SourceFile pxiesys{"pxiesys.ini", nullptr};
  LoadFile(inputs.pxisys, pxisys, notes);
  LoadFile(inputs.pxiesys, pxiesys, notes);

  const std::vector<unsigned> pxi_order = ListedChassis(pxisys, notes);
  const std::vector<unsigned> pxie_order = ListedChassis(pxiesys, notes);
  std::vector<unsigned> order = pxi_order;
  for (unsigned id : pxie_order) {
    if (std::find(order.begin(), order.end(), id) == order.end()) order.push_back(id);
  }
  if (order.size() > kMaxViewChassis) {
    notes.Add(std::to_string(order.size() - kMaxViewChassis) + " more chassis are listed; only the first " +
              std::to_string(kMaxViewChassis) + " are drawn");
    order.resize(kMaxViewChassis);
  }
  // The trail's "left out" list comes first out of the page's budget.
  std::size_t page_bound = 0;
  if (inputs.trail) {
    view.has_trail = true;
    for (const std::string& text : inputs.trail->left_out) {
      if (view.left_out.size() == kMaxViewLeftOut) break;
      view.left_out.push_back(CutTrail(text));
      page_bound += 6 * view.left_out.back().size() + 20;
    }
    view.left_out_not_kept =
        inputs.trail->left_out_not_kept + (inputs.trail->left_out.size() - view.left_out.size());
  }
  for (unsigned id : order) {
    const std::string section = "Chassis" + std::to_string(id);
    for (const auto* file : {&pxisys, &pxiesys}) {
      const auto& listed = file == &pxisys ? pxi_order : pxie_order;
      if (std::find(listed.begin(), listed.end(), id) != listed.end() && !Has(*file, section)) {
        notes.Add(std::string(file->name) + " lists chassis " + std::to_string(id) +
                  " but has no [" + section + "] section");
      }
    }
    ChassisReader reader(id, pxisys, pxiesys, notes);
    if (!reader.Present()) continue;
    ViewChassis chassis = reader.Read();
    chassis.trail = TrailOf(inputs.trail, section);
    for (ViewSlot& slot : chassis.slots) {
      if (slot.module) slot.module->trail = TrailOf(inputs.trail, section + "Slot" + slot.name);
    }
    const std::size_t bound = ViewChassisPageBound(chassis);
    if (page_bound + bound > kMaxViewPageBytes) {
      notes.Add("chassis " + chassis.id + " and the chassis after it are not drawn: the page would "
                "pass " + std::to_string(kMaxViewPageBytes >> 20) + " MB");
      break;
    }
    page_bound += bound;
    view.chassis.push_back(std::move(chassis));
  }

  if (inputs.run_log) view.run = ReadRunLog(*inputs.run_log, notes);
  return view;
}

}  // namespace ztrm
