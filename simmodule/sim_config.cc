#include "simmodule/sim_config.h"

#include <cstdlib>

namespace ztsim {
namespace {

constexpr std::size_t kVendorText = 0x05;
constexpr std::size_t kModelText = 0x41;
constexpr std::size_t kSerialText = 0x6A;
constexpr std::size_t kChecksumLow = 0x79;
constexpr std::size_t kChecksumHigh = 0x7A;
constexpr std::size_t kImageSize = 256;

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// One pair of surrounding double quotes goes, so a value can keep blanks.
std::string_view Unquote(std::string_view s) {
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"') return s.substr(1, s.size() - 2);
  return s;
}

std::uint32_t ToNumber(std::string_view s) {
  std::string text(Trim(s));
  return static_cast<std::uint32_t>(std::strtoul(text.c_str(), nullptr, 0));
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// "Prefix.N" -> N; false when the key has another prefix.
bool IndexedKey(std::string_view key, std::string_view prefix, std::uint32_t& index) {
  if (key.size() <= prefix.size() + 1 || !EqualsIgnoreCase(key.substr(0, prefix.size()), prefix) ||
      key[prefix.size()] != '.') {
    return false;
  }
  index = ToNumber(key.substr(prefix.size() + 1));
  return true;
}

// Text into the image at `offset`, cut where the image ends.
void PutText(SimItem& item, std::size_t offset, std::string_view text) {
  for (std::size_t i = 0; i < text.size() && offset + i < kImageSize; ++i) {
    item.eeprom[offset + i] = static_cast<std::uint8_t>(text[i]);
  }
}

// Whitespace-separated hex bytes from offset 0; at most the whole buffer.
void PutHex(SimItem& item, std::string_view hex) {
  std::size_t offset = 0;
  std::string token;
  auto flush = [&] {
    if (!token.empty() && offset < item.eeprom.size()) {
      item.eeprom[offset++] = static_cast<std::uint8_t>(std::strtoul(token.c_str(), nullptr, 16));
    }
    token.clear();
  };
  for (char c : hex) {
    if (c == ' ' || c == '\t' || c == ',') {
      flush();
    } else {
      token.push_back(c);
    }
  }
  flush();
}

void PutChecksum(SimItem& item) {
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < kImageSize; ++i) {
    if (i != kChecksumLow && i != kChecksumHigh) sum += item.eeprom[i];
  }
  item.eeprom[kChecksumLow] = static_cast<std::uint8_t>(sum & 0xFF);
  item.eeprom[kChecksumHigh] = static_cast<std::uint8_t>((sum >> 8) & 0xFF);
}

void ApplyKey(SimItem& item, std::string_view key, std::string_view value) {
  std::uint32_t index = 0;
  if (EqualsIgnoreCase(key, "Vendor")) {
    item.vendor = std::string(value);
  } else if (EqualsIgnoreCase(key, "Model")) {
    item.model = std::string(value);
  } else if (EqualsIgnoreCase(key, "UniqueName")) {
    item.unique_name = std::string(value);
  } else if (EqualsIgnoreCase(key, "AddressInfo")) {
    item.address_info = std::string(value);
  } else if (EqualsIgnoreCase(key, "Eeprom")) {
    PutHex(item, value);
  } else if (EqualsIgnoreCase(key, "EepromVendor")) {
    PutText(item, kVendorText, value);
  } else if (EqualsIgnoreCase(key, "EepromModel")) {
    PutText(item, kModelText, value);
  } else if (EqualsIgnoreCase(key, "EepromSerial")) {
    PutText(item, kSerialText, value);
  } else if (EqualsIgnoreCase(key, "EepromChecksum")) {
    if (EqualsIgnoreCase(value, "auto")) PutChecksum(item);
  } else if (IndexedKey(key, "EepromByte", index)) {
    if (index < item.eeprom.size()) item.eeprom[index] = static_cast<std::uint8_t>(ToNumber(value));
  } else if (EqualsIgnoreCase(key, "ReportedCount")) {
    item.has_reported_count = true;
    item.reported_count = ToNumber(value);
  } else if (EqualsIgnoreCase(key, "CountDelayMs")) {
    item.count_delay_ms = ToNumber(value);
  } else if (EqualsIgnoreCase(key, "UnterminatedNames")) {
    item.unterminated_names = ToNumber(value) != 0;
  } else if (IndexedKey(key, "Info", index)) {
    item.info[index] = ToNumber(value);
  } else if (IndexedKey(key, "RootBus", index)) {
    item.root_bus[index] = ToNumber(value);
  }
}

}  // namespace

SimConfig ParseSimConfig(std::string_view text) {
  SimConfig config;
  SimItem* current = nullptr;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = Trim(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      std::string_view name = Trim(line.substr(1, line.find(']') - 1));
      current = nullptr;
      Kind kind;
      if (EqualsIgnoreCase(name, "SystemModule")) {
        kind = Kind::kSystemModule;
      } else if (EqualsIgnoreCase(name, "PeripheralModule")) {
        kind = Kind::kPeripheralModule;
      } else if (EqualsIgnoreCase(name, "Chassis")) {
        kind = Kind::kChassis;
      } else {
        continue;
      }
      config.items.emplace_back();
      current = &config.items.back();
      current->kind = kind;
      continue;
    }
    std::size_t equals = line.find('=');
    if (!current || equals == std::string_view::npos) continue;
    ApplyKey(*current, Trim(line.substr(0, equals)), Unquote(Trim(line.substr(equals + 1))));
  }
  config.Index();
  return config;
}

std::string SimConfig::Key(Kind kind, std::string_view a, std::string_view b) {
  // The length of `a` first, so that no two pairs make the same key.
  std::string key(1, static_cast<char>('0' + static_cast<int>(kind)));
  key.append(std::to_string(a.size())).push_back(':');
  key.append(a).append(b);
  return key;
}

void SimConfig::Index() {
  by_model_.clear();
  by_name_.clear();
  for (std::size_t i = 0; i < items.size(); ++i) {
    const SimItem& item = items[i];
    by_model_[Key(item.kind, item.vendor, item.model)].push_back(i);
    by_name_.emplace(Key(item.kind, item.unique_name, item.address_info), i);  // the first stays
  }
}

const SimItem* SimConfig::Find(Kind kind, std::string_view vendor, std::string_view model,
                               std::uint32_t number) const {
  auto found = by_model_.find(Key(kind, vendor, model));
  if (found == by_model_.end() || number == 0 || number > found->second.size()) return nullptr;
  return &items[found->second[number - 1]];
}

std::uint32_t SimConfig::Count(Kind kind, std::string_view vendor, std::string_view model) const {
  auto found = by_model_.find(Key(kind, vendor, model));
  if (found == by_model_.end()) return 0;
  for (std::size_t i : found->second) {
    if (items[i].has_reported_count) return items[i].reported_count;
  }
  return static_cast<std::uint32_t>(found->second.size());
}

std::uint32_t SimConfig::CountDelayMs(Kind kind, std::string_view vendor,
                                      std::string_view model) const {
  auto found = by_model_.find(Key(kind, vendor, model));
  if (found == by_model_.end()) return 0;
  for (std::size_t i : found->second) {
    if (items[i].count_delay_ms) return items[i].count_delay_ms;
  }
  return 0;
}

const SimItem* SimConfig::FindModule(Kind kind, std::string_view unique_name,
                                     std::string_view address_info) const {
  auto found = by_name_.find(Key(kind, unique_name, address_info));
  return found == by_name_.end() ? nullptr : &items[found->second];
}

}  // namespace ztsim
