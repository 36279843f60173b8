#include "tools/check_warnings.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

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
  if (body.substr(0, word.size()) != word) return "the line does not start with " + Utf8(word);
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
    if (!key.found) {
      if (utf16_) return;  // the encoding warning says why
      Warn(0, kind,
           "no line contains \"" + w + "\", so no chassis is ever matched to this file");
      return;
    }
    const ProfileEntry* chassis_key = c_.Entry(u"Chassis", word);
    if (!chassis_key || chassis_key->line != key.line) {
      std::string message = "discovery keeps this line as the " + Lower(w) +
                            " line, being the last that contains \"" + w + "\", ";
      message += chassis_key ? "not the [Chassis] " + w + " line " +
                                   std::to_string(chassis_key->line)
                             : "and [Chassis] has no " + w + " key";
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
    for (const stPCIBusSegment& segment : c_.sys.vecPCIBusSegment) {
      listed_lines.push_back(SectionLine(u"PCIBusSegment", segment.szName));
    }
    for (const stPXI1BusSegment& segment : c_.sys.vecPXI1BusSegment) {
      listed_lines.push_back(SectionLine(u"PXI1BusSegment", segment.szName));
    }
    // The warning points at the first header that heads no listed segment.
    std::string lines;
    std::size_t stray = 0;
    for (std::size_t i = 0; i < headers.size(); ++i) {
      if (!stray && !Contains(listed_lines, headers[i])) stray = headers[i];
      if (i < 20) lines += (lines.empty() ? "" : ", ") + std::to_string(headers[i]);
    }
    if (headers.size() > 20) lines += ", ...";
    auto count = [](std::size_t n, const char* what) {
      return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
    };
    Warn(stray, "segment-count",
         "discovery counts " + count(c_.bus_segment_headers, "bus segment section header") +
             (lines.empty() ? "" : (headers.size() == 1 ? " (line " : " (lines ") + lines + ")") +
             " and takes that as the chassis's number of root buses, but [Chassis] lists " +
             count(listed, "bus segment"));
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
      for (const stPCIBusSegment& segment : sys.vecPCIBusSegment) {
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

 private:
  static std::string Lower(std::string s) {
    for (char& ch : s) ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch + 32 : ch);
    return s;
  }
  template <typename T>
  static bool Contains(const std::vector<T>& list, T item) {
    return std::find(list.begin(), list.end(), item) != list.end();
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
    for (const Segment& segment : segments) {
      for (std::size_t i = 0; i < segment.vecIDSELValue.size(); ++i) {
        const WideText& value = segment.vecIDSELValue[i];
        const WideText& name = segment.vecIDSELName[i];
        if (value.empty()) continue;
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
  checker.Finish();
}

}  // namespace ztrm
