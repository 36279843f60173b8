#include "tools/view/ini_lookup.h"

#include <unordered_set>

namespace ztrm {
namespace {

constexpr std::size_t kBufferUnits = 65536;

bool IsBlank(char16_t c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == u' '; }

// The name as the index compares it: blanks at both ends gone, ASCII
// letters folded (how profile names match).
WString Folded(WStringView name) {
  while (!name.empty() && IsBlank(name.front())) name.remove_prefix(1);
  while (!name.empty() && IsBlank(name.back())) name.remove_suffix(1);
  WString out(name);
  for (char16_t& c : out) c = FoldToLower(c);
  return out;
}

// A value through ReadProfileString itself, so quotes and cutting follow the
// reader's rules exactly: a document of one section holding just this key.
std::string ReadValue(const WString& raw) {
  ProfileDocument one;
  one.sections.push_back({u"s", {{u"k", raw}}});
  return ToUtf8(ReadProfileString(&one, u"s", u"k", u"", kBufferUnits));
}

}  // namespace

IniLookup::IniLookup(ProfileDocument document) : document_(std::move(document)) {
  for (std::size_t i = 0; i < document_.sections.size(); ++i) {
    WString name = Folded(document_.sections[i].name);
    ++section_count_[name];
    first_section_.emplace(std::move(name), i);  // the first one stays
  }
}

std::size_t IniLookup::SectionCount(const std::string& section) const {
  auto it = section_count_.find(Folded(FromUtf8(section)));
  return it == section_count_.end() ? 0 : it->second;
}

const ProfileSection* IniLookup::Find(const std::string& section) const {
  auto it = first_section_.find(Folded(FromUtf8(section)));
  return it == first_section_.end() ? nullptr : &document_.sections[it->second];
}

std::optional<std::string> IniLookup::Value(const std::string& section,
                                            const std::string& key) const {
  const ProfileSection* found = Find(section);
  if (!found) return std::nullopt;
  WString wanted = Folded(FromUtf8(key));
  for (const ProfileEntry& entry : found->entries) {
    if (Folded(entry.name) != wanted) continue;
    if (!entry.value) return std::nullopt;
    return ReadValue(*entry.value);
  }
  return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> IniLookup::KeysWithPrefix(
    const std::string& section, const std::string& prefix, std::size_t limit) const {
  std::vector<std::pair<std::string, std::string>> out;
  const ProfileSection* found = Find(section);
  if (!found) return out;
  WString folded_prefix = Folded(FromUtf8(prefix));
  std::unordered_set<WString> seen;
  for (const ProfileEntry& entry : found->entries) {
    if (out.size() >= limit) break;
    WString name = Folded(entry.name);
    if (name.compare(0, folded_prefix.size(), folded_prefix) != 0) continue;
    if (!seen.insert(name).second || !entry.value) continue;
    out.emplace_back(ToUtf8(entry.name), ReadValue(*entry.value));
  }
  return out;
}

}  // namespace ztrm
