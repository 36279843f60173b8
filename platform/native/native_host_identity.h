// The computer's maker and model for the native backend: one
// Win32_ComputerSystem object whose Manufacturer and Model are the registry
// values "SystemManufacturer" and "SystemProductName" of
// HARDWARE\DESCRIPTION\System\BIOS, each nullopt when absent or not a string.
// (Under Wine, WMI takes them from the machine's SMBIOS data instead; an image
// states them in its registry.)
#ifndef ZTRM_PLATFORM_NATIVE_NATIVE_HOST_IDENTITY_H_
#define ZTRM_PLATFORM_NATIVE_NATIVE_HOST_IDENTITY_H_

#include "platform/host_identity.h"
#include "platform/registry.h"

namespace ztrm {

class NativeHostIdentity : public HostIdentity {
 public:
  explicit NativeHostIdentity(Registry& registry) : registry_(registry) {}
  std::optional<std::vector<ComputerSystemInfo>> QueryComputerSystems() override;

 private:
  Registry& registry_;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_NATIVE_NATIVE_HOST_IDENTITY_H_
