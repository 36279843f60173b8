#include "platform/native/profile_text.h"

#include <gtest/gtest.h>

#include "tests/platform_test_support.h"

namespace ztrm {
namespace {

// One row per reading rule of profile_text.h; the answers are what
// GetPrivateProfileStringW gave under Wine 8.0 for the same file and call.
struct ReadRow {
  const char* rule;
  std::string file;  // kUnopenable: the file could not be opened
  const char16_t* section;
  const char16_t* key;
  const char16_t* default_value;
  std::size_t units;
  const char16_t* expect;
};

const std::string kUnopenable = "<cannot be opened>";

TEST(ProfileTextTest, ReadingRules) {
  const ReadRow rows[] = {
      {"E1", "\xEF\xBB\xBF[S]\r\nA=\xC3\xA9\xD0\x96\r\n", u"S", u"A", u"-", 100, u"\u00E9\u0416"},
      {"E2", Utf16File(u"[S]\r\nA=\u00E9\u0416\r\nB = ' x '\r\n"), u"S", u"B", u"-", 100, u" x "},
      {"E2", Utf16File(u"[S]\r\nA=be\r\n", true), u"S", u"A", u"-", 100, u"be"},
      {"E2", Utf16File(u"[S]\r\nA=odd\r\n") + "Z", u"S", u"A", u"-", 100, u"odd"},
      {"E3", "[S]\r\nA=caf\xE9 \x80\x81\x8D\r\n", u"S", u"A", u"-", 100,
       u"caf\u00E9 \u20AC\u0081\u008D"},
      {"E3", "[S]\r\nA=\xC3\xA9\r\n", u"S", u"A", u"-", 100, u"\u00C3\u00A9"},
      {"E4", "", u"", u"", u"d", 100, u"d"},
      {"L1", "[S]\rA=1\rB=2\r\r[T]\rC=3", u"T", u"C", u"-", 100, u"3"},
      {"L1", "[S]\nA=1\nB=2\n\n[T]\nC=3", u"S", u"B", u"-", 100, u"2"},
      {"L2", "[S]\r\nA=\t\x0B\x0C\x1A v \x1A\t\r\n", u"S", u"A", u"-", 100, u"v"},
      {"L2", "[S]\r\nA=\xA0nbsp\xA0\r\n", u"S", u"A", u"-", 100, u"\u00A0nbsp\u00A0"},
      {"L2", "\xEF\xBB\xBF[S]\r\nA=\xE3\x80\x80x\r\n", u"S", u"A", u"-", 100, u"\u3000x"},
      {"L3", "  [S]  \r\n   \r\n  A = 1  \r\n", u"S", u"A", u"-", 100, u"1"},
      {"L4", std::string("[S]\r\nA=x\0y\r\nB=2\r\n", 17), u"S", u"A", u"-", 100, u"x"},
      {"L4", std::string("[S]\r\nA=x\0y\r\nB=2\r\n", 17), u"S", u"B", u"-", 100, u"2"},
      {"S1", "[ Spaced ]\r\nS=1\r\n", u"Spaced", u"S", u"-", 100, u"1"},
      {"S1", "[a]b]\r\nY=1\r\n", u"a]b", u"Y", u"-", 100, u"1"},
      {"S1", "[Trail] junk\r\nT=1\r\n", u"Trail", u"T", u"-", 100, u"1"},
      {"S1", "[Sec]]x\r\nX=1\r\n", u"Sec]", u"X", u"-", 100, u"1"},
      {"S2", "[S]\r\nA=1\r\n[NoClose\r\nN=1\r\n", u"S", u"N", u"-", 100, u"1"},
      {"S2", "[S]\r\nA=1\r\n[NoClose\r\nN=1\r\n", u"NoClose", u"N", u"-", 100, u"-"},
      {"S3", "top=before\r\n[S]\r\nA=1\r\n", u"", u"top", u"-", 100, u"before"},
      {"S3", "top=before\r\n[S]\r\nA=1\r\n", u" ", u"top", u"-", 100, u"before"},
      {"S3", "top=before\r\n[S]\r\nA=1\r\n", u"S", u"top", u"-", 100, u"-"},
      {"K1", "[S]\r\nK5=a=b=c\r\nK6 = x = y \r\n", u"S", u"K5", u"-", 100, u"a=b=c"},
      {"K1", "[S]\r\nK5=a=b=c\r\nK6 = x = y \r\n", u"S", u"K6", u"-", 100, u"x = y"},
      {"K1", "[S]\r\nK22 K22=inner\r\n", u"S", u"K22 K22", u"-", 100, u"inner"},
      {"K1", "[S]\r\nK6=\r\n", u"S", u"K6", u"-", 100, u""},
      {"K2", "[S]\r\nK7\r\n", u"S", u"K7", u"dflt", 100, u"dflt"},
      {"K3", "[S]\r\n;K14=commented\r\n", u"S", u";K14", u"-", 100, u"commented"},
      {"K3", "[S]\r\n;K14=commented\r\n", u"S", u"K14", u"-", 100, u"-"},
      {"K3", "[S]\r\nK15=value ; trailing comment\r\n", u"S", u"K15", u"-", 100,
       u"value ; trailing comment"},
      {"K4", "=emptyname\r\n[S]\r\n", u"", u"", u"-", 100, u"emptyname"},
      {"K5", "[S]\r\n\"K9\"=quoted key\r\n", u"S", u"\"K9\"", u"-", 100, u"quoted key"},
      {"K5", "[S]\r\n\"K9\"=quoted key\r\n", u"S", u"K9", u"-", 100, u"-"},
      {"F1", "[Main]\r\nK1=plain value\r\n", u" MAIN ", u" k1 ", u"-", 100, u"plain value"},
      // Only the ASCII letters fold.
      {"F1", "[\xC9]\r\nK=upper\r\n", u"\u00C9", u"k", u"-", 100, u"upper"},
      {"F1", "[\xC9]\r\nK=upper\r\n", u"\u00E9", u"K", u"-", 100, u"-"},
      {"F1", "[S]\r\n\xE9=lower\r\n", u"s", u"\u00C9", u"-", 100, u"-"},
      {"F1", "[\xFF]\r\nK=y\r\n", u"\u0178", u"K", u"-", 100, u"-"},
      {"F1", Utf16File(u"[\u0104]\r\n\u0436=zhe\r\n"), u"\u0105", u"\u0436", u"-", 100, u"-"},
      {"F1", Utf16File(u"[\u0104]\r\n\u0436=zhe\r\n"), u"\u0104", u"\u0416", u"-", 100, u"-"},
      {"F1", Utf16File(u"[\u0104]\r\n\u0436=zhe\r\n"), u"\u0104", u"\u0436", u"-", 100, u"zhe"},
      {"F2", "[Main]\r\nK1=first\r\n[Main]\r\nK1=second\r\nK20=only in second\r\n", u"Main", u"K20",
       u"-", 100, u"-"},
      {"F2", "[]\r\nE=empty section\r\n", u"", u"E", u"-", 100, u"-"},
      {"F3", "[Main]\r\nK1=first\r\nk1=duplicate\r\n", u"Main", u"K1", u"-", 100, u"first"},
      {"V1", "[S]\r\nK2=\" v \"\r\n", u"S", u"K2", u"-", 100, u" v "},
      {"V1", "[S]\r\nK3='single'\r\n", u"S", u"K3", u"-", 100, u"single"},
      {"V1", "[S]\r\nK4=\"unmatched\r\n", u"S", u"K4", u"-", 100, u"\"unmatched"},
      {"V1", "[S]\r\nK10 = \"a\" b \"c\"\r\n", u"S", u"K10", u"-", 100, u"a\" b \"c"},
      {"V1", "[S]\r\nK11 = \"\"\r\n", u"S", u"K11", u"-", 100, u""},
      {"V1", "[S]\r\nK12 = \"\r\n", u"S", u"K12", u"-", 100, u"\""},
      {"V1", "[S]\r\nK13 = 'x\"\r\n", u"S", u"K13", u"-", 100, u"'x\""},
      {"V2", "[S]\r\nK=abcdef\r\n", u"S", u"K", u"-", 4, u"abc"},
      {"V2", "[S]\r\nK23=\"quoted\"\r\n", u"S", u"K23", u"-", 8, u"quoted"},
      {"V2", "[S]\r\nK23=\"quoted\"\r\n", u"S", u"K23", u"-", 7, u"quote"},
      {"V2", "[S]\r\nK23=\"quoted\"\r\n", u"S", u"K23", u"-", 6, u"quote"},
      {"V2", "[S]\r\nK2=\" v \"\r\n", u"S", u"K2", u"-", 4, u" v"},
      {"V2", "[S]\r\nK2=\" v \"\r\n", u"S", u"K2", u"-", 5, u" v "},
      {"V2", "[S]\r\nK2=\" v \"\r\n", u"S", u"K2", u"-", 1, u""},
      {"V3", "[S]\r\nK=abc\r\n", u"S", u"K", u"-", 0, u""},
      {"D1", "[S]\r\n", u"S", u"nokey", u"trail  ", 100, u"trail"},
      {"D1", "[S]\r\n", u"S", u"nokey", u"  ", 100, u" "},
      {"D1", "[S]\r\n", u"S", u"nokey", u" lead", 100, u" lead"},
      {"D1", "[S]\r\n", u"S", u"nokey", u"x  y  ", 100, u"x  y"},
      {"D2", "[S]\r\n", u"S", u"nokey", u"\"q\"", 100, u"q"},
      {"D2", "[S]\r\n", u"S", u"nokey", u"'ab'", 3, u"a"},
      {"D2", "[S]\r\n", u"S", u"nokey", u"abcdef", 3, u"ab"},
      {"D3", kUnopenable, u"S", u"A", u"\"q\"", 100, u"\"q\""},
      {"D3", kUnopenable, u"S", u"A", u"trail  ", 100, u"trail"},
      {"D3", kUnopenable, u"S", u"A", u"abcdef", 3, u"ab"},
  };
  for (const ReadRow& row : rows) {
    std::optional<ProfileDocument> document;
    if (row.file != kUnopenable) document = ParseProfile(row.file);
    EXPECT_EQ(ReadProfileString(document ? &*document : nullptr, row.section, row.key,
                                row.default_value, row.units),
              WString(row.expect))
        << row.rule << ": [" << ToUtf8(row.section) << "] " << ToUtf8(row.key) << " in "
        << row.file;
  }
}

// The bytes the writes leave, as WritePrivateProfileStringW left them under
// Wine 8.0 for the same starting file.
struct WriteRow {
  const char* what;
  std::string before;  // kMissing: no file yet
  const char16_t* section;
  const char16_t* key;
  const char16_t* value;
  std::string after;  // kUnchanged: nothing to write
};

const std::string kMissing = "<missing>";
const std::string kUnchanged = "<unchanged>";
const std::string kBase =
    "top=1\r\n\r\n; comment\r\n[A]\r\nK1 = old  "
    "\r\nK2=keep\r\n\r\n\r\n[B]\r\nX=1\r\n[A]\r\nK9=dup\r\n  \r\n";
const std::string kBaseWritten = "top=1\r\n; comment\r\n[A]\r\nK1=old\r\nK2=keep\r\n";
const std::string kBaseTail = "[B]\r\nX=1\r\n[A]\r\nK9=dup\r\n";

TEST(ProfileTextTest, WritingRules) {
  const WriteRow rows[] = {
      {"new file", kMissing, u"Sec", u"Key", u"Value", "[Sec]\r\nKey=Value\r\n"},
      {"new file, empty value", kMissing, u"A", u"K", u"", "[A]\r\nK=\r\n"},
      {"new file, section \"\"", kMissing, u"", u"K", u"v", "K=v\r\n"},
      {"replace a value", kBase, u"A", u"K1", u"new",
       "top=1\r\n; comment\r\n[A]\r\nK1=new\r\nK2=keep\r\n" + kBaseTail},
      {"key of another case", kBase, u"a", u"k1", u"x",
       "top=1\r\n; comment\r\n[A]\r\nK1=x\r\nK2=keep\r\n" + kBaseTail},
      {"add a key to its section", kBase, u"a", u"K3", u"three",
       kBaseWritten + "K3=three\r\n" + kBaseTail},
      {"add to the first of two sections", kBase, u"A", u"K9", u"x",
       kBaseWritten + "K9=x\r\n" + kBaseTail},
      {"add a section", kBase, u"C", u"K", u"v", kBaseWritten + kBaseTail + "[C]\r\nK=v\r\n"},
      {"leading blanks of names and value", kBase, u" New Sec ", u"  new key  ", u"  v ",
       kBaseWritten + kBaseTail + "[New Sec ]\r\nnew key  =v \r\n"},
      {"quotes are written as given", kBase, u"A", u"K2", u"\"quoted\"",
       "top=1\r\n; comment\r\n[A]\r\nK1=old\r\nK2=\"quoted\"\r\n" + kBaseTail},
      {"same value", kBase, u"A", u"K2", u"keep", kUnchanged},
      {"same value after its leading blanks", kBase, u"A", u"K2", u"  keep", kUnchanged},
      {"LF file", "[A]\nK=1\n", u"A", u"K", u"2", "[A]\r\nK=2\r\n"},
      {"LF file, same value", "[A]\nK=1\n", u"A", u"K", u"1", kUnchanged},
      {"no last line end", "[A]\r\nK=1", u"A", u"J", u"2", "[A]\r\nK=1\r\nJ=2\r\n"},
      {"empty file", "", u"A", u"K", u"1", "[A]\r\nK=1\r\n"},
      {"blank lines only", "\r\n\r\n", u"A", u"K", u"1", "[A]\r\nK=1\r\n"},
      {"lines without '=', broken header, empty names", "[A]\r\nNOEQ\r\n[NoClose\r\n=v\r\n=w\r\n",
       u"A", u"J", u"1", "[A]\r\nNOEQ\r\n[NoClose\r\n=v\r\nJ=1\r\n"},
      {"ANSI", "[A]\r\nK=caf\xE9\r\n", u"A", u"K", u"\u0416\u00E9", "[A]\r\nK=?\xE9\r\n"},
      {"ANSI, undefined bytes", kMissing, u"A", u"K", u"\u20AC\u0081", "[A]\r\nK=\x80\x81\r\n"},
      {"UTF-8 with mark", "\xEF\xBB\xBF[A]\r\nK=1\r\n", u"A", u"K", u"\u0416",
       "\xEF\xBB\xBF[A]\r\nK=\xD0\x96\r\n"},
      {"UTF-8 mark only", "\xEF\xBB\xBF", u"A", u"K", u"\u0416",
       "\xEF\xBB\xBF[A]\r\nK=\xD0\x96\r\n"},
      {"UTF-16LE", Utf16File(u"[A]\r\nK=1\r\n"), u"A", u"K", u"\u0416", Utf16File(u"[A]\r\nK=\u0416\r\n")},
      {"UTF-16BE", Utf16File(u"[A]\r\nK=1\r\n", true), u"A", u"K", u"\u0416",
       Utf16File(u"[A]\r\nK=\u0416\r\n", true)},
  };
  for (const WriteRow& row : rows) {
    ProfileDocument document =
        row.before == kMissing ? ProfileDocument() : ParseProfile(row.before);
    bool changed = SetProfileString(document, row.section, row.key, row.value);
    if (row.after == kUnchanged) {
      EXPECT_FALSE(changed) << row.what;
    } else {
      EXPECT_TRUE(changed) << row.what;
      EXPECT_EQ(SerializeProfile(document), row.after) << row.what;
    }
  }
}

TEST(ProfileTextTest, SuccessiveWritesBuildTheFileInOrder) {
  ProfileDocument document;
  SetProfileString(document, u"Sec", u"Key", u"Value");
  SetProfileString(document, u"Sec", u"Key2", u"V2");
  SetProfileString(document, u"Other", u"K", u"v");
  EXPECT_EQ(SerializeProfile(document), "[Sec]\r\nKey=Value\r\nKey2=V2\r\n[Other]\r\nK=v\r\n");
  EXPECT_EQ(ReadProfileString(&document, u"sec", u"key2", u"", 260), u"V2");
}

}  // namespace
}  // namespace ztrm

namespace ztrm {
namespace {

// Line numbers count CR LF, LF and a lone CR alike, blank lines included, so
// that they name the line an editor shows; UTF-16 counts its own line ends.
TEST(ProfileTextTest, EntriesAndSectionsKnowTheirLine) {
  struct Row {
    std::string file;
    std::size_t section_line, a_line, b_line;
  };
  const Row rows[] = {
      {"[S]\r\nA=1\r\n\r\nB=2\r\n", 1, 2, 4},
      {"x=0\n\n[S]\nA=1\nB=2", 3, 4, 5},
      {"[S]\rA=1\r\r\rB=2\r", 1, 2, 5},
      {"\r\n\n\r[S]\n\r\nA=1\n\r\r\nB=2", 4, 6, 9},
      {"\xEF\xBB\xBF\r\n[S]\r\nA=\xC3\xA9\r\nB=2\r\n", 2, 3, 4},
      {Utf16File(u"\r\n\r\n[S]\r\nA=1\r\nB=2\r\n"), 3, 4, 5},
  };
  for (const Row& row : rows) {
    ProfileDocument doc = ParseProfile(row.file);
    const ProfileSection* section = FindProfileSection(doc, u"s");
    ASSERT_NE(section, nullptr) << row.file;
    EXPECT_EQ(section->line, row.section_line) << row.file;
    const ProfileEntry* a = FindProfileEntry(doc, u"S", u"a");
    const ProfileEntry* b = FindProfileEntry(doc, u" S ", u"B");
    ASSERT_TRUE(a && b) << row.file;
    EXPECT_EQ(a->line, row.a_line) << row.file;
    EXPECT_EQ(b->line, row.b_line) << row.file;
  }
}

// The entry found is the one a read answers from: the first section of the
// name, the first key of the name, a key without '=' found but valueless.
TEST(ProfileTextTest, FindsTheEntryAReadUses) {
  ProfileDocument doc = ParseProfile("[S]\r\nA=1\r\nA=2\r\nN\r\n[S]\r\nC=3\r\n");
  const ProfileEntry* a = FindProfileEntry(doc, u"S", u"A");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->line, 2u);
  EXPECT_EQ(*a->value, u"1");
  const ProfileEntry* n = FindProfileEntry(doc, u"S", u"N");
  ASSERT_NE(n, nullptr);
  EXPECT_FALSE(n->value.has_value());
  EXPECT_EQ(FindProfileEntry(doc, u"S", u"C"), nullptr);
  EXPECT_EQ(FindProfileSection(doc, u"T"), nullptr);
}

// Large files, many names sharing a fold, and names added by writes: the
// lookups answer as a pass from the top would.
TEST(ProfileTextTest, LookupsInLargeFilesFindTheFirstOfEachFold) {
  std::string text = "[Big]\r\n";
  for (int i = 0; i < 3000; ++i) text += "Key" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
  // Second spellings of early keys, and a name that differs outside ASCII.
  for (int i = 0; i < 100; ++i) text += "KEY" + std::to_string(i) + "=late\r\n";
  text += "\xC9t\xE9=accented\r\n[big]\r\nKey0=second section\r\n";
  ProfileDocument doc = ParseProfile(text);

  struct Row {
    const char16_t* section;
    const char16_t* key;
    const char16_t* expected;
  };
  const Row rows[] = {
      {u"Big", u"key0", u"0"},         {u" BIG ", u"Key2999", u"2999"}, {u"big", u"kEy99", u"99"},
      {u"Big", u"Key3000", u"-"},      {u"Big", u"\u00c9t\u00e9", u"accented"},
      {u"Big", u"\u00e9T\u00c9", u"-"},  // only ASCII letters fold
      {u"Big", u"ET\u00c9", u"-"},    {u"Other", u"Key0", u"-"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ReadProfileString(&doc, row.section, row.key, u"-", 260), row.expected)
        << ToUtf8(row.key);
  }

  // Names added by writes are found, and a write to an existing name changes
  // the first one only.
  for (int i = 0; i < 50; ++i) {
    ASSERT_TRUE(SetProfileString(doc, u"BIG", FromUtf8("New" + std::to_string(i)), u"n"));
  }
  ASSERT_TRUE(SetProfileString(doc, u"Fresh", u"K", u"f"));
  ASSERT_TRUE(SetProfileString(doc, u"big", u"KEY5", u"changed"));
  EXPECT_EQ(ReadProfileString(&doc, u"Big", u"new49", u"-", 260), u"n");
  EXPECT_EQ(ReadProfileString(&doc, u"fresh", u"k", u"-", 260), u"f");
  EXPECT_EQ(ReadProfileString(&doc, u"Big", u"Key5", u"-", 260), u"changed");
  EXPECT_EQ(doc.sections[1].entries[3000 + 5].value, u"late");
  // A copy answers the same, and so does a document built by hand.
  ProfileDocument copy = doc;
  EXPECT_EQ(ReadProfileString(&copy, u"Big", u"Key2999", u"-", 260), u"2999");
  ProfileDocument by_hand;
  by_hand.sections.push_back({u"S", {{u"A", WString(u"1")}, {u"a", WString(u"2")}}});
  EXPECT_EQ(ReadProfileString(&by_hand, u"s", u"A", u"-", 260), u"1");
}

}  // namespace
}  // namespace ztrm
