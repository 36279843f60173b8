#include "enumeration/host_identification.h"

#include <gtest/gtest.h>

#include "platform/native/native_platform.h"
#include "tests/test_image.h"

namespace ztrm {
namespace {

// Answers the Win32_ComputerSystem query as told.
class ScriptedHost : public HostIdentity {
 public:
  std::optional<std::vector<ComputerSystemInfo>> QueryComputerSystems() override { return answer; }
  std::optional<std::vector<ComputerSystemInfo>> answer;
};

TEST(HostIdentificationTest, AnswersOfTheQuery) {
  using Systems = std::vector<ComputerSystemInfo>;
  const WString long_maker(259, u'm');
  const struct {
    const char* name;
    std::optional<Systems> answer;
    const char16_t* maker;
    const char16_t* model;
  } cases[] = {
      {"a query that cannot run: not available", std::nullopt, u"N/A", u"N/A"},
      {"no objects: the previous values stay", Systems{}, u"old maker", u"old model"},
      {"the last object wins", Systems{{WString(u"First"), WString(u"One")}, {WString(u"Second"), WString(u"Two")}},
       u"Second", u"Two"},
      {"a property without text is not available", Systems{{std::nullopt, WString(u"Wine")}}, u"N/A", u"Wine"},
      {"a long maker is cut to 259 units", Systems{{WString(300, u'm'), WString(u"")}},
       long_maker.c_str(), u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestImage image;
    NativePlatform native(image.root());
    ScriptedHost host;
    host.answer = c.answer;
    Platform& base = native.platform();
    Platform platform{base.registry, base.profiles, base.files, base.libraries, base.driver, base.shell,
                      base.clock,    base.version,  host,       base.code_page, base.console};
    RunContext ctx(platform);
    ctx.HostManufacturer = u"old maker";
    ctx.HostModel = u"old model";
    IdentifyHost(ctx);
    EXPECT_EQ(ctx.HostManufacturer, WideText(c.maker));
    EXPECT_EQ(ctx.HostModel, WideText(c.model));
  }
}

}  // namespace
}  // namespace ztrm
