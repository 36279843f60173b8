#include "capture/model_answers.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace ztrm {
namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

std::string HexBytes(const std::uint8_t* bytes, std::size_t size) {
  std::string text;
  text.reserve(size * 2);
  for (std::size_t i = 0; i < size; ++i) {
    text.push_back(kHexDigits[bytes[i] >> 4]);
    text.push_back(kHexDigits[bytes[i] & 0xF]);
  }
  return text;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool ReadHexBytes(std::string_view text, std::vector<std::uint8_t>& out) {
  if (text.size() % 2 != 0) return false;
  out.clear();
  for (std::size_t i = 0; i < text.size(); i += 2) {
    int high = HexValue(text[i]), low = HexValue(text[i + 1]);
    if (high < 0 || low < 0) return false;
    out.push_back(static_cast<std::uint8_t>(high * 16 + low));
  }
  return true;
}

template <std::size_t N>
bool ReadHexArray(std::string_view text, std::array<std::uint8_t, N>& out) {
  std::vector<std::uint8_t> bytes;
  if (!ReadHexBytes(text, bytes) || bytes.size() != N) return false;
  std::copy(bytes.begin(), bytes.end(), out.begin());
  return true;
}

bool ReadNumber(std::string_view text, std::uint32_t& value) {
  if (text.empty() || text.size() > 10) return false;
  std::uint64_t n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (n > 0xFFFFFFFFull) return false;
  value = static_cast<std::uint32_t>(n);
  return true;
}

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  while (!line.empty()) {
    std::size_t space = line.find(' ');
    words.push_back(line.substr(0, space));
    if (space == std::string_view::npos) break;
    line.remove_prefix(space + 1);
  }
  return words;
}

// One export call into a scratch buffer prefilled with 0x00 and one with
// 0xFF; the bytes equal in both were written and are laid over `kept`.
template <typename Call>
void CallTwiceAndMerge(std::array<std::uint8_t, kVendorBufferSize>& kept, Call call) {
  std::array<std::uint8_t, kVendorBufferSize> zeros{};
  std::array<std::uint8_t, kVendorBufferSize> ones;
  ones.fill(0xFF);
  call(zeros.data());
  call(ones.data());
  for (std::size_t i = 0; i < kVendorBufferSize; ++i) {
    if (zeros[i] == ones[i]) kept[i] = zeros[i];
  }
}

// GetName writes two buffers at once; each is merged on its own.
void AskName(VendorLibrary& library, const char* export_name, const ModelRequest& request,
             std::uint32_t index, ServiceBuffers& kept) {
  std::array<std::uint8_t, kVendorBufferSize + 1> names[2][2];  // [prefill][buffer]
  for (int fill = 0; fill < 2; ++fill) {
    for (auto& buffer : names[fill]) buffer.fill(fill == 0 ? 0x00 : 0xFF);
    names[fill][0][kVendorBufferSize] = 0;
    names[fill][1][kVendorBufferSize] = 0;
    library.CallGetName(export_name, request.vendor.c_str(), request.model.c_str(), index,
                        reinterpret_cast<char*>(names[fill][0].data()),
                        reinterpret_cast<char*>(names[fill][1].data()));
  }
  for (std::size_t i = 0; i < kVendorBufferSize; ++i) {
    if (names[0][0][i] == names[1][0][i]) kept.unique_name[i] = names[0][0][i];
    if (names[0][1][i] == names[1][1][i]) kept.address_info[i] = names[0][1][i];
  }
}

// The kept name buffers as the service passes them: with the extra zero byte.
struct TerminatedNames {
  explicit TerminatedNames(const ServiceBuffers& kept) {
    std::memcpy(unique_name, kept.unique_name.data(), kVendorBufferSize);
    std::memcpy(address_info, kept.address_info.data(), kVendorBufferSize);
  }
  char unique_name[kVendorBufferSize + 1] = {};
  char address_info[kVendorBufferSize + 1] = {};
};

void AskInformation(VendorLibrary& library, const char* export_name, ModuleStage stage,
                    const ServiceBuffers& kept, ModuleAnswer& answer) {
  for (std::uint32_t item : InformationItems(stage)) {
    TerminatedNames names(kept);
    std::uint32_t value = 0;
    library.CallGetInformation(export_name, names.unique_name, names.address_info, item, &value);
    if (value != 0) answer.info[item] = value;
  }
}

void AskModules(VendorLibrary& library, const ModelRequest& request, ModelAnswers& answers,
                ServiceBuffers& kept) {
  const bool system = request.stage == ModuleStage::kSystem;
  const char* name_export = system ? kSystemModuleGetName : kPeripheralModuleGetName;
  const char* info_export = system ? kSystemModuleGetInformation : kPeripheralModuleGetInformation;
  const bool has_name = library.HasExport(name_export);
  if (system && !has_name) return;  // the service reads no system module then
  const bool has_eeprom = system && library.HasExport(kSystemModuleGetChassisEeprom);
  const bool has_info = library.HasExport(info_export);
  const std::uint32_t read = std::min(answers.count, MaxRecordsPerRun(request.stage));
  for (std::uint32_t index = 1; index <= read; ++index) {
    ModuleAnswer answer;
    if (has_name) AskName(library, name_export, request, index, kept);
    answer.unique_name = kept.unique_name;
    answer.address_info = kept.address_info;
    if (has_eeprom) {
      CallTwiceAndMerge(kept.eeprom, [&](std::uint8_t* buffer) {
        TerminatedNames names(kept);
        library.CallGetChassisEeprom(kSystemModuleGetChassisEeprom, names.unique_name,
                                     names.address_info, buffer);
      });
    }
    answer.eeprom = kept.eeprom;
    if (has_info) AskInformation(library, info_export, request.stage, kept, answer);
    answers.modules.push_back(answer);
  }
}

void AskChassis(VendorLibrary& library, const ModelRequest& request, ModelAnswers& answers) {
  const bool has_root_bus = library.HasExport(kChassisGetPciRootBusNumber);
  const std::uint32_t read = std::min(answers.count, kMaxChassisPerRun);
  for (std::uint32_t chassis = 1; chassis <= read; ++chassis) {
    ModuleAnswer answer;
    for (std::uint32_t root = 1; has_root_bus && root <= request.root_indices; ++root) {
      std::uint32_t bus = 0;
      library.CallGetPciRootBusNumber(kChassisGetPciRootBusNumber, request.vendor.c_str(),
                                      request.model.c_str(), root, chassis, &bus);
      if (bus != 0) answer.root_bus[root] = bus;
    }
    answers.modules.push_back(answer);
  }
}

const char* CountExport(ModuleStage stage) {
  switch (stage) {
    case ModuleStage::kSystem:
      return kSystemModuleGetCount;
    case ModuleStage::kPeripheral:
      return kPeripheralModuleGetCount;
    case ModuleStage::kChassis:
      break;
  }
  return kChassisGetCount;
}

std::string Utf16Hex(WStringView text) {
  std::string hex;
  for (char16_t unit : text) {
    for (int shift = 12; shift >= 0; shift -= 4) hex.push_back(kHexDigits[(unit >> shift) & 0xF]);
  }
  return hex;
}

bool ReadUtf16Hex(std::string_view hex, WString& out) {
  if (hex.size() % 4 != 0) return false;
  out.clear();
  for (std::size_t i = 0; i < hex.size(); i += 4) {
    unsigned unit = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      int d = HexValue(hex[i + k]);
      if (d < 0) return false;
      unit = unit * 16 + static_cast<unsigned>(d);
    }
    out.push_back(static_cast<char16_t>(unit));
  }
  return true;
}

}  // namespace

std::uint32_t ExportBit(const char* export_name) {
  for (std::size_t i = 0; i < kVendorExportCount; ++i) {
    if (std::strcmp(kAllVendorExports[i], export_name) == 0) return 1u << i;
  }
  return 0;
}

std::uint32_t MaxRecordsPerRun(ModuleStage stage) {
  return stage == ModuleStage::kChassis ? kMaxChassisPerRun : kMaxModulesPerRun;
}

const std::vector<std::uint32_t>& InformationItems(ModuleStage stage) {
  static const std::vector<std::uint32_t> kSystem = {0,   1,   2,   3,   4,   5,   100, 101,
                                                     102, 103, 104, 105, 106, 107, 108};
  static const std::vector<std::uint32_t> kPeripheral = {0, 100, 101, 102};
  static const std::vector<std::uint32_t> kNone;
  if (stage == ModuleStage::kSystem) return kSystem;
  if (stage == ModuleStage::kPeripheral) return kPeripheral;
  return kNone;
}

ModelAnswers AskModel(DynamicLibraries& libraries, const ModelRequest& request,
                      const ServiceBuffers& buffers) {
  ModelAnswers answers;
  answers.buffers_after = buffers;
  std::unique_ptr<VendorLibrary> library = libraries.Load(request.library);
  if (!library) return answers;
  answers.loaded = true;
  for (const char* name : kAllVendorExports) {
    if (library->HasExport(name)) answers.exports |= ExportBit(name);
  }
  const char* count_export = CountExport(request.stage);
  if (!library->HasExport(count_export)) return answers;
  library->CallGetCount(count_export, request.vendor.c_str(), request.model.c_str(), &answers.count);
  if (request.stage == ModuleStage::kChassis) {
    AskChassis(*library, request, answers);
  } else {
    AskModules(*library, request, answers, answers.buffers_after);
  }
  return answers;
}

std::string FormatModelAnswers(const ModelAnswers& a) {
  std::string text;
  text += "loaded " + std::to_string(a.loaded ? 1 : 0) + "\n";
  text += "exports " + std::to_string(a.exports) + "\n";
  text += "count " + std::to_string(a.count) + "\n";
  for (const ModuleAnswer& m : a.modules) {
    text += "module " + HexBytes(m.unique_name.data(), m.unique_name.size()) + " " +
            HexBytes(m.address_info.data(), m.address_info.size()) + " " +
            HexBytes(m.eeprom.data(), m.eeprom.size()) + "\n";
    for (const auto& [item, value] : m.info) {
      text += "info " + std::to_string(item) + " " + std::to_string(value) + "\n";
    }
    for (const auto& [root, bus] : m.root_bus) {
      text += "rootbus " + std::to_string(root) + " " + std::to_string(bus) + "\n";
    }
  }
  const ServiceBuffers& b = a.buffers_after;
  text += "buffers " + HexBytes(b.unique_name.data(), b.unique_name.size()) + " " +
          HexBytes(b.address_info.data(), b.address_info.size()) + " " +
          HexBytes(b.eeprom.data(), b.eeprom.size()) + "\n";
  text += "end\n";
  return text;
}

std::optional<ModelAnswers> ParseModelAnswers(std::string_view text) {
  ModelAnswers a;
  bool ended = false, have_buffers = false;
  int header = 0;  // loaded, exports, count must come first, in this order
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    if (end == std::string_view::npos) return std::nullopt;  // cut mid-line
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (ended) return std::nullopt;
    std::vector<std::string_view> w = Words(line);
    std::uint32_t x = 0, y = 0;
    if (header < 3) {
      static const char* kHeader[] = {"loaded", "exports", "count"};
      if (w.size() != 2 || w[0] != kHeader[header] || !ReadNumber(w[1], x)) return std::nullopt;
      if (header == 0) {
        if (x > 1) return std::nullopt;
        a.loaded = x == 1;
      } else if (header == 1) {
        a.exports = x;
      } else {
        a.count = x;
      }
      ++header;
    } else if (w.size() == 4 && w[0] == "module") {
      if (a.modules.size() >= kMaxModulesPerRun) return std::nullopt;
      ModuleAnswer m;
      if (!ReadHexArray(w[1], m.unique_name) || !ReadHexArray(w[2], m.address_info) ||
          !ReadHexArray(w[3], m.eeprom)) {
        return std::nullopt;
      }
      a.modules.push_back(m);
    } else if (w.size() == 3 && (w[0] == "info" || w[0] == "rootbus") && !a.modules.empty() &&
               ReadNumber(w[1], x) && ReadNumber(w[2], y)) {
      (w[0] == "info" ? a.modules.back().info : a.modules.back().root_bus)[x] = y;
    } else if (w.size() == 4 && w[0] == "buffers" && !have_buffers) {
      ServiceBuffers& b = a.buffers_after;
      if (!ReadHexArray(w[1], b.unique_name) || !ReadHexArray(w[2], b.address_info) ||
          !ReadHexArray(w[3], b.eeprom)) {
        return std::nullopt;
      }
      have_buffers = true;
    } else if (w.size() == 1 && w[0] == "end" && have_buffers) {
      ended = true;
    } else {
      return std::nullopt;
    }
  }
  if (!ended) return std::nullopt;
  return a;
}

std::vector<std::string> FormatModelRequest(const ModelRequest& r, const ServiceBuffers& b) {
  return {std::to_string(static_cast<int>(r.stage)),
          std::to_string(r.root_indices),
          "w" + Utf16Hex(r.library),
          "b" + HexBytes(reinterpret_cast<const std::uint8_t*>(r.vendor.data()), r.vendor.size()),
          "b" + HexBytes(reinterpret_cast<const std::uint8_t*>(r.model.data()), r.model.size()),
          HexBytes(b.unique_name.data(), b.unique_name.size()),
          HexBytes(b.address_info.data(), b.address_info.size()),
          HexBytes(b.eeprom.data(), b.eeprom.size())};
}

std::optional<std::pair<ModelRequest, ServiceBuffers>> ParseModelRequest(
    const std::vector<std::string>& w) {
  if (w.size() != 8) return std::nullopt;
  ModelRequest r;
  ServiceBuffers b;
  std::uint32_t stage = 0;
  if (!ReadNumber(w[0], stage) || stage > 2 || !ReadNumber(w[1], r.root_indices)) {
    return std::nullopt;
  }
  r.stage = static_cast<ModuleStage>(stage);
  std::vector<std::uint8_t> vendor, model;
  if (w[2].empty() || w[2][0] != 'w' || !ReadUtf16Hex(std::string_view(w[2]).substr(1), r.library) ||
      w[3].empty() || w[3][0] != 'b' || !ReadHexBytes(std::string_view(w[3]).substr(1), vendor) ||
      w[4].empty() || w[4][0] != 'b' || !ReadHexBytes(std::string_view(w[4]).substr(1), model) ||
      !ReadHexArray(w[5], b.unique_name) || !ReadHexArray(w[6], b.address_info) ||
      !ReadHexArray(w[7], b.eeprom)) {
    return std::nullopt;
  }
  r.vendor.assign(vendor.begin(), vendor.end());
  r.model.assign(model.begin(), model.end());
  return std::make_pair(r, b);
}

}  // namespace ztrm
