#include "platform/native/file_name_rules.h"

#include <cstdint>

#include "platform/native/name_folding.h"

namespace ztrm {
namespace {

bool IsInvalidDosChar(char16_t c) {
  if (c > 0x7F) return true;
  switch (c) {
    // clang-format off
    case u'*': case u'?': case u'<': case u'>': case u'|': case u'"':
    case u'+': case u'=': case u',': case u';': case u'[': case u']': case u' ':
    case u'~': case u'.':
      // clang-format on
      return true;
    default:
      return false;
  }
}

bool IsInvalidIn8Dot3(char16_t c) {
  if (c > 0x7F) return true;
  switch (c) {
    // clang-format off
    case u'*': case u'?': case u'<': case u'>': case u'|': case u'"':
    case u'+': case u'=': case u',': case u';': case u'[': case u']': case u' ':
    case u':': case u'/': case u'\\':
      // clang-format on
      return true;
    default:
      return false;
  }
}

}  // namespace

bool HasWildcard(WStringView pattern) {
  for (char16_t c : pattern) {
    if (c == u'*' || c == u'?' || c == u'<' || c == u'>' || c == u'"') return true;
  }
  return false;
}

bool IsLegal8Dot3Name(WStringView name) {
  std::size_t len = name.size();
  if (len > 12) return false;
  if (len > 0 && name[0] == u'.') return len == 1 || (len == 2 && name[1] == u'.');
  std::size_t dot = WStringView::npos;
  for (std::size_t i = 0; i < len; ++i) {
    if (IsInvalidIn8Dot3(name[i])) return false;
    if (name[i] == u'.') {
      if (dot != WStringView::npos) return false;
      dot = i;
    }
  }
  if (dot == WStringView::npos) return len <= 8;
  if (dot > 8) return false;
  return len - dot > 1 && len - dot < 5;
}

WString ShortNameOf(WStringView name) {
  if (name.empty() || IsLegal8Dot3Name(name)) return WString();
  static const char kHashChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345";

  std::uint16_t hash = 0xBEEF;
  std::size_t last = name.size() - 1;
  for (std::size_t i = 0; i < last; ++i) {
    hash = static_cast<std::uint16_t>((hash << 3) ^ (hash >> 5) ^ NameFoldLower(name[i]) ^
                                      (NameFoldLower(name[i + 1]) << 8));
  }
  hash = static_cast<std::uint16_t>((hash << 3) ^ (hash >> 5) ^ NameFoldLower(name[last]));

  // The extension starts at the last dot that is neither first nor last.
  std::size_t ext = WStringView::npos;
  for (std::size_t i = 1; i + 1 < name.size(); ++i) {
    if (name[i] == u'.') ext = i;
  }

  WString out;
  int room = 4;
  for (std::size_t i = 0; room > 0; --room, ++i) {
    if (i == name.size() || i == ext) break;
    out.push_back(IsInvalidDosChar(name[i]) ? u'_' : name[i]);
  }
  while (room-- >= 0) out.push_back(u'~');
  out.push_back(static_cast<char16_t>(kHashChars[(hash >> 10) & 0x1F]));
  out.push_back(static_cast<char16_t>(kHashChars[(hash >> 5) & 0x1F]));
  out.push_back(static_cast<char16_t>(kHashChars[hash & 0x1F]));
  if (ext != WStringView::npos) {
    out.push_back(u'.');
    for (std::size_t i = ext + 1; i < name.size() && i < ext + 4; ++i) {
      out.push_back(IsInvalidDosChar(name[i]) ? u'_' : name[i]);
    }
  }
  for (char16_t& c : out) c = NameFoldUpper(c);
  return out;
}

bool MatchesFileMask(WStringView name_text, WStringView mask_text) {
  const char16_t* name = name_text.data();
  const char16_t* name_end = name + name_text.size();
  const char16_t* mask = mask_text.data();
  const char16_t* mask_end = mask + mask_text.size();
  const char16_t* last_joker = nullptr;
  const char16_t* next_to_retry = nullptr;

  while (name < name_end && mask < mask_end) {
    if (*mask == u'*') {
      ++mask;
      while (mask < mask_end && *mask == u'*') ++mask;
      if (mask == mask_end) return true;
      last_joker = mask;
      while (name < name_end && NameFoldUpper(*name) != NameFoldUpper(*mask)) ++name;
      next_to_retry = name;
    } else if (*mask == u'?') {
      ++mask;
      ++name;
    } else if (NameFoldUpper(*mask) == NameFoldUpper(*name)) {
      ++mask;
      ++name;
      if (mask == mask_end) {
        if (name == name_end) return true;
        if (last_joker) mask = last_joker;
      }
    } else if (last_joker) {
      mask = last_joker;
      name = ++next_to_retry;
    } else {
      return false;
    }
  }
  while (mask < mask_end && (*mask == u'.' || *mask == u'*')) ++mask;
  return name == name_end && mask == mask_end;
}

int CompareListingNames(WStringView a, WStringView b) {
  std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    char16_t x = NameFoldUpper(a[i]), y = NameFoldUpper(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b) < 0 ? -1 : (a.compare(b) > 0 ? 1 : 0);
}

}  // namespace ztrm
