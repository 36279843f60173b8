#include "platform/native/native_version_info.h"

#include "version_config.h"

namespace ztrm {

std::optional<FileVersion> NativeVersionInfo::OwnFileVersion() {
  FileVersion version;
  version.ms = (static_cast<std::uint32_t>(ZTRM_VERSION_MAJOR) << 16) |
               static_cast<std::uint32_t>(ZTRM_VERSION_MINOR);
  version.ls = (static_cast<std::uint32_t>(ZTRM_VERSION_PATCH) << 16) |
               static_cast<std::uint32_t>(ZTRM_VERSION_TWEAK);
  return version;
}

}  // namespace ztrm
