#include "platform/win32/win32_dynamic_libraries.h"

#include "platform/win32/win32_text.h"
#include "platform/win32/win32_windows.h"

namespace ztrm {
namespace {

// The export shapes. They are stdcall: on x86 the callee pops its arguments,
// so calling through any other convention would unbalance the stack. Their
// return value carries nothing the caller uses.
using GetCountFn = void(WINAPI*)(const char* vendor, const char* model, std::uint32_t* count);
using GetNameFn = void(WINAPI*)(const char* vendor, const char* model, std::uint32_t index,
                                char* unique_name, char* address_info);
using GetChassisEepromFn = void(WINAPI*)(const char* unique_name, const char* address_info,
                                         std::uint8_t* eeprom);
using GetInformationFn = void(WINAPI*)(const char* unique_name, const char* address_info,
                                       std::uint32_t item, std::uint32_t* value);
using GetPciRootBusNumberFn = void(WINAPI*)(const char* vendor, const char* model,
                                            std::uint32_t root_index, std::uint32_t chassis_number,
                                            std::uint32_t* bus);

class Win32VendorLibrary : public VendorLibrary {
 public:
  explicit Win32VendorLibrary(HMODULE module) : module_(module) {}
  ~Win32VendorLibrary() override { FreeLibrary(module_); }
  Win32VendorLibrary(const Win32VendorLibrary&) = delete;
  Win32VendorLibrary& operator=(const Win32VendorLibrary&) = delete;

  bool HasExport(const char* export_name) override {
    return GetProcAddress(module_, export_name) != nullptr;
  }

  void CallGetCount(const char* export_name, const char* vendor, const char* model,
                    std::uint32_t* count) override {
    if (auto fn = Export<GetCountFn>(export_name)) fn(vendor, model, count);
  }

  void CallGetName(const char* export_name, const char* vendor, const char* model,
                   std::uint32_t index, char* unique_name, char* address_info) override {
    if (auto fn = Export<GetNameFn>(export_name)) {
      fn(vendor, model, index, unique_name, address_info);
    }
  }

  void CallGetChassisEeprom(const char* export_name, const char* unique_name,
                            const char* address_info, std::uint8_t* eeprom) override {
    if (auto fn = Export<GetChassisEepromFn>(export_name)) fn(unique_name, address_info, eeprom);
  }

  void CallGetInformation(const char* export_name, const char* unique_name,
                          const char* address_info, std::uint32_t item,
                          std::uint32_t* value) override {
    if (auto fn = Export<GetInformationFn>(export_name)) {
      fn(unique_name, address_info, item, value);
    }
  }

  void CallGetPciRootBusNumber(const char* export_name, const char* vendor, const char* model,
                               std::uint32_t root_index, std::uint32_t chassis_number,
                               std::uint32_t* bus) override {
    if (auto fn = Export<GetPciRootBusNumberFn>(export_name)) {
      fn(vendor, model, root_index, chassis_number, bus);
    }
  }

 private:
  // Null when the export is missing: the caller checks with HasExport first,
  // and a missing one leaves the preset out values as they are.
  template <typename Fn>
  Fn Export(const char* export_name) {
    FARPROC proc = GetProcAddress(module_, export_name);
    // Through void(*)(), the one function pointer type any other converts to
    // without a cast-function-type warning.
    return proc ? reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc)) : nullptr;
  }

  HMODULE module_;
};

}  // namespace

std::unique_ptr<VendorLibrary> Win32DynamicLibraries::Load(WStringView path) {
  const WString path_z = Terminated(path);
  HMODULE module = LoadLibraryW(AsWide(path_z.c_str()));
  if (module == nullptr) return nullptr;
  return std::make_unique<Win32VendorLibrary>(module);
}

}  // namespace ztrm
