#include "common/decimal.h"

#include <gtest/gtest.h>

namespace ztrm {
namespace {

TEST(DecimalTest, ReadsAsWtoiDoes) {
  struct Case {
    const char16_t* text;
    std::int32_t expected;
  } cases[] = {
      {u"", 0},           {u"abc", 0},         {u"3", 3},          {u"  12", 12},
      {u"\t\r\n 7", 7},   {u"-4", -4},         {u"+9", 9},         {u"12ab", 12},
      {u"1 2", 1},        {u"- 4", 0},         {u"--4", 0},        {u"70000", 70000},
      {u"007", 7},        {u"2147483647", 2147483647},
      {u"2147483648", 2147483647},             {u"-2147483648", -2147483647 - 1},
      {u"-99999999999999999999", -2147483647 - 1},
      {u"99999999999999999999999999", 2147483647},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseDecimal(c.text), c.expected) << ToUtf8(c.text);
  }
}

TEST(DecimalTest, DecimalText) {
  EXPECT_EQ(DecimalText(0), u"0");
  EXPECT_EQ(DecimalText(65535), u"65535");
  EXPECT_EQ(DecimalText(-12), u"-12");
}

}  // namespace
}  // namespace ztrm
