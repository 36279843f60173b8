// The resource driver's device, opened and driven through kernel32.
#ifndef ZTRM_PLATFORM_WIN32_WIN32_RESOURCE_DRIVER_H_
#define ZTRM_PLATFORM_WIN32_WIN32_RESOURCE_DRIVER_H_

#include "platform/resource_driver.h"

namespace ztrm {

class Win32ResourceDriver : public ResourceDriver {
 public:
  DriverHandle Open() override;
  bool Request(DriverHandle handle, std::uint32_t code, const std::uint8_t* in, std::size_t in_size,
               std::uint8_t* out, std::size_t out_size) override;
  void Close(DriverHandle handle) override;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_WIN32_WIN32_RESOURCE_DRIVER_H_
