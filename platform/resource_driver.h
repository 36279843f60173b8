// The resource driver, device "\\.\ZTRMDRVSYS".
#ifndef ZTRM_PLATFORM_RESOURCE_DRIVER_H_
#define ZTRM_PLATFORM_RESOURCE_DRIVER_H_

#include <cstddef>
#include <cstdint>

namespace ztrm {

// An open device handle; 0 means none.
using DriverHandle = std::uintptr_t;

// The driver's requests and their buffers (device type 0x22, any access,
// buffered method). Every buffer is an array of bytes.
namespace rmdrv {
// In: 1 byte, a PCI bus. Out: 4 bytes: [0] the bus to ask next (at the root:
// the root bus), [1] device and [2] function of the bridge leading to the
// asked bus, [3] 0xFF when the asked bus is a root bus.
inline constexpr std::uint32_t DAS_IOC_GET_UPSTREAM_BRIDGE = 0x2234DC;
inline constexpr std::size_t kUpstreamBridgeInSize = 1;
inline constexpr std::size_t kUpstreamBridgeOutSize = 4;
inline constexpr std::uint8_t kRootBusMarker = 0xFF;
// In and out: the root bus table, 255 rows of 255 bytes (1 marks a pair),
// then the count byte; filled in place.
inline constexpr std::uint32_t DAS_IOC_GET_ROOT_BUS_LIST = 0x223504;
inline constexpr std::size_t kRootBusRows = 255;
inline constexpr std::size_t kRootBusListSize = kRootBusRows * kRootBusRows + 1;  // 65,026
// In: 1 byte, 0. Out: 2 bytes, zeroed by the caller; [1] == 1 means the
// chassis modules changed.
inline constexpr std::uint32_t DAS_IOC_GET_CHASSIS_MODULE_COUNT = 0x2234E0;
inline constexpr std::size_t kChassisModuleCountInSize = 1;
inline constexpr std::size_t kChassisModuleCountOutSize = 2;
}  // namespace rmdrv

class ResourceDriver {
 public:
  virtual ~ResourceDriver() = default;
  // CreateFileA on "\\.\ZTRMDRVSYS", read and write access (0xC0000000), no
  // sharing, no security attributes, open existing, normal attributes, no
  // template; 0 when the device cannot be opened.
  virtual DriverHandle Open() = 0;
  // DeviceIoControl with buffered in and out buffers; false when it fails.
  virtual bool Request(DriverHandle handle, std::uint32_t code, const std::uint8_t* in,
                       std::size_t in_size, std::uint8_t* out, std::size_t out_size) = 0;
  virtual void Close(DriverHandle handle) = 0;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_RESOURCE_DRIVER_H_
