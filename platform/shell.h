// Shell: special folders and launching the companion application.
#ifndef ZTRM_PLATFORM_SHELL_H_
#define ZTRM_PLATFORM_SHELL_H_

#include <optional>

#include "common/wide_text.h"

namespace ztrm {

enum class SpecialFolder {
  kWindows,        // CSIDL_WINDOWS (0x24)
  kCommonAppData,  // CSIDL_COMMON_APPDATA (0x23)
};

class Shell {
 public:
  virtual ~Shell() = default;
  // SHGetSpecialFolderPathW without creating the folder; nullopt on failure.
  virtual std::optional<WString> GetSpecialFolder(SpecialFolder folder) = 0;
  // ShellExecuteW "open" of `file` with `parameters` in `directory`, window
  // hidden. The outcome is not reported: nobody looks at it.
  virtual void LaunchHidden(WStringView file, WStringView parameters, WStringView directory) = 0;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_SHELL_H_
