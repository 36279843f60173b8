// The executable's own version resource.
#ifndef ZTRM_PLATFORM_WIN32_WIN32_VERSION_INFO_H_
#define ZTRM_PLATFORM_WIN32_WIN32_VERSION_INFO_H_

#include "platform/version_info.h"

namespace ztrm {

class Win32VersionInfo : public VersionInfo {
 public:
  std::optional<FileVersion> OwnFileVersion() override;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_WIN32_WIN32_VERSION_INFO_H_
