// The running program's own version resource.
#ifndef ZTRM_PLATFORM_VERSION_INFO_H_
#define ZTRM_PLATFORM_VERSION_INFO_H_

#include <cstdint>
#include <optional>

namespace ztrm {

// The two words of VS_FIXEDFILEINFO's file version.
struct FileVersion {
  std::uint32_t ms = 0;  // dwFileVersionMS
  std::uint32_t ls = 0;  // dwFileVersionLS
};

class VersionInfo {
 public:
  virtual ~VersionInfo() = default;
  // File version of resource 1 of type RT_VERSION; nullopt when unreadable.
  virtual std::optional<FileVersion> OwnFileVersion() = 0;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_VERSION_INFO_H_
