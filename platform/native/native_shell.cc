#include "platform/native/native_shell.h"

#include <fstream>

namespace ztrm {

std::optional<WString> NativeShell::GetSpecialFolder(SpecialFolder folder) {
  switch (folder) {
    case SpecialFolder::kWindows:
      return WString(u"C:\\windows");
    case SpecialFolder::kCommonAppData:
      return WString(u"C:\\ProgramData");
  }
  return std::nullopt;
}

void NativeShell::LaunchHidden(WStringView file, WStringView parameters, WStringView directory) {
  std::string line = ToUtf8(file) + "|" + ToUtf8(parameters) + "|" + ToUtf8(directory) + "\n";
  std::lock_guard<std::mutex> lock(mutex_);
  std::ofstream out(launch_log_path_, std::ios::binary | std::ios::app);
  out << line;
}

}  // namespace ztrm
