#include "enumeration/companion.h"

#include "common/registry_text.h"

namespace ztrm {

void LaunchCompanion(Platform& platform, const WideText& directory, WStringView parameters) {
  if (directory.empty() || !platform.files.DirectoryExists(directory.view())) return;
  platform.shell.LaunchHidden(kCompanionFile, parameters, directory.view());
}

WideText ReadCompanionDir(Registry& registry, std::initializer_list<WStringView> key_paths) {
  return ReadFirstStringValue(registry, key_paths, u"Path");
}

}  // namespace ztrm
