#include "platform/native/name_folding.h"

#include <algorithm>

#include "platform/native/name_folding_table.h"

namespace ztrm {
namespace {

char16_t Lookup(const CasePair* pairs, std::size_t count, char16_t c) {
  const CasePair* end = pairs + count;
  const CasePair* it = std::lower_bound(
      pairs, end, c, [](const CasePair& pair, char16_t unit) { return pair.unit < unit; });
  return (it != end && it->unit == c) ? it->folded : c;
}

}  // namespace

char16_t NameFoldUpper(char16_t c) {
  if (c < 0x80) return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
  return Lookup(kUpperCasePairs, kUpperCasePairCount, c);
}

char16_t NameFoldLower(char16_t c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
  return Lookup(kLowerCasePairs, kLowerCasePairCount, c);
}

bool NamesEqualIgnoreCase(WStringView a, WStringView b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && NameFoldUpper(a[i]) != NameFoldUpper(b[i])) return false;
  }
  return true;
}

bool AsciiNamesEqualIgnoreCase(WStringView a, WStringView b) {
  if (a.size() != b.size()) return false;
  auto fold = [](char16_t c) {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
  };
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

}  // namespace ztrm
