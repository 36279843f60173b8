#include "tools/check_warnings.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "chassis/name_list.h"
#include "output/slot_paths.h"
#include "platform/native/name_folding.h"
#include "tools/check_text.h"

namespace ztrm {
namespace {

std::string Utf8(WStringView text) { return ToUtf8(text); }

bool IsUtf16(const std::string& bytes) {
  return bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') ||
                               (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
}

bool IsUtf8Marked(const std::string& bytes) { return bytes.rfind("\xEF\xBB\xBF", 0) == 0; }

// Why a kept line never matches: the first fault in reading order.
std::string LineFault(WStringView text, WStringView word, const DiscoveryLine& piece) {
  if (!piece.whole) {
    return piece.last ? "the file ends on this line without a line break, and discovery keeps "
                        "it without the line feed the match needs"
                      : "the line is longer than 255 characters, and discovery reads it in "
                        "pieces of 255";
  }
  WStringView body = text.substr(0, text.size() - 1);
  if (body.substr(0, word.size()) != word) {
    if (body.size() >= word.size() && AsciiNamesEqualIgnoreCase(body.substr(0, word.size()), word)) {
      return "the line starts with " + Quoted(body.substr(0, word.size())) + ", and letter case counts";
    }
    return "the line does not start with " + Utf8(word);
  }
  WStringView rest = body.substr(word.size());
  if (rest.substr(0, 3) != u" = ") {
    return "write one blank on each side of '=' and no other";
  }
  rest.remove_prefix(3);
  if (rest.empty() || rest.front() != u'"') return "the value must stand in double quotes";
  std::size_t close = rest.rfind(u'"');
  if (close == 0) return "the value must stand in double quotes";
  if (close + 1 < rest.size()) return "nothing may follow the closing double quote, not even a blank";
  return "the value must stand in double quotes";
}

bool HasHighByte(WStringView text) {
  return std::any_of(text.begin(), text.end(), [](char16_t c) { return c >= 0x80; });
}

class Checker {
 public:
  Checker(DescriptionCheck& check, const std::vector<ProfileRead>& reads)
      : c_(check), doc_(check.document) {
    for (const ProfileRead& read : reads) {
      if (const ProfileSection* s = c_.Section(read.section)) read_sections_.insert(s);
      if (const ProfileEntry* e = c_.Entry(read.section, read.key)) read_entries_.insert(e);
    }
  }

  void Warn(std::size_t line, const char* kind, std::string message) {
    // Beyond ten times what is shown, only the count is kept.
    if (c_.warnings.size() >= 10 * kMaxWarnings) {
      ++c_.warnings_left_out;
      return;
    }
    c_.warnings.push_back({line, kind, std::move(message)});
  }

  // Line order, and only the first kMaxWarnings of it kept.
  void Finish() {
    std::stable_sort(c_.warnings.begin(), c_.warnings.end(),
                     [](const CheckWarning& a, const CheckWarning& b) { return a.line < b.line; });
    if (c_.warnings.size() > kMaxWarnings) {
      c_.warnings_left_out += c_.warnings.size() - kMaxWarnings;
      c_.warnings.resize(kMaxWarnings);
    }
  }

  // Vendor or Model: the line discovery keeps against the [Chassis] key the
  // parser reads.
  void KeyLineWarnings(const KeyLine& key, const WideText& kept, const DiscoveryLine& piece,
                       WStringView word, const WideText& parsed_value, const char* kind) {
    std::string w = Utf8(word);
    const ProfileEntry* chassis_key = c_.Entry(u"Chassis", word);
    // The parser finds its keys whatever their letter case; discovery looks
    // for the word as written here.
    const std::string case_note =
        chassis_key && chassis_key->name != word
            ? "the [Chassis] key is written " + Quoted(chassis_key->name) +
                  ", which discovery does not find: it looks for \"" + w +
                  "\" with exactly this letter case"
            : std::string();
    if (!key.found) {
      if (utf16_) return;  // the encoding warning says why
      if (!case_note.empty()) {
        Warn(chassis_key->line, kind,
             "no line contains \"" + w + "\": " + case_note +
                 "; no chassis is ever matched to this file");
        return;
      }
      Warn(0, kind,
           "no line contains \"" + w + "\", so no chassis is ever matched to this file");
      return;
    }
    if (!chassis_key || chassis_key->line != key.line) {
      std::string message = "discovery keeps this line as the " + Lower(w) +
                            " line, being the last that contains \"" + w + "\", ";
      message += chassis_key ? "not the [Chassis] " + w + " line " +
                                   std::to_string(chassis_key->line)
                             : "and [Chassis] has no " + w + " key";
      if (!case_note.empty()) message += " (" + case_note + ")";
      if (!key.matches) {
        message += "; it never matches a chassis";
      } else if (key.name != parsed_value.view()) {
        message += "; a chassis matches on " + Quoted(key.name) + " while the system files name " +
                   Quoted(parsed_value.view());
      }
      Warn(key.line, "replaced-line", message);
      return;
    }
    if (!key.matches) {
      Warn(key.line, kind,
           "discovery matches only a line that reads exactly " + w + " = \"...\": " +
               LineFault(kept.view(), word, piece) + "; no chassis is ever matched to this file");
    }
  }

  void EncodingWarnings(const std::string& bytes) {
    utf16_ = IsUtf16(bytes);
    if (utf16_) {
      Warn(1, "encoding",
           "the file is UTF-16 text: the parser reads it, but discovery reads bytes and finds no "
           "Vendor or Model line in it; save it as ANSI text");
      return;
    }
    if (!IsUtf8Marked(bytes)) return;
    const std::pair<const KeyLine*, const WideText*> names[] = {{&c_.vendor, &c_.sys.Vendor},
                                                                {&c_.model, &c_.sys.Model}};
    for (const auto& [key, parsed] : names) {
      if (!key->matches || !HasHighByte(key->name) || key->name == parsed->view()) continue;
      Warn(1, "encoding",
           "the file starts with a UTF-8 byte order mark: the parser reads " +
               Quoted(parsed->view()) + " as UTF-8, but discovery reads the line byte by byte "
               "and matches only a chassis named " + Quoted(key->name));
    }
  }

  // The header count is what a chassis's vendor library is asked for as its
  // number of root buses; a commented-out or unlisted header still counts.
  void SegmentCountWarning(const std::vector<std::size_t>& headers) {
    const std::size_t listed = c_.sys.vecPCIBusSegment.size() + c_.sys.vecPXI1BusSegment.size();
    if (c_.bus_segment_headers == listed) return;
    std::vector<std::size_t> listed_lines;
    // Headers of listed segments that discovery does not count: the parser
    // finds a section whatever its letter case, discovery only the exact
    // "[PCIBusSegment" or "[PXI1BusSegment".
    std::vector<const ProfileSection*> uncounted;
    auto listed_section = [&](WStringView prefix, const WideText& name) {
      const ProfileSection* section = c_.Section(WString(prefix) + name.str());
      if (!section) return;
      listed_lines.push_back(section->line);
      if (!Contains(headers, section->line) && !Contains(uncounted, section)) {
        uncounted.push_back(section);
      }
    };
    for (const stPCIBusSegment& segment : c_.sys.vecPCIBusSegment) {
      listed_section(u"PCIBusSegment", segment.szName);
    }
    for (const stPXI1BusSegment& segment : c_.sys.vecPXI1BusSegment) {
      listed_section(u"PXI1BusSegment", segment.szName);
    }
    // The warning points at the first header that heads no listed segment,
    // else at the first listed one not counted.
    std::string lines;
    std::size_t stray = 0;
    for (std::size_t i = 0; i < headers.size(); ++i) {
      if (!stray && !Contains(listed_lines, headers[i])) stray = headers[i];
      if (i < 20) lines += (lines.empty() ? "" : ", ") + std::to_string(headers[i]);
    }
    if (headers.size() > 20) lines += ", ...";
    if (!stray && !uncounted.empty() && !utf16_) stray = uncounted.front()->line;
    std::string message =
        "discovery counts " + Count(c_.bus_segment_headers, "bus segment section header") +
        (lines.empty() ? "" : (headers.size() == 1 ? " (line " : " (lines ") + lines + ")") +
        " and takes that as the chassis's number of root buses, but [Chassis] lists " +
        Count(listed, "bus segment");
    if (!utf16_) {
      for (const ProfileSection* section : uncounted) {
        message += "; the header [" + Utf8(section->name) + "] (line " +
                   std::to_string(section->line) + ") is not counted: " +
                   HeaderFault(section->name);
      }
    }
    Warn(stray, "segment-count", message);
  }

  void DocumentWarnings() {
    for (const ProfileSection& section : doc_.sections) {
      bool only_comments = std::all_of(section.entries.begin(), section.entries.end(), IsComment);
      if (section.name.empty() && &section == &doc_.sections.front() && only_comments) continue;
      const ProfileSection* first = c_.index.Section(doc_, section.name);
      if (first && first != &section) {
        Warn(section.line, "duplicate-section",
             "section [" + Utf8(section.name) + "] appears again (first at line " +
                 std::to_string(first->line) + "): only the first is read, nothing here");
        continue;
      }
      if (!read_sections_.count(&section)) {
        Warn(section.line, "unknown-section",
             section.name.empty() && &section == &doc_.sections.front()
                 ? "the lines before the first section header are never read"
                 : "section [" + Utf8(section.name) + "] is never read: no list names it");
        continue;
      }
      for (const ProfileEntry& entry : section.entries) EntryWarnings(section, entry);
    }
  }

  void SlotWarnings() {
    const stPXISys& sys = c_.sys;
    const bool pxi1 = UsesPXI1BusSegments(sys);
    if (pxi1) {
      std::unordered_set<const ProfileSection*> warned;
      for (const stPCIBusSegment& segment : sys.vecPCIBusSegment) {
        if (!warned.insert(c_.Section(u"PCIBusSegment" + segment.szName.str())).second) continue;
        bool any = std::any_of(segment.vecIDSELValue.begin(), segment.vecIDSELValue.end(),
                               [](const WideText& v) { return !v.empty(); });
        if (!any) continue;
        Warn(SectionLine(u"PCIBusSegment", segment.szName), "segments-unused",
             "the chassis has PXI-1 bus segments, which alone place its slots: the IDSEL lines "
             "of [PCIBusSegment" + Utf8(segment.szName.view()) + "] are not used");
      }
    }
    if (pxi1) {
      IdselWarnings(sys.vecPXI1BusSegment, u"PXI1BusSegment");
    } else {
      IdselWarnings(sys.vecPCIBusSegment, u"PCIBusSegment");
    }
  }

  // A name given more than once in a list the service reads: each entry is
  // taken on its own, and what that does depends on the list.
  void RepeatedNameWarnings() {
    const stPXISys& sys = c_.sys;
    const bool pxi1 = UsesPXI1BusSegments(sys);

    RepeatWarnings(u"Chassis", u"SlotList", sys.SlotList, "slot", [&](const Repeat& r) {
      // pxisys.ini: a section for the first slot of the list and for each
      // slot a bus segment places; pxiesys.ini: the system slot section is
      // always "1", then one section per entry after the first.
      const bool placed = c_.slots[r.positions.front()].named;
      std::size_t pxisys = 0, pxiesys = r.name == u"1" ? 1 : 0;
      for (std::size_t p : r.positions) {
        if (p == 0 || placed) ++pxisys;
        if (p > 0) ++pxiesys;
      }
      std::string out = "the service takes each entry as a slot of its own: pxiesys.ini lists it " +
                        Times(r.positions.size());
      if (pxiesys > 1) {
        out += " and writes " + Count(pxiesys, "section") +
               " for it, each with the slot type and module of its own place in the list";
      }
      if (pxisys > 1) {
        out += "; pxisys.ini writes " + Count(pxisys, "section") +
               " for it, and a trigger bus naming it lists it " + Times(pxisys) + " there";
      } else if (!placed) {
        out += pxisys ? "; pxisys.ini writes a section for the first entry only, as no bus segment "
                        "names the slot"
                      : "; pxisys.ini leaves it out, as no bus segment names it";
      }
      return out;
    });
    auto segments = [](bool in_use) {
      return [in_use](const Repeat&) -> std::string {
        if (!in_use) {
          return "the chassis's PXI-1 bus segments place its slots, and pxisys.ini copies this "
                 "list as it stands";
        }
        return "the service takes each entry as a bus segment of its own: each takes the root bus "
               "of its place in the list, so the segments after it move on by one bus, and no slot "
               "is placed on a repeat, as the first entry's IDSEL lines match first";
      };
    };
    RepeatWarnings(u"Chassis", u"PCIBusSegmentList", sys.PCIBusSegmentList, "bus segment",
                   segments(!pxi1));
    RepeatWarnings(u"Chassis", u"PXI1BusSegmentList", sys.PXI1BusSegmentList, "bus segment",
                   segments(true));
    auto sections = [](const char* what) {
      return [what](const Repeat& r) {
        return std::string("the service takes each entry as a ") + what +
               " of its own: the system files write " + Count(r.positions.size(), "section") +
               " for it";
      };
    };
    RepeatWarnings(u"Chassis", u"TriggerBusList", sys.TriggerBusList, "trigger bus",
                   sections("trigger bus"));
    RepeatWarnings(u"Chassis", u"TriggerBridgeList", sys.TriggerBridgeList, "trigger bridge",
                   sections("trigger bridge"));
    RepeatWarnings(u"Chassis", u"LineMappingSpecList", sys.LineMappingSpecList,
                   "line mapping spec", sections("line mapping spec"));
    // Star trigger and star system timing set sections are numbered by their
    // place in the list, not named.
    auto numbered = [](const char* what, const char* files_write) {
      return [what, files_write](const Repeat& r) {
        std::string numbers;
        for (std::size_t i = 1; i < r.positions.size(); ++i) {
          numbers += (i == 1 ? "" : i + 1 == r.positions.size() ? " and " : ", ") +
                     std::to_string(r.positions[i] + 1);
        }
        return std::string("the service takes each entry as a ") + what + " of its own: " +
               files_write + " its lines again as " + what + (r.positions.size() > 2 ? "s " : " ") +
               numbers + " (these sections are numbered by place in the list)";
      };
    };
    RepeatWarnings(u"Chassis", u"StarTriggerList", sys.StarTriggerList, "star trigger",
                   numbered("star trigger", "the system files write"));
    RepeatWarnings(u"Chassis", u"StarSystemTimingSetList", sys.StarSystemTimingSetList,
                   "star system timing set", numbered("star system timing set", "pxiesys.ini writes"));

    auto copied = [](bool in_use) {
      return [in_use](const Repeat& r) -> std::string {
        if (!in_use) {
          return "the chassis's PXI-1 bus segments are written instead of its PCI bus segments, "
                 "so this list is not used";
        }
        return "pxisys.ini copies the list as it stands, naming the slot " +
               Times(r.positions.size()) + " there too";
      };
    };
    auto idsel = [](const Repeat& r) {
      return "the service reads IDSEL" + Utf8(r.name) + " " + Times(r.positions.size()) +
             "; only the first can place a slot, so the repeat changes nothing";
    };
    for (const stPCIBusSegment& s : sys.vecPCIBusSegment) {
      WString section = u"PCIBusSegment" + s.szName.str();
      RepeatWarnings(section, u"SlotList", s.SlotList, "slot", copied(!pxi1));
      RepeatWarnings(section, u"BridgeList", s.BridgeList, "bridge", [](const Repeat&) {
        return std::string("the service reads BridgeList but neither uses nor writes it, so the "
                           "repeat changes nothing");
      });
      RepeatWarnings(section, u"IDSELList", s.IDSELList, "IDSEL name", idsel);
    }
    for (const stPXI1BusSegment& s : sys.vecPXI1BusSegment) {
      WString section = u"PXI1BusSegment" + s.szName.str();
      RepeatWarnings(section, u"SlotList", s.SlotList, "slot", copied(true));
      RepeatWarnings(section, u"IDSELList", s.IDSELList, "IDSEL name", idsel);
    }
    for (const stTriggerBus& bus : sys.vecTriggerBus) {
      RepeatWarnings(u"TriggerBus" + bus.szName.str(), u"SlotList", bus.SlotList, "slot",
                     [](const Repeat& r) {
                       return "pxiesys.ini lists it " + Times(r.positions.size()) +
                              " in this trigger bus's SlotList, and so does pxisys.ini where it "
                              "lists the slot";
                     });
    }
    for (const stStarSystemTimingSet& set : sys.vecStarSystemTimingSet) {
      for (std::size_t i = 0; i < set.vecSetNumber.size() && i < set.vecSetValue.size(); ++i) {
        RepeatWarnings(u"StarSystemTimingSets" + set.szName.str(),
                       u"StarSystemTimingSet" + set.vecSetNumber[i].str(), set.vecSetValue[i], "slot",
                       [](const Repeat& r) {
                         return "pxiesys.ini copies the value as it stands, naming the slot " +
                                Times(r.positions.size()) + " there too";
                       });
      }
    }
  }

 private:
  static std::string Lower(std::string s) {
    for (char& ch : s) ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch + 32 : ch);
    return s;
  }
  template <typename T>
  static bool Contains(const std::vector<T>& list, T item) {
    return std::find(list.begin(), list.end(), item) != list.end();
  }

  // A name of a list and the places (from 0) it stands at, when more than one.
  struct Repeat {
    WString name;
    std::vector<std::size_t> positions;
  };

  static std::string Times(std::size_t n) { return n == 2 ? "twice" : std::to_string(n) + " times"; }
  static std::string Count(std::size_t n, const char* what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
  }

  // One warning per repeated name of the list `value` (as the parser read
  // it), at the line of its key. A section read twice (its name repeated in
  // its own list) is looked at once.
  template <typename Consequence>
  void RepeatWarnings(WStringView section, WStringView key, const WideText& value, const char* what,
                      Consequence consequence) {
    const ProfileEntry* entry = c_.Entry(section, key);
    if (!entry || !repeat_lists_.insert(entry).second) return;
    std::vector<Repeat> repeats;
    const std::vector<WideText> names = SplitNameList(value.view());
    for (std::size_t i = 0; i < names.size(); ++i) {
      auto it = std::find_if(repeats.begin(), repeats.end(),
                             [&](const Repeat& r) { return r.name == names[i].view(); });
      if (it == repeats.end()) {
        repeats.push_back({WString(names[i].view()), {i}});
      } else {
        it->positions.push_back(i);
      }
    }
    const std::string where = Utf8(entry->name) + " of [" + Utf8(c_.Section(section)->name) + "]";
    for (const Repeat& r : repeats) {
      if (r.positions.size() < 2) continue;
      Warn(entry->line, "repeated-name",
           where + " names " + what + " " + Quoted(r.name) + " " + Times(r.positions.size()) + ": " +
               consequence(r));
    }
  }

  // Why discovery does not count the header of section `name`.
  static std::string HeaderFault(WStringView name) {
    for (WStringView prefix : {WStringView(u"PCIBusSegment"), WStringView(u"PXI1BusSegment")}) {
      if (name.size() >= prefix.size() && name.substr(0, prefix.size()) != prefix &&
          AsciiNamesEqualIgnoreCase(name.substr(0, prefix.size()), prefix)) {
        return "discovery looks for \"[" + Utf8(prefix) + "\" with exactly this letter case";
      }
    }
    return "discovery looks for a line holding \"[PCIBusSegment\" or \"[PXI1BusSegment\" as "
           "written, with nothing between the bracket and the name";
  }

  std::size_t SectionLine(WStringView prefix, const WideText& name) {
    return c_.SectionLine(WString(prefix) + name.str());
  }

  static std::string RangeHint(WStringView name) {
    struct Range {
      const char16_t* prefix;
      int count;
    };
    const Range ranges[] = {{u"PXI_STAR", 17}, {u"PXI_TRIG", 8}, {u"StarSystemTimingSet", 16}};
    for (const Range& r : ranges) {
      WStringView p(r.prefix);
      if (name.size() <= p.size() || !AsciiNamesEqualIgnoreCase(name.substr(0, p.size()), p)) {
        continue;
      }
      WStringView digits = name.substr(p.size());
      if (!std::all_of(digits.begin(), digits.end(), [](char16_t d) { return d >= u'0' && d <= u'9'; })) {
        continue;
      }
      return " (the keys read are " + Utf8(p) + "0 to " + Utf8(p) + std::to_string(r.count - 1) +
             ", numbered without leading zeros)";
    }
    return "";
  }

  // A line starting with ';' or '#' is a comment to its author. The profile
  // reading has no comments: it is a key no read asks for, which is just
  // what its author meant, so it draws no warning.
  static bool IsComment(const ProfileEntry& entry) {
    return !entry.name.empty() && (entry.name[0] == u';' || entry.name[0] == u'#');
  }

  void EntryWarnings(const ProfileSection& section, const ProfileEntry& entry) {
    if (IsComment(entry)) return;
    std::string where = " of [" + Utf8(section.name) + "]";
    if (!entry.value) {
      Warn(entry.line, "no-value",
           "this line" + where + " has no '=', so it gives no value: a read of it finds nothing");
      return;
    }
    if (!read_entries_.count(&entry)) {
      const ProfileEntry* first = c_.Entry(section.name, entry.name);
      if (first && first != &entry) {
        Warn(entry.line, "duplicate-key",
             "key " + Utf8(entry.name) + where + " appears again (first at line " +
                 std::to_string(first->line) + "): only the first is read");
      } else {
        Warn(entry.line, "unread-key",
             "key " + Utf8(entry.name) + where + " is never read" + RangeHint(entry.name));
      }
      return;
    }
    WString whole = ReadProfileString(&doc_, section.name, entry.name, u"", entry.value->size() + 2);
    if (whole.size() > WideText::kMaxLength) {
      Warn(entry.line, "cut-value",
           "the value of " + Utf8(entry.name) + where + " is " + std::to_string(whole.size()) +
               " characters long; the service reads its first " +
               std::to_string(WideText::kMaxLength));
    }
  }

  std::size_t IdselLine(WStringView prefix, const WideText& segment, const WideText& name) {
    const ProfileEntry* e = c_.Entry(WString(prefix) + segment.str(), u"IDSEL" + name.str());
    return e ? e->line : SectionLine(prefix, segment);
  }

  template <typename Segment>
  void IdselWarnings(const std::vector<Segment>& segments, WStringView prefix) {
    const stPXISys& sys = c_.sys;
    struct Named {
      WString key;
      std::size_t line;
    };
    std::vector<Named> seen;
    std::unordered_set<const ProfileSection*> sections;
    for (const Segment& segment : segments) {
      // A segment listed twice reads the same section again.
      const ProfileSection* section = c_.Section(WString(prefix) + segment.szName.str());
      if (section && !sections.insert(section).second) continue;
      for (std::size_t i = 0; i < segment.vecIDSELValue.size(); ++i) {
        const WideText& value = segment.vecIDSELValue[i];
        const WideText& name = segment.vecIDSELName[i];
        if (value.empty()) continue;
        // A name repeated in IDSELList reads the same line again (a
        // repeated-name warning says so).
        if (std::find(segment.vecIDSELName.begin(), segment.vecIDSELName.begin() + i, name) !=
            segment.vecIDSELName.begin() + i) {
          continue;
        }
        std::size_t line = IdselLine(prefix, segment.szName, name);
        auto slot = std::find_if(sys.vecSlot.begin(), sys.vecSlot.end(),
                                 [&](const stSlot& s) { return SlotKey(s) == value.view(); });
        std::string key = "IDSEL" + Utf8(name.view()) + " = " + Quoted(value.view());
        if (slot == sys.vecSlot.end()) {
          Warn(line, "idsel-no-slot",
               key + " names no slot: a slot is named \"Slot\" followed by its name in [Chassis] "
                     "SlotList, letter case counting");
          continue;
        }
        auto earlier = std::find_if(seen.begin(), seen.end(),
                                    [&](const Named& n) { return n.key == value.view(); });
        if (earlier != seen.end()) {
          Warn(line, "slot-named-twice",
               key + " names slot " + Quoted(slot->szName.view()) + " again (first at line " +
                   std::to_string(earlier->line) +
                   "): the first decides its bus segment and device number, this one is ignored");
          continue;
        }
        seen.push_back({WString(value.view()), line});
        std::size_t position = static_cast<std::size_t>(slot - sys.vecSlot.begin());
        if (position == 0) continue;  // the first slot is always written without a PCI place
        std::uint16_t device = c_.slots[position].device;
        if (device == 0) {
          Warn(line, "idsel-device",
               "IDSEL name " + Quoted(name.view()) + " gives slot " + Quoted(slot->szName.view()) +
                   " device number 0 (the name read as a number, minus 16), so pxisys.ini gives "
                   "the slot no PCI position (\"None\")");
        } else if (device > 31) {
          Warn(line, "idsel-device",
               "IDSEL name " + Quoted(name.view()) + " gives slot " + Quoted(slot->szName.view()) +
                   " device number " + std::to_string(device) +
                   " (the name read as a number, minus 16), which no PCI device has (1 to 31 "
                   "are meant: IDSEL names 17 to 47)");
        }
      }
    }
  }

  DescriptionCheck& c_;
  const ProfileDocument& doc_;
  std::unordered_set<const ProfileSection*> read_sections_;
  std::unordered_set<const ProfileEntry*> read_entries_;
  std::unordered_set<const ProfileEntry*> repeat_lists_;
  bool utf16_ = false;
};

}  // namespace

bool IsUtf16Text(const std::string& bytes) { return IsUtf16(bytes); }

void AddCheckWarnings(DescriptionCheck& check, const std::string& bytes,
                      const stChassisDescFile& found, const DiscoveryLines& lines,
                      const std::vector<ProfileRead>& reads) {
  Checker checker(check, reads);
  checker.EncodingWarnings(bytes);
  checker.KeyLineWarnings(check.vendor, found.szVendorLine, lines.vendor, u"Vendor",
                          check.sys.Vendor, "vendor-line");
  checker.KeyLineWarnings(check.model, found.szModelLine, lines.model, u"Model", check.sys.Model,
                          "model-line");
  checker.SegmentCountWarning(lines.headers);
  checker.DocumentWarnings();
  checker.SlotWarnings();
  checker.RepeatedNameWarnings();
  checker.Finish();
}

}  // namespace ztrm
