// ZTRMService.exe: the Windows entry point. It picks the Win32 backend and
// hands over to the entry logic, which is the same on every platform.
#include <vector>

#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_service_platform.h"
#include "platform/win32/win32_text.h"
#include "service/service_entry.h"

int wmain(int argc, wchar_t** argv) {
  // The backends are never destroyed: after a shutdown the dispatcher returns
  // while the worker still runs, and it keeps using them until the process
  // exit ends it. They hold nothing that needs closing before then.
  auto* win32 = new ztrm::Win32Platform;
  auto* win32_service = new ztrm::Win32ServicePlatform;
  std::vector<ztrm::WString> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(ztrm::FromWide(argv[i]));
  ztrm::RunServiceEntry(win32->platform(), win32_service->service_platform(), arguments);
  return 0;
}
