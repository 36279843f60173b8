// Asking one model's library the way discovery does, and the helper's text.
#include "capture/model_answers.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/stage_bench.h"

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
  ModelAnswers Ask(ModuleStage stage, const ServiceBuffers& start = ServiceBuffers()) {
    ModelRequest request;
    request.stage = stage;
    request.library = u"C:\\v\\lib.dll";
    request.vendor = "Acme";
    request.model = "M";
    request.root_indices = 3;
    return AskModel(libraries, request, start);
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

TEST(AskModel, TheBuffersOfThePreviousModelAreWhereTheServiceStartsThisOne) {
  Asking a;
  ScriptedLibrary& s = a.Script();
  s.system_count = [](const char*, const char*, std::uint32_t* n) { *n = 1; };
  s.system_name = [](const char*, const char*, std::uint32_t, char*, char*) {};
  s.eeprom = [](const char*, const char*, std::uint8_t* e) { e[7] = 0x42; };
  ServiceBuffers start;
  std::memcpy(start.unique_name.data(), "EARLIER", 7);
  start.eeprom[0] = 0x11;
  ModelAnswers answers = a.Ask(ModuleStage::kSystem, start);
  ASSERT_EQ(answers.modules.size(), 1u);
  EXPECT_EQ(Text(answers.modules[0].unique_name), "EARLIER");
  EXPECT_EQ(answers.modules[0].eeprom[0], 0x11);
  EXPECT_EQ(answers.modules[0].eeprom[7], 0x42);
  EXPECT_EQ(answers.exports, ExportBit(kSystemModuleGetCount) | ExportBit(kSystemModuleGetName) |
                                 ExportBit(kSystemModuleGetChassisEeprom) |
                                 ExportBit(kSystemModuleSmBusOperation));
}

TEST(AskModel, ASystemModuleLibraryWithoutGetNameIsAskedNoMore) {
  Asking a;
  ScriptedLibrary& s = a.Script();
  int eeprom_calls = 0;
  s.system_count = [](const char*, const char*, std::uint32_t* n) { *n = 2; };
  s.eeprom = [&](const char*, const char*, std::uint8_t*) { ++eeprom_calls; };
  ModelAnswers answers = a.Ask(ModuleStage::kSystem);
  EXPECT_EQ(answers.count, 2u);
  EXPECT_TRUE(answers.modules.empty());
  EXPECT_EQ(eeprom_calls, 0);
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

TEST(AskModel, ALibraryThatDoesNotLoadPassesTheBuffersThrough) {
  Asking a;
  ServiceBuffers start;
  start.address_info[0] = 'x';
  ModelAnswers answers = a.Ask(ModuleStage::kSystem, start);
  EXPECT_FALSE(answers.loaded);
  EXPECT_EQ(answers.buffers_after.address_info[0], 'x');
}

TEST(ModelAnswersText, ReadsTheHelpersAnswers) {
  std::string zeros(520, '0');
  std::string name = "41420000" + std::string(512, '0');  // "AB"
  std::string text = "loaded 1\nexports 1023\ncount 300\nmodule " + name + " " + zeros + " " +
                     zeros + "\ninfo 100 7\ninfo 0 4294967295\nmodule " + zeros + " " + zeros +
                     " " + zeros + "\nrootbus 2 9\nbuffers " + name + " " + zeros + " " + zeros +
                     "\nend\n";
  std::optional<ModelAnswers> a = ParseModelAnswers(text);
  ASSERT_TRUE(a.has_value());
  EXPECT_TRUE(a->loaded);
  EXPECT_EQ(a->exports, 1023u);
  EXPECT_EQ(a->count, 300u);
  ASSERT_EQ(a->modules.size(), 2u);
  EXPECT_EQ(Text(a->modules[0].unique_name), "AB");
  EXPECT_EQ(a->modules[0].info, (std::map<std::uint32_t, std::uint32_t>{{0, 4294967295u}, {100, 7}}));
  EXPECT_EQ(a->modules[1].root_bus, (std::map<std::uint32_t, std::uint32_t>{{2, 9}}));
  EXPECT_EQ(Text(a->buffers_after.unique_name), "AB");
}

TEST(ModelAnswersText, RefusesAnswersCutShortOrMalformed) {
  std::string zeros(520, '0');
  std::string whole = "loaded 1\nexports 3\ncount 1\nmodule " + zeros + " " + zeros + " " + zeros +
                      "\nbuffers " + zeros + " " + zeros + " " + zeros + "\nend\n";
  ASSERT_TRUE(ParseModelAnswers(whole).has_value());
  struct Case {
    const char* what;
    std::string text;
  };
  const Case cases[] = {
      {"nothing", ""},
      {"no end line", whole.substr(0, whole.size() - 4)},
      {"cut inside the last line", whole.substr(0, whole.size() - 2)},
      {"cut inside a module line", whole.substr(0, 100)},
      {"a byte too few", "loaded 1\nexports 3\ncount 1\nmodule " + zeros.substr(2) + " " + zeros +
                             " " + zeros + "\n"},
      {"count first", "count 1\nloaded 1\nexports 3\nend\n"},
      {"a number too large", "loaded 1\nexports 3\ncount 4294967296\nend\n"},
      {"info before any module", "loaded 1\nexports 3\ncount 1\ninfo 1 2\n"},
      {"text after the end", whole + "end\n"},
      {"loaded 2", "loaded 2\nexports 3\ncount 0\nbuffers " + zeros + " " + zeros + " " + zeros +
                       "\nend\n"},
  };
  for (const Case& c : cases) EXPECT_FALSE(ParseModelAnswers(c.text).has_value()) << c.what;
}

TEST(ModelRequestWords, CarryNamesAndBuffersThroughTheCommandLine) {
  ModelRequest request;
  request.stage = ModuleStage::kChassis;
  request.library = u"C:\\Prog Files\\\"x\" \u00e9.dll";
  request.vendor = "Acme \"Co\" \xe9";
  request.model = "";
  request.root_indices = 12;
  ServiceBuffers buffers;
  buffers.eeprom[259] = 0xAB;
  std::vector<std::string> words = FormatModelRequest(request, buffers);
  for (const std::string& w : words) {
    EXPECT_EQ(w.find_first_of(" \"\\"), std::string::npos) << w;
  }
  auto back = ParseModelRequest(words);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->first.stage, ModuleStage::kChassis);
  EXPECT_EQ(back->first.library, request.library);
  EXPECT_EQ(back->first.vendor, request.vendor);
  EXPECT_EQ(back->first.model, "");
  EXPECT_EQ(back->first.root_indices, 12u);
  EXPECT_EQ(back->second.eeprom[259], 0xAB);
  words[0] = "3";
  EXPECT_FALSE(ParseModelRequest(words).has_value());
  EXPECT_FALSE(ParseModelRequest({"0", "0"}).has_value());
}

}  // namespace
}  // namespace ztrm
