#include "enumeration/host_identification.h"

namespace ztrm {

void IdentifyHost(RunContext& ctx) {
  std::optional<std::vector<ComputerSystemInfo>> systems = ctx.platform.host.QueryComputerSystems();
  if (!systems) {
    ctx.HostManufacturer = kHostUnknown;
    ctx.HostModel = kHostUnknown;
    return;
  }
  for (const ComputerSystemInfo& system : *systems) {
    ctx.HostManufacturer = system.manufacturer ? WideText(*system.manufacturer) : WideText(kHostUnknown);
    ctx.HostModel = system.model ? WideText(*system.model) : WideText(kHostUnknown);
  }
}

}  // namespace ztrm
