// Asking one model's library the way discovery does.
#include "capture/model_answers.h"

#include <gtest/gtest.h>

#include "tests/stage_bench.h"

namespace ztrm {
namespace {

class NoLibraries : public DynamicLibraries {
 public:
  std::unique_ptr<VendorLibrary> Load(WStringView) override { return nullptr; }
};

// Each chassis read (at most 256) is asked for every root index the matching
// description has bus segments for; only non-zero answers are recorded, as the
// service presets each to 0.
TEST(AskModel, ChassisRootBusesAreAskedForEachRootIndexOfEveryChassisReadAtMost256) {
  NoLibraries none;
  ScriptedLibraries libraries{none};
  ScriptedLibrary& s = libraries.scripted[u"C:\\v\\lib.dll"];
  s.chassis_count = [](const char*, const char*, std::uint32_t* n) { *n = 0xFFFFFFFF; };
  std::uint32_t calls = 0;
  s.root_bus = [&](const char*, const char*, std::uint32_t root, std::uint32_t chassis, std::uint32_t* bus) {
    ++calls;
    if (chassis == 2 && root != 2) *bus = 10 * root;
  };
  ModelRequest request;
  request.stage = ModuleStage::kChassis;
  request.library = u"C:\\v\\lib.dll";
  request.vendor = "Acme";
  request.model = "M";
  request.root_indices = 3;
  ModelAnswers answers = AskModel(libraries, request, ServiceBuffers());
  EXPECT_EQ(answers.count, 0xFFFFFFFFu);
  ASSERT_EQ(answers.modules.size(), 256u);
  EXPECT_EQ(calls, 256u * 3u);
  EXPECT_TRUE(answers.modules[0].root_bus.empty());
  EXPECT_EQ(answers.modules[1].root_bus, (std::map<std::uint32_t, std::uint32_t>{{1, 10}, {3, 30}}));
}

}  // namespace
}  // namespace ztrm
