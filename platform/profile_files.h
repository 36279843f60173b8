// Profile (INI) files, read and written the way GetPrivateProfileStringW and
// WritePrivateProfileStringW do it. The native backend documents the rules it
// reproduces.
#ifndef ZTRM_PLATFORM_PROFILE_FILES_H_
#define ZTRM_PLATFORM_PROFILE_FILES_H_

#include <cstddef>

#include "common/wide_text.h"

namespace ztrm {

class ProfileFiles {
 public:
  virtual ~ProfileFiles() = default;
  // GetPrivateProfileStringW(section, key, default_value, buffer of
  // `buffer_units` units, file): the value as the function leaves it in the
  // buffer (at most buffer_units - 1 units). A missing file, section or key
  // gives `default_value` (also cut to the buffer).
  virtual WString ReadString(WStringView file, WStringView section, WStringView key,
                             WStringView default_value, std::size_t buffer_units) = 0;
  // WritePrivateProfileStringW(section, key, value, file); false on failure.
  virtual bool WriteString(WStringView file, WStringView section, WStringView key,
                           WStringView value) = 0;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_PROFILE_FILES_H_
