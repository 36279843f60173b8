// The resource driver, device "\\.\ZTRMDRVSYS".
#ifndef ZTRM_PLATFORM_RESOURCE_DRIVER_H_
#define ZTRM_PLATFORM_RESOURCE_DRIVER_H_

#include <cstddef>
#include <cstdint>

namespace ztrm {

// An open device handle; 0 means none.
using DriverHandle = std::uintptr_t;

class ResourceDriver {
 public:
  virtual ~ResourceDriver() = default;
  // CreateFileA on the device, read and write access, no sharing, open
  // existing; 0 when the device cannot be opened.
  virtual DriverHandle Open() = 0;
  // DeviceIoControl with buffered in and out buffers; false when it fails.
  virtual bool Request(DriverHandle handle, std::uint32_t code, const std::uint8_t* in,
                       std::size_t in_size, std::uint8_t* out, std::size_t out_size) = 0;
  virtual void Close(DriverHandle handle) = 0;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_RESOURCE_DRIVER_H_
