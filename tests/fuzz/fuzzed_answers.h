// An in-memory vendor library and a resource driver whose every answer comes
// from the fuzz input (libFuzzer's FuzzedDataProvider), for the fuzz targets
// that drive module discovery and the resource driver's users.
#ifndef ZTRM_TESTS_FUZZ_FUZZED_ANSWERS_H_
#define ZTRM_TESTS_FUZZ_FUZZED_ANSWERS_H_

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "platform/dynamic_libraries.h"
#include "platform/resource_driver.h"

namespace ztrm {
namespace fuzz {

inline const char* const kExports[] = {
    "PXISA_SystemModule_GetCount",       "PXISA_SystemModule_GetName",
    "PXISA_SystemModule_GetChassisEEPROM", "PXISA_SystemModule_GetInformation",
    "PXISA_SystemModule_SMBusOperation", "PXISA_PeripheralModule_GetCount",
    "PXISA_PeripheralModule_GetName",    "PXISA_PeripheralModule_GetInformation",
    "PXISA_Chassis_GetCount",            "PXISA_Chassis_GetPCIRootBusNumber"};

class FuzzedLibrary : public VendorLibrary {
 public:
  FuzzedLibrary(FuzzedDataProvider& in, std::uint16_t missing, bool huge_counts)
      : in_(in), missing_(missing), huge_counts_(huge_counts) {}

  bool HasExport(const char* name) override {
    for (std::size_t i = 0; i < sizeof kExports / sizeof kExports[0]; ++i) {
      if (std::strcmp(name, kExports[i]) == 0) return !(missing_ & (1u << i));
    }
    return false;
  }
  void CallGetCount(const char*, const char* vendor, const char* model,
                    std::uint32_t* count) override {
    Touch(vendor);
    Touch(model);
    // Mostly small counts, now and then anything up to 0xFFFFFFFF (which
    // reads 256 modules and costs a hundred times as long).
    std::uint8_t kind = in_.ConsumeIntegral<std::uint8_t>();
    *count = kind < 250 || !huge_counts_ ? kind % 6 : in_.ConsumeIntegral<std::uint32_t>();
  }
  void CallGetName(const char*, const char* vendor, const char* model, std::uint32_t,
                   char* unique_name, char* address_info) override {
    Touch(vendor);
    Touch(model);
    Fill(unique_name, 260);
    Fill(address_info, 260);
  }
  void CallGetChassisEeprom(const char*, const char* unique_name, const char* address_info,
                            std::uint8_t* eeprom) override {
    Touch(unique_name);
    Touch(address_info);
    Fill(reinterpret_cast<char*>(eeprom), 260);
  }
  void CallGetInformation(const char*, const char* unique_name, const char* address_info,
                          std::uint32_t, std::uint32_t* value) override {
    Touch(unique_name);
    Touch(address_info);
    if (in_.ConsumeBool()) *value = in_.ConsumeIntegral<std::uint32_t>();
  }
  void CallGetPciRootBusNumber(const char*, const char* vendor, const char* model, std::uint32_t,
                               std::uint32_t, std::uint32_t* bus) override {
    Touch(vendor);
    Touch(model);
    if (in_.ConsumeBool()) *bus = in_.ConsumeIntegral<std::uint32_t>();
  }

 private:
  // A library reads its text arguments as C strings: they must be terminated.
  static void Touch(const char* text) {
    volatile std::size_t n = std::strlen(text);
    (void)n;
  }
  // Writes nothing, a short text, or all `size` bytes without a zero.
  void Fill(char* buffer, std::size_t size) {
    std::uint8_t how = in_.ConsumeIntegral<std::uint8_t>();
    if (how < 32) return;
    if (how < 224) {
      std::string text = in_.ConsumeRandomLengthString(size - 1);
      std::memcpy(buffer, text.c_str(), text.size() + 1);
      return;
    }
    std::string bytes = in_.ConsumeBytesAsString(size);
    bytes.resize(size, 'x');
    for (char& c : bytes) c = c ? c : 'z';
    std::memcpy(buffer, bytes.data(), size);
  }

  FuzzedDataProvider& in_;
  std::uint16_t missing_;
  bool huge_counts_;
};

class FuzzedLibraries : public DynamicLibraries {
 public:
  std::unique_ptr<VendorLibrary> Load(WStringView) override {
    // About one load in twenty fails.
    if (!in || in->ConsumeIntegral<std::uint8_t>() >= 245) return nullptr;
    return std::make_unique<FuzzedLibrary>(*in, missing, huge_counts);
  }
  FuzzedDataProvider* in = nullptr;
  std::uint16_t missing = 0;
  // Counts above 5 (up to 0xFFFFFFFF, which reads 256 modules or chassis).
  bool huge_counts = true;
};

// A resource driver: opening fails now and then, a request fails now and
// then, and every answer byte (bridge answers, the whole root bus table with
// its count byte, the chassis module byte) is taken from the input.
class FuzzedDriver : public ResourceDriver {
 public:
  DriverHandle Open() override {
    if (!in || in->ConsumeIntegral<std::uint8_t>() >= 250) return 0;
    return 0x1234;
  }
  bool Request(DriverHandle handle, std::uint32_t, const std::uint8_t* in_bytes,
               std::size_t in_size, std::uint8_t* out, std::size_t out_size) override {
    if (handle != 0x1234) __builtin_trap();  // only handles Open gave out
    for (std::size_t i = 0; i < in_size; ++i) (void)*(volatile const std::uint8_t*)&in_bytes[i];
    if (!in || in->ConsumeIntegral<std::uint8_t>() >= 245) return false;
    std::uint8_t how = in->ConsumeIntegral<std::uint8_t>();
    if (how < 16) {
      std::memset(out, 0xFF, out_size);  // every entry set
    } else if (how < 32) {
      // leaves the caller's bytes as they are
    } else {
      std::string bytes = in->ConsumeBytesAsString(out_size);
      std::memcpy(out, bytes.data(), bytes.size());
    }
    return true;
  }
  void Close(DriverHandle handle) override {
    if (handle != 0x1234) __builtin_trap();
  }
  FuzzedDataProvider* in = nullptr;
};

}  // namespace fuzz
}  // namespace ztrm

#endif  // ZTRM_TESTS_FUZZ_FUZZED_ANSWERS_H_
