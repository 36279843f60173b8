#include "platform/native/native_profile_files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

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

// The parsed file is kept between reads only while the file on disk is the
// same. Each row reads, changes the file between two reads and sets its
// modification time explicitly (no clock is waited on), then reads again.
TEST(NativeProfileFilesTest, KeptParseIsUsedOnlyWhileTheFileIsUnchanged) {
  enum class Time { kSame, kNew };
  struct Row {
    const char* what;
    const char* after;  // nullptr: the file is removed
    Time time;
    bool replace;       // a new file in its place rather than a rewrite
    const char16_t* expected;
  };
  const Row rows[] = {
      {"same size, new time", "[S]\r\nK=new\r\n", Time::kNew, false, u"new"},
      {"same time, new size", "[S]\r\nK=newer\r\n", Time::kSame, false, u"newer"},
      {"same time, shorter", "[S]\r\nK=n\r\n", Time::kSame, false, u"n"},
      {"new size and time", "[T]\r\nK=x\r\n[S]\r\nK=moved\r\n", Time::kNew, false, u"moved"},
      {"another file of the same size and time", "[S]\r\nK=rep\r\n", Time::kSame, true, u"rep"},
      {"removed", nullptr, Time::kSame, false, u"-"},
  };
  for (const Row& row : rows) {
    Fixture f;
    const std::string file = f.image.Path("drive_c/windows/pxisys.ini");
    f.image.Write("drive_c/windows/pxisys.ini", "[S]\r\nK=old\r\n");
    const auto before = std::filesystem::last_write_time(file) - std::chrono::hours(1);
    std::filesystem::last_write_time(file, before);
    ASSERT_EQ(f.profiles.ReadString(u"pxisys.ini", u"S", u"K", u"-", 260), u"old") << row.what;

    if (row.after == nullptr) {
      std::filesystem::remove(file);
    } else if (row.replace) {
      f.image.Write("drive_c/windows/pxisys.new", row.after);
      std::filesystem::rename(f.image.Path("drive_c/windows/pxisys.new"), file);
    } else {
      f.image.Write("drive_c/windows/pxisys.ini", row.after);
    }
    if (row.after != nullptr) {
      std::filesystem::last_write_time(
          file, row.time == Time::kSame ? before : before + std::chrono::seconds(1));
    }
    EXPECT_EQ(f.profiles.ReadString(u"pxisys.ini", u"S", u"K", u"-", 260), row.expected)
        << row.what;
  }
}

TEST(NativeProfileFilesTest, KeptParsesFollowWritesAndStaySeparatePerFile) {
  Fixture f;
  f.image.Write("drive_c/windows/a.ini", "[S]\r\nK=a\r\n");
  f.image.Write("drive_c/windows/b.ini", "[S]\r\nK=b\r\n");
  EXPECT_EQ(f.profiles.ReadString(u"a.ini", u"S", u"K", u"-", 260), u"a");
  EXPECT_EQ(f.profiles.ReadString(u"b.ini", u"S", u"K", u"-", 260), u"b");
  // A write of the same length through the writer is seen at once.
  ASSERT_TRUE(f.profiles.WriteString(u"a.ini", u"S", u"K", u"c"));
  EXPECT_EQ(f.profiles.ReadString(u"a.ini", u"S", u"K", u"-", 260), u"c");
  EXPECT_EQ(f.profiles.ReadString(u"A.INI", u"S", u"K", u"-", 260), u"c");
  EXPECT_EQ(f.profiles.ReadString(u"b.ini", u"S", u"K", u"-", 260), u"b");
  // A second write starts from the written file, not from an older parse.
  ASSERT_TRUE(f.profiles.WriteString(u"a.ini", u"S", u"L", u"d"));
  EXPECT_EQ(f.image.Read("drive_c/windows/a.ini"), "[S]\r\nK=c\r\nL=d\r\n");
  // What is kept after a write is the written file as a read finds it: the
  // trailing blanks written after a value are not part of it when read.
  ASSERT_TRUE(f.profiles.WriteString(u"a.ini", u"S", u"M", u"  e  "));
  EXPECT_EQ(f.image.Read("drive_c/windows/a.ini"), "[S]\r\nK=c\r\nL=d\r\nM=e  \r\n");
  EXPECT_EQ(f.profiles.ReadString(u"a.ini", u"S", u"M", u"-", 260), u"e");
  // And a file that did not exist is read back as written.
  ASSERT_TRUE(f.profiles.WriteString(u"new.ini", u"T", u"K", u"v"));
  EXPECT_EQ(f.profiles.ReadString(u"new.ini", u"T", u"K", u"-", 260), u"v");
  // More files than are kept: each still answers for itself.
  for (int i = 0; i < 20; ++i) {
    std::string name = "f" + std::to_string(i) + ".ini";
    f.image.Write("drive_c/windows/" + name, "[S]\r\nK=" + std::to_string(i) + "\r\n");
  }
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < 20; ++i) {
      WString name = FromUtf8("f" + std::to_string(i) + ".ini");
      EXPECT_EQ(f.profiles.ReadString(name, u"S", u"K", u"-", 260), FromUtf8(std::to_string(i)));
    }
  }
  // A kept parse does not let a file held by an output be read.
  std::unique_ptr<OutputFile> held = f.files.OpenOutput(u"C:\\windows\\b.ini", OutputMode::kAppend);
  ASSERT_NE(held, nullptr);
  EXPECT_EQ(f.profiles.ReadString(u"b.ini", u"S", u"K", u"-", 260), u"-");
}

}  // namespace
}  // namespace ztrm
