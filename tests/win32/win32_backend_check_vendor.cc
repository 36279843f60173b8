// A stand-in vendor module for win32_backend_check: one export of each shape
// the backend calls. Each answer is derived from every argument, so a value
// lost or swapped on the way shows up in the result.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/win32/win32_windows.h"

namespace {

std::uint32_t Length(const char* text) {
  return text ? static_cast<std::uint32_t>(std::strlen(text)) : 0xFFFF;
}

}  // namespace

extern "C" {

__declspec(dllexport) void WINAPI CheckGetCount(const char* vendor, const char* model,
                                               std::uint32_t* count) {
  *count = Length(vendor) * 100 + Length(model);
}

__declspec(dllexport) void WINAPI CheckGetName(const char* vendor, const char* model,
                                              std::uint32_t index, char* unique_name,
                                              char* address_info) {
  std::snprintf(unique_name, 260, "%s/%s/%u", vendor, model, static_cast<unsigned>(index));
  std::snprintf(address_info, 260, "address-%u", static_cast<unsigned>(index));
}

__declspec(dllexport) void WINAPI CheckGetChassisEeprom(const char* unique_name,
                                                       const char* address_info,
                                                       std::uint8_t* eeprom) {
  const std::uint32_t seed = Length(unique_name) + Length(address_info);
  for (std::uint32_t i = 0; i < 260; ++i) eeprom[i] = static_cast<std::uint8_t>(seed + i * 7);
}

__declspec(dllexport) void WINAPI CheckGetInformation(const char* unique_name,
                                                     const char* address_info,
                                                     std::uint32_t item, std::uint32_t* value) {
  *value = item * 1000 + Length(unique_name) * 10 + Length(address_info);
}

__declspec(dllexport) void WINAPI CheckGetPciRootBusNumber(const char* vendor, const char* model,
                                                          std::uint32_t root_index,
                                                          std::uint32_t chassis_number,
                                                          std::uint32_t* bus) {
  *bus = root_index * 10000 + chassis_number * 100 + Length(vendor) + Length(model);
}

}  // extern "C"
