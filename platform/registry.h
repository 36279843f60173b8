// Registry reads under HKEY_LOCAL_MACHINE.
//
// A backend reports what the registry holds, whole and uncut; the core applies
// the buffer rules (a subkey name needs a 255-unit buffer, a string value a
// 260-unit one, and whatever does not fit counts as absent).
#ifndef ZTRM_PLATFORM_REGISTRY_H_
#define ZTRM_PLATFORM_REGISTRY_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "common/wide_text.h"

namespace ztrm {

// Value types, the REG_* numbers.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

// A value as the registry stores it: its type (the REG_* number) and its
// data bytes, whole, whatever the type.
struct RawRegistryValue {
  std::uint32_t type = 0;
  std::string bytes;
};

class RegistryKey {
 public:
  virtual ~RegistryKey() = default;  // closes the key
  // Number of direct subkeys (RegQueryInfoKeyW); nullopt when the query fails.
  virtual std::optional<std::uint32_t> SubkeyCount() = 0;
  // Name of the subkey at `index` in the registry's enumeration order
  // (RegEnumKeyExW), whole; nullopt when there is none at that index.
  virtual std::optional<WString> SubkeyName(std::uint32_t index) = 0;
  // Any value, type and bytes as stored (RegQueryValueExW); nullopt when
  // missing.
  virtual std::optional<RawRegistryValue> RawValue(WStringView name) = 0;

  // Read through RawValue, the same for every backend:
  // A REG_SZ or REG_EXPAND_SZ value without its terminator, whole (every
  // UTF-16LE unit, an odd last byte making one of its own, less the NULs at
  // the end; a NUL inside stays); nullopt when missing or of another type.
  std::optional<WString> StringValue(WStringView name);
  // A REG_DWORD value of four bytes; nullopt when missing or otherwise.
  std::optional<std::uint32_t> DwordValue(WStringView name);
};

class Registry {
 public:
  virtual ~Registry() = default;
  // Opens `path` (backslash-separated, no root name) below HKEY_LOCAL_MACHINE
  // for reading; null when it cannot be opened.
  virtual std::unique_ptr<RegistryKey> OpenLocalMachineKey(WStringView path) = 0;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_REGISTRY_H_
