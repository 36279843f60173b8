#include "common/wide_format.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace ztrm {
namespace {

TEST(WideFormatTest, TextConversions) {
  WideText vendor(u"Acme");
  EXPECT_EQ(FormatWide(u"Vendor = \"%s\"\n", vendor), u"Vendor = \"Acme\"\n");
  EXPECT_EQ(FormatWide(u"%s\\%s", u"C:\\windows", WString(u"pxirms.log")),
            u"C:\\windows\\pxirms.log");
  EXPECT_EQ(FormatWide(u"[%6s][%-6s][%.2s]", u"ab", u"ab", u"abcdef"), u"[    ab][ab    ][ab]");
  // Narrow arguments are taken byte by byte.
  EXPECT_EQ(FormatWide(u"%s", "caf\xE9"), u"caf\u00E9");
  EXPECT_EQ(FormatWide(u"%c%c", u'O', 'K'), u"OK");
  // An integer given for %s gives no text.
  EXPECT_EQ(FormatWide(u"[%s]", 5u), u"[]");
}

// The length modifiers cut or widen as the Microsoft runtime's do.
TEST(WideFormatTest, IntegerLengthModifiers) {
  const std::uint64_t big = 1099511627776ull;  // 2^40
  EXPECT_EQ(FormatWide(u"%llu|%I64u|%hhu|%hu|%lu", big, big, 300u, 70000u, 7u),
            u"1099511627776|1099511627776|44|4464|7");
}

}  // namespace
}  // namespace ztrm
