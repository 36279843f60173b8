// Asking one model's library the way discovery does.
#include "capture/model_answers.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/inventory_test_support.h"

namespace ztrm {
namespace {

std::string Text(const std::array<std::uint8_t, kVendorBufferSize>& bytes) {
  const char* chars = reinterpret_cast<const char*>(bytes.data());
  return std::string(chars, strnlen(chars, bytes.size()));
}

class NoLibraries : public DynamicLibraries {
 public:
  std::unique_ptr<VendorLibrary> Load(WStringView) override { return nullptr; }
};

struct Asking {
  NoLibraries none;
  ScriptedLibraries libraries{none};
  ScriptedLibrary& Script() { return libraries.scripted[u"C:\\v\\lib.dll"]; }
  ModelAnswers Ask(ModuleStage stage) {
    ModelRequest request;
    request.stage = stage;
    request.library = u"C:\\v\\lib.dll";
    request.vendor = "Acme";
    request.model = "M";
    request.root_indices = 3;
    return AskModel(libraries, request, ServiceBuffers());
  }
};

TEST(AskModel, ALibraryThatWritesNoNameLeavesThePreviousModulesNameAsTheServiceReadsIt) {
  Asking a;
  ScriptedLibrary& s = a.Script();
  s.peripheral_count = [](const char*, const char*, std::uint32_t* n) { *n = 3; };
  s.peripheral_name = [](const char*, const char*, std::uint32_t index, char* unique, char* address) {
    if (index == 1) {
      std::strcpy(unique, "LONG-NAME-1");
      std::strcpy(address, "PCI::1");
    } else if (index == 2) {
      std::memcpy(unique, "AB", 2);  // no terminator: the rest of module 1's name stays
      std::strcpy(address, "PCI::2");
    }  // index 3: nothing at all
  };
  s.peripheral_info = [](const char* unique, const char*, std::uint32_t item, std::uint32_t* v) {
    if (item == 100) *v = static_cast<std::uint32_t>(std::strlen(unique));
  };
  ModelAnswers answers = a.Ask(ModuleStage::kPeripheral);
  ASSERT_TRUE(answers.loaded);
  EXPECT_EQ(answers.count, 3u);
  ASSERT_EQ(answers.modules.size(), 3u);
  EXPECT_EQ(Text(answers.modules[0].unique_name), "LONG-NAME-1");
  EXPECT_EQ(Text(answers.modules[1].unique_name), "ABNG-NAME-1");
  EXPECT_EQ(Text(answers.modules[1].address_info), "PCI::2");
  EXPECT_EQ(Text(answers.modules[2].unique_name), "ABNG-NAME-1");
  // The information calls get the names the service would pass.
  EXPECT_EQ(answers.modules[1].info, (std::map<std::uint32_t, std::uint32_t>{{100, 11}}));
  EXPECT_EQ(Text(answers.buffers_after.unique_name), "ABNG-NAME-1");
}

TEST(AskModel, ChassisRootBusesAreAskedForEachRootIndexOfEveryChassisReadAtMost256) {
  Asking a;
  ScriptedLibrary& s = a.Script();
  s.chassis_count = [](const char*, const char*, std::uint32_t* n) { *n = 0xFFFFFFFF; };
  std::uint32_t calls = 0;
  s.root_bus = [&](const char*, const char*, std::uint32_t root, std::uint32_t chassis,
                   std::uint32_t* bus) {
    ++calls;
    if (chassis == 2 && root != 2) *bus = 10 * root;
  };
  ModelAnswers answers = a.Ask(ModuleStage::kChassis);
  EXPECT_EQ(answers.count, 0xFFFFFFFFu);
  ASSERT_EQ(answers.modules.size(), 256u);
  EXPECT_EQ(calls, 256u * 3u);
  EXPECT_TRUE(answers.modules[0].root_bus.empty());
  EXPECT_EQ(answers.modules[1].root_bus, (std::map<std::uint32_t, std::uint32_t>{{1, 10}, {3, 30}}));
}

}  // namespace
}  // namespace ztrm
