#include "platform/native/host_stamp.h"

#include <sys/stat.h>

namespace ztrm {

bool HostStamp::IsRegular() const { return S_ISREG(mode); }
bool HostStamp::IsDirectory() const { return S_ISDIR(mode); }
bool HostStamp::IsLink() const { return S_ISLNK(mode); }

std::optional<HostStamp> StampHostPath(const std::string& path, bool follow_links) {
  struct stat st;
  if ((follow_links ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) != 0) {
    return std::nullopt;
  }
  HostStamp stamp;
  stamp.device = static_cast<std::uint64_t>(st.st_dev);
  stamp.inode = static_cast<std::uint64_t>(st.st_ino);
  stamp.size = static_cast<std::uint64_t>(st.st_size);
  stamp.modified_s = st.st_mtim.tv_sec;
  stamp.modified_ns = st.st_mtim.tv_nsec;
  stamp.changed_s = st.st_ctim.tv_sec;
  stamp.changed_ns = st.st_ctim.tv_nsec;
  stamp.mode = static_cast<std::uint32_t>(st.st_mode);
  stamp.links = static_cast<std::uint64_t>(st.st_nlink);
  return stamp;
}

}  // namespace ztrm
