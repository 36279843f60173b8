// Profile (INI) files as Wine 8.0's GetPrivateProfileStringW and
// WritePrivateProfileStringW see them: parsing, lookup, change, writing back.
// Pure text work; NativeProfileFiles adds the files.
//
// Every rule, with the id its code and its test row carry. "measured" means
// checked against Wine 8.0 with files of that shape; the rest follows Wine's
// documented behaviour and waits for the corpus comparison.
//
//  id  | input                              | what the functions do
//  ----+------------------------------------+-----------------------------------------------
//  E1  | file starts EF BB BF               | UTF-8 after the mark (measured)
//  E2  | file starts FF FE / FE FF          | UTF-16LE / UTF-16BE after the mark; an odd
//      |                                    | last byte is dropped (measured)
//  E3  | any other file                     | bytes in the ANSI code page, Windows-1252
//      |                                    | (GetACP() is 1252 in the Wine prefixes used)
//      |                                    | (measured: 0x80 is U+20AC, 0x81 stays U+0081)
//  E4  | empty file (0 bytes)               | no sections at all, not even the "" one
//  L1  | line ends                          | any run of CR and LF ends a line: CR LF, LF,
//      |                                    | a lone CR; the last line needs none (measured)
//  L2  | blanks                             | TAB, LF, VT, FF, CR, SPACE and ^Z (0x1A); not
//      |                                    | U+00A0 nor U+3000 (measured)
//  L3  | every line                         | blanks at both ends go; empty lines are skipped
//  L4  | NUL inside a line                  | a name or value ends at its first NUL: "A=x\0y"
//      |                                    | reads "x" (measured)
//  S1  | "[" ... "]"                        | a section named by the text between '[' and the
//      |                                    | LAST ']' of the line, blanks trimmed: "[ Spaced ]"
//      |                                    | is "Spaced", "[a]b]" is "a]b", "[Trail] junk" is
//      |                                    | "Trail", "[]" is "" (measured)
//  S2  | "[" without any "]"                | not a section: an ordinary line of the section
//      |                                    | before it ("[NoClose" is a key without value)
//      |                                    | (measured)
//  S3  | lines before the first section     | belong to a section named "" that every
//      |                                    | non-empty file starts with; section "" (or only
//      |                                    | blanks) reads them (measured)
//  K1  | "name = value"                     | split at the FIRST '='; the name loses the blanks
//      |                                    | before '=', the value those after it: "K5=a=b=c"
//      |                                    | is "a=b=c" (measured)
//  K2  | a line without '='                 | a key without value, read as missing (measured)
//  K3  | ";x=1", "#x=1"                     | no comment syntax: the key ";x" (measured)
//  K4  | "=value"                           | a key named ""; left out when the key just before
//      |                                    | it in the section also has the name ""
//  K5  | "\"K9\"=x"                         | quotes in names stay: key "\"K9\"" (measured)
//  F1  | section and key asked for          | blanks at both ends trimmed, compared with the
//      |                                    | ASCII letters folded only: "chassis" finds
//      |                                    | [CHASSIS], U+00E9 does not find [U+00C9]
//      |                                    | (measured)
//  F2  | the same section twice             | only the FIRST of that name is searched: a key
//      |                                    | only in the second one is missing (measured)
//  F3  | the same key twice in a section    | the first wins (measured)
//  V1  | value quotes                       | one pair of quotes around the whole value ("..."
//      |                                    | or '...', value at least 2 units) goes; inner blanks
//      |                                    | stay: K = " v " gives " v "; a lone '"', an
//      |                                    | unmatched 'x" and inner quotes stay (measured)
//  V2  | cut to the buffer                  | at most buffer_units-1 units. When V1 removed
//      |                                    | quotes, the text after the opening quote is cut
//      |                                    | and then, if buffer_units >= its length, its last
//      |                                    | unit dropped: "\"quoted\"" gives "quote" with 7
//      |                                    | units, "quoted" with 8 (measured)
//  V3  | buffer_units 0                     | "" (the function writes nothing)
//  D1  | default value                      | trailing SPACES (' ' only) go, but its first
//      |                                    | character always stays: "  " gives " " (measured)
//  D2  | default, file read or missing      | then through V1 and V2 like a value:
//      | from an existing folder            | "\"q\"" gives "q" (measured)
//  D3  | default, file cannot be opened     | only cut, quotes stay (measured: missing folder)
//  W1  | writing: section and key found     | in the FIRST section of that name, the first key
//      |                                    | of that name gets the value with its leading
//      |                                    | blanks removed; the key keeps its spelling. The
//      |                                    | same value as before: nothing is written at all,
//      |                                    | the file keeps its bytes (measured)
//  W2  | writing: key missing               | "key=value" added at the end of that section;
//      |                                    | the key loses its leading blanks only (measured)
//  W3  | writing: section missing           | "[section]" and the key added at the end of the
//      |                                    | file; the section name loses its leading blanks
//      |                                    | only: " New Sec " gives "[New Sec ]" (measured)
//  W4  | written file                       | the whole file again: the mark of its encoding,
//      |                                    | then per section "[name]" CR LF (none for the ""
//      |                                    | section) and per key "name=value" CR LF, or
//      |                                    | "name" CR LF for a key without value. No blank
//      |                                    | lines; blank lines, blanks around names and
//      |                                    | values and lone-CR/LF line ends of the original
//      |                                    | are gone (measured)
//  W5  | written encoding                   | the one read (E1-E3): UTF-8 and UTF-16 keep their
//      |                                    | mark; a new or empty file is ANSI, written with
//      |                                    | Windows-1252 best fit, '?' for the rest (measured)
#ifndef ZTRM_PLATFORM_NATIVE_PROFILE_TEXT_H_
#define ZTRM_PLATFORM_NATIVE_PROFILE_TEXT_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/wide_text.h"
#include "platform/native/name_folding.h"

namespace ztrm {

enum class ProfileEncoding { kAnsi, kUtf8, kUtf16Le, kUtf16Be };

// Where the first item of each name stands in a list of sections or entries,
// for the lookups (F1-F3): an open-addressing table of positions by the name's
// ASCII fold. Built on the first lookup and extended when items are appended
// (the only change SetProfileString makes to names); a list that shrank is
// indexed again. Not thread-safe: a document is read by one thread at a time.
class ProfileNameIndex {
 public:
  // The position of the first item whose name matches `name`, or npos.
  // `names(i)` is the name of item i, for `count` items.
  template <typename NameOf>
  std::size_t Find(WStringView name, std::size_t count, NameOf names) {
    if (count != indexed_) Update(count, names);
    return Lookup(name, Hash(name), names);
  }
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);

 private:
  template <typename NameOf>
  void Update(std::size_t count, NameOf names);
  template <typename NameOf>
  std::size_t Lookup(WStringView name, std::uint32_t hash, NameOf names) const;
  void Grow(std::size_t count);
  static std::uint32_t Hash(WStringView name);

  std::vector<std::uint32_t> slots_;  // position + 1; 0 is free
  std::size_t indexed_ = 0;
};

// `line` is where a parsed entry or section header stands in the file, from
// 1, counting every line end (CR LF, LF, a lone CR) as an editor does; 0 for
// one added by SetProfileString. Only tools that point at a line read it.
struct ProfileEntry {
  WString name;
  std::optional<WString> value;  // nullopt: a line without '=' (K2)
  std::size_t line = 0;
};

struct ProfileSection {
  WString name;
  std::vector<ProfileEntry> entries;
  std::size_t line = 0;  // of its header; 1 for the "" section (S3)
  mutable ProfileNameIndex entry_index = {};
};

struct ProfileDocument {
  ProfileEncoding encoding = ProfileEncoding::kAnsi;
  std::vector<ProfileSection> sections;
  mutable ProfileNameIndex section_index = {};
};

// E1-E4, L1-L4, S1-S3, K1-K5.
ProfileDocument ParseProfile(std::string_view file_bytes);

// GetPrivateProfileStringW's answer from a parsed file (F1-F3, V1-V3, D1, D2),
// or, with `document` null, for a file that could not be opened (D3).
WString ReadProfileString(const ProfileDocument* document, WStringView section, WStringView key,
                          WStringView default_value, std::size_t buffer_units);

// The section and the entry a read of (section, key) finds (F1-F3); null when
// there is none. The entry may have no value (K2), which reads as missing.
const ProfileSection* FindProfileSection(const ProfileDocument& document, WStringView section);
const ProfileEntry* FindProfileEntry(const ProfileDocument& document, WStringView section,
                                     WStringView key);

// The same search by key, for tools that look up many names: a stored
// section or key name and a requested one are found equal (F1) exactly when
// their folds are equal.
WString ProfileStoredNameFold(WStringView stored);
WString ProfileRequestedNameFold(WStringView requested);

// WritePrivateProfileStringW's change (W1-W3); false when nothing changed, in
// which case the file is not to be written.
bool SetProfileString(ProfileDocument& document, WStringView section, WStringView key,
                      WStringView value);

// The file's new bytes (W4, W5).
std::string SerializeProfile(const ProfileDocument& document);

template <typename NameOf>
void ProfileNameIndex::Update(std::size_t count, NameOf names) {
  if (count < indexed_) {
    slots_.clear();
    indexed_ = 0;
  }
  Grow(count);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = indexed_; i < count; ++i) {
    const std::uint32_t hash = Hash(names(i));
    if (Lookup(names(i), hash, names) != npos) continue;  // the first of a name stays
    std::size_t slot = hash & mask;
    while (slots_[slot] != 0) slot = (slot + 1) & mask;
    slots_[slot] = static_cast<std::uint32_t>(i + 1);
  }
  indexed_ = count;
}

template <typename NameOf>
std::size_t ProfileNameIndex::Lookup(WStringView name, std::uint32_t hash, NameOf names) const {
  if (slots_.empty()) return npos;
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = hash & mask; slots_[slot] != 0; slot = (slot + 1) & mask) {
    const std::size_t at = slots_[slot] - 1;
    if (AsciiNamesEqualIgnoreCase(names(at), name)) return at;
  }
  return npos;
}

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_NATIVE_PROFILE_TEXT_H_
