#include "common/wide_text.h"

#include <gtest/gtest.h>

namespace ztrm {
namespace {

TEST(WideTextTest, CutsAt259UnitsAndAtNul) {
  EXPECT_EQ(WideText(WString(259, u'a')).size(), 259u);
  EXPECT_EQ(WideText(WString(260, u'a')).size(), 259u);
  EXPECT_EQ(WideText(WString(100000, u'a')).view(), WString(259, u'a'));
  EXPECT_EQ(WideText(WString(u"ab\0cd", 5)).view(), u"ab");
  EXPECT_TRUE(WideText::Fits(WString(259, u'x')));
  EXPECT_FALSE(WideText::Fits(WString(260, u'x')));
  WideText t(u"x");
  t.clear();
  EXPECT_TRUE(t.empty());
  EXPECT_TRUE(WideText(static_cast<const char16_t*>(nullptr)).empty());
}

TEST(WideTextTest, Utf8RoundTripAndBadInput) {
  WString text = u"Z\u00E9\u4E2D\U0001F600";
  EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
  EXPECT_EQ(FromUtf8("a\xFF" "b"), u"a\uFFFDb");
  EXPECT_EQ(FromUtf8("\xE4\xB8"), u"\uFFFD\uFFFD");
  EXPECT_EQ(ToUtf8(WString(1, char16_t{0xD800})), "\xEF\xBF\xBD");
}

TEST(WideTextTest, CaseFoldingIsAsciiOnly) {
  EXPECT_TRUE(EqualsIgnoreCase(u"ChassisMappingID", u"CHASSISMAPPINGID"));
  EXPECT_FALSE(EqualsIgnoreCase(u"\u00E9", u"\u00C9"));
  EXPECT_FALSE(EqualsIgnoreCase(u"ab", u"abc"));
}

}  // namespace
}  // namespace ztrm
