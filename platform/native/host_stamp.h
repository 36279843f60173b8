// What tells a host file or folder from its earlier versions, from one stat:
// the same device and inode, size, modification and change times
// (nanoseconds as the file system records them). Kept answers about a file's
// contents or a folder's listing hold while the stamp is unchanged.
#ifndef ZTRM_PLATFORM_NATIVE_HOST_STAMP_H_
#define ZTRM_PLATFORM_NATIVE_HOST_STAMP_H_

#include <cstdint>
#include <optional>
#include <string>

namespace ztrm {

struct HostStamp {
  std::uint64_t device = 0, inode = 0, size = 0;
  std::int64_t modified_s = 0, modified_ns = 0, changed_s = 0, changed_ns = 0;
  // Not part of the identity: what the entry is and how many names it has.
  std::uint32_t mode = 0;
  std::uint64_t links = 0;

  bool operator==(const HostStamp& o) const {
    return device == o.device && inode == o.inode && size == o.size &&
           modified_s == o.modified_s && modified_ns == o.modified_ns &&
           changed_s == o.changed_s && changed_ns == o.changed_ns;
  }
  bool operator!=(const HostStamp& o) const { return !(*this == o); }
  bool IsRegular() const;
  bool IsDirectory() const;
  bool IsLink() const;
};

// The stamp of `path` (`follow_links`: of what a symbolic link points at, as
// stat; else of the link itself, as lstat); nullopt when nothing is there.
std::optional<HostStamp> StampHostPath(const std::string& path, bool follow_links);

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_NATIVE_HOST_STAMP_H_
