#include "common/registry_text.h"

namespace ztrm {
namespace {
constexpr std::size_t kSubkeyNameBuffer = 255;  // units, terminator included

// Value data as the UTF-16LE units a read puts into a zeroed buffer: an odd
// last byte is the low half of a unit of its own.
WString DataUnits(const std::string& data) {
  WString units;
  for (std::size_t i = 0; i < data.size(); i += 2) {
    const unsigned lo = static_cast<unsigned char>(data[i]);
    const unsigned hi = i + 1 < data.size() ? static_cast<unsigned char>(data[i + 1]) : 0;
    units.push_back(static_cast<char16_t>(lo | (hi << 8)));
  }
  return units;
}
}  // namespace

std::optional<WString> RegistryKey::StringValue(WStringView name) {
  std::optional<RawRegistryValue> value = RawValue(name);
  if (!value || (value->type != kRegSz && value->type != kRegExpandSz)) return std::nullopt;
  WString text = DataUnits(value->bytes);
  while (!text.empty() && text.back() == u'\0') text.pop_back();
  return text;
}

std::optional<std::uint32_t> RegistryKey::DwordValue(WStringView name) {
  std::optional<RawRegistryValue> value = RawValue(name);
  if (!value || value->type != kRegDword || value->bytes.size() != 4) return std::nullopt;
  std::uint32_t number = 0;
  for (int i = 3; i >= 0; --i) number = (number << 8) | static_cast<unsigned char>(value->bytes[i]);
  return number;
}

std::optional<WideText> ReadStringValue(RegistryKey& key, WStringView name) {
  std::optional<WString> value = key.StringValue(name);
  if (!value || !WideText::Fits(*value)) return std::nullopt;
  return WideText(*value);
}

WideText ReadValueIntoTextBuffer(RegistryKey& key, WStringView name) {
  std::optional<RawRegistryValue> value = key.RawValue(name);
  if (!value || value->bytes.size() > WideText::kCapacity * 2) return WideText();
  const WString units = DataUnits(value->bytes);
  const std::size_t nul = units.find(u'\0');
  if (nul != WString::npos) return WideText(WStringView(units).substr(0, nul));
  // Units after the data are the buffer's zeros, unless the data filled it.
  return WideText::Fits(units) ? WideText(units) : WideText();
}

std::optional<WideText> ReadStringValue(Registry& registry, WStringView key_path,
                                        WStringView name) {
  std::unique_ptr<RegistryKey> key = registry.OpenLocalMachineKey(key_path);
  if (!key) return std::nullopt;
  return ReadStringValue(*key, name);
}

WideText ReadFirstStringValue(Registry& registry, std::initializer_list<WStringView> key_paths,
                              WStringView name) {
  for (WStringView path : key_paths) {
    std::optional<WideText> value = ReadStringValue(registry, path, name);
    if (value && !value->empty()) return *value;
  }
  return WideText();
}

std::optional<WString> ReadSubkeyName(RegistryKey& key, std::uint32_t index) {
  std::optional<WString> name = key.SubkeyName(index);
  if (!name || name->size() >= kSubkeyNameBuffer) return std::nullopt;
  return name;
}

}  // namespace ztrm
