// The resource driver for the native backend: a simulation of the project's
// own simulated kernel driver (driver/ztrmdrv.c), answering from the same
// configuration in the image's registry (driver/ztrmdrv_config.h states the
// format), so one image gives the same answers natively and under Wine.
//
// Open succeeds while the registry holds the driver's service key
// "SYSTEM\CurrentControlSet\Services\ZTRMDRV" (an image without it is a
// machine without the driver) and hands out a new handle each time. Request
// answers, like the kernel driver, only through an open handle and only with
// the exact buffer sizes of the request; an unknown code, a wrong size or an
// unknown bus fails and leaves the output buffer untouched. The configuration
// is read at every request, so a test may change it between two requests
// (after NativeRegistry::Reload).
#ifndef ZTRM_PLATFORM_NATIVE_NATIVE_RESOURCE_DRIVER_H_
#define ZTRM_PLATFORM_NATIVE_NATIVE_RESOURCE_DRIVER_H_

#include <mutex>
#include <set>

#include "platform/registry.h"
#include "platform/resource_driver.h"

namespace ztrm {

class NativeResourceDriver : public ResourceDriver {
 public:
  explicit NativeResourceDriver(Registry& registry) : registry_(registry) {}

  DriverHandle Open() override;
  bool Request(DriverHandle handle, std::uint32_t code, const std::uint8_t* in, std::size_t in_size,
               std::uint8_t* out, std::size_t out_size) override;
  void Close(DriverHandle handle) override;

 private:
  bool UpstreamBridge(std::uint8_t bus, std::uint8_t* out);
  bool RootBusList(std::uint8_t* table);
  bool ChassisModuleCount(std::uint8_t* out);

  Registry& registry_;
  std::mutex mutex_;  // the device event thread may ask while the worker does
  std::set<DriverHandle> open_;
  DriverHandle next_ = 0x100;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_NATIVE_NATIVE_RESOURCE_DRIVER_H_
