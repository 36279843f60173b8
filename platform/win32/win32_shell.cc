#include "platform/win32/win32_shell.h"

#include "platform/win32/win32_text.h"
#include "platform/win32/win32_windows.h"

// These need <windows.h> before them.
#include <shellapi.h>
#include <shlobj.h>

namespace ztrm {

std::optional<WString> Win32Shell::GetSpecialFolder(SpecialFolder folder) {
  const int csidl = folder == SpecialFolder::kWindows ? CSIDL_WINDOWS : CSIDL_COMMON_APPDATA;
  // The function requires a buffer of MAX_PATH units.
  wchar_t path[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE)) return std::nullopt;
  return FromWide(path);
}

void Win32Shell::LaunchHidden(WStringView file, WStringView parameters, WStringView directory) {
  const WString file_z = Terminated(file);
  const WString parameters_z = Terminated(parameters);
  const WString directory_z = Terminated(directory);
  // An empty view means "none": ShellExecuteW documents NULL, not "", as the
  // way to pass no parameters or keep the current folder.
  ShellExecuteW(nullptr, L"open", AsWide(file_z.c_str()),
                parameters.empty() ? nullptr : AsWide(parameters_z.c_str()),
                directory.empty() ? nullptr : AsWide(directory_z.c_str()), SW_HIDE);
}

}  // namespace ztrm
