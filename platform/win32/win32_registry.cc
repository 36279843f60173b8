#include "platform/win32/win32_registry.h"

#include <vector>

#include "platform/win32/win32_text.h"
#include "platform/win32/win32_windows.h"

namespace ztrm {
namespace {

// Registry key names are limited to 255 units, so this buffer takes any name
// whole; cutting to the core's own buffer size is the core's business.
constexpr DWORD kKeyNameUnits = 256;

class Win32RegistryKey : public RegistryKey {
 public:
  explicit Win32RegistryKey(HKEY key) : key_(key) {}
  ~Win32RegistryKey() override { RegCloseKey(key_); }
  Win32RegistryKey(const Win32RegistryKey&) = delete;
  Win32RegistryKey& operator=(const Win32RegistryKey&) = delete;

  std::optional<std::uint32_t> SubkeyCount() override {
    DWORD subkeys = 0;
    if (RegQueryInfoKeyW(key_, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      return std::nullopt;
    }
    return subkeys;
  }

  std::optional<WString> SubkeyName(std::uint32_t index) override {
    wchar_t name[kKeyNameUnits];
    DWORD units = kKeyNameUnits;
    if (RegEnumKeyExW(key_, index, name, &units, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      return std::nullopt;
    }
    return FromWide(name, units);
  }

  std::optional<RawRegistryValue> RawValue(WStringView name) override {
    const WString value_name = Terminated(name);
    // The value may change between asking its size and reading it; read again
    // with the new size when it has grown.
    for (;;) {
      DWORD type = 0;
      DWORD bytes = 0;
      if (RegQueryValueExW(key_, AsWide(value_name.c_str()), nullptr, &type, nullptr, &bytes) !=
          ERROR_SUCCESS) {
        return std::nullopt;
      }
      std::string data(bytes, '\0');
      DWORD read_bytes = bytes;
      LONG status = RegQueryValueExW(key_, AsWide(value_name.c_str()), nullptr, &type,
                                     reinterpret_cast<BYTE*>(data.data()), &read_bytes);
      if (status == ERROR_MORE_DATA) continue;
      if (status != ERROR_SUCCESS) return std::nullopt;
      data.resize(read_bytes);
      return RawRegistryValue{type, std::move(data)};
    }
  }

 private:
  HKEY key_;
};

}  // namespace

std::unique_ptr<RegistryKey> Win32Registry::OpenLocalMachineKey(WStringView path) {
  // No KEY_WOW64_* flag: a 32-bit build sees the 32-bit view, as RegOpenKeyW
  // would give it.
  const WString key_path = Terminated(path);
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, AsWide(key_path.c_str()), 0, KEY_READ, &key) !=
      ERROR_SUCCESS) {
    return nullptr;
  }
  return std::make_unique<Win32RegistryKey>(key);
}

}  // namespace ztrm
