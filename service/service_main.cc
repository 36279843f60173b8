// ZTRMService.exe: the Windows entry point.
#include <string_view>

#include "platform/win32/win32_platform.h"

namespace {

constexpr std::string_view kUsage =
    "Parameters:\n"
    " -install   to install the service.\n"
    " -remove    to remove the service.\n"
    " -start     to start the service.\n"
    " -stop      to stop the service.\n"
    " -startonce to start the service once.\n";

bool IsOption(const wchar_t* argument) { return argument[0] == L'-' || argument[0] == L'/'; }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  ztrm::Win32Platform win32;
  ztrm::Platform& platform = win32.platform();

  // The log folder. It usually exists already, so a failure here is no error.
  platform.files.CreateDirectory(u"c:\\ZTLOG");

  if (argc < 2 || !IsOption(argv[1])) {
    platform.console.Write(kUsage);
    return 0;
  }
  // The service dispatcher is not built yet.
  return 0;
}
