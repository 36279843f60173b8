#include "platform/native/native_dynamic_libraries.h"

#include <dlfcn.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ztrm {
namespace {

using GetCountFn = void (*)(const char*, const char*, std::uint32_t*);
using GetNameFn = void (*)(const char*, const char*, std::uint32_t, char*, char*);
using GetChassisEepromFn = void (*)(const char*, const char*, std::uint8_t*);
using GetInformationFn = void (*)(const char*, const char*, std::uint32_t, std::uint32_t*);
using GetPciRootBusNumberFn = void (*)(const char*, const char*, std::uint32_t, std::uint32_t,
                                       std::uint32_t*);

class NativeVendorLibrary : public VendorLibrary {
 public:
  explicit NativeVendorLibrary(void* handle) : handle_(handle) {}
  ~NativeVendorLibrary() override { dlclose(handle_); }
  NativeVendorLibrary(const NativeVendorLibrary&) = delete;
  NativeVendorLibrary& operator=(const NativeVendorLibrary&) = delete;

  bool HasExport(const char* export_name) override { return Symbol(export_name) != nullptr; }

  void CallGetCount(const char* export_name, const char* vendor, const char* model,
                    std::uint32_t* count) override {
    if (auto fn = Export<GetCountFn>(export_name)) fn(vendor, model, count);
  }
  void CallGetName(const char* export_name, const char* vendor, const char* model,
                   std::uint32_t index, char* unique_name, char* address_info) override {
    if (auto fn = Export<GetNameFn>(export_name)) fn(vendor, model, index, unique_name, address_info);
  }
  void CallGetChassisEeprom(const char* export_name, const char* unique_name,
                            const char* address_info, std::uint8_t* eeprom) override {
    if (auto fn = Export<GetChassisEepromFn>(export_name)) fn(unique_name, address_info, eeprom);
  }
  void CallGetInformation(const char* export_name, const char* unique_name,
                          const char* address_info, std::uint32_t item,
                          std::uint32_t* value) override {
    if (auto fn = Export<GetInformationFn>(export_name)) fn(unique_name, address_info, item, value);
  }
  void CallGetPciRootBusNumber(const char* export_name, const char* vendor, const char* model,
                               std::uint32_t root_index, std::uint32_t chassis_number,
                               std::uint32_t* bus) override {
    if (auto fn = Export<GetPciRootBusNumberFn>(export_name)) {
      fn(vendor, model, root_index, chassis_number, bus);
    }
  }

 private:
  template <typename Fn>
  Fn Export(const char* export_name) {
    return reinterpret_cast<Fn>(Symbol(export_name));
  }

  // dlsym's answers by name: they hold while the library is loaded, and a
  // run asks the same few exports a thousand times. A library object serves
  // one thread at a time, as the run uses it.
  void* Symbol(const char* export_name) {
    for (const auto& [name, address] : symbols_) {
      if (name == export_name) return address;
    }
    void* address = dlsym(handle_, export_name);
    symbols_.emplace_back(export_name, address);
    return address;
  }

  void* handle_;
  std::vector<std::pair<std::string, void*>> symbols_;
};

}  // namespace

WString NativeLibraryPath(WStringView path) {
  WString native(path);
  std::size_t component = native.find_last_of(u"\\/");
  component = component == WString::npos ? 0 : component + 1;
  std::size_t dot = native.find_last_of(u'.');
  if (dot != WString::npos && dot >= component) native.erase(dot);
  return native + u".so";
}

std::unique_ptr<VendorLibrary> NativeDynamicLibraries::Load(WStringView path) {
  if (path.empty()) return nullptr;
  std::optional<std::string> host = paths_.HostPath(NativeLibraryPath(path));
  if (!host || host->empty() || host->back() == '/') return nullptr;
  // A name without a folder would make dlopen search the host's library
  // path; the mapped path always has one.
  void* handle = dlopen(host->c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) return nullptr;
  return std::make_unique<NativeVendorLibrary>(handle);
}

}  // namespace ztrm
