// Registry reads below HKEY_LOCAL_MACHINE through the advapi32 functions.
#ifndef ZTRM_PLATFORM_WIN32_WIN32_REGISTRY_H_
#define ZTRM_PLATFORM_WIN32_WIN32_REGISTRY_H_

#include <memory>

#include "platform/registry.h"

namespace ztrm {

class Win32Registry : public Registry {
 public:
  std::unique_ptr<RegistryKey> OpenLocalMachineKey(WStringView path) override;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_WIN32_WIN32_REGISTRY_H_
