#include "platform/native/native_file_system.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/test_image.h"

namespace ztrm {
namespace {

struct Fixture {
  TestImage image;
  WindowsPathMap paths{image.Path("drive_c")};
  OpenFileTable open_files;
  NativeFileSystem files{paths, open_files};
};

std::string ReadAll(InputFile& file) {
  std::string out;
  char buffer[3];
  while (std::size_t n = file.Read(buffer, sizeof buffer)) out.append(buffer, n);
  return out;
}

// A replacing open writes over the old bytes and cuts the file at the close.
TEST(NativeFileSystemTest, ReplacedFileHoldsExactlyTheNewBytes) {
  struct Case {
    const char* old_bytes;
    std::vector<std::string> writes;
    const char* closed;
  };
  const Case cases[] = {
      {"0123456789\r\n", {"abc"}, "abc"},
      {"ab", {"abc", "def"}, "abcdef"},
      {"old text", {}, ""},
  };
  for (const Case& c : cases) {
    Fixture f;
    f.image.Write("drive_c/windows/pxisys.ini", c.old_bytes);
    std::unique_ptr<OutputFile> out =
        f.files.OpenOutput(u"C:\\windows\\pxisys.ini", OutputMode::kReplace);
    ASSERT_NE(out, nullptr);
    for (const std::string& bytes : c.writes) EXPECT_TRUE(out->Write(bytes.data(), bytes.size()));
    out.reset();
    EXPECT_EQ(f.image.Read("drive_c/windows/pxisys.ini"), c.closed) << c.old_bytes;
  }
}

// A second backend over the same image stands for another process: its
// opens are other opens of the host files, with their own table.
TEST(NativeFileSystemTest, AnotherProcessHoldingAFileKeepsItsSharingRules) {
  Fixture f;
  OpenFileTable other_table;
  NativeFileSystem other{f.paths, other_table};
  f.image.Write("drive_c/windows/pxisys.ini", "old\r\n");
  const char16_t* pxisys = u"C:\\windows\\pxisys.ini";

  // A reader elsewhere: no output open, and the refused "w+" leaves the file whole.
  std::unique_ptr<InputFile> reader = other.OpenInput(pxisys);
  ASSERT_NE(reader, nullptr);
  EXPECT_EQ(f.files.OpenOutput(pxisys, OutputMode::kReplace), nullptr);
  EXPECT_EQ(f.files.OpenOutput(pxisys, OutputMode::kAppend), nullptr);
  EXPECT_EQ(f.image.Read("drive_c/windows/pxisys.ini"), "old\r\n");
  std::unique_ptr<InputFile> second_reader = f.files.OpenInput(pxisys);
  ASSERT_NE(second_reader, nullptr);
  EXPECT_EQ(ReadAll(*second_reader), "old\r\n");
  reader.reset();
  second_reader.reset();

  // A writer elsewhere: nothing else opens it until it lets go.
  std::unique_ptr<OutputFile> writer = other.OpenOutput(pxisys, OutputMode::kAppend);
  ASSERT_NE(writer, nullptr);
  EXPECT_EQ(f.files.OpenInput(pxisys), nullptr);
  EXPECT_EQ(f.files.OpenOutput(pxisys, OutputMode::kAppend), nullptr);
  writer.reset();
  std::unique_ptr<OutputFile> mine = f.files.OpenOutput(pxisys, OutputMode::kReplace);
  ASSERT_NE(mine, nullptr);
  mine.reset();
  EXPECT_EQ(f.image.Read("drive_c/windows/pxisys.ini"), "");
}

// FindFirstFileW/FindNextFileW under Wine 8.0 gave exactly these for folders
// of the same names (measured): sorted, letters of every script folded in the
// order and in the pattern, short names matched too, "." and ".." left out.
// Symbolic links in the image list as what they lead to; one that leads
// nowhere is not listed at all.
TEST(NativeFileSystemTest, ListingsAreThoseWineGives) {
  Fixture f;
  for (const char* name : {"b.ini", "A.ini", "c.INI", "10.ini", "9.ini", "_x.ini", "Zeta.ini", "x.inix", "y.ini.bak",
                           "abc.in", "long name.ini"}) {
    f.image.Write(std::string("drive_c/lst/") + name, "");
  }
  f.image.MakeFolder("drive_c/lst/d.ini");
  for (const char* name : {"\xC4\x85" "a.ini",     // U+0105 a with ogonek
                           "\xC4\x84" "b.ini",     // U+0104 capital A with ogonek
                           "\xD0\xB6" "a.ini",     // U+0436 zhe
                           "\xD0\x96" "b.ini",     // U+0416 capital zhe
                           "\xC4\xB1" "x.ini",     // U+0131 dotless i
                           "\xE2\x93\x90" "a.ini",  // U+24D0 circled a
                           "\xE2\x92\xB7" "b.ini",  // U+24B7 circled capital B
                           "Iy.ini", "iz.ini", "Zeta.ini"}) {
    f.image.Write(std::string("drive_c/names/") + name, "");
  }
  for (const char* name : {"a.ini", "A.ini", "B", "b"}) f.image.Write(std::string("drive_c/l/") + name, "");
  f.image.Write("drive_c/links/real.ini", "");
  f.image.MakeFolder("drive_c/links/sub.ini");
  for (const char* link : {"to_file.ini>real.ini", "to_folder.ini>sub.ini", "dangling.ini>gone.ini"}) {
    const std::string text(link), name = text.substr(0, text.find('>')), target = text.substr(text.find('>') + 1);
    ASSERT_EQ(::symlink(target.c_str(), f.image.Path("drive_c/links/" + name).c_str()), 0);
  }
  const struct {
    const char16_t* folder;
    const char16_t* pattern;
    std::vector<WString> expected;
  } rows[] = {
      {u"C:\\lst", u"*.ini",
       {u"10.ini", u"9.ini", u"A.ini", u"b.ini", u"c.INI", u"d.ini", u"long name.ini", u"x.inix", u"Zeta.ini", u"_x.ini"}},
      {u"c:/LST/", u"?.INI", {u"9.ini", u"A.ini", u"b.ini", u"c.INI", u"d.ini"}},
      {u"C:\\lst", u"*.in", {u"abc.in"}},
      {u"C:\\lst", u"a.*", {u"A.ini"}},
      {u"C:\\nothere", u"*", {}},
      {u"C:\\lst", u"", {}},
      {u"C:\\links", u"*.ini", {u"real.ini", u"sub.ini", u"to_file.ini", u"to_folder.ini"}},
      {u"C:\\names", u"*.ini",
       {u"Iy.ini", u"iz.ini", u"Zeta.ini", u"\u0105a.ini", u"\u0104b.ini", u"\u0131x.ini", u"\u0436a.ini", u"\u0416b.ini",
        u"\u24D0a.ini", u"\u24B7b.ini"}},
      {u"C:\\names", u"\u0104*", {u"\u0105a.ini", u"\u0104b.ini"}},
      {u"C:\\names", u"*\u0416?.INI", {u"\u0436a.ini", u"\u0416b.ini"}},
      {u"C:\\names", u"\u24D0*", {u"\u24D0a.ini"}},
      {u"C:\\names", u"I*", {u"Iy.ini", u"iz.ini"}},
      {u"C:\\names", u"\u0105A.INI", {u"\u0105a.ini"}},
      // Without wildcards: one entry, the exact spelling first.
      {u"C:\\l", u"a.ini", {u"a.ini"}},
      {u"C:\\l", u"A.INI", {u"A.ini"}},
      {u"C:\\l", u"b.", {u"b"}},
      {u"C:\\l", u"b.*", {u"B", u"b"}},
      {u"C:\\l", u"c", {}},
      // The root has no dot entries; "C:" joined with "\*" is "C:\*", the root again.
      {u"C:\\", u"*", {u"l", u"links", u"lst", u"names", u"ProgramData", u"windows"}},
      {u"C:", u"*", {u"l", u"links", u"lst", u"names", u"ProgramData", u"windows"}},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(f.files.ListEntries(row.folder, row.pattern), row.expected)
        << ToUtf8(row.folder) << " " << ToUtf8(row.pattern);
  }
  // FindNextFileW gives "." and ".." first; ListEntries leaves them out.
  std::vector<WString> raw = ListHostFolder(f.image.Path("drive_c/lst"), u"*", false);
  ASSERT_EQ(raw.size(), 14u);
  EXPECT_EQ(raw[0], u".");
  EXPECT_EQ(raw[1], u"..");
  EXPECT_EQ(raw[2], u"10.ini");
  EXPECT_EQ(ListHostFolder(f.image.Path("drive_c/lst"), u"*", true).size(), 12u);
  EXPECT_EQ(f.files.ListEntries(u"C:\\lst", u"*"), std::vector<WString>(raw.begin() + 2, raw.end()));
  EXPECT_EQ(f.files.ListEntries(u"C:\\lst", u"*.").size(), 12u);
}

}  // namespace
}  // namespace ztrm
