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

}  // namespace
}  // namespace ztrm

namespace ztrm {
namespace {

}  // namespace
}  // namespace ztrm
