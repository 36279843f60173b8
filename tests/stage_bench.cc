#include "tests/stage_bench.h"

#include <filesystem>

#include "common/text_stream.h"
#include "driver/ztrmdrv_config.h"
#include "tests/memory_files.h"

namespace ztrm {

WString RecordingProfiles::ReadString(WStringView file, WStringView section, WStringView key,
                                      WStringView default_value, std::size_t buffer_units) {
  WString value = inner_.ReadString(file, section, key, default_value, buffer_units);
  calls.push_back({false, WString(file), WString(section), WString(key), value});
  return value;
}

bool RecordingProfiles::WriteString(WStringView file, WStringView section, WStringView key,
                                    WStringView value) {
  calls.push_back({true, WString(file), WString(section), WString(key), WString(value)});
  return inner_.WriteString(file, section, key, value);
}

std::vector<WString> HookedFiles::ListEntries(WStringView folder, WStringView pattern) {
  ++listings;
  std::vector<WString> names = inner_.ListEntries(folder, pattern);
  if (after_listing) after_listing();
  return names;
}

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

class RecordingConsole : public Console {
 public:
  void Write(std::string_view bytes) override { text.append(bytes); }
  std::string text;
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

bool CountingDriver::Request(DriverHandle handle, std::uint32_t code, const std::uint8_t* in,
                             std::size_t in_size, std::uint8_t* out, std::size_t out_size) {
  codes.push_back(code);
  if (code == rmdrv::DAS_IOC_GET_UPSTREAM_BRIDGE && in_size == 1) upstream_buses.push_back(in[0]);
  return inner_.Request(handle, code, in, in_size, out, out_size);
}

std::string DriverRegistry(const std::vector<std::string>& parameter_lines) {
  std::string body = "[HKEY_LOCAL_MACHINE\\" ZTRMDRV_PARAMETERS_KEY "]\n";
  for (const std::string& line : parameter_lines) body += line + "\n";
  return body;
}

struct StageBench::Live {
  explicit Live(const std::string& root)
      : native(root),
        profiles(native.platform().profiles),
        files(native.platform().files),
        libraries(native.platform().libraries),
        driver(native.platform().driver),
        platform{native.platform().registry, profiles, files, libraries, driver,
                 native.platform().shell, native.platform().clock, native.platform().version,
                 native.platform().host, native.platform().code_page, console},
        ctx(platform) {}
  NativePlatform native;
  RecordingProfiles profiles;
  HookedFiles files;
  ScriptedLibraries libraries;
  CountingDriver driver;
  RecordingConsole console;
  Platform platform;
  RunContext ctx;
};

StageBench::StageBench(const std::string& registry_body) {
  if (!registry_body.empty()) image.WriteRegistry(registry_body);
}

StageBench::~StageBench() = default;

StageBench::Live& StageBench::live() {
  if (!live_) {
    live_ = std::make_unique<Live>(image.root());
    live_->ctx.LogStream =
        std::make_unique<TextStream>(std::make_unique<MemoryOutput>(&log_), live_->ctx.locale);
  }
  return *live_;
}

RunContext& StageBench::Context() { return live().ctx; }
NativePlatform& StageBench::native() { return live().native; }
RecordingProfiles& StageBench::profiles() { return live().profiles; }
HookedFiles& StageBench::files() { return live().files; }
ScriptedLibraries& StageBench::libraries() { return live().libraries; }
CountingDriver& StageBench::driver() { return live().driver; }
std::string StageBench::Console() { return live().console.text; }

std::string StageBench::Log() {
  // Closing flushes; a new stream then collects whatever comes later.
  RunContext& ctx = Context();
  ctx.LogStream->Close();
  ctx.LogStream = std::make_unique<TextStream>(std::make_unique<MemoryOutput>(&log_), ctx.locale);
  return log_;
}

void StageBench::RegisterDescriptionFolder(const std::string& folder) {
  std::string escaped;
  for (char c : folder) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
  image.WriteRegistry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\CurrentVersion]\r\n"
                      "\"ChassisDescriptionFilePath\"=\"" + escaped + "\"\r\n");
}

void StageBench::InstallSimModule(const std::string& folder, const std::string& variant,
                                  const std::string& config) {
  std::string target = "drive_c/" + folder;
  image.MakeFolder(target);
  std::filesystem::copy_file(std::string(ZTRM_SIMMODULE_DIR) + "/" + variant + ".so",
                             image.Path(target + "/" + variant + ".so"),
                             std::filesystem::copy_options::overwrite_existing);
  image.Write(target + "/ztsimmod.ini", config);
}

}  // namespace ztrm
