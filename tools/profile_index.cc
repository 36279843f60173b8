#include "tools/profile_index.h"

namespace ztrm {

ProfileIndex::ProfileIndex(const ProfileDocument& document) {
  entries_.resize(document.sections.size());
  for (std::size_t s = 0; s < document.sections.size(); ++s) {
    const ProfileSection& section = document.sections[s];
    sections_.emplace(ProfileStoredNameFold(section.name), s);  // the first stays
    for (std::size_t e = 0; e < section.entries.size(); ++e) {
      entries_[s].emplace(ProfileStoredNameFold(section.entries[e].name), e);
    }
  }
}

const ProfileSection* ProfileIndex::Section(const ProfileDocument& document,
                                            WStringView section) const {
  auto found = sections_.find(ProfileRequestedNameFold(section));
  return found == sections_.end() ? nullptr : &document.sections[found->second];
}

const ProfileEntry* ProfileIndex::Entry(const ProfileDocument& document, WStringView section,
                                        WStringView key) const {
  auto s = sections_.find(ProfileRequestedNameFold(section));
  if (s == sections_.end()) return nullptr;
  auto e = entries_[s->second].find(ProfileRequestedNameFold(key));
  return e == entries_[s->second].end() ? nullptr
                                        : &document.sections[s->second].entries[e->second];
}

}  // namespace ztrm
