// Profile (INI) files through the kernel32 private-profile functions.
#ifndef ZTRM_PLATFORM_WIN32_WIN32_PROFILE_FILES_H_
#define ZTRM_PLATFORM_WIN32_WIN32_PROFILE_FILES_H_

#include "platform/profile_files.h"

namespace ztrm {

class Win32ProfileFiles : public ProfileFiles {
 public:
  WString ReadString(WStringView file, WStringView section, WStringView key,
                     WStringView default_value, std::size_t buffer_units) override;
  bool WriteString(WStringView file, WStringView section, WStringView key,
                   WStringView value) override;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_WIN32_WIN32_PROFILE_FILES_H_
