#include "platform/native/file_name_rules.h"

#include <gtest/gtest.h>

namespace ztrm {
namespace {

// Long and short names as FindFirstFileW returned them under Wine 8.0
// (cAlternateFileName), empty where the long name is a valid 8.3 name.
TEST(FileNameRulesTest, ShortNamesAreThoseWineMakes) {
  struct Row {
    const char16_t* long_name;
    const char16_t* short_name;
  };
  const Row rows[] = {
      {u"averylongname.ini", u"AVER~NVM.INI"},
      {u"long name.ini", u"LONG~SGI.INI"},
      {u"x.inix", u"X~~~~BB4.INI"},
      {u"y.ini.bak", u"Y_IN~KAJ.BAK"},
      {u"z.", u"Z_~~~YLB"},
      {u".hidden", u"_HID~45N"},
      {u"12345678.abcd", u"1234~F1C.ABC"},
      {u"a b", u"A_B~~GOE"},
      {u"a+b.ini", u"A_B~~CXG.INI"},
      {u"ab.txt.ini", u"AB_T~WEQ.INI"},
      {u"abcdefghi.ini", u"ABCD~B1Y.INI"},
      {u"x.y.z", u"X_Y~~JTF.Z"},
      {u"[x", u"_X~~~UUO"},
      {u"\u00C9.ini", u"_~~~~MOQ.INI"},
      {u"\u00E9.ini", u"_~~~~MOQ.INI"},  // the hash ignores case
      {u"abcdefgh.ini", u""},
      {u"AB.TXT", u""},
      {u"Ab.Ini", u""},
      {u"~x", u""},
      {u"b", u""},
      {u".", u""},
      {u"..", u""},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ShortNameOf(row.long_name), WString(row.short_name)) << ToUtf8(row.long_name);
    EXPECT_EQ(IsLegal8Dot3Name(row.long_name), WString(row.short_name).empty())
        << ToUtf8(row.long_name);
  }
}

TEST(FileNameRulesTest, PatternsMatchAsWineMatchesThem) {
  struct Row {
    const char16_t* pattern;
    const char16_t* name;
    bool matches;
  };
  const Row rows[] = {
      {u"*.ini", u"A.ini", true},
      {u"*.ini", u"c.INI", true},
      {u"*.INI", u"b.ini", true},
      {u"*.ini", u"x.inix", false},  // listed through its short name only
      {u"*.ini", u"ab.txt.ini", true},
      {u"*.txt", u"ab.txt.ini", false},
      {u"?.ini", u"9.ini", true},
      {u"?.ini", u"10.ini", false},
      {u"a.*", u"A.ini", true},
      {u"a.*", u"a", true},  // '.' and '*' left over match the end
      {u"*.", u"abc.in", true},
      {u"*", u"anything", true},
      {u"**.ini", u"e.ini", true},
      {u"*.ini*", u"f.ini", true},
      {u"*?.ini", u"ab.ini", false},  // Wine's matcher skips to the next '?' that never comes
      {u"?*.ini", u"ab.ini", true},
      {u"a*i", u"abcdefgh.ini", true},
      {u"*b*i", u"a+b.ini", true},
      {u"*t.ini", u"ab.txt.ini", true},  // resumes one character on after a mismatch
      {u"*i.ini", u"abcdefghi.ini", true},
      {u"*.?", u"x.y.z", false},  // no '*' retry after a '?': listed through its short name
      {u"*.?", u"X_Y~~JTF.Z", true},
      {u"*.?", u"..", true},
      {u"*.?", u".", false},
      {u"a?.*", u"Ab.Ini", true},
      {u"a?.*", u"a+b.ini", false},
      {u"b", u"B", true},
      {u"b", u"bb", false},
      {u"*.ab*", u"1234~F1C.ABC", true},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(MatchesFileMask(row.name, row.pattern), row.matches)
        << ToUtf8(row.pattern) << " vs " << ToUtf8(row.name);
  }
}

TEST(FileNameRulesTest, WildcardsAreTheFiveWineKnows) {
  EXPECT_TRUE(HasWildcard(u"*.ini"));
  EXPECT_TRUE(HasWildcard(u"a?"));
  EXPECT_TRUE(HasWildcard(u"a<"));
  EXPECT_TRUE(HasWildcard(u"a>"));
  EXPECT_TRUE(HasWildcard(u"a\""));
  EXPECT_FALSE(HasWildcard(u"a.ini"));
  EXPECT_FALSE(HasWildcard(u""));
}

TEST(FileNameRulesTest, ListingOrderFoldsToUpperCaseThenBreaksTiesByCodeUnit) {
  // The order FindNextFileW gave for these names under Wine 8.0.
  const char16_t* order[] = {u"10.ini", u"9.ini",  u"A.ini", u"a.ini",      u"Ab.Ini",
                             u"AB.TXT", u"b.ini",  u"c.INI", u"d.ini",      u"Zeta.ini",
                             u"[x",     u"_x.ini", u"~x",    u"\u00C9.ini", u"\u00E9.ini"};
  const std::size_t n = sizeof(order) / sizeof(order[0]);
  for (std::size_t i = 0; i + 1 < n; ++i) {
    EXPECT_LT(CompareListingNames(order[i], order[i + 1]), 0)
        << ToUtf8(order[i]) << " before " << ToUtf8(order[i + 1]);
    EXPECT_GT(CompareListingNames(order[i + 1], order[i]), 0);
  }
  EXPECT_EQ(CompareListingNames(u"same", u"same"), 0);
}

}  // namespace
}  // namespace ztrm
