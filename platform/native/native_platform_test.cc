#include "platform/native/native_platform.h"

#include <gtest/gtest.h>

#include "tests/test_image.h"
#include "version_config.h"

namespace ztrm {
namespace {

TEST(NativePlatformTest, ShellGivesPrefixFoldersAndRecordsLaunches) {
  TestImage image;
  NativePlatform native(image.root());
  Shell& shell = native.platform().shell;
  EXPECT_EQ(shell.GetSpecialFolder(SpecialFolder::kWindows), WString(u"C:\\windows"));
  EXPECT_EQ(shell.GetSpecialFolder(SpecialFolder::kCommonAppData), WString(u"C:\\ProgramData"));
  shell.LaunchHidden(u"companion.exe", u"-a \"x\"", u"C:\\ZELTRO\\PXI");
  shell.LaunchHidden(u"caf\u00E9.exe", u"", u"");
  EXPECT_EQ(image.Read("launches.log"),
            "companion.exe|-a \"x\"|C:\\ZELTRO\\PXI\ncaf\xC3\xA9.exe||\n");
}

TEST(NativePlatformTest, VersionComesFromTheProjectVersion) {
  TestImage image;
  NativePlatform native(image.root());
  std::optional<FileVersion> version = native.platform().version.OwnFileVersion();
  ASSERT_TRUE(version.has_value());
  EXPECT_EQ(version->ms, (std::uint32_t{ZTRM_VERSION_MAJOR} << 16) | ZTRM_VERSION_MINOR);
  EXPECT_EQ(version->ls, (std::uint32_t{ZTRM_VERSION_PATCH} << 16) | ZTRM_VERSION_TWEAK);
}

TEST(NativePlatformTest, HostIdentityReadsTheBiosValues) {
  TestImage image;
  NativePlatform native(image.root());
  std::optional<std::vector<ComputerSystemInfo>> systems =
      native.platform().host.QueryComputerSystems();
  ASSERT_TRUE(systems.has_value());
  ASSERT_EQ(systems->size(), 1u);
  EXPECT_FALSE((*systems)[0].manufacturer.has_value());
  EXPECT_FALSE((*systems)[0].model.has_value());

  image.WriteRegistry(
      "[HKEY_LOCAL_MACHINE\\HARDWARE\\DESCRIPTION\\System\\BIOS]\r\n"
      "\"SystemManufacturer\"=\"ZELTRO\"\r\n"
      "\"SystemProductName\"=dword:00000001\r\n");
  native.ReloadRegistry();
  systems = native.platform().host.QueryComputerSystems();
  ASSERT_TRUE(systems.has_value());
  ASSERT_EQ(systems->size(), 1u);
  EXPECT_EQ((*systems)[0].manufacturer, WString(u"ZELTRO"));
  EXPECT_FALSE((*systems)[0].model.has_value());  // not a string
}

TEST(NativePlatformTest, PiecesAreWiredToOneImage) {
  TestImage image;
  image.WriteRegistry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA]\r\n");
  image.Write("drive_c/ProgramData/PXISA/configuration.ini", "[Manager]\r\nName=ZELTRO\r\n");
  NativePlatform native(image.root());
  Platform& p = native.platform();
  EXPECT_NE(p.registry.OpenLocalMachineKey(u"SOFTWARE\\pxisa"), nullptr);
  EXPECT_EQ(p.profiles.ReadString(u"C:\\ProgramData\\PXISA\\configuration.ini", u"manager", u"name",
                                  u"", 260),
            u"ZELTRO");
  EXPECT_EQ(native.HostPath(u"c:\\programdata\\pxisa\\CONFIGURATION.INI"),
            image.Path("drive_c/ProgramData/PXISA/configuration.ini"));
  EXPECT_EQ(native.HostPath(u"D:\\x"), "");
  // A file held by the file system is refused to the profile functions too.
  std::unique_ptr<OutputFile> held =
      p.files.OpenOutput(u"C:\\ProgramData\\PXISA\\configuration.ini", OutputMode::kAppend);
  ASSERT_NE(held, nullptr);
  EXPECT_FALSE(
      p.profiles.WriteString(u"C:\\ProgramData\\PXISA\\configuration.ini", u"M", u"K", u"v"));
  EXPECT_EQ(&p.clock, static_cast<Clock*>(&native.clock()));
  EXPECT_EQ(&p.files, static_cast<FileSystem*>(&native.files()));
  EXPECT_EQ(p.libraries.Load(u"C:\\windows\\system32\\vendor.dll"), nullptr);
  EXPECT_EQ(p.driver.Open(), 0u);
}

TEST(NativePlatformTest, CodePageIsWindows1252AndConsoleWritesBytes) {
  TestImage image;
  NativePlatform native(image.root());
  EXPECT_EQ(native.platform().code_page.ToUserDefault(u"caf\u00E9 \u20AC \u0416"),
            "caf\xE9 \x80 ?");
  EXPECT_EQ(native.platform().code_page.FromUserDefault("\x80\x81"), u"\u20AC\u0081");
  testing::internal::CaptureStdout();
  native.platform().console.Write(std::string("a\nb\r\n\0z", 7));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string("a\nb\r\n\0z", 7));
}

}  // namespace
}  // namespace ztrm
