#include "enumeration/system_paths.h"

#include "common/wide_format.h"

namespace ztrm {
namespace {

WideText FolderText(Shell& shell, SpecialFolder folder) {
  std::optional<WString> path = shell.GetSpecialFolder(folder);
  return path ? WideText(*path) : WideText();
}

}  // namespace

WideText WindowsFolderFile(Shell& shell, WStringView name) {
  return FormatWide(u"%s\\%s", FolderText(shell, SpecialFolder::kWindows), name);
}

WideText PxisaConfigurationFile(Shell& shell) {
  return FormatWide(u"%s\\PXISA\\configuration.ini", FolderText(shell, SpecialFolder::kCommonAppData));
}

}  // namespace ztrm
