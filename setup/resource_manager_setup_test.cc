#include "setup/resource_manager_setup.h"

#include <gtest/gtest.h>

#include "platform/native/native_platform.h"
#include "tests/test_image.h"
#include "version_config.h"

namespace ztrm {
namespace {

constexpr char kConfig[] = "drive_c/ProgramData/PXISA/configuration.ini";
constexpr char kWhere[] = "C:\\ProgramData\\PXISA\\configuration.ini";
constexpr char kOther[] = "[ResourceManager]\r\nName = \"Another Vendor\"\r\n";
constexpr char kOurs[] = "[ResourceManager]\r\nName = \"ZELTRO Technology\"\r\n";
// WritePrivateProfileStringW's form of a new file and of a replaced line.
constexpr char kWritten[] = "[ResourceManager]\r\nName=ZELTRO Technology\r\n";

struct Fixture {
  TestImage image;
  NativePlatform native{image.root()};
  SetupOutcome Apply(SetupStep step) { return ApplySetupStep(native.platform(), step); }
};

TEST(ResourceManagerSetupTest, InstallConfiguresThisManagerWhenTheFileIsMissing) {
  Fixture f;
  SetupOutcome outcome = f.Apply(SetupStep::kInstall);
  EXPECT_EQ(outcome.exit_code, 0);
  EXPECT_EQ(outcome.message, std::string("configured this resource manager in ") + kWhere + " (none was configured)");
  EXPECT_EQ(f.image.Read(kConfig), kWritten);
}

TEST(ResourceManagerSetupTest, InstallConfiguresThisManagerWhenTheNameIsEmpty) {
  Fixture f;
  f.image.Write(kConfig, "[ResourceManager]\r\nName = \"\"\r\n[Other]\r\nKey=1\r\n");
  EXPECT_EQ(f.Apply(SetupStep::kInstall).exit_code, 0);
  EXPECT_EQ(f.image.Read(kConfig), "[ResourceManager]\r\nName=ZELTRO Technology\r\n[Other]\r\nKey=1\r\n");
}

TEST(ResourceManagerSetupTest, InstallLeavesAnotherManagerAlone) {
  Fixture f;
  f.image.Write(kConfig, kOther);
  SetupOutcome outcome = f.Apply(SetupStep::kInstall);
  EXPECT_EQ(outcome.exit_code, 0);
  EXPECT_EQ(outcome.message, std::string("another resource manager is configured in ") + kWhere +
                                 " (\"Another Vendor\"); left as it is: to switch, set [ResourceManager] Name = "
                                 "\"ZELTRO Technology\" there or install with SETACTIVE=1");
  EXPECT_EQ(f.image.Read(kConfig), kOther);
}

TEST(ResourceManagerSetupTest, InstallActiveReplacesAnotherManager) {
  Fixture f;
  f.image.Write(kConfig, kOther);
  SetupOutcome outcome = f.Apply(SetupStep::kInstallActive);
  EXPECT_EQ(outcome.exit_code, 0);
  EXPECT_EQ(outcome.message, std::string("configured this resource manager in ") + kWhere +
                                 " in place of \"Another Vendor\" (SETACTIVE=1)");
  EXPECT_EQ(f.image.Read(kConfig), kWritten);
}

TEST(ResourceManagerSetupTest, InstallKeepsTheFileWhenThisManagerIsConfigured) {
  Fixture f;
  f.image.Write(kConfig, kOurs);
  EXPECT_EQ(f.Apply(SetupStep::kInstall).message,
            std::string("this resource manager is already the configured one in ") + kWhere + "; not changed");
  EXPECT_EQ(f.image.Read(kConfig), kOurs);
}

TEST(ResourceManagerSetupTest, UninstallClearsOnlyThisManagersName) {
  Fixture f;
  f.image.Write(kConfig, kOurs);
  SetupOutcome outcome = f.Apply(SetupStep::kUninstall);
  EXPECT_EQ(outcome.exit_code, 0);
  EXPECT_EQ(outcome.message, std::string("cleared [ResourceManager] Name in ") + kWhere +
                                 " (it named this resource manager)");
  EXPECT_EQ(f.image.Read(kConfig), "[ResourceManager]\r\nName=\r\n");

  f.image.Write(kConfig, kOther);
  EXPECT_EQ(f.Apply(SetupStep::kUninstall).message,
            std::string(kWhere) + " names \"Another Vendor\", not this resource manager; left as it is");
  EXPECT_EQ(f.image.Read(kConfig), kOther);
}

TEST(ResourceManagerSetupTest, UninstallWithoutAFileChangesNothing) {
  Fixture f;
  EXPECT_EQ(f.Apply(SetupStep::kUninstall).message, std::string(kWhere) + " does not exist; nothing to clear");
  EXPECT_FALSE(f.image.Exists(kConfig));
}

TEST(ResourceManagerSetupTest, BinaryDataIsNeverTouched) {
  const std::string junk("[ResourceManager]\r\nName\0= \x01\xFF junk\r\n", 30);
  for (SetupStep step : {SetupStep::kInstall, SetupStep::kInstallActive, SetupStep::kUninstall}) {
    Fixture f;
    f.image.Write(kConfig, junk);
    SetupOutcome outcome = f.Apply(step);
    EXPECT_EQ(outcome.exit_code, 0);
    EXPECT_EQ(outcome.message.rfind(std::string(kWhere) + " holds binary data, not profile text; left as it is", 0), 0u)
        << outcome.message;
    EXPECT_EQ(f.image.Read(kConfig), junk);
  }
}

TEST(ResourceManagerSetupTest, AFolderInThePlaceOfTheFileIsLeftAlone) {
  Fixture f;
  f.image.MakeFolder(kConfig);
  SetupOutcome outcome = f.Apply(SetupStep::kInstall);
  EXPECT_EQ(outcome.exit_code, 0);
  EXPECT_EQ(outcome.message, std::string(kWhere) + " is a folder; left as it is (this resource manager is not configured)");
}

TEST(ResourceManagerSetupTest, EachStepAppendsOneLineToTheSetupLog) {
  Fixture f;
  LocalTime time;
  time.year = 2026, time.month = 3, time.day = 4, time.hour = 5, time.minute = 6, time.second = 7;
  f.native.clock().Pin(time);
  RunSetupStep(f.native.platform(), SetupStep::kInstall);
  RunSetupStep(f.native.platform(), SetupStep::kUninstall);
  const std::string stamp = std::string("[2026-03-04 05:06:07] ztrm-setup ") + ZTRM_VERSION_TEXT;
  EXPECT_EQ(f.image.Read("drive_c/ProgramData/ZELTRO/ZTRM/setup.log"),
            stamp + " install: configured this resource manager in " + kWhere + " (none was configured)\r\n" +
                stamp + " uninstall: cleared [ResourceManager] Name in " + kWhere +
                " (it named this resource manager)\r\n");
}

TEST(ResourceManagerSetupTest, OnlyTheThreeStepWordsAreTaken) {
  SetupStep step = SetupStep::kUninstall;
  EXPECT_TRUE(ParseSetupStep("install", step));
  EXPECT_EQ(step, SetupStep::kInstall);
  EXPECT_TRUE(ParseSetupStep("install-active", step));
  EXPECT_EQ(step, SetupStep::kInstallActive);
  EXPECT_TRUE(ParseSetupStep("uninstall", step));
  EXPECT_EQ(step, SetupStep::kUninstall);
  EXPECT_FALSE(ParseSetupStep("Install", step));
  EXPECT_FALSE(ParseSetupStep("", step));
}

}  // namespace
}  // namespace ztrm
