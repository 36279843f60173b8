// Special folders of a Wine prefix, and a record of launches instead of
// launching.
//
// kWindows is "C:\windows", kCommonAppData "C:\ProgramData", as a Wine prefix
// has them (the folders are not made). LaunchHidden starts nothing: it
// appends one line to IMAGE/launches.log (made when missing), in UTF-8:
//   file|parameters|directory LF
// each field exactly as given, so a test reads what would have been started.
#ifndef ZTRM_PLATFORM_NATIVE_NATIVE_SHELL_H_
#define ZTRM_PLATFORM_NATIVE_NATIVE_SHELL_H_

#include <mutex>
#include <string>

#include "platform/shell.h"

namespace ztrm {

class NativeShell : public Shell {
 public:
  explicit NativeShell(std::string launch_log_path)
      : launch_log_path_(std::move(launch_log_path)) {}

  std::optional<WString> GetSpecialFolder(SpecialFolder folder) override;
  void LaunchHidden(WStringView file, WStringView parameters, WStringView directory) override;

 private:
  std::string launch_log_path_;
  std::mutex mutex_;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_NATIVE_NATIVE_SHELL_H_
