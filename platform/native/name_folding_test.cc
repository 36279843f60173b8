#include "platform/native/name_folding.h"

#include <gtest/gtest.h>

#include "platform/native/name_folding_table.h"

namespace ztrm {
namespace {

// RtlUpcaseUnicodeChar and RtlDowncaseUnicodeChar under Wine 8.0 for these
// units (the table's source); the same folding decided the listing order,
// the path matches and the registry order in every pair measured.
TEST(NameFoldingTest, UnitsFoldAsWinesTableFoldsThem) {
  struct Row {
    char16_t unit, upper, lower;
  };
  const Row rows[] = {
      {u'a', u'A', u'a'},         {u'Z', u'Z', u'z'},         {u'_', u'_', u'_'},
      {0x00E9, 0x00C9, 0x00E9},   {0x00FF, 0x0178, 0x00FF},   {0x0178, 0x0178, 0x00FF},
      {0x00DF, 0x00DF, 0x00DF},   {0x1E9E, 0x1E9E, 0x1E9E},   {0x0105, 0x0104, 0x0105},
      {0x0104, 0x0104, 0x0105},   {0x0436, 0x0416, 0x0436},   {0x03C3, 0x03A3, 0x03C3},
      {0x03C2, 0x03C2, 0x03C2},   {0x0131, 0x0131, 0x0131},   {0x0130, 0x0130, 0x0130},
      {0x017F, 0x017F, 0x017F},   {0x01C4, 0x01C4, 0x01C6},   {0x01C5, 0x01C5, 0x01C5},
      {0x01C6, 0x01C4, 0x01C6},   {0x24D0, 0x24B6, 0x24D0},   {0x2C65, 0x023A, 0x2C65},
      {0x023A, 0x023A, 0x2C65},   {0xFF41, 0xFF21, 0xFF41},   {0x212A, 0x212A, 0x212A},
      {0xD800, 0xD800, 0xD800},   {0xFFFF, 0xFFFF, 0xFFFF},   {0x0000, 0x0000, 0x0000},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(NameFoldUpper(row.unit), row.upper) << std::hex << int(row.unit);
    EXPECT_EQ(NameFoldLower(row.unit), row.lower) << std::hex << int(row.unit);
  }
}

TEST(NameFoldingTest, TablesAreSortedAndEachFoldGoesBothWays) {
  ASSERT_EQ(kUpperCasePairCount, 1163u);
  ASSERT_EQ(kLowerCasePairCount, 1163u);
  for (std::size_t i = 0; i + 1 < kUpperCasePairCount; ++i) {
    EXPECT_LT(kUpperCasePairs[i].unit, kUpperCasePairs[i + 1].unit);
  }
  for (std::size_t i = 0; i + 1 < kLowerCasePairCount; ++i) {
    EXPECT_LT(kLowerCasePairs[i].unit, kLowerCasePairs[i + 1].unit);
  }
  // A unit and its upper case form always share their lower case form, so
  // comparing through either table gives the same equalities.
  for (std::size_t i = 0; i < kUpperCasePairCount; ++i) {
    const CasePair& p = kUpperCasePairs[i];
    EXPECT_EQ(NameFoldLower(p.unit), NameFoldLower(p.folded)) << std::hex << int(p.unit);
    EXPECT_EQ(NameFoldUpper(p.folded), p.folded) << std::hex << int(p.unit);
  }
}

TEST(NameFoldingTest, NamesCompareThroughTheWholeTableOrAsciiOnly) {
  struct Row {
    const char16_t* a;
    const char16_t* b;
    bool whole_table;
    bool ascii_only;
  };
  const Row rows[] = {
      {u"Chassis", u"CHASSIS", true, true},
      {u"\u00E9t\u00E9", u"\u00C9T\u00C9", true, false},
      {u"\u0105a.ini", u"\u0104A.INI", true, false},
      {u"\u0436", u"\u0416", true, false},
      {u"\u00FF", u"\u0178", true, false},
      {u"\u00DF", u"SS", false, false},
      {u"\u0131", u"I", false, false},
      {u"\u01C5", u"\u01C4", false, false},
      {u"ab", u"abc", false, false},
      {u"", u"", true, true},
      {u"x\u00E9", u"X\u00E9", true, true},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(NamesEqualIgnoreCase(row.a, row.b), row.whole_table) << ToUtf8(row.a);
    EXPECT_EQ(NamesEqualIgnoreCase(row.b, row.a), row.whole_table) << ToUtf8(row.a);
    EXPECT_EQ(AsciiNamesEqualIgnoreCase(row.a, row.b), row.ascii_only) << ToUtf8(row.a);
    EXPECT_EQ(AsciiNamesEqualIgnoreCase(row.b, row.a), row.ascii_only) << ToUtf8(row.a);
  }
}

}  // namespace
}  // namespace ztrm
