// The native backend in one object: every platform interface over one system
// image folder, so tests and the scenario runner replay a Windows machine on
// Linux and get the answers Wine 8.0 would give for the same files.
//
// The image folder holds:
//   registry.reg   the HKEY_LOCAL_MACHINE part of a registry export
//                  (reg_file.h); missing means an empty registry
//   drive_c/       drive C:, laid out like a Wine prefix's drive_c
//   launches.log   written here: what LaunchHidden would have started
//                  (native_shell.h)
// Each piece's header states what it reproduces. The resource driver answers
// from the image's registry (native_resource_driver.h).
#ifndef ZTRM_PLATFORM_NATIVE_NATIVE_PLATFORM_H_
#define ZTRM_PLATFORM_NATIVE_NATIVE_PLATFORM_H_

#include <string>

#include "platform/native/native_clock.h"
#include "platform/native/native_code_page.h"
#include "platform/native/native_console.h"
#include "platform/native/native_dynamic_libraries.h"
#include "platform/native/native_file_system.h"
#include "platform/native/native_host_identity.h"
#include "platform/native/native_profile_files.h"
#include "platform/native/native_registry.h"
#include "platform/native/native_resource_driver.h"
#include "platform/native/native_shell.h"
#include "platform/native/native_version_info.h"
#include "platform/native/open_file_table.h"
#include "platform/native/windows_path.h"
#include "platform/platform.h"

namespace ztrm {

class NativePlatform {
 public:
  explicit NativePlatform(std::string image_root);
  NativePlatform(const NativePlatform&) = delete;
  NativePlatform& operator=(const NativePlatform&) = delete;

  Platform& platform() { return platform_; }
  NativeClock& clock() { return clock_; }
  NativeFileSystem& files() { return files_; }
  NativeRegistry& registry() { return registry_; }
  NativeShell& shell() { return shell_; }
  NativeResourceDriver& driver() { return driver_; }

  const std::string& image_root() const { return image_root_; }
  // The host path a Windows path of the image stands for (windows_path.h);
  // "" when it does not map.
  std::string HostPath(WStringView windows_path) const;
  // Reads registry.reg again.
  void ReloadRegistry() { registry_.Reload(); }

 private:
  std::string image_root_;
  WindowsPathMap paths_;
  OpenFileTable open_files_;
  NativeRegistry registry_;
  NativeProfileFiles profiles_;
  NativeFileSystem files_;
  NativeDynamicLibraries libraries_;
  NativeResourceDriver driver_;
  NativeShell shell_;
  NativeClock clock_;
  NativeVersionInfo version_;
  NativeHostIdentity host_;
  NativeCodePage code_page_;
  NativeConsole console_;
  Platform platform_;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_NATIVE_NATIVE_PLATFORM_H_
