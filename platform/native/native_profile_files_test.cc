#include "platform/native/native_profile_files.h"

#include <gtest/gtest.h>

#include "platform/native/native_file_system.h"
#include "tests/test_image.h"

namespace ztrm {
namespace {

struct Fixture {
  TestImage image;
  WindowsPathMap paths{image.Path("drive_c")};
  OpenFileTable open_files;
  NativeProfileFiles profiles{paths, open_files};
  NativeFileSystem files{paths, open_files};
};

TEST(NativeProfileFilesTest, BareFileNamesAreInTheWindowsFolder) {
  Fixture f;
  f.image.Write("drive_c/windows/pxisys.ini", "[S]\r\nK=in windows\r\n");
  f.image.Write("drive_c/ini/pxisys.ini", "[S]\r\nK=in ini\r\n");
  ASSERT_TRUE(f.paths.SetCurrentDirectory(u"C:\\ini"));
  EXPECT_EQ(f.profiles.ReadString(u"PXISYS.INI", u"S", u"K", u"-", 260), u"in windows");
  EXPECT_EQ(f.profiles.ReadString(u".\\pxisys.ini", u"S", u"K", u"-", 260), u"in ini");
  EXPECT_EQ(f.profiles.ReadString(u"C:pxisys.ini", u"S", u"K", u"-", 260), u"in ini");
  EXPECT_EQ(f.profiles.ReadString(u"..\\windows\\pxisys.ini", u"S", u"K", u"-", 260),
            u"in windows");
}

TEST(NativeProfileFilesTest, DefaultKeepsItsQuotesOnlyWhenTheFileCannotBeOpened) {
  Fixture f;
  f.image.MakeFolder("drive_c/ini/folder.ini");
  f.image.Write("drive_c/ini/r1.ini", "[S]\r\n");
  // Missing file in an existing folder: read as empty, the default loses its quotes.
  EXPECT_EQ(f.profiles.ReadString(u"C:\\ini\\missing.ini", u"S", u"A", u"\"q\"", 260), u"q");
  EXPECT_EQ(f.profiles.ReadString(u"C:\\ini\\r1.ini", u"S", u"A", u"\"q\"", 260), u"q");
  // Cannot be opened: the default as given, only cut.
  for (const char16_t* file : {u"C:\\nodir\\missing.ini", u"C:\\ini\\folder.ini",
                               u"D:\\ini\\r1.ini", u"C:\\ini\\nul.ini"}) {
    EXPECT_EQ(f.profiles.ReadString(file, u"S", u"A", u"\"q\"  ", 260), u"\"q\"") << ToUtf8(file);
  }
}

TEST(NativeProfileFilesTest,
     FileHeldByAnOutputCannotBeReadOrWrittenButAnInputDoesNotStandInTheWay) {
  Fixture f;
  f.image.Write("drive_c/windows/pxisys.ini", "[S]\r\nK=v\r\n");
  {
    std::unique_ptr<OutputFile> held =
        f.files.OpenOutput(u"C:\\windows\\pxisys.ini", OutputMode::kAppend);
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(f.profiles.ReadString(u"C:\\WINDOWS\\pxisys.ini", u"S", u"K", u"'d'", 260), u"'d'");
    EXPECT_FALSE(f.profiles.WriteString(u"pxisys.ini", u"S", u"K", u"new"));
  }
  {
    std::unique_ptr<InputFile> reading = f.files.OpenInput(u"C:\\windows\\pxisys.ini");
    ASSERT_NE(reading, nullptr);
    // An input shares reading and writing: the profile functions still work.
    EXPECT_EQ(f.profiles.ReadString(u"pxisys.ini", u"S", u"K", u"-", 260), u"v");
    EXPECT_TRUE(f.profiles.WriteString(u"pxisys.ini", u"S", u"K", u"new"));
  }
  EXPECT_EQ(f.image.Read("drive_c/windows/pxisys.ini"), "[S]\r\nK=new\r\n");
  EXPECT_TRUE(f.profiles.WriteString(u"pxisys.ini", u"S", u"K", u"newer"));
  EXPECT_EQ(f.image.Read("drive_c/windows/pxisys.ini"), "[S]\r\nK=newer\r\n");
}

TEST(NativeProfileFilesTest, WritesCreateRewriteOrLeaveTheFile) {
  Fixture f;
  EXPECT_TRUE(f.profiles.WriteString(u"C:\\ProgramData\\New.ini", u"Sec", u"Key", u"Value"));
  EXPECT_EQ(f.image.Read("drive_c/ProgramData/New.ini"), "[Sec]\r\nKey=Value\r\n");
  EXPECT_TRUE(f.profiles.WriteString(u"C:\\programdata\\NEW.INI", u"Other", u"K", u"v"));
  EXPECT_EQ(f.image.Read("drive_c/ProgramData/New.ini"),
            "[Sec]\r\nKey=Value\r\n[Other]\r\nK=v\r\n");

  // Writing what is there already leaves the file's own bytes, LF ends and all.
  f.image.Write("drive_c/ProgramData/lf.ini", "[A]\n K = 1 \n");
  EXPECT_TRUE(f.profiles.WriteString(u"C:\\ProgramData\\lf.ini", u"A", u"K", u"1"));
  EXPECT_EQ(f.image.Read("drive_c/ProgramData/lf.ini"), "[A]\n K = 1 \n");

  EXPECT_FALSE(f.profiles.WriteString(u"C:\\nodir\\x.ini", u"A", u"K", u"1"));
  EXPECT_FALSE(f.image.Exists("drive_c/nodir"));
}

}  // namespace
}  // namespace ztrm
