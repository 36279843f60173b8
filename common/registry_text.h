// Registry string reads with the fixed buffers the system uses: a value that
// does not fit 260 units (259 and a terminator) counts as absent, exactly as a
// read into such a buffer fails.
#ifndef ZTRM_COMMON_REGISTRY_TEXT_H_
#define ZTRM_COMMON_REGISTRY_TEXT_H_

#include <initializer_list>
#include <optional>

#include "common/wide_text.h"
#include "platform/registry.h"

namespace ztrm {

// The string value `name` of an open key; nullopt when missing or too long.
std::optional<WideText> ReadStringValue(RegistryKey& key, WStringView name);

// The string value `name` of `key_path` under HKEY_LOCAL_MACHINE.
std::optional<WideText> ReadStringValue(Registry& registry, WStringView key_path,
                                        WStringView name);

// A value read into a 260-unit buffer whatever its type, the way a read whose
// result nobody examines leaves it. The buffer starts empty (all zero); data
// that fits its 520 bytes is copied in as stored, so a REG_MULTI_SZ gives its
// first string and a REG_DWORD or REG_BINARY its bytes taken as UTF-16LE
// units (an odd last byte is the low half of a unit). The text is what comes
// before the first NUL. A missing value, data of more than 520 bytes (which
// the read refuses whole) and data that fills all 260 units without a NUL
// (no room for a terminator) give empty text.
WideText ReadValueIntoTextBuffer(RegistryKey& key, WStringView name);

// The first non-empty string value `name` found in `key_paths`, tried in
// order; empty text when none gives one.
WideText ReadFirstStringValue(Registry& registry, std::initializer_list<WStringView> key_paths,
                              WStringView name);

// A subkey name as a 255-unit enumeration buffer receives it: names of 255
// units or more do not fit and count as absent.
std::optional<WString> ReadSubkeyName(RegistryKey& key, std::uint32_t index);

}  // namespace ztrm

#endif  // ZTRM_COMMON_REGISTRY_TEXT_H_
