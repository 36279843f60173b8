#include "platform/win32/win32_resource_driver.h"

#include "platform/win32/win32_windows.h"

namespace ztrm {

DriverHandle Win32ResourceDriver::Open() {
  // GENERIC_READ | GENERIC_WRITE, no sharing, FILE_ATTRIBUTE_NORMAL: the
  // driver's create handler sees the same request as from any other client.
  HANDLE device =
      CreateFileA("\\\\.\\ZTRMDRVSYS", 0xC0000000, 0, nullptr, OPEN_EXISTING, 0x80, nullptr);
  if (device == INVALID_HANDLE_VALUE) return 0;
  return reinterpret_cast<DriverHandle>(device);
}

bool Win32ResourceDriver::Request(DriverHandle handle, std::uint32_t code, const std::uint8_t* in,
                                  std::size_t in_size, std::uint8_t* out, std::size_t out_size) {
  if (handle == 0) return false;
  DWORD returned = 0;
  // DeviceIoControl takes a non-const input pointer but does not write to it.
  return DeviceIoControl(reinterpret_cast<HANDLE>(handle), code, const_cast<std::uint8_t*>(in),
                         static_cast<DWORD>(in_size), out, static_cast<DWORD>(out_size), &returned,
                         nullptr) != FALSE;
}

void Win32ResourceDriver::Close(DriverHandle handle) {
  if (handle != 0) CloseHandle(reinterpret_cast<HANDLE>(handle));
}

}  // namespace ztrm
