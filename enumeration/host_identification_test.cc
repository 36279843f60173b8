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

struct HostFixture : testing::Test {
  void SetUp() override {
    native = std::make_unique<NativePlatform>(image.root());
    Platform& base = native->platform();
    platform.reset(new Platform{base.registry, base.profiles, base.files, base.libraries, base.driver,
                                base.shell, base.clock, base.version, host, base.code_page, base.console});
    ctx = std::make_unique<RunContext>(*platform);
  }

  TestImage image;
  ScriptedHost host;
  std::unique_ptr<NativePlatform> native;
  std::unique_ptr<Platform> platform;
  std::unique_ptr<RunContext> ctx;
};

TEST_F(HostFixture, QueryThatCannotRunGivesNotAvailable) {
  ctx->HostManufacturer = u"old maker";
  ctx->HostModel = u"old model";
  host.answer = std::nullopt;
  IdentifyHost(*ctx);
  EXPECT_EQ(ctx->HostManufacturer, WideText(u"N/A"));
  EXPECT_EQ(ctx->HostModel, WideText(u"N/A"));
}

TEST_F(HostFixture, QueryWithoutObjectsKeepsThePreviousValues) {
  ctx->HostManufacturer = u"old maker";
  ctx->HostModel = u"old model";
  host.answer = std::vector<ComputerSystemInfo>{};
  IdentifyHost(*ctx);
  EXPECT_EQ(ctx->HostManufacturer, WideText(u"old maker"));
  EXPECT_EQ(ctx->HostModel, WideText(u"old model"));
}

TEST_F(HostFixture, LastObjectWins) {
  host.answer = std::vector<ComputerSystemInfo>{{WString(u"First"), WString(u"One")},
                                                {WString(u"Second"), WString(u"Two")}};
  IdentifyHost(*ctx);
  EXPECT_EQ(ctx->HostManufacturer, WideText(u"Second"));
  EXPECT_EQ(ctx->HostModel, WideText(u"Two"));
}

TEST_F(HostFixture, PropertyWithoutTextIsNotAvailable) {
  host.answer = std::vector<ComputerSystemInfo>{{std::nullopt, WString(u"Wine")}};
  IdentifyHost(*ctx);
  EXPECT_EQ(ctx->HostManufacturer, WideText(u"N/A"));
  EXPECT_EQ(ctx->HostModel, WideText(u"Wine"));
}

TEST_F(HostFixture, LongMakerIsCutTo259Units) {
  host.answer = std::vector<ComputerSystemInfo>{{WString(300, u'm'), WString(u"")}};
  IdentifyHost(*ctx);
  EXPECT_EQ(ctx->HostManufacturer.str(), WString(259, u'm'));
  EXPECT_EQ(ctx->HostModel, WideText(u""));
}

TEST(HostIdentificationTest, NativeMachineAnswersFromTheBiosRegistryValues) {
  const struct {
    const char* registry;
    const char16_t* maker;
    const char16_t* model;
  } kCases[] = {
      {"[HKEY_LOCAL_MACHINE\\HARDWARE\\DESCRIPTION\\System\\BIOS]\r\n"
       "\"SystemManufacturer\"=\"ZELTRO Technology\"\r\n\"SystemProductName\"=\"ZT-8840\"\r\n",
       u"ZELTRO Technology", u"ZT-8840"},
      {"[HKEY_LOCAL_MACHINE\\HARDWARE\\DESCRIPTION\\System\\BIOS]\r\n"
       "\"SystemManufacturer\"=\"Only Maker\"\r\n",
       u"Only Maker", u"N/A"},
      {"[HKEY_LOCAL_MACHINE\\HARDWARE\\DESCRIPTION\\System\\BIOS]\r\n"
       "\"SystemManufacturer\"=dword:00000001\r\n\"SystemProductName\"=\"Model\"\r\n",
       u"N/A", u"Model"},
      {"", u"N/A", u"N/A"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.registry);
    TestImage image;
    image.WriteRegistry(c.registry);
    NativePlatform native(image.root());
    RunContext ctx(native.platform());
    IdentifyHost(ctx);
    EXPECT_EQ(ctx.HostManufacturer, WideText(c.maker));
    EXPECT_EQ(ctx.HostModel, WideText(c.model));
  }
}

}  // namespace
}  // namespace ztrm
