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
// Every call reads the file afresh; Wine's cache of recent files gives the same
// answers because it reloads a file whose time stamp changed. Calls are
// serialized, as Wine serializes them, so two threads' writes do not mix.
#ifndef ZTRM_PLATFORM_NATIVE_NATIVE_PROFILE_FILES_H_
#define ZTRM_PLATFORM_NATIVE_NATIVE_PROFILE_FILES_H_

#include <mutex>

#include "platform/native/open_file_table.h"
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
  const WindowsPathMap& paths_;
  const OpenFileTable& open_files_;
  std::mutex mutex_;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_NATIVE_NATIVE_PROFILE_FILES_H_
