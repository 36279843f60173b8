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
      // Beyond Latin-1 the hash folds through Wine's whole table.
      {u"\u00DFa.ini", u"_A~~~ZWQ.INI"},
      {u"\u0105a.ini", u"_A~~~L52.INI"},
      {u"\u0104b.ini", u"_B~~~H53.INI"},
      {u"\u0131x.ini", u"_X~~~OTC.INI"},
      {u"\u017Fs.ini", u"_S~~~D4B.INI"},
      {u"\u01C62.ini", u"_2~~~31Z.INI"},
      {u"\u01C43.ini", u"_3~~~Z1Z.INI"},
      {u"\u01C51.ini", u"_1~~~RXY.INI"},
      {u"\u0436a.ini", u"_A~~~JDG.INI"},
      {u"\u0416b.ini", u"_B~~~FDH.INI"},
      {u"\u1E9Eb.ini", u"_B~~~WDW.INI"},
      {u"\u24D0a.ini", u"_A~~~3KE.INI"},
      {u"\u24B7b.ini", u"_B~~~ROF.INI"},
      {u"\uFB00a.ini", u"_A~~~EYL.INI"},
      {u"\uFF41a.ini", u"_A~~~ENJ.INI"},
      {u"\uFF22b.ini", u"_B~~~IBI.INI"},
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

// The orders FindNextFileW gave under Wine 8.0 for two folders holding these
// files: letters fold to upper case, ties broken by code unit. "\u0105a" (a
// with ogonek) comes before "\u0104b" because the two fold to the same letter;
// dotless i, long s, the title case DZ and sharp s have no upper case form in
// Wine's table and sort as they are.
TEST(FileNameRulesTest, ListingOrderFoldsEveryScriptThroughWinesTable) {
  const std::vector<std::vector<const char16_t*>> orders = {
      {u"10.ini", u"9.ini", u"A.ini", u"a.ini", u"Ab.Ini", u"AB.TXT", u"b.ini", u"c.INI", u"d.ini", u"Zeta.ini", u"[x",
       u"_x.ini", u"~x", u"\u00C9.ini", u"\u00E9.ini"},
      {u"Iy.ini", u"iz.ini", u"Sr.ini", u"Zeta.ini", u"_x.ini", u"\u00DFa.ini", u"\u0105a.ini", u"\u0104b.ini",
       u"\u0131x.ini", u"\u017Fs.ini", u"\u01C62.ini", u"\u01C43.ini", u"\u01C51.ini", u"\u0436a.ini", u"\u0416b.ini",
       u"\u1E9Eb.ini", u"\u24D0a.ini", u"\u24B7b.ini", u"\uFB00a.ini", u"\uFF41a.ini", u"\uFF22b.ini"},
  };
  for (const std::vector<const char16_t*>& order : orders) {
    for (std::size_t i = 0; i + 1 < order.size(); ++i) {
      EXPECT_LT(CompareListingNames(order[i], order[i + 1]), 0)
          << ToUtf8(order[i]) << " before " << ToUtf8(order[i + 1]);
      EXPECT_GT(CompareListingNames(order[i + 1], order[i]), 0);
    }
  }
  EXPECT_EQ(CompareListingNames(u"same", u"same"), 0);
}

}  // namespace
}  // namespace ztrm
