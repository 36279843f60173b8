#include "output/driver_session.h"

#include <cstring>

namespace ztrm {

DriverHandle OpenResourceDriver(RunContext& ctx) {
  DriverHandle held = ctx.SharedDriverHandle.load();
  if (held != 0) return held;
  DriverHandle opened = ctx.platform.driver.Open();
  if (opened != 0) ctx.SharedDriverHandle.store(opened);
  return opened;
}

bool RequestUpstreamBridge(RunContext& ctx, DriverHandle handle, std::uint8_t bus,
                           std::uint8_t answer[4]) {
  const std::uint8_t in[rmdrv::kUpstreamBridgeInSize] = {bus};
  std::uint8_t out[rmdrv::kUpstreamBridgeOutSize] = {0, 0, 0, 0};
  if (!ctx.platform.driver.Request(handle, rmdrv::DAS_IOC_GET_UPSTREAM_BRIDGE, in, sizeof in, out,
                                   sizeof out)) {
    return false;
  }
  std::memcpy(answer, out, sizeof out);
  return true;
}

bool RequestRootBusList(RunContext& ctx, DriverHandle handle, stRootBusList& table) {
  return ctx.platform.driver.Request(handle, rmdrv::DAS_IOC_GET_ROOT_BUS_LIST, table.bytes.data(),
                                     table.bytes.size(), table.bytes.data(), table.bytes.size());
}

}  // namespace ztrm
