// The program's own file version: the project version CMake generates into
// version_config.h, the same numbers the Windows version resource carries.
// ms = major << 16 | minor, ls = patch << 16 | tweak.
#ifndef ZTRM_PLATFORM_NATIVE_NATIVE_VERSION_INFO_H_
#define ZTRM_PLATFORM_NATIVE_NATIVE_VERSION_INFO_H_

#include "platform/version_info.h"

namespace ztrm {

class NativeVersionInfo : public VersionInfo {
 public:
  std::optional<FileVersion> OwnFileVersion() override;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_NATIVE_NATIVE_VERSION_INFO_H_
