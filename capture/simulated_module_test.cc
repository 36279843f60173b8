// Captured answers as the simulated module's sections, and the choice of the
// simulated module's build.
#include "capture/simulated_module.h"

#include <gtest/gtest.h>

#include <cstring>

namespace ztrm {
namespace {

std::uint32_t Without(std::initializer_list<const char*> missing) {
  std::uint32_t mask = (1u << kVendorExportCount) - 1;
  for (const char* e : missing) mask &= ~ExportBit(e);
  return mask;
}

constexpr std::uint32_t kSystem = StageBit(ModuleStage::kSystem);
constexpr std::uint32_t kPeripheral = StageBit(ModuleStage::kPeripheral);
constexpr std::uint32_t kChassis = StageBit(ModuleStage::kChassis);

TEST(MatchingBuild, PicksABuildTheServiceCannotTellFromTheLibrary) {
  struct Case {
    std::uint32_t exports;
    std::uint32_t stages;
    const char* build;  // nullptr: none answers alike
  };
  const Case cases[] = {
      {Without({}), kSystem | kPeripheral | kChassis, "ztsimmod"},
      {Without({kSystemModuleSmBusOperation}), kSystem, "ztsimmod_nosmbus"},
      // SMBusOperation matters to the system module stage only.
      {Without({kSystemModuleSmBusOperation}), kPeripheral | kChassis, "ztsimmod"},
      {Without({kSystemModuleGetChassisEeprom}), kSystem, "ztsimmod_noeeprom"},
      {Without({kSystemModuleGetInformation}), kSystem | kPeripheral, "ztsimmod_nosysinfo"},
      {Without({kSystemModuleGetInformation, kSystemModuleSmBusOperation}), kSystem, "ztsimmod_nosmbus_nosysinfo"},
      {Without({kSystemModuleGetChassisEeprom, kSystemModuleSmBusOperation}), kSystem, "ztsimmod_nosmbus_noeeprom"},
      {Without({kSystemModuleGetChassisEeprom, kSystemModuleGetInformation, kSystemModuleSmBusOperation}), kSystem,
       "ztsimmod_nosmbus_noinfo"},
      // Without GetCount a stage looks at nothing else.
      {Without({kSystemModuleGetCount, kSystemModuleGetName, kSystemModuleGetChassisEeprom}), kSystem,
       "ztsimmod_nocount"},
      // Without GetName the system module stage looks at nothing else.
      {Without({kSystemModuleGetName, kSystemModuleGetInformation}), kSystem, "ztsimmod_noname"},
      {Without({kPeripheralModuleGetName}), kPeripheral, "ztsimmod_noname"},
      {Without({kPeripheralModuleGetName, kPeripheralModuleGetInformation}), kPeripheral, "ztsimmod_noname_noinfo"},
      {Without({kPeripheralModuleGetInformation}), kPeripheral, "ztsimmod_noinfo"},
      {Without({kChassisGetPciRootBusNumber}), kChassis, "ztsimmod_noinfo"},
      {Without({kChassisGetCount, kChassisGetPciRootBusNumber}), kChassis, "ztsimmod_nocount"},
      // The peripheral count missing but the system count there: no build.
      {Without({kPeripheralModuleGetCount}), kSystem | kPeripheral, nullptr},
      {Without({kChassisGetPciRootBusNumber}), kSystem | kChassis, nullptr},
  };
  for (const Case& c : cases) {
    const SimulatedModuleBuild* build = MatchingBuild(c.exports, c.stages);
    if (c.build == nullptr) {
      EXPECT_EQ(build, nullptr) << std::hex << c.exports;
    } else {
      ASSERT_NE(build, nullptr) << c.build;
      EXPECT_STREQ(build->name, c.build);
    }
  }
}

ModuleAnswer Module(const char* unique, const char* address) {
  ModuleAnswer m;
  std::memcpy(m.unique_name.data(), unique, std::strlen(unique));
  std::memcpy(m.address_info.data(), address, std::strlen(address));
  return m;
}

TEST(SimulatedModuleSections, NameWhatTheConfigurationCannotHold) {
  ModelRequest request;
  request.stage = ModuleStage::kPeripheral;
  request.vendor = "V";
  request.model = "M";
  ModelAnswers answers;
  answers.count = 2;
  answers.modules.push_back(Module("two\nlines", "a"));
  answers.modules.push_back(Module("b", "a"));
  answers.modules[1].unique_name.fill('z');
  std::vector<std::string> notes;
  SimulatedModuleSections(request, answers, notes);
  EXPECT_EQ(notes,
            (std::vector<std::string>{"V/M module 1: a name holds a line break, which the configuration cannot hold",
                                      "V/M module 2: only one name fills its buffer; the replay fills both"}));
}

}  // namespace
}  // namespace ztrm
