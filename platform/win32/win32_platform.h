// The Win32 backend, one object per concern, bundled for the entry point.
#ifndef ZTRM_PLATFORM_WIN32_WIN32_PLATFORM_H_
#define ZTRM_PLATFORM_WIN32_WIN32_PLATFORM_H_

#include "platform/platform.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_code_page.h"
#include "platform/win32/win32_console.h"
#include "platform/win32/win32_dynamic_libraries.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_host_identity.h"
#include "platform/win32/win32_profile_files.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_resource_driver.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_version_info.h"

namespace ztrm {

class Win32Platform {
 public:
  Win32Platform();
  // platform_ refers to the members, so the bundle neither copies nor moves.
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  Platform& platform() { return platform_; }

 private:
  Win32Registry registry_;
  Win32ProfileFiles profiles_;
  Win32FileSystem files_;
  Win32DynamicLibraries libraries_;
  Win32ResourceDriver driver_;
  Win32Shell shell_;
  Win32Clock clock_;
  Win32VersionInfo version_;
  Win32HostIdentity host_;
  Win32CodePage code_page_;
  Win32Console console_;
  Platform platform_;  // last: it binds to the members above
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_WIN32_WIN32_PLATFORM_H_
