// Reading a parsed profile file by section and key the way
// GetPrivateProfileStringW answers, without its cost per call: the first
// section of each name is indexed once, so a file with a million sections
// is still read in one pass. Values come back as ReadProfileString gives
// them (one pair of quotes removed), in UTF-8, read with a buffer of 65,536
// units rather than the 260 of the service's own reads: the system files'
// lists (ChassisList, SlotList) can be longer than 259 units and a reader of
// the file sees them whole.
#ifndef ZTRM_TOOLS_VIEW_INI_LOOKUP_H_
#define ZTRM_TOOLS_VIEW_INI_LOOKUP_H_

#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/native/profile_text.h"

namespace ztrm {

class IniLookup {
 public:
  explicit IniLookup(ProfileDocument document);

  bool HasSection(const std::string& section) const { return Find(section) != nullptr; }
  // How many sections of that name the file holds (only the first is read).
  std::size_t SectionCount(const std::string& section) const;
  // The value of the first key of that name in the first section of that
  // name; nullopt when the section or key is missing or the key has no '='.
  std::optional<std::string> Value(const std::string& section, const std::string& key) const;
  // The keys of a section that start with `prefix` (ASCII letters folded),
  // each with its value, in file order, a repeated key only the first time;
  // `limit` bounds how many are returned.
  std::vector<std::pair<std::string, std::string>> KeysWithPrefix(const std::string& section,
                                                                   const std::string& prefix,
                                                                   std::size_t limit) const;

 private:
  const ProfileSection* Find(const std::string& section) const;

  ProfileDocument document_;
  std::unordered_map<WString, std::size_t> first_section_;  // folded name -> index
  std::unordered_map<WString, std::size_t> section_count_;  // folded name -> sections
};

}  // namespace ztrm

#endif  // ZTRM_TOOLS_VIEW_INI_LOOKUP_H_
