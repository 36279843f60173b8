// Everything the core asks of the operating system, one interface per concern.
//
// Exactly two backends implement it: Win32 (direct API calls) and native (a
// system image folder on Linux, for tests and the scenario runner). The entry
// point chooses one and hands this bundle down; nothing below it names a
// backend.
#ifndef ZTRM_PLATFORM_PLATFORM_H_
#define ZTRM_PLATFORM_PLATFORM_H_

#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/console.h"
#include "platform/dynamic_libraries.h"
#include "platform/file_system.h"
#include "platform/host_identity.h"
#include "platform/profile_files.h"
#include "platform/registry.h"
#include "platform/resource_driver.h"
#include "platform/shell.h"
#include "platform/version_info.h"

namespace ztrm {

struct Platform {
  Registry& registry;
  ProfileFiles& profiles;
  FileSystem& files;
  DynamicLibraries& libraries;
  ResourceDriver& driver;
  Shell& shell;
  Clock& clock;
  VersionInfo& version;
  HostIdentity& host;
  CodePage& code_page;
  Console& console;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_PLATFORM_H_
