#include "platform/native/native_profile_files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include <unistd.h>

#include "platform/native/host_change_watch.h"
#include "platform/native/native_file_system.h"
#include "tests/platform_test_support.h"
#include "tests/shell_run.h"
#include "tests/test_image.h"

namespace ztrm {
namespace {

struct Fixture {
  // `watch`: kept answers checked by the process's change watch rather than
  // by a stat at each use.
  explicit Fixture(bool watch = false) : paths{image.Path("drive_c"), watch ? HostChangeWatch::Process() : nullptr} {}
  TestImage image;
  WindowsPathMap paths;
  OpenFileTable open_files;
  NativeProfileFiles profiles{paths, open_files};
  NativeFileSystem files{paths, open_files};
};

// The cases about kept parses hold the same with and without the watch.
class KeptParseTest : public testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (GetParam()) {
      ASSERT_NE(HostChangeWatch::Process(), nullptr);
    }
  }
};
INSTANTIATE_TEST_SUITE_P(Checks, KeptParseTest, testing::Values(false, true), WatchName);

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

// The parsed file is kept between reads only while the file on disk is the
// same. Each row reads, changes the file between two reads and sets its
// modification time explicitly (no clock is waited on), then reads again.
TEST_P(KeptParseTest, UsedOnlyWhileTheFileIsUnchanged) {
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
    Fixture f(GetParam());
    const std::string file = f.image.Path("drive_c/windows/pxisys.ini");
    f.image.Write("drive_c/windows/pxisys.ini", "[S]\r\nK=old\r\n");
    const auto before = std::filesystem::last_write_time(file) - std::chrono::hours(1);
    std::filesystem::last_write_time(file, before);
    AgeFolder(f.image.Path("drive_c/windows"));
    AgeFolder(f.image.Path("drive_c"));
    ASSERT_EQ(f.profiles.ReadString(u"pxisys.ini", u"S", u"K", u"-", 260), u"old") << row.what;
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

TEST_P(KeptParseTest, FollowWritesAndStaySeparatePerFile) {
  Fixture f(GetParam());
  f.image.Write("drive_c/windows/a.ini", "[S]\r\nK=a\r\n");
  f.image.Write("drive_c/windows/b.ini", "[S]\r\nK=b\r\n");
  AgeFolder(f.image.Path("drive_c/windows"));
  AgeFolder(f.image.Path("drive_c"));
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

// Under the watch, changes made around the reader, not through it.
TEST_P(KeptParseTest, SeesChangesByOthersThroughEveryName) {
  Fixture f(GetParam());
  f.image.Write("drive_c/ZELTRO/PXI/a.ini", "[S]\r\nK=old\r\n");
  for (const char* folder : {"drive_c/ZELTRO/PXI", "drive_c/ZELTRO", "drive_c"}) {
    AgeFolder(f.image.Path(folder));
  }
  const std::string file = f.image.Path("drive_c/ZELTRO/PXI/a.ini");
  auto read = [&] { return f.profiles.ReadString(u"C:\\zeltro\\pxi\\A.INI", u"S", u"K", u"-", 260); };
  ASSERT_EQ(read(), u"old");
  ASSERT_EQ(read(), u"old");

  // Another process rewrites it; the read after that process ended sees it.
  ASSERT_EQ(RunShell("printf '[S]\\r\\nK=shell\\r\\n' > '" + file + "'").exit_code, 0);
  EXPECT_EQ(read(), u"shell");

  // A second name in a folder nobody reads, and a change made through it.
  f.image.MakeFolder("elsewhere");
  const std::string other = f.image.Path("elsewhere/b.ini");
  ASSERT_EQ(::link(file.c_str(), other.c_str()), 0);
  EXPECT_EQ(read(), u"shell");
  ASSERT_EQ(RunShell("printf '[S]\\r\\nK=linked\\r\\n' > '" + other + "'").exit_code, 0);
  EXPECT_EQ(read(), u"linked");

  // A folder on the way renamed (another spelling), then a new folder made
  // under the old name: the path follows each.
  std::filesystem::rename(f.image.Path("drive_c/ZELTRO"), f.image.Path("drive_c/zeltro"));
  EXPECT_EQ(read(), u"linked");
  f.image.Write("drive_c/ZELTRO/PXI/A.ini", "[S]\r\nK=exact\r\n");
  EXPECT_EQ(f.profiles.ReadString(u"C:\\ZELTRO\\PXI\\A.ini", u"S", u"K", u"-", 260), u"exact");
  std::filesystem::remove_all(f.image.Path("drive_c/zeltro"));
  EXPECT_EQ(read(), u"exact");
  std::filesystem::remove_all(f.image.Path("drive_c/ZELTRO"));
  EXPECT_EQ(read(), u"-");
  f.image.Write("drive_c/Zeltro/pxi/a.ini", "[S]\r\nK=again\r\n");
  EXPECT_EQ(read(), u"again");
}

TEST(HostChangeWatchTest, CountMovesOnlyWithAChange) {
  HostChangeWatch* watch = HostChangeWatch::Process();
  ASSERT_NE(watch, nullptr);
  TestImage image;
  image.Write("drive_c/w/a.ini", "[S]\r\nK=1\r\n");
  const std::size_t before = watch->Watched();
  ASSERT_TRUE(watch->Watch(image.Path("drive_c/w")));
  ASSERT_TRUE(watch->Watch(image.Path("drive_c/w")));
  EXPECT_EQ(watch->Watched(), before + 1);
  EXPECT_FALSE(watch->Watch(image.Path("drive_c/w/a.ini")));  // not a folder
  EXPECT_FALSE(watch->Watch(image.Path("drive_c/missing")));

  std::uint64_t count = watch->Count();
  image.Read("drive_c/w/a.ini");  // reading is not a change
  EXPECT_EQ(watch->Count(), count);
  image.Write("drive_c/other/a.ini", "x");  // nor is a change elsewhere
  EXPECT_EQ(watch->Count(), count);
  // A folder's watch is for its names: a file's new contents count only
  // once the file itself is watched.
  image.Write("drive_c/w/a.ini", "y");
  EXPECT_EQ(watch->Count(), count);
  EXPECT_FALSE(watch->Watches(image.Path("drive_c/w/a.ini")));
  ASSERT_TRUE(watch->WatchFile(image.Path("drive_c/w/a.ini")));
  EXPECT_TRUE(watch->Watches(image.Path("drive_c/w/a.ini")));
  EXPECT_TRUE(watch->Watches(image.Path("drive_c/w")));
  image.Write("drive_c/w/a.ini", "yy");
  EXPECT_NE(watch->Count(), count);
  count = watch->Count();
  image.Write("drive_c/w/new.ini", "");  // a new name
  EXPECT_NE(watch->Count(), count);
  count = watch->Count();
  watch->NoteChange();
  EXPECT_NE(watch->Count(), count);

  // A folder that goes is no longer watched (nor its file); one made in its
  // place can be.
  std::filesystem::remove_all(image.Path("drive_c/w"));
  EXPECT_EQ(watch->Watched(), before);
  image.MakeFolder("drive_c/w");
  EXPECT_TRUE(watch->Watch(image.Path("drive_c/w")));
  EXPECT_EQ(watch->Watched(), before + 1);
  count = watch->Count();
  image.Write("drive_c/w/b.ini", "z");
  EXPECT_NE(watch->Count(), count);
  // Moved away: its old path is free again.
  std::filesystem::rename(image.Path("drive_c/w"), image.Path("drive_c/v"));
  EXPECT_EQ(watch->Watched(), before);
}

}  // namespace
}  // namespace ztrm
