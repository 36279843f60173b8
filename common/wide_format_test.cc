#include "common/wide_format.h"

#include <gtest/gtest.h>

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
}

}  // namespace
}  // namespace ztrm
