// Captured answers as the simulated module's sections, and the choice of the
// simulated module's build.
#include "capture/simulated_module.h"

#include <gtest/gtest.h>

#include <cstring>

#include "simmodule/sim_config.h"

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
      {Without({kSystemModuleGetInformation, kSystemModuleSmBusOperation}), kSystem,
       "ztsimmod_nosmbus_nosysinfo"},
      {Without({kSystemModuleGetChassisEeprom, kSystemModuleSmBusOperation}), kSystem,
       "ztsimmod_nosmbus_noeeprom"},
      {Without({kSystemModuleGetChassisEeprom, kSystemModuleGetInformation,
                kSystemModuleSmBusOperation}),
       kSystem, "ztsimmod_nosmbus_noinfo"},
      // Without GetCount a stage looks at nothing else.
      {Without({kSystemModuleGetCount, kSystemModuleGetName, kSystemModuleGetChassisEeprom}),
       kSystem, "ztsimmod_nocount"},
      // Without GetName the system module stage looks at nothing else.
      {Without({kSystemModuleGetName, kSystemModuleGetInformation}), kSystem, "ztsimmod_noname"},
      {Without({kPeripheralModuleGetName}), kPeripheral, "ztsimmod_noname"},
      {Without({kPeripheralModuleGetName, kPeripheralModuleGetInformation}), kPeripheral,
       "ztsimmod_noname_noinfo"},
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

ModelRequest Request(ModuleStage stage, const char* vendor, const char* model) {
  ModelRequest request;
  request.stage = stage;
  request.vendor = vendor;
  request.model = model;
  return request;
}

ModuleAnswer Module(const char* unique, const char* address) {
  ModuleAnswer m;
  std::memcpy(m.unique_name.data(), unique, std::strlen(unique));
  std::memcpy(m.address_info.data(), address, std::strlen(address));
  return m;
}

TEST(SimulatedModuleSections, WriteEveryModuleInIndexOrderQuoted) {
  const ModelRequest request = Request(ModuleStage::kSystem, "Acme \"X\"", " S1 ");
  ModelAnswers answers;
  answers.loaded = true;
  answers.count = 2;
  answers.modules.push_back(Module(" SYS 1", "PCI::0"));
  answers.modules.back().eeprom[5] = 0x41;
  answers.modules.back().eeprom[259] = 0xFF;
  answers.modules.back().info = {{0, 8}, {100, 1}};
  answers.modules.push_back(Module("", ""));
  std::vector<std::string> notes;
  std::string eeprom = "00 00 00 00 00 41";
  for (int i = 6; i < 259; ++i) eeprom += " 00";
  eeprom += " FF";
  EXPECT_EQ(SimulatedModuleSections(request, answers, notes),
            "[SystemModule]\n"
            "Vendor = \"Acme \"X\"\"\n"
            "Model = \" S1 \"\n"
            "UniqueName = \" SYS 1\"\n"
            "AddressInfo = \"PCI::0\"\n"
            "Eeprom = " + eeprom + "\n"
            "Info.0 = 8\n"
            "Info.100 = 1\n"
            "\n"
            "[SystemModule]\n"
            "Vendor = \"Acme \"X\"\"\n"
            "Model = \" S1 \"\n"
            "UniqueName = \"\"\n"
            "AddressInfo = \"\"\n"
            "\n");
  EXPECT_TRUE(notes.empty());
}

TEST(SimulatedModuleSections, ReadBackByTheSimulatedModuleAsCaptured) {
  const ModelRequest request = Request(ModuleStage::kPeripheral, "V", "M");
  ModelAnswers answers;
  answers.count = 0x3000;  // more than the service reads
  for (int i = 0; i < 256; ++i) answers.modules.push_back(Module("u", "a"));
  answers.modules[0] = Module(" quoted \"name\" ", "PCI::1");
  answers.modules[0].info = {{102, 4}};
  answers.modules[1].unique_name.fill('z');  // no terminator in the buffer
  answers.modules[1].address_info.fill('y');
  std::vector<std::string> notes;
  ztsim::SimConfig config = ztsim::ParseSimConfig(SimulatedModuleSections(request, answers, notes));
  EXPECT_EQ(config.Count(ztsim::Kind::kPeripheralModule, "V", "M"), 0x3000u);
  const ztsim::SimItem* first = config.Find(ztsim::Kind::kPeripheralModule, "V", "M", 1);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->unique_name, " quoted \"name\" ");
  EXPECT_EQ(first->info.at(102), 4u);
  const ztsim::SimItem* second = config.Find(ztsim::Kind::kPeripheralModule, "V", "M", 2);
  ASSERT_NE(second, nullptr);
  EXPECT_TRUE(second->unterminated_names);
  EXPECT_EQ(second->unique_name, std::string(260, 'z'));
  EXPECT_NE(config.Find(ztsim::Kind::kPeripheralModule, "V", "M", 8192), nullptr);
  EXPECT_EQ(config.Find(ztsim::Kind::kPeripheralModule, "V", "M", 8193), nullptr);
  EXPECT_TRUE(notes.empty());
}

TEST(SimulatedModuleSections, NameWhatTheConfigurationCannotHold) {
  const ModelRequest request = Request(ModuleStage::kPeripheral, "V", "M");
  ModelAnswers answers;
  answers.count = 2;
  answers.modules.push_back(Module("two\nlines", "a"));
  answers.modules.push_back(Module("b", "a"));
  answers.modules[1].unique_name.fill('z');
  std::vector<std::string> notes;
  SimulatedModuleSections(request, answers, notes);
  EXPECT_EQ(notes, (std::vector<std::string>{
                       "V/M module 1: a name holds a line break, which the configuration cannot hold",
                       "V/M module 2: only one name fills its buffer; the replay fills both"}));
}

TEST(SimulatedModuleSections, AChassisModelGetsItsRootBuses) {
  const ModelRequest request = Request(ModuleStage::kChassis, "V", "C");
  ModelAnswers answers;
  answers.count = 1;
  answers.modules.emplace_back();
  answers.modules[0].root_bus = {{1, 9}, {2, 300}};
  std::vector<std::string> notes;
  EXPECT_EQ(SimulatedModuleSections(request, answers, notes),
            "[Chassis]\nVendor = \"V\"\nModel = \"C\"\nRootBus.1 = 9\nRootBus.2 = 300\n\n");
}

}  // namespace
}  // namespace ztrm
