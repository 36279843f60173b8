#include "tests/inventory_test_support.h"

#include <filesystem>

#include "common/text_stream.h"
#include "tests/memory_output.h"

namespace ztrm {
namespace {

class ScriptedVendorLibrary : public VendorLibrary {
 public:
  ScriptedVendorLibrary(const ScriptedLibrary& script, int* frees) : s_(script), frees_(frees) {}
  ~ScriptedVendorLibrary() override { ++*frees_; }

  bool HasExport(const char* name) override {
    std::string n(name);
    if (n == "PXISA_SystemModule_GetCount") return bool(s_.system_count);
    if (n == "PXISA_SystemModule_GetName") return bool(s_.system_name);
    if (n == "PXISA_SystemModule_GetChassisEEPROM") return bool(s_.eeprom);
    if (n == "PXISA_SystemModule_GetInformation") return bool(s_.system_info);
    if (n == "PXISA_SystemModule_SMBusOperation") return s_.smbus;
    if (n == "PXISA_PeripheralModule_GetCount") return bool(s_.peripheral_count);
    if (n == "PXISA_PeripheralModule_GetName") return bool(s_.peripheral_name);
    if (n == "PXISA_PeripheralModule_GetInformation") return bool(s_.peripheral_info);
    if (n == "PXISA_Chassis_GetCount") return bool(s_.chassis_count);
    if (n == "PXISA_Chassis_GetPCIRootBusNumber") return bool(s_.root_bus);
    return false;
  }
  void CallGetCount(const char* name, const char* vendor, const char* model,
                    std::uint32_t* count) override {
    std::string n(name);
    if (n == "PXISA_SystemModule_GetCount") s_.system_count(vendor, model, count);
    if (n == "PXISA_PeripheralModule_GetCount") s_.peripheral_count(vendor, model, count);
    if (n == "PXISA_Chassis_GetCount") s_.chassis_count(vendor, model, count);
  }
  void CallGetName(const char* name, const char* vendor, const char* model, std::uint32_t index,
                   char* unique_name, char* address_info) override {
    if (std::string(name) == "PXISA_SystemModule_GetName") {
      s_.system_name(vendor, model, index, unique_name, address_info);
    } else {
      s_.peripheral_name(vendor, model, index, unique_name, address_info);
    }
  }
  void CallGetChassisEeprom(const char*, const char* unique_name, const char* address_info,
                            std::uint8_t* eeprom) override {
    s_.eeprom(unique_name, address_info, eeprom);
  }
  void CallGetInformation(const char* name, const char* unique_name, const char* address_info,
                          std::uint32_t item, std::uint32_t* value) override {
    if (std::string(name) == "PXISA_SystemModule_GetInformation") {
      s_.system_info(unique_name, address_info, item, value);
    } else {
      s_.peripheral_info(unique_name, address_info, item, value);
    }
  }
  void CallGetPciRootBusNumber(const char*, const char* vendor, const char* model,
                               std::uint32_t root_index, std::uint32_t chassis_number,
                               std::uint32_t* bus) override {
    s_.root_bus(vendor, model, root_index, chassis_number, bus);
  }

 private:
  const ScriptedLibrary& s_;
  int* frees_;
};

}  // namespace

std::unique_ptr<VendorLibrary> ScriptedLibraries::Load(WStringView path) {
  WString key(path);
  auto found = scripted.find(key);
  if (found == scripted.end()) {
    std::unique_ptr<VendorLibrary> library = inner_.Load(path);
    if (library) ++loads[key];
    return library;
  }
  ++loads[key];
  return std::make_unique<ScriptedVendorLibrary>(found->second, &frees[key]);
}

struct InventoryBench::Live {
  explicit Live(const std::string& root)
      : native(root),
        libraries(native.platform().libraries),
        platform{native.platform().registry, native.platform().profiles,
                 native.platform().files,    libraries,
                 native.platform().driver,   native.platform().shell,
                 native.platform().clock,    native.platform().version,
                 native.platform().host,     native.platform().code_page,
                 console},
        ctx(platform) {}
  NativePlatform native;
  ScriptedLibraries libraries;
  RecordingConsole console;
  Platform platform;
  RunContext ctx;
};

InventoryBench::InventoryBench() = default;
InventoryBench::~InventoryBench() = default;

RunContext& InventoryBench::Context() {
  if (!live_) {
    live_ = std::make_unique<Live>(image.root());
    live_->ctx.LogStream =
        std::make_unique<TextStream>(std::make_unique<MemoryOutput>(&log_), live_->ctx.locale);
  }
  return live_->ctx;
}

ScriptedLibraries& InventoryBench::libraries() {
  Context();
  return live_->libraries;
}

std::string InventoryBench::Console() {
  Context();
  return live_->console.text;
}

std::string InventoryBench::Log() {
  RunContext& ctx = Context();
  ctx.LogStream->Close();
  ctx.LogStream = std::make_unique<TextStream>(std::make_unique<MemoryOutput>(&log_), ctx.locale);
  return log_;
}

void InventoryBench::InstallSimModule(const std::string& folder, const std::string& variant,
                                      const std::string& config) {
  std::string target = "drive_c/" + folder;
  image.MakeFolder(target);
  std::filesystem::copy_file(std::string(ZTRM_SIMMODULE_DIR) + "/" + variant + ".so",
                             image.Path(target + "/" + variant + ".so"),
                             std::filesystem::copy_options::overwrite_existing);
  image.Write(target + "/ztsimmod.ini", config);
}

}  // namespace ztrm
