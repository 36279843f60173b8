#include "platform/native/profile_text.h"

#include <algorithm>

#include "platform/native/cp1252.h"
#include "platform/native/name_folding.h"

namespace ztrm {
namespace {

// ---- E1-E4: encodings ------------------------------------------------------

ProfileEncoding DetectEncoding(std::string_view bytes, std::size_t& mark_size) {
  auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  if (bytes.size() >= 3 && at(0) == 0xEF && at(1) == 0xBB && at(2) == 0xBF) {
    mark_size = 3;
    return ProfileEncoding::kUtf8;
  }
  if (bytes.size() >= 2 && at(0) == 0xFF && at(1) == 0xFE) {
    mark_size = 2;
    return ProfileEncoding::kUtf16Le;
  }
  if (bytes.size() >= 2 && at(0) == 0xFE && at(1) == 0xFF) {
    mark_size = 2;
    return ProfileEncoding::kUtf16Be;
  }
  mark_size = 0;
  return ProfileEncoding::kAnsi;
}

WString DecodeText(std::string_view bytes, ProfileEncoding encoding) {
  switch (encoding) {
    case ProfileEncoding::kUtf8:
      return FromUtf8(bytes);
    case ProfileEncoding::kUtf16Le:
    case ProfileEncoding::kUtf16Be: {
      bool big = encoding == ProfileEncoding::kUtf16Be;
      WString out;
      for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        unsigned lo = static_cast<unsigned char>(bytes[big ? i + 1 : i]);
        unsigned hi = static_cast<unsigned char>(bytes[big ? i : i + 1]);
        out.push_back(static_cast<char16_t>(lo | (hi << 8)));
      }
      return out;
    }
    case ProfileEncoding::kAnsi:
      break;
  }
  return DecodeWindows1252(bytes);
}

std::string EncodeText(WStringView text, ProfileEncoding encoding) {
  switch (encoding) {
    case ProfileEncoding::kUtf8:
      return "\xEF\xBB\xBF" + ToUtf8(text);
    case ProfileEncoding::kUtf16Le:
    case ProfileEncoding::kUtf16Be: {
      bool big = encoding == ProfileEncoding::kUtf16Be;
      std::string out = big ? "\xFE\xFF" : "\xFF\xFE";
      for (char16_t c : text) {
        char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
        out.push_back(big ? hi : lo);
        out.push_back(big ? lo : hi);
      }
      return out;
    }
    case ProfileEncoding::kAnsi:
      break;
  }
  return EncodeWindows1252(text);
}

// ---- L2, L3, L4: blanks and NUL ---------------------------------------------

bool IsBlank(char16_t c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == u' '; }

WStringView TrimLeft(WStringView s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return s;
}

WStringView TrimRight(WStringView s) {
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

WStringView Trim(WStringView s) { return TrimRight(TrimLeft(s)); }

WStringView CutAtNul(WStringView s) { return s.substr(0, s.find(u'\0')); }

// ---- F1-F3: lookup -----------------------------------------------------------

// The first of `items` (sections or entries) named `name`, through their
// index; a template so that the same search serves reading (const) and
// writing. F2: only the first section of a name is searched; F3: the first
// entry wins.
template <typename Items>
auto FindFirstNamed(Items& items, ProfileNameIndex& index, WStringView name)
    -> decltype(&items.front()) {
  std::size_t at = index.Find(name, items.size(),
                              [&](std::size_t i) -> WStringView { return items[i].name; });
  return at == ProfileNameIndex::npos ? nullptr : &items[at];
}

template <typename Document>
auto FindSection(Document& document, WStringView name) -> decltype(&document.sections.front()) {
  return FindFirstNamed(document.sections, document.section_index, name);
}

template <typename Section>
auto FindEntry(Section& section, WStringView name) -> decltype(&section.entries.front()) {
  return FindFirstNamed(section.entries, section.entry_index, name);
}

// ---- V1, V2: quotes and the buffer -----------------------------------------

WString CopyToBuffer(WStringView value, std::size_t buffer_units) {
  bool quoted = value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
                value.back() == value.front();
  if (quoted) value.remove_prefix(1);
  WString out(value.substr(0, std::min(value.size(), buffer_units - 1)));
  if (quoted && buffer_units >= value.size() && !out.empty()) out.pop_back();
  return out;
}

// ---- D1: the default's trailing spaces --------------------------------------

WStringView StripDefault(WStringView value) {
  while (value.size() > 1 && value.back() == u' ') value.remove_suffix(1);
  return value;
}

}  // namespace

void ProfileNameIndex::Grow(std::size_t count) {
  // At most half full, so a search meets a free slot soon.
  if (!slots_.empty() && count * 2 <= slots_.size()) return;
  std::size_t size = 16;
  while (size < count * 2) size *= 2;
  slots_.assign(size, 0);
  indexed_ = 0;
}

std::uint32_t ProfileNameIndex::Hash(WStringView name) {
  std::uint32_t hash = 2166136261u;  // FNV-1a over the folded units
  for (char16_t c : name) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
    hash = (hash ^ c) * 16777619u;
  }
  return hash;
}

ProfileDocument ParseProfile(std::string_view bytes) {
  ProfileDocument document;
  std::size_t mark = 0;
  document.encoding = DetectEncoding(bytes, mark);
  if (bytes.empty()) return document;  // E4
  WString text = DecodeText(bytes.substr(mark), document.encoding);

  document.sections.push_back(ProfileSection());  // S3
  ProfileSection* section = &document.sections.back();
  section->line = 1;
  WStringView rest(text);
  std::size_t line_number = 1;
  while (!rest.empty()) {
    // L1: a line runs up to the next CR or LF; the run of them ends it.
    const std::size_t size = rest.size();
    std::size_t end = 0;
    while (end < size && rest[end] != u'\r' && rest[end] != u'\n') ++end;
    WStringView line = rest.substr(0, end);
    const std::size_t this_line = line_number;
    // The run may hold several line ends; CR LF counts as one.
    std::size_t next = end;
    while (next < size && (rest[next] == u'\r' || rest[next] == u'\n')) {
      if (rest[next] == u'\r' && next + 1 < size && rest[next + 1] == u'\n') ++next;
      ++next;
      ++line_number;
    }
    rest.remove_prefix(next);

    line = Trim(line);  // L3
    if (line.empty()) continue;

    if (line.front() == u'[') {
      std::size_t close = line.rfind(u']');
      if (close != WStringView::npos && close > 0) {  // S1; else S2
        document.sections.push_back(
            {WString(CutAtNul(Trim(line.substr(1, close - 1)))), {}, this_line});
        section = &document.sections.back();
        continue;
      }
    }

    // K1, K2
    WStringView name = line;
    std::optional<WStringView> value;
    std::size_t equals = line.find(u'=');
    if (equals != WStringView::npos) {
      name = TrimRight(line.substr(0, equals));
      value = TrimLeft(line.substr(equals + 1));
    }
    // K4: an unnamed key right after another unnamed one is left out.
    if (name.empty() && !section->entries.empty() && section->entries.back().name.empty()) {
      continue;
    }
    ProfileEntry entry;
    entry.name = WString(CutAtNul(name));  // L4
    if (value) entry.value = WString(CutAtNul(*value));
    entry.line = this_line;
    section->entries.push_back(std::move(entry));
  }
  return document;
}

const ProfileSection* FindProfileSection(const ProfileDocument& document, WStringView section) {
  return FindSection(document, Trim(CutAtNul(section)));
}

const ProfileEntry* FindProfileEntry(const ProfileDocument& document, WStringView section,
                                     WStringView key) {
  const ProfileSection* found = FindProfileSection(document, section);
  return found ? FindEntry(*found, Trim(CutAtNul(key))) : nullptr;
}

WString ProfileStoredNameFold(WStringView stored) {
  WString out(stored);
  for (char16_t& c : out) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
  }
  return out;
}

WString ProfileRequestedNameFold(WStringView requested) {
  return ProfileStoredNameFold(Trim(CutAtNul(requested)));
}

WString ReadProfileString(const ProfileDocument* document, WStringView section, WStringView key,
                          WStringView default_value, std::size_t buffer_units) {
  if (buffer_units == 0) return WString();                              // V3
  WStringView fallback = StripDefault(CutAtNul(default_value));         // D1
  if (!document) return WString(fallback.substr(0, buffer_units - 1));  // D3

  WStringView chosen = fallback;  // D2
  const ProfileEntry* entry = FindProfileEntry(*document, section, key);  // F1
  if (entry && entry->value) chosen = *entry->value;
  return CopyToBuffer(chosen, buffer_units);
}

bool SetProfileString(ProfileDocument& document, WStringView section, WStringView key,
                      WStringView value) {
  section = CutAtNul(section);
  key = CutAtNul(key);
  WString new_value(TrimLeft(CutAtNul(value)));
  ProfileSection* found = FindSection(document, Trim(section));
  if (!found) {  // W3
    document.sections.push_back(
        {WString(TrimLeft(section)), {{WString(TrimLeft(key)), new_value, 0}}, 0});
    return true;
  }
  ProfileEntry* entry = FindEntry(*found, Trim(key));
  if (!entry) {  // W2
    found->entries.push_back({WString(TrimLeft(key)), new_value, 0});
    return true;
  }
  if (entry->value && *entry->value == new_value) return false;  // W1: nothing to write
  entry->value = new_value;
  return true;
}

std::string SerializeProfile(const ProfileDocument& document) {
  WString text;
  for (const ProfileSection& section : document.sections) {
    if (!section.name.empty()) text += u"[" + section.name + u"]\r\n";
    for (const ProfileEntry& entry : section.entries) {
      text += entry.name;
      if (entry.value) text += u"=" + *entry.value;
      text += u"\r\n";
    }
  }
  return EncodeText(text, document.encoding);
}

}  // namespace ztrm
