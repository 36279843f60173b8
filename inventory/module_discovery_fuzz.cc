// Fuzz target: vendor module answers. An in-memory vendor library answers
// every call from the fuzz input (counts up to 0xFFFFFFFF, names that fill
// the whole 260-byte buffers without a zero, EEPROM images, information
// values, root bus numbers; the first byte chooses which exports are
// missing), driven through the PXISA registry enumeration and module
// discovery of a system with two system-module models, a peripheral-module
// model and a chassis model that a description file describes.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "chassis/description_discovery.h"
#include "inventory/module_discovery.h"
#include "inventory/pxisa_registry.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

const char* const kExports[] = {
    "PXISA_SystemModule_GetCount",       "PXISA_SystemModule_GetName",
    "PXISA_SystemModule_GetChassisEEPROM", "PXISA_SystemModule_GetInformation",
    "PXISA_SystemModule_SMBusOperation", "PXISA_PeripheralModule_GetCount",
    "PXISA_PeripheralModule_GetName",    "PXISA_PeripheralModule_GetInformation",
    "PXISA_Chassis_GetCount",            "PXISA_Chassis_GetPCIRootBusNumber"};

class FuzzedLibrary : public ztrm::VendorLibrary {
 public:
  FuzzedLibrary(FuzzedDataProvider& in, std::uint16_t missing) : in_(in), missing_(missing) {}

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
    *count = kind < 250 ? kind % 6 : in_.ConsumeIntegral<std::uint32_t>();
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
};

class FuzzedLibraries : public ztrm::DynamicLibraries {
 public:
  std::unique_ptr<ztrm::VendorLibrary> Load(ztrm::WStringView) override {
    // About one load in twenty fails.
    if (!in || in->ConsumeIntegral<std::uint8_t>() >= 245) return nullptr;
    return std::make_unique<FuzzedLibrary>(*in, missing);
  }
  FuzzedDataProvider* in = nullptr;
  std::uint16_t missing = 0;
};

const char kRegistry[] =
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\CurrentVersion]\r\n"
    "\"ChassisDescriptionFilePath\"=\"C:\\\\Desc\"\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\Services\\System Modules\\V\\S1]\r\n"
    "\"Library\"=\"C:\\\\F\\\\fuzz.dll\"\r\n\"Version\"=dword:00010000\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\Services\\System Modules\\W\\S2]\r\n"
    "\"Library\"=\"C:\\\\F\\\\fuzz.dll\"\r\n\"Version\"=dword:00010000\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\Services\\Peripheral Modules\\V\\P1]\r\n"
    "\"Library\"=\"C:\\\\F\\\\fuzz.dll\"\r\n\"Version\"=dword:00010000\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\Services\\Chassis\\V\\C1]\r\n"
    "\"Library\"=\"C:\\\\F\\\\fuzz.dll\"\r\n\"Version\"=dword:00010000\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\Services\\Trigger Managers\\V\\C1]\r\n"
    "\"Library\"=\"C:\\\\F\\\\trig.dll\"\r\n\"Version\"=dword:00010000\r\n";

const char kDescription[] =
    "[Chassis]\r\nVendor = \"V\"\r\nModel = \"C1\"\r\nPCIBusSegmentList = \"1,2,3\"\r\n"
    "SlotList = \"1,2,3,4\"\r\n"
    "[PCIBusSegment1]\r\nSlotList = \"1,2\"\r\n[PCIBusSegment2]\r\nSlotList = \"3\"\r\n"
    "[PCIBusSegment3]\r\nSlotList = \"4\"\r\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static FuzzedLibraries libraries;
  static ztrm::FuzzImage image(kRegistry);
  static bool ready = [] {
    image.Write("drive_c/Desc/c1.ini", kDescription);
    image.UseLibraries(&libraries);
    return true;
  }();
  (void)ready;
  FuzzedDataProvider in(data, size);
  libraries.in = &in;
  // Rarely a missing export: most inputs go the whole way.
  libraries.missing = in.ConsumeIntegral<std::uint8_t>() < 224 ? 0 : in.ConsumeIntegral<std::uint16_t>();

  ztrm::RunContext& ctx = image.Fresh();
  ztrm::QueryPxisaRegistry(ctx);
  ztrm::FindChassisDescriptionFiles(ctx);
  ztrm::DiscoverModules(ctx);
  libraries.in = nullptr;
  return 0;
}
