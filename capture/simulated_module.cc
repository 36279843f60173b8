#include "capture/simulated_module.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace ztrm {
namespace {

std::uint32_t Bits(std::initializer_list<const char*> exports) {
  std::uint32_t mask = 0;
  for (const char* e : exports) mask |= ExportBit(e);
  return mask;
}

// What the service's course through one stage depends on.
std::uint32_t StageSignature(std::uint32_t exports, ModuleStage stage) {
  auto has = [&](const char* e) { return (exports & ExportBit(e)) != 0; };
  switch (stage) {
    case ModuleStage::kSystem:
      if (!has(kSystemModuleGetCount)) return 1;
      if (!has(kSystemModuleGetName)) return 2;
      return 4 | (has(kSystemModuleGetChassisEeprom) ? 8 : 0) |
             (has(kSystemModuleGetInformation) ? 16 : 0) | (has(kSystemModuleSmBusOperation) ? 32 : 0);
    case ModuleStage::kPeripheral:
      if (!has(kPeripheralModuleGetCount)) return 1;
      return 4 | (has(kPeripheralModuleGetName) ? 8 : 0) |
             (has(kPeripheralModuleGetInformation) ? 16 : 0);
    case ModuleStage::kChassis:
      if (!has(kChassisGetCount)) return 1;
      return 4 | (has(kChassisGetPciRootBusNumber) ? 8 : 0);
  }
  return 0;
}

bool Alike(std::uint32_t a, std::uint32_t b, std::uint32_t stages) {
  for (ModuleStage stage : {ModuleStage::kSystem, ModuleStage::kPeripheral, ModuleStage::kChassis}) {
    if ((stages & StageBit(stage)) && StageSignature(a, stage) != StageSignature(b, stage)) {
      return false;
    }
  }
  return true;
}

std::size_t TextLength(const std::array<std::uint8_t, kVendorBufferSize>& bytes) {
  return static_cast<std::size_t>(std::find(bytes.begin(), bytes.end(), 0) - bytes.begin());
}

bool HasLineBreak(std::string_view text) {
  return text.find('\n') != std::string_view::npos || text.find('\r') != std::string_view::npos;
}

std::string Quoted(std::string_view key, std::string_view value) {
  return std::string(key) + " = \"" + std::string(value) + "\"\n";
}

const char* SectionName(ModuleStage stage) {
  switch (stage) {
    case ModuleStage::kSystem:
      return "[SystemModule]\n";
    case ModuleStage::kPeripheral:
      return "[PeripheralModule]\n";
    case ModuleStage::kChassis:
      break;
  }
  return "[Chassis]\n";
}

std::string HexList(const std::array<std::uint8_t, kVendorBufferSize>& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i) text.push_back(' ');
    text.push_back(kDigits[bytes[i] >> 4]);
    text.push_back(kDigits[bytes[i] & 0xF]);
  }
  return text;
}

void ModuleKeys(const ModelRequest& request, const ModuleAnswer& m, std::string& out,
                std::vector<std::string>& notes, std::uint32_t index) {
  std::size_t unique_length = TextLength(m.unique_name);
  std::size_t address_length = TextLength(m.address_info);
  std::string_view unique(reinterpret_cast<const char*>(m.unique_name.data()), unique_length);
  std::string_view address(reinterpret_cast<const char*>(m.address_info.data()), address_length);
  const std::string where = request.vendor + "/" + request.model + " module " + std::to_string(index);
  if (HasLineBreak(unique) || HasLineBreak(address)) {
    notes.push_back(where + ": a name holds a line break, which the configuration cannot hold");
  }
  out += Quoted("UniqueName", unique);
  out += Quoted("AddressInfo", address);
  bool unique_open = unique_length == kVendorBufferSize;
  bool address_open = address_length == kVendorBufferSize;
  if (unique_open || address_open) {
    out += "UnterminatedNames = 1\n";
    if (unique_open != address_open) {
      notes.push_back(where + ": only one name fills its buffer; the replay fills both");
    }
  }
  if (request.stage == ModuleStage::kSystem &&
      std::any_of(m.eeprom.begin(), m.eeprom.end(), [](std::uint8_t b) { return b != 0; })) {
    out += "Eeprom = " + HexList(m.eeprom) + "\n";
  }
  for (const auto& [item, value] : m.info) {
    out += "Info." + std::to_string(item) + " = " + std::to_string(value) + "\n";
  }
}

}  // namespace

std::string SimulatedModuleSections(const ModelRequest& request, const ModelAnswers& answers,
                                    std::vector<std::string>& notes) {
  std::string out;
  const std::uint32_t bound = MaxRecordsPerRun(request.stage);
  const std::uint32_t sections = std::min(answers.count, bound);
  if (HasLineBreak(request.vendor) || HasLineBreak(request.model)) {
    notes.push_back(request.vendor + "/" + request.model +
                    ": the vendor or model name holds a line break, which the configuration "
                    "cannot hold");
  }
  for (std::uint32_t i = 0; i < sections; ++i) {
    out += SectionName(request.stage);
    out += Quoted("Vendor", request.vendor);
    out += Quoted("Model", request.model);
    if (i == 0 && answers.count > bound) {
      out += "ReportedCount = " + std::to_string(answers.count) + "\n";
    }
    if (i < answers.modules.size()) {
      const ModuleAnswer& m = answers.modules[i];
      if (request.stage == ModuleStage::kChassis) {
        for (const auto& [root, bus] : m.root_bus) {
          out += "RootBus." + std::to_string(root) + " = " + std::to_string(bus) + "\n";
        }
      } else {
        ModuleKeys(request, m, out, notes, i + 1);
      }
    }
    out += "\n";
  }
  return out;
}

const std::vector<SimulatedModuleBuild>& SimulatedModuleBuilds() {
  static const std::uint32_t kCount =
      Bits({kSystemModuleGetCount, kPeripheralModuleGetCount, kChassisGetCount});
  static const std::uint32_t kName = Bits({kSystemModuleGetName, kPeripheralModuleGetName});
  static const std::uint32_t kInfo =
      Bits({kSystemModuleGetChassisEeprom, kSystemModuleGetInformation,
            kPeripheralModuleGetInformation, kChassisGetPciRootBusNumber});
  static const std::uint32_t kSmBus = Bits({kSystemModuleSmBusOperation});
  static const std::uint32_t kEeprom = Bits({kSystemModuleGetChassisEeprom});
  static const std::uint32_t kSysInfo = Bits({kSystemModuleGetInformation});
  static const std::vector<SimulatedModuleBuild> kBuilds = {
      {"ztsimmod", 0},
      {"ztsimmod_nosmbus", kSmBus},
      {"ztsimmod_nocount", kCount},
      {"ztsimmod_noname", kName},
      {"ztsimmod_noinfo", kInfo},
      {"ztsimmod_noeeprom", kEeprom},
      {"ztsimmod_nosysinfo", kSysInfo},
      {"ztsimmod_nosmbus_noeeprom", kSmBus | kEeprom},
      {"ztsimmod_nosmbus_nosysinfo", kSmBus | kSysInfo},
      {"ztsimmod_nosmbus_noinfo", kSmBus | kInfo},
      {"ztsimmod_noname_noinfo", kName | kInfo},
  };
  return kBuilds;
}

const SimulatedModuleBuild* MatchingBuild(std::uint32_t exports, std::uint32_t stages) {
  const std::uint32_t all = (1u << kVendorExportCount) - 1;
  for (const SimulatedModuleBuild& build : SimulatedModuleBuilds()) {
    if (Alike(exports, all & ~build.omitted, stages)) return &build;
  }
  return nullptr;
}

}  // namespace ztrm
