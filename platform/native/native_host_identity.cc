#include "platform/native/native_host_identity.h"

namespace ztrm {

std::optional<std::vector<ComputerSystemInfo>> NativeHostIdentity::QueryComputerSystems() {
  ComputerSystemInfo info;
  if (std::unique_ptr<RegistryKey> bios =
          registry_.OpenLocalMachineKey(u"HARDWARE\\DESCRIPTION\\System\\BIOS")) {
    info.manufacturer = bios->StringValue(u"SystemManufacturer");
    info.model = bios->StringValue(u"SystemProductName");
  }
  return std::vector<ComputerSystemInfo>{info};
}

}  // namespace ztrm
