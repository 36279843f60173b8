// GetPrivateProfileStringW / WritePrivateProfileStringW over the image's
// drive C. The text rules are in profile_text.h; this adds where the file is
// and whether it can be opened, as Wine 8.0 does it:
//   - a bare file name ("x.ini": no '\', no '/', no drive) is in C:\windows;
//     any other path is made full against the current folder (windows_path.h);
//   - an existing regular file is read; a missing file in an existing folder
//     reads as empty (the default goes through the value rules, D2) and is
//     created by a write; a missing folder, a folder in the file's place, a
//     path that does not map, or a file this process holds against it
//     (open_file_table.h) cannot be opened: a read gives the default only cut
//     (D3), a write fails;
//   - a write that changes nothing leaves the file untouched; any other write
//     writes the whole file again.
// The parsed forms of the last few files are kept, as Windows and Wine keep
// them, and used while the file's identity on disk is unchanged: the same host
// path, device, inode, size, modification time and change time (nanoseconds as
// the file system records them). Anything else is read and parsed again, so a
// file rewritten between two reads (same size and a new time, or the same time
// and a new size, or replaced by another file) is read afresh, and a write
// through WriteString is seen by the next read. Whether the file may be opened
// is decided at every call. What no cache keyed this way can see: a rewrite of
// the same size within one tick of the file system's clock (Windows and Wine
// share that limit). Calls are serialized, as Wine serializes them, so two
// threads' writes do not mix.
//
// Under a change watch (host_change_watch.h, given through the path map) a
// kept parse checked at the watch's count is used without the file's stat
// while the count stays there, when the file's whole path and the file itself
// are watched and the file has one name only when checked (a name added later
// is reported to the file's own watch).
#ifndef ZTRM_PLATFORM_NATIVE_NATIVE_PROFILE_FILES_H_
#define ZTRM_PLATFORM_NATIVE_NATIVE_PROFILE_FILES_H_

#include <cstddef>
#include <cstdint>
#include <list>
#include <mutex>
#include <optional>
#include <string>

#include "platform/native/host_stamp.h"
#include "platform/native/open_file_table.h"
#include "platform/native/profile_text.h"
#include "platform/native/windows_path.h"
#include "platform/profile_files.h"

namespace ztrm {

class NativeProfileFiles : public ProfileFiles {
 public:
  NativeProfileFiles(const WindowsPathMap& paths, const OpenFileTable& open_files)
      : paths_(paths), open_files_(open_files) {}

  WString ReadString(WStringView file, WStringView section, WStringView key,
                     WStringView default_value, std::size_t buffer_units) override;
  bool WriteString(WStringView file, WStringView section, WStringView key,
                   WStringView value) override;

 private:
  // How many parsed files are kept (Wine keeps 10): the system reads a handful
  // of profiles over and over, never many at once.
  static constexpr std::size_t kCachedFiles = 8;

  struct CachedFile {
    std::string host_path;
    HostStamp stamp;
    std::uint64_t watched_at = 0;  // the watch's count the stamp was checked at
    ProfileDocument document;
  };
  // The last Open's answer; used again for the same `file` while the watch's
  // count and the current folder are as they were (watched_at 0: never).
  struct LastOpen {
    WString file;
    std::uint64_t directory = 0;
    std::uint64_t watched_at = 0;
    std::string host_path;
    const ProfileDocument* document = nullptr;  // into the cache
  };

  // The parsed file `file` names as the open for reading (or for writing)
  // finds it (the empty document for a missing file; its host path is then
  // last_.host_path); null when it cannot be opened.
  const ProfileDocument* Open(WStringView file, bool for_writing);
  // The cached parse of the existing regular file whose stamp is `stamp`,
  // parsed again when the cached one has another; null when it cannot be read.
  // `watched_at`: the count the parse holds at under the watch, or 0.
  const ProfileDocument* Parsed(const std::string& host_path, const HostStamp& stamp,
                                std::uint64_t watched_at);

  const WindowsPathMap& paths_;
  const OpenFileTable& open_files_;
  std::mutex mutex_;
  std::list<CachedFile> cache_;  // most recently used first
  LastOpen last_;
  const ProfileDocument empty_;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_NATIVE_NATIVE_PROFILE_FILES_H_
