#include "setup/resource_manager_setup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

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

constexpr char kFolder[] = "(a folder)";
const std::string kBinary("[ResourceManager]\r\nName\0= \x01\xFF junk\r\n", 30);

struct Fixture {
  TestImage image;
  NativePlatform native{image.root()};
};

// Each step on each kind of configuration file: its one-line message, and
// the file after it.
TEST(ResourceManagerSetupTest, EachStepChangesOnlyWhatItShould) {
  const std::string where = kWhere;
  const struct {
    std::optional<std::string> before;  // nullopt: no file
    SetupStep step;
    std::string message;
    std::optional<std::string> after;  // nullopt: no file
  } rows[] = {
      {std::nullopt, SetupStep::kInstall, "configured this resource manager in " + where + " (none was configured)",
       kWritten},
      {"[ResourceManager]\r\nName = \"\"\r\n[Other]\r\nKey=1\r\n", SetupStep::kInstall,
       "configured this resource manager in " + where + " (none was configured)",
       "[ResourceManager]\r\nName=ZELTRO Technology\r\n[Other]\r\nKey=1\r\n"},
      {kOther, SetupStep::kInstall,
       "another resource manager is configured in " + where + " (\"Another Vendor\"); left as it is: to switch, set "
       "[ResourceManager] Name = \"ZELTRO Technology\" there or install with SETACTIVE=1",
       kOther},
      {kOther, SetupStep::kInstallActive,
       "configured this resource manager in " + where + " in place of \"Another Vendor\" (SETACTIVE=1)", kWritten},
      {kOurs, SetupStep::kInstall, "this resource manager is already the configured one in " + where + "; not changed",
       kOurs},
      {kOurs, SetupStep::kUninstall, "cleared [ResourceManager] Name in " + where + " (it named this resource manager)",
       "[ResourceManager]\r\nName=\r\n"},
      {kOther, SetupStep::kUninstall, where + " names \"Another Vendor\", not this resource manager; left as it is",
       kOther},
      {std::nullopt, SetupStep::kUninstall, where + " does not exist; nothing to clear", std::nullopt},
      {kFolder, SetupStep::kInstall,
       where + " is a folder; left as it is (this resource manager is not configured)", kFolder},
      {kBinary, SetupStep::kInstallActive,
       where + " holds binary data, not profile text; left as it is (this resource manager is not configured; "
               "replace the file by hand)",
       kBinary},
      {kBinary, SetupStep::kUninstall, where + " holds binary data, not profile text; left as it is", kBinary},
  };
  for (const auto& row : rows) {
    Fixture f;
    if (row.before == kFolder) f.image.MakeFolder(kConfig);
    else if (row.before) f.image.Write(kConfig, *row.before);
    SetupOutcome outcome = ApplySetupStep(f.native.platform(), row.step);
    EXPECT_EQ(outcome.exit_code, 0) << row.message;
    EXPECT_EQ(outcome.message, row.message);
    if (row.after == kFolder) EXPECT_TRUE(std::filesystem::is_directory(f.image.Path(kConfig)));
    else if (row.after) EXPECT_EQ(f.image.Read(kConfig), *row.after) << row.message;
    else EXPECT_FALSE(f.image.Exists(kConfig));
  }
}

TEST(ResourceManagerSetupTest, EachStepAppendsOneLineToTheSetupLog) {
  Fixture f;
  f.native.clock().Pin({2026, 3, 4, 5, 6, 7, 0});
  RunSetupStep(f.native.platform(), SetupStep::kInstall);
  RunSetupStep(f.native.platform(), SetupStep::kUninstall);
  const std::string stamp = std::string("[2026-03-04 05:06:07] ztrm-setup ") + ZTRM_VERSION_TEXT;
  EXPECT_EQ(f.image.Read("drive_c/ProgramData/ZELTRO/ZTRM/setup.log"),
            stamp + " install: configured this resource manager in " + kWhere + " (none was configured)\r\n" +
                stamp + " uninstall: cleared [ResourceManager] Name in " + kWhere +
                " (it named this resource manager)\r\n");
}

}  // namespace
}  // namespace ztrm
