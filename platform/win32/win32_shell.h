// Special folders and launching programs through shell32.
#ifndef ZTRM_PLATFORM_WIN32_WIN32_SHELL_H_
#define ZTRM_PLATFORM_WIN32_WIN32_SHELL_H_

#include "platform/shell.h"

namespace ztrm {

class Win32Shell : public Shell {
 public:
  std::optional<WString> GetSpecialFolder(SpecialFolder folder) override;
  void LaunchHidden(WStringView file, WStringView parameters, WStringView directory) override;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_WIN32_WIN32_SHELL_H_
