#include "tools/explain_report.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

#include "chassis/chassis_mapping.h"
#include "common/wide_format.h"
#include "output/system_file_common.h"

namespace ztrm {
namespace {

// One decision as the report shows it: a recorded entry, or one the report
// works out itself (a description file's nearest miss).
struct Decision {
  std::string kind;
  std::string rule;
  std::vector<std::pair<std::string, WString>> values;
  WString where;
};

struct Item {
  WString title;
  WString where;  // where the subject ended up, or "not written"
  std::vector<Decision> decisions;
  // The section of the system files a chassis or module stands in
  // ("Chassis2", "Chassis2Slot5"); empty when it is written nowhere.
  WString section = WString();
};

struct Section {
  const char* key;    // JSON name
  const char* title;  // text heading
  const char* noun;   // "chassis", "modules" ... for the left-off line
  std::vector<Item> items;
};

Decision FromEntry(const TrailEntry& e) {
  return {TrailKindName(e.kind), TrailKindRule(e.kind), e.values, e.where};
}

// Unicode scalar values of `text`, with unpaired halves as themselves.
template <typename Emit>
void ForEachCodePoint(WStringView text, Emit emit) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    bool lone = false;
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      lone = true;
    }
    emit(c, lone);
  }
}

// Characters that would act on a terminal or reorder the text around them.
bool Hidden(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x200E || c == 0x200F ||
         (c >= 0x2028 && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0xFEFF;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string Printf(const char* format, unsigned value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

// ---------------------------------------------------------------------------
// Gathering the items.

struct ModuleRef {
  const PxisaVendorEntry* vendor;
  const PxisaModelEntry* model;
  const ModuleRecord* record;
};

std::vector<ModuleRef> Flatten(const PxisaServiceList& list) {
  std::vector<ModuleRef> refs;
  for (const PxisaVendorEntry& v : list.Vendors) {
    for (const PxisaModelEntry& m : v.Models) {
      for (const ModuleRecord& r : m.Modules) refs.push_back({&v, &m, &r});
    }
  }
  return refs;
}

bool Is(const TrailEntry& e, TrailSubjectKind kind, std::uint32_t a) {
  return e.subject.kind == kind && e.subject.a == a;
}

// The where of the last decision that places the subject, else "not written".
WString Outcome(const std::vector<Decision>& decisions) {
  for (auto it = decisions.rbegin(); it != decisions.rend(); ++it) {
    if (!it->where.empty()) return it->where;
  }
  return kNotWritten;
}

WString ChassisTitle(const stPXISys& sys) {
  return FormatWide(u"%s %s (%s, description %s)", sys.Vendor, sys.Model,
                    sys.bPXI1 == 1 ? u"PXI-1" : u"PXI Express", sys.szDescriptionFile);
}

std::vector<Item> ChassisItems(const RunContext& ctx, const DecisionTrail& trail) {
  const auto& entries = trail.entries();
  std::vector<std::size_t> order = ChassisOrder(ctx.vecPXISys, false);
  std::vector<bool> in_order(ctx.vecPXISys.size(), false);
  for (std::size_t p : order) in_order[p] = true;
  for (std::size_t p = 0; p < ctx.vecPXISys.size(); ++p) {
    if (!in_order[p]) order.push_back(p);
  }
  std::vector<Item> items;
  for (std::size_t p : order) {
    Item item{ChassisTitle(ctx.vecPXISys[p]), {}, {}};
    // The entries of its origin (the reported chassis or the list entry)
    // come first, then its own, in the order they were made.
    TrailSubject origin{};
    bool has_origin = false;
    for (const TrailEntry& e : entries) {
      if (e.kind == TrailKind::kDescription && e.record == static_cast<std::int64_t>(p)) {
        origin = e.subject;
        has_origin = true;
      }
    }
    for (const TrailEntry& e : entries) {
      const bool own = e.subject.kind != TrailSubjectKind::kSegment &&
                       ((e.record == static_cast<std::int64_t>(p)) ||
                        Is(e, TrailSubjectKind::kChassisRecord, static_cast<std::uint32_t>(p)) ||
                        Is(e, TrailSubjectKind::kSlot, static_cast<std::uint32_t>(p)));
      if (own || (has_origin && e.subject == origin && e.record < 0)) {
        item.decisions.push_back(FromEntry(e));
      }
    }
    item.where = WString(kNotWritten);
    for (const TrailEntry& e : entries) {
      if (e.kind == TrailKind::kChassisWritten && Is(e, TrailSubjectKind::kChassisRecord, static_cast<std::uint32_t>(p))) {
        item.where = e.where;
        item.section = FormatWide(u"Chassis%u", static_cast<unsigned>(ctx.vecPXISys[p].usChassisID));
      }
    }
    items.push_back(std::move(item));
  }
  // Chassis that never got a record.
  std::vector<std::pair<const PxisaVendorEntry*, const PxisaModelEntry*>> reported;
  for (const PxisaVendorEntry& v : ctx.ChassisModules.Vendors) {
    for (const PxisaModelEntry& m : v.Models) {
      for (std::size_t r = 0; r < m.Modules.size(); ++r) reported.emplace_back(&v, &m);
    }
  }
  for (const TrailEntry& e : entries) {
    if (e.kind != TrailKind::kNoDescription && e.kind != TrailKind::kNoRootBusExport) continue;
    WString title;
    if (e.subject.kind == TrailSubjectKind::kChassisModule && e.subject.a >= 1 &&
        e.subject.a <= reported.size()) {
      const auto& r = reported[e.subject.a - 1];
      title = FormatWide(u"%s %s (PXI Express, reported by its library)", r.first->VendorName,
                         r.second->ModelName);
    } else if (e.subject.kind == TrailSubjectKind::kListEntry) {
      title = FormatWide(u"%s %s (PXI-1, PXIChassisList.ini [Chassis%u])", e.Value("vendor"),
                         e.Value("model"), e.subject.a);
    }
    Item item{title, {}, {}};
    for (const TrailEntry& o : entries) {
      if (o.subject == e.subject) item.decisions.push_back(FromEntry(o));
    }
    item.where = Outcome(item.decisions);
    items.push_back(std::move(item));
  }
  return items;
}

std::vector<Item> ModuleItems(const RunContext& ctx, const DecisionTrail& trail) {
  std::vector<Item> items;
  const auto& entries = trail.entries();
  for (const TrailEntry& e : entries) {
    if (e.kind != TrailKind::kCountCut) continue;
    Item item{FormatWide(u"model %s %s", e.Value("vendor"), e.Value("model")), e.where, {FromEntry(e)}};
    items.push_back(std::move(item));
  }
  // Decisions by subject, so a large run stays linear.
  std::map<std::pair<int, std::uint32_t>, std::vector<const TrailEntry*>> by_module;
  for (const TrailEntry& e : entries) {
    if (e.subject.kind == TrailSubjectKind::kSystemModule ||
        e.subject.kind == TrailSubjectKind::kPeripheralModule) {
      by_module[{static_cast<int>(e.subject.kind), e.subject.a}].push_back(&e);
    }
  }
  const struct {
    const PxisaServiceList* list;
    TrailSubjectKind kind;
  } kinds[] = {{&ctx.SystemModules, TrailSubjectKind::kSystemModule},
               {&ctx.PeripheralModules, TrailSubjectKind::kPeripheralModule}};
  for (const auto& k : kinds) {
    for (const ModuleRef& m : Flatten(*k.list)) {
      const ModuleRecord& r = *m.record;
      const bool system = k.kind == TrailSubjectKind::kSystemModule;
      Item item{TrailModuleName(m.vendor->VendorName.view(), m.model->ModelName.view(),
                                r.UniqueName.view()) +
                    (system ? FormatWide(u" (%s, controller, buses %u-%u)", r.AddressInfo, r.MinBus,
                                         r.MaxBus)
                            : FormatWide(u" (%s, bus %u, slot number %u)", r.AddressInfo,
                                         r.PCIBusNumber, r.SlotNumber)),
                {},
                {}};
      auto found = by_module.find({static_cast<int>(k.kind), r.Index});
      if (found != by_module.end()) {
        for (const TrailEntry* e : found->second) item.decisions.push_back(FromEntry(*e));
      }
      item.where = Outcome(item.decisions);
      // Placed modules end up in "[ChassisNSlotM] of pxiesys.ini".
      const WStringView placed = item.where;
      const WStringView suffix = u"] of pxiesys.ini";
      if (placed.size() > suffix.size() + 1 && placed.front() == u'[' &&
          placed.substr(placed.size() - suffix.size()) == suffix) {
        item.section = WString(placed.substr(1, placed.size() - suffix.size() - 1));
      }
      items.push_back(std::move(item));
    }
  }
  return items;
}

// What tells a line apart from the one sought, in words.
WString Difference(WStringView line, WStringView wanted, WStringView key) {
  if (line.empty()) return FormatWide(u"the file has no line containing \"%s\"", key);
  if (line.back() != u'\n') {
    return u"the line has no line feed after it (the last line of the file)";
  }
  if (line.substr(0, key.size()) != key) {
    return FormatWide(u"a later line containing \"%s\" took the place of the [Chassis] line", key);
  }
  if (line.size() == wanted.size() && EqualsIgnoreCase(line, wanted)) return u"letter case differs";
  auto squeeze = [](WStringView t) {
    WString s;
    for (char16_t c : t) {
      if (c != u' ' && c != u'\t') s += c;
    }
    return s;
  };
  if (squeeze(line) == squeeze(wanted)) return u"blanks differ (exactly one blank each side of =)";
  return u"the names differ";
}

WStringView WithoutLineFeed(WStringView line) {
  return !line.empty() && line.back() == u'\n' ? line.substr(0, line.size() - 1) : line;
}

std::vector<Item> FileItems(const RunContext& ctx, const DecisionTrail& trail) {
  const auto& entries = trail.entries();
  struct Sought {
    WString vendor, model, vendor_line, model_line;
  };
  std::vector<Sought> sought;
  std::map<std::uint64_t, std::vector<const TrailEntry*>> matches;
  for (const TrailEntry& e : entries) {
    if (e.kind != TrailKind::kDescription && e.kind != TrailKind::kNoDescription) continue;
    sought.push_back({e.Value("vendor"), e.Value("model"), VendorKeyText(e.Value("vendor")),
                      ModelKeyText(e.Value("model"))});
    if (e.kind == TrailKind::kDescription) {
      const WString position = e.Value("file position");
      matches[std::stoull(ToUtf8(position))].push_back(&e);
    }
  }
  std::vector<Item> items;
  std::map<std::pair<WString, WString>, std::size_t> first_of_lines;
  for (std::size_t i = 0; i < ctx.vecChassisDescFile.size(); ++i) {
    const stChassisDescFile& f = ctx.vecChassisDescFile[i];
    Item item{f.szFileName.str(), {}, {}};
    auto first = first_of_lines.emplace(std::make_pair(f.szVendorLine.str(), f.szModelLine.str()), i);
    auto m = matches.find(i);
    if (m != matches.end()) {
      for (const TrailEntry* e : m->second) {
        Decision d{"matched", TrailKindRule(TrailKind::kDescription), {}, {}};
        d.values.emplace_back("chassis", FormatWide(u"%s %s", e->Value("vendor"), e->Value("model")));
        d.values.emplace_back("bus segment sections", e->Value("bus segment sections"));
        if (e->record >= 0 && static_cast<std::size_t>(e->record) < ctx.vecPXISys.size()) {
          d.where = ChassisTitle(ctx.vecPXISys[e->record]);
        }
        item.decisions.push_back(std::move(d));
      }
      item.where = u"matched";
      items.push_back(std::move(item));
      continue;
    }
    item.where = u"matched no chassis";
    if (!first.second) {
      Decision d{"file-shadowed",
                 "of two files with the same Vendor and Model lines only the first listed is used",
                 {{"earlier file", ctx.vecChassisDescFile[first.first->second].szFileName.str()}},
                 WString(u"never used")};
      item.decisions.push_back(std::move(d));
      items.push_back(std::move(item));
      continue;
    }
    Decision d{"file-unmatched", TrailKindRule(TrailKind::kNoDescription), {}, WString(u"never used")};
    d.values.emplace_back("Vendor line", WString(WithoutLineFeed(f.szVendorLine.view())));
    d.values.emplace_back("Model line", WString(WithoutLineFeed(f.szModelLine.view())));
    // The chassis sought whose lines differ least from the file's.
    const Sought* nearest = nullptr;
    int best = 3;
    for (const Sought& s : sought) {
      const int differ = (f.szVendorLine != WStringView(s.vendor_line)) +
                         (f.szModelLine != WStringView(s.model_line));
      if (differ < best) {
        best = differ;
        nearest = &s;
      }
    }
    if (!nearest) {
      d.values.emplace_back("nearest miss", u"none: no chassis was looked for in this run");
    } else {
      d.values.emplace_back("nearest chassis", FormatWide(u"%s %s", nearest->vendor, nearest->model));
      if (f.szVendorLine != WStringView(nearest->vendor_line)) {
        d.values.emplace_back("Vendor line wanted", WString(WithoutLineFeed(nearest->vendor_line)));
        d.values.emplace_back("Vendor line differs",
                              Difference(f.szVendorLine.view(), nearest->vendor_line, u"Vendor"));
      }
      if (f.szModelLine != WStringView(nearest->model_line)) {
        d.values.emplace_back("Model line wanted", WString(WithoutLineFeed(nearest->model_line)));
        d.values.emplace_back("Model line differs",
                              Difference(f.szModelLine.view(), nearest->model_line, u"Model"));
      }
    }
    item.decisions.push_back(std::move(d));
    items.push_back(std::move(item));
  }
  for (const TrailEntry& e : entries) {
    if (e.kind != TrailKind::kFileUnreadable) continue;
    items.push_back({e.Value("file"), e.where, {FromEntry(e)}});
  }
  return items;
}

std::vector<Item> ListItems(const DecisionTrail& trail) {
  std::map<std::uint32_t, Item> by_entry;
  for (const TrailEntry& e : trail.entries()) {
    if (e.subject.kind != TrailSubjectKind::kListEntry) continue;
    Item& item = by_entry[e.subject.a];
    if (item.title.empty()) {
      item.title = FormatWide(u"[Chassis%u] %s %s", e.subject.a, e.Value("Vendor"), e.Value("Model"));
    }
    item.decisions.push_back(FromEntry(e));
  }
  std::vector<Item> items;
  for (auto& [number, item] : by_entry) {
    item.where = Outcome(item.decisions);
    for (const Decision& d : item.decisions) {
      if (d.kind == TrailKindName(TrailKind::kDescription)) {
        item.where = FormatWide(u"read; described by %s", d.values.size() > 2 ? d.values[2].second : WString());
      }
    }
    items.push_back(std::move(item));
  }
  return items;
}

std::vector<Item> WalkItems(const RunContext& ctx, const DecisionTrail& trail) {
  std::vector<Item> items;
  for (const TrailEntry& e : trail.entries()) {
    if (e.subject.kind != TrailSubjectKind::kSegment) continue;
    WString chassis;
    if (e.subject.a < ctx.vecPXISys.size()) {
      const stPXISys& sys = ctx.vecPXISys[e.subject.a];
      chassis = FormatWide(u"chassis ID %u %s %s", static_cast<unsigned>(sys.usChassisID), sys.Vendor, sys.Model);
    }
    items.push_back({FormatWide(u"%s, bus segment %s", chassis, e.Value("segment")), e.where, {FromEntry(e)}});
  }
  return items;
}

// ---------------------------------------------------------------------------
// Rendering.

std::string Quoted(WStringView value) { return value.empty() ? std::string("\"\"") : ShownText(value); }

// The text form gives each rule in words the first time its kind appears.
void TextItem(std::string& out, const Item& item, bool all, std::vector<std::string>& ruled,
              const std::string& indent = "  ") {
  out += indent + ShownText(item.title) + ": " + ShownText(item.where) + "\n";
  std::size_t shown = 0;
  for (const Decision& d : item.decisions) {
    if (!all && shown == kExplainDecisions) {
      out += indent + "  ... " + std::to_string(item.decisions.size() - shown) +
             " more decisions (--explain-all shows every one)\n";
      break;
    }
    ++shown;
    out += indent + "  - " + d.kind + ":";
    for (std::size_t i = 0; i < d.values.size(); ++i) {
      out += (i == 0 ? " " : "; ") + d.values[i].first + ": " + Quoted(d.values[i].second);
    }
    if (!d.where.empty()) out += " -> " + ShownText(d.where);
    out += "\n";
    if (std::find(ruled.begin(), ruled.end(), d.kind) == ruled.end()) {
      ruled.push_back(d.kind);
      out += indent + "    (" + d.kind + ": " + d.rule + ")\n";
    }
  }
}

void JsonItem(std::string& out, const Item& item, bool all) {
  out += "{\"title\": \"" + JsonText(item.title) + "\", \"where\": \"" + JsonText(item.where) +
         "\", \"decisions\": [";
  std::size_t shown = 0;
  for (const Decision& d : item.decisions) {
    if (!all && shown == kExplainDecisions) break;
    out += shown++ ? ", " : "";
    out += "{\"kind\": \"" + d.kind + "\", \"rule\": \"" + JsonText(FromUtf8(d.rule)) + "\", \"values\": {";
    for (std::size_t i = 0; i < d.values.size(); ++i) {
      out += (i ? ", \"" : "\"") + d.values[i].first + "\": \"" + JsonText(d.values[i].second) + "\"";
    }
    out += "}, \"where\": \"" + JsonText(d.where) + "\"}";
  }
  out += "], \"decisions_left_off\": " +
         std::to_string(item.decisions.size() > shown ? item.decisions.size() - shown : 0) + "}";
}

std::size_t NotWritten(const std::vector<Item>& items, std::size_t from) {
  std::size_t count = 0;
  for (std::size_t i = from; i < items.size(); ++i) count += items[i].where == kNotWritten ? 1 : 0;
  return count;
}

}  // namespace

std::string ShownText(WStringView text) {
  std::string out;
  ForEachCodePoint(text, [&](char32_t c, bool lone) {
    if (lone || Hidden(c)) {
      out += c < 0x100 ? Printf("\\x%02X", static_cast<unsigned>(c))
                       : Printf("\\u{%04X}", static_cast<unsigned>(c));
    } else {
      AppendUtf8(out, c);
    }
  });
  return out;
}

std::string JsonText(WStringView text) {
  std::string out;
  ForEachCodePoint(text, [&](char32_t c, bool lone) {
    if (c == u'"' || c == u'\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (lone || Hidden(c)) {
      out += Printf("\\u%04x", static_cast<unsigned>(c));
    } else {
      AppendUtf8(out, c);
    }
  });
  return out;
}

std::string ExplainRun(const RunContext& ctx, const DecisionTrail& trail, const ExplainOptions& options) {
  Section sections[] = {
      {"chassis", "Chassis, in the order the system files write them", "chassis", ChassisItems(ctx, trail)},
      {"modules", "Modules: controllers, then peripheral modules, in registry order", "modules",
       ModuleItems(ctx, trail)},
      {"files", "Description files", "description files", FileItems(ctx, trail)},
      {"list", "PXIChassisList.ini entries", "entries", ListItems(trail)},
      {"walks", "Bus segment walks (resource driver)", "walks", WalkItems(ctx, trail)},
  };
  std::string out = options.json ? "{" : "";
  bool first_section = true;
  std::vector<std::string> ruled;
  for (const Section& s : sections) {
    const std::size_t shown = options.all ? s.items.size() : std::min(s.items.size(), kExplainItems);
    const std::size_t left = s.items.size() - shown;
    if (options.json) {
      out += std::string(first_section ? "" : ",") + "\n  \"" + s.key + "\": [";
      for (std::size_t i = 0; i < shown; ++i) {
        out += i ? ",\n    " : "\n    ";
        JsonItem(out, s.items[i], options.all);
      }
      out += std::string(shown ? "\n  ]" : "]") + ",\n  \"" + s.key + "_left_off\": " +
             std::to_string(left);
    } else {
      out += std::string(first_section ? "" : "\n") + s.title + "\n";
      if (s.items.empty()) out += "  none\n";
      for (std::size_t i = 0; i < shown; ++i) TextItem(out, s.items[i], options.all, ruled);
      if (left) {
        out += "  ... " + std::to_string(left) + " more " + s.noun + " (" +
               std::to_string(NotWritten(s.items, shown)) +
               " of them not written); --explain-all shows every one\n";
      }
    }
    first_section = false;
  }
  if (options.json) out += "\n}\n";
  return out;
}

ViewTrail ExplainForView(const RunContext& ctx, const DecisionTrail& trail) {
  ViewTrail view;
  for (const std::vector<Item>& items : {ChassisItems(ctx, trail), ModuleItems(ctx, trail)}) {
    for (const Item& item : items) {
      if (item.section.empty() && view.left_out.size() == kMaxViewLeftOut) {
        ++view.left_out_not_kept;
        continue;
      }
      // Told as the text form tells it, each rule given once per item.
      std::vector<std::string> ruled;
      std::string text;
      TextItem(text, item, false, ruled, "");
      text.pop_back();
      if (item.section.empty()) {
        view.left_out.push_back(std::move(text));
      } else {
        std::string& told = view.placed[ToUtf8(item.section)];
        told += (told.empty() ? "" : "\n") + text;
      }
    }
  }
  return view;
}

}  // namespace ztrm
