// The resource driver for the native backend: not simulated yet. The device
// never opens (Open answers 0, as CreateFileA does when the driver is not
// running), so Request and Close are never reached with a handle of ours.
#ifndef ZTRM_PLATFORM_NATIVE_NATIVE_RESOURCE_DRIVER_H_
#define ZTRM_PLATFORM_NATIVE_NATIVE_RESOURCE_DRIVER_H_

#include "platform/resource_driver.h"

namespace ztrm {

class NativeResourceDriver : public ResourceDriver {
 public:
  DriverHandle Open() override { return 0; }
  bool Request(DriverHandle, std::uint32_t, const std::uint8_t*, std::size_t, std::uint8_t*,
               std::size_t) override {
    return false;
  }
  void Close(DriverHandle) override {}
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_NATIVE_NATIVE_RESOURCE_DRIVER_H_
