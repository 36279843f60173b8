#include "platform/native/windows_path.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/platform_test_support.h"
#include "tests/test_image.h"

namespace ztrm {
namespace {

// The same with a change watch and with a stat at each use.
class KeptAnswersTest : public testing::TestWithParam<bool> {};
INSTANTIATE_TEST_SUITE_P(Checks, KeptAnswersTest, testing::Values(false, true), WatchName);

TEST_P(KeptAnswersTest, FollowTheFolderListing) {
  TestImage image;
  image.Write("drive_c/kept/Old.ini", "x");
  WindowsPathMap map(image.Path("drive_c"), GetParam() ? HostChangeWatch::Process() : nullptr);
  if (GetParam()) {
    ASSERT_NE(map.watch(), nullptr);
  }
  const std::string kept = image.Path("drive_c/kept");
  AgeFolder(kept);
  AgeFolder(image.Path("drive_c"));

  // Answered, then kept: a missing name and an existing one.
  EXPECT_EQ(map.HostPath(u"C:/KEPT/new.ini"), kept + "/new.ini");
  EXPECT_EQ(map.HostPath(u"C:/kept/OLD.INI"), kept + "/Old.ini");
  EXPECT_EQ(map.HostPath(u"C:/KEPT/new.ini"), kept + "/new.ini");

  // A file created in the folder: the kept "missing" answer goes.
  image.Write("drive_c/kept/NEW.INI", "y");
  EXPECT_EQ(map.HostPath(u"C:/KEPT/new.ini"), kept + "/NEW.INI");

  // A file renamed away, after the folder aged again: the old answer goes.
  AgeFolder(kept);
  EXPECT_EQ(map.HostPath(u"C:/kept/old.ini"), kept + "/Old.ini");
  std::filesystem::rename(kept + "/Old.ini", kept + "/other.ini");
  EXPECT_EQ(map.HostPath(u"C:/kept/old.ini"), kept + "/old.ini");

  // A file replaced by a folder of the same name: what follows it matches.
  AgeFolder(kept);
  EXPECT_EQ(map.HostPath(u"C:/kept/sub/A.ini"), kept + "/sub/A.ini");
  std::filesystem::create_directory(kept + "/SUB");
  image.Write("drive_c/kept/SUB/a.INI", "z");
  EXPECT_EQ(map.HostPath(u"C:/kept/sub/A.ini"), kept + "/SUB/a.INI");

  // A folder on the way renamed to another spelling, by another process.
  AgeFolder(kept);
  AgeFolder(image.Path("drive_c"));
  EXPECT_EQ(map.HostPath(u"C:/kept/sub/A.ini"), kept + "/SUB/a.INI");
  std::filesystem::rename(kept, image.Path("drive_c/KEPT"));
  EXPECT_EQ(map.HostPath(u"C:/kept/sub/A.ini"), image.Path("drive_c/KEPT/SUB/a.INI"));
}

TEST(WindowsPathTest, NamesThatCannotBeFileNamesDoNotMap) {
  TestImage image;
  WindowsPathMap map(image.Path("drive_c"));
  for (const char16_t* path : {u"C:\\a*b", u"C:\\a?b", u"C:\\a|b", u"C:\\a\"b", u"C:\\a<b",
                               u"C:\\a>b", u"C:\\a:stream", u"C:\\a\tb"}) {
    EXPECT_FALSE(map.HostPath(path).has_value()) << ToUtf8(path);
  }
  // "..." keeps one ".." that is a name of its own, never a way out.
  EXPECT_FALSE(map.HostPath(u"C:\\a\\...\\b").has_value());
}

// GetFullPathNameW's answers under Wine 8.0 for these paths, with the current
// folder at C:\ini (measured).
TEST(WindowsPathTest, FullPathsAreThoseGetFullPathNameGives) {
  struct Row {
    const char16_t* path;
    const char16_t* full;
  };
  const Row rows[] = {
      {u"C:\\windows\\x.ini", u"C:\\windows\\x.ini"},
      {u"c:/a/b/../c.", u"c:\\a\\c"},
      {u"C:\\a\\b.\\c", u"C:\\a\\b\\c"},
      {u"C:\\a\\b..\\c", u"C:\\a\\b.\\c"},
      {u"C:\\a\\b \\c", u"C:\\a\\b \\c"},
      {u"C:\\a\\b. .", u"C:\\a\\b"},
      {u"x.ini", u"C:\\ini\\x.ini"},
      {u"..\\..\\..\\x", u"C:\\x"},
      {u"C:\\a\\...\\b", u"C:\\a\\..\\b"},
      {u"C:\\a\\.hidden.", u"C:\\a\\.hidden"},
      {u"C:", u"C:\\ini\\"},
      {u"C:\\", u"C:\\"},
      {u"\\x", u"C:\\x"},
      {u"C:\\a\\\\\\\\b", u"C:\\a\\b"},
      {u"C:\\a\\b\\", u"C:\\a\\b\\"},
      {u"C:\\a/b\\c d ", u"C:\\a\\b\\c d"},
      {u"C:r1.ini", u"C:\\ini\\r1.ini"},
      {u".\\r1.ini", u"C:\\ini\\r1.ini"},
      {u"C:\\ini\\.\\sub\\..\\r1.ini", u"C:\\ini\\r1.ini"},
      {u"C:\\a\\b\\.", u"C:\\a\\b"},
      {u"C:\\a\\b\\..", u"C:\\a"},
      {u"C:\\.", u"C:\\"},
  };
  for (const Row& row : rows) {
    std::optional<WString> full = FullWindowsPath(row.path, u"C:\\ini");
    ASSERT_TRUE(full.has_value()) << ToUtf8(row.path);
    EXPECT_EQ(*full, WString(row.full)) << ToUtf8(row.path);
  }
}

TEST(WindowsPathTest, PathsOffDriveCDoNotMap) {
  const char16_t* paths[] = {
      u"D:\\ini\\r1.ini", u"D:x",         u"\\\\server\\share\\x", u"\\\\.\\C:\\x",
      u"\\\\?\\C:\\x",    u"C:\\con",     u"C:\\a\\com1.txt",      u"C:\\a\\CON ",
      u"C:\\a\\aux.ini",  u"C:\\nul.ini", u"C:\\a\\lpt9",          u"",
  };
  for (const char16_t* path : paths) {
    EXPECT_FALSE(FullWindowsPath(path, u"C:\\ini").has_value()) << ToUtf8(path);
  }
  EXPECT_FALSE(IsReservedDeviceName(u"com10"));
  EXPECT_FALSE(IsReservedDeviceName(u"console.ini"));
  EXPECT_TRUE(IsReservedDeviceName(u"Prn.txt"));
}

// In every script: Wine 8.0 opened every file of a pair such as "\u0105x" /
// "\u0104x" by the other spelling, for every unit its case table maps, and
// none of the units it does not map (measured for all 1163 pairs).
TEST(WindowsPathTest, ComponentsMatchExistingEntriesWithoutRegardToCase) {
  TestImage image;
  image.Write("drive_c/ZELTRO/PXI/Chassis.ini", "x");
  image.Write("drive_c/\xC4\x85" "a/\xD0\xB6.ini", "x");    // "\u0105a/\u0436.ini"
  image.Write("drive_c/\xE2\x93\x90/\xC4\xB1.ini", "y");  // "\u24D0/\u0131.ini"
  image.Write("drive_c/s/\xC3\x9F", "z");
  WindowsPathMap map(image.Path("drive_c"));
  const std::string c = image.Path("drive_c");

  EXPECT_EQ(map.HostPath(u"C:\\zeltro\\pxi\\CHASSIS.INI"), c + "/ZELTRO/PXI/Chassis.ini");
  EXPECT_EQ(map.HostPath(u"c:/Zeltro/Pxi/chassis.ini"), c + "/ZELTRO/PXI/Chassis.ini");
  // A missing component keeps its spelling, and so does everything after it.
  EXPECT_EQ(map.HostPath(u"C:\\zeltro\\New\\Sub\\File.INI"), c + "/ZELTRO/New/Sub/File.INI");
  EXPECT_EQ(map.HostPath(u"C:\\"), c);
  EXPECT_EQ(map.HostPath(u"C:\\zeltro\\"), c + "/ZELTRO/");
  // Relative to the current folder, which starts in C:\windows\system32.
  EXPECT_EQ(map.CurrentDirectory(), u"C:\\windows\\system32");
  EXPECT_EQ(map.HostPath(u"..\\pxisys.ini"), c + "/windows/pxisys.ini");

  EXPECT_EQ(map.HostPath(u"C:\\\u0104A\\\u0416.INI"), c + "/\xC4\x85" "a/\xD0\xB6.ini");
  EXPECT_EQ(map.HostPath(u"C:\\\u24B6\\\u0131.ini"), c + "/\xE2\x93\x90/\xC4\xB1.ini");
  // Dotless i has no upper case form: "I.ini" is another, missing file.
  EXPECT_EQ(map.HostPath(u"C:\\\u24B6\\I.ini"), c + "/\xE2\x93\x90/I.ini");
  // Sharp s is not "SS", nor its capital U+1E9E.
  EXPECT_EQ(map.HostPath(u"C:\\s\\\u1E9E"), c + "/s/\xE1\xBA\x9E");
}

TEST(WindowsPathTest, CurrentFolderMustExistAndKeepsItsSpelling) {
  TestImage image;
  image.MakeFolder("drive_c/ini");
  image.Write("drive_c/ini/r1.ini", "x");
  WindowsPathMap map(image.Path("drive_c"));
  EXPECT_FALSE(map.SetCurrentDirectory(u"C:\\nothere"));
  EXPECT_FALSE(map.SetCurrentDirectory(u"C:\\ini\\r1.ini"));
  EXPECT_EQ(map.CurrentDirectory(), u"C:\\windows\\system32");
  EXPECT_TRUE(map.SetCurrentDirectory(u"c:\\INI\\"));
  EXPECT_EQ(map.CurrentDirectory(), u"c:\\INI");
  EXPECT_EQ(map.HostPath(u"r1.ini"), image.Path("drive_c/ini/r1.ini"));
  EXPECT_EQ(map.FullPath(u"\\x"), WString(u"c:\\x"));
  EXPECT_TRUE(map.SetCurrentDirectory(u"C:\\"));
  EXPECT_EQ(map.CurrentDirectory(), u"C:\\");
  EXPECT_EQ(map.FullPath(u"x"), WString(u"C:\\x"));
}

}  // namespace
}  // namespace ztrm
