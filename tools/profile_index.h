// The lookups of a read (FindProfileSection, FindProfileEntry) for many names
// at once: one pass over the document builds maps from each name's fold to
// the first section, and the first key of each section, of that name. A file
// of a million sections then costs no more than a few passes.
//
// It holds positions, not pointers, so it stays valid when the document it
// was built from is moved; pass that document to every lookup.
#ifndef ZTRM_TOOLS_PROFILE_INDEX_H_
#define ZTRM_TOOLS_PROFILE_INDEX_H_

#include <cstddef>
#include <unordered_map>
#include <vector>

#include "platform/native/profile_text.h"

namespace ztrm {

class ProfileIndex {
 public:
  ProfileIndex() = default;
  explicit ProfileIndex(const ProfileDocument& document);

  // What FindProfileSection / FindProfileEntry answer for `document`.
  const ProfileSection* Section(const ProfileDocument& document, WStringView section) const;
  const ProfileEntry* Entry(const ProfileDocument& document, WStringView section,
                            WStringView key) const;

 private:
  std::unordered_map<WString, std::size_t> sections_;
  std::vector<std::unordered_map<WString, std::size_t>> entries_;  // one per section
};

}  // namespace ztrm

#endif  // ZTRM_TOOLS_PROFILE_INDEX_H_
