// ztrm-check.exe: checks chassis description files on this Windows machine.
//
//   ztrm-check.exe [--json] FILE...
//
// Each FILE is made a full path first: the profile reading takes a bare file
// name for one in the Windows folder, while the service always names its
// description files in full.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"
#include "tools/check_report.h"
#include "tools/description_check.h"

namespace {

ztrm::WString Wide(const wchar_t* text) {
  return ztrm::WString(reinterpret_cast<const char16_t*>(text));
}

ztrm::WString FullPath(const wchar_t* arg) {
  DWORD size = GetFullPathNameW(arg, 0, nullptr, nullptr);
  if (size == 0) return Wide(arg);
  std::vector<wchar_t> buffer(size + 1);
  DWORD written = GetFullPathNameW(arg, size + 1, buffer.data(), nullptr);
  if (written == 0 || written > size) return Wide(arg);
  return Wide(buffer.data());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  bool json = false;
  std::vector<const wchar_t*> files;
  for (int i = 1; i < argc; ++i) {
    if (std::wcscmp(argv[i], L"--help") == 0) {
      std::fputs(ztrm::kCheckHelp, stdout);
      return 0;
    }
    if (std::wcscmp(argv[i], L"--json") == 0) {
      json = true;
    } else if (argv[i][0] == L'-' && argv[i][1] != L'\0') {
      std::fprintf(stderr, "ztrm-check: unknown option '%s'\n%s",
                   ztrm::ToUtf8(Wide(argv[i])).c_str(), ztrm::kCheckUsage);
      return 2;
    } else {
      files.push_back(argv[i]);
    }
  }
  if (files.empty()) {
    std::fputs(ztrm::kCheckUsage, stderr);
    return 2;
  }
  ztrm::Win32Platform win32;
  std::vector<ztrm::DescriptionCheck> checks;
  for (const wchar_t* file : files) {
    checks.push_back(
        ztrm::CheckDescriptionFile(win32.platform(), FullPath(file), ztrm::ToUtf8(Wide(file))));
  }
  return ztrm::ReportChecks(checks, json, win32.platform().console);
}
