#include "common/wide_format.h"

#include <gtest/gtest.h>

#include <climits>

namespace ztrm {
namespace {

struct FormatCase {
  const char16_t* format;
  WString expected;
  std::vector<int> ints;
};

TEST(WideFormatTest, IntegerConversionsReadArgumentsAsWindowsDoes) {
  EXPECT_EQ(FormatWide(u"%d", 42), u"42");
  EXPECT_EQ(FormatWide(u"%d", -7), u"-7");
  // An unsigned 32-bit value through %d prints as the signed int it is.
  EXPECT_EQ(FormatWide(u"%d", 0xFFFFFFFFu), u"-1");
  EXPECT_EQ(FormatWide(u"%u", 0xFFFFFFFFu), u"4294967295");
  // long is 32 bits on Windows: %ld of a 64-bit value sees the low half.
  EXPECT_EQ(FormatWide(u"%ld", std::int64_t{0x100000005}), u"5");
  EXPECT_EQ(FormatWide(u"%lld", std::int64_t{0x100000005}), u"4294967301");
  EXPECT_EQ(FormatWide(u"%hu", 70000), u"4464");
  EXPECT_EQ(FormatWide(u"0x%08lx", 0x431u), u"0x00000431");
  EXPECT_EQ(FormatWide(u"0x%.8X.", 0xABCu), u"0x00000ABC.");
  EXPECT_EQ(FormatWide(u"%.2X", 0x8u), u"08");
  EXPECT_EQ(FormatWide(u"%.2X", 0x1Cu), u"1C");
  EXPECT_EQ(FormatWide(u"%x", 0xE0u), u"e0");
  EXPECT_EQ(FormatWide(u"%.3u", 7u), u"007");
  EXPECT_EQ(FormatWide(u"%.4u", 2026u), u"2026");
  EXPECT_EQ(FormatWide(u"%5d|%-5d|%05d", 42, 42, -42), u"   42|42   |-0042");
  EXPECT_EQ(FormatWide(u"%+d % d", 3, 3), u"+3  3");
  EXPECT_EQ(FormatWide(u"%#x %#X %#x", 255u, 255u, 0u), u"0xff 0XFF 0");
  EXPECT_EQ(FormatWide(u"%.0d", 0), u"");
  EXPECT_EQ(FormatWide(u"%d", INT_MIN), u"-2147483648");
}

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

// Widths and flags on text, as the Microsoft runtime (msvcrt, measured under
// Wine 8.0 with _snwprintf and _snprintf) pads them: the '0' flag pads %s and
// %c with zeros unless '-' asks for left alignment.
TEST(WideFormatTest, TextPaddingFollowsTheMicrosoftRuntime) {
  struct TextCase {
    const char16_t* format;
    FormatArg arg;
    const char16_t* expected;
  };
  const TextCase cases[] = {
      {u"[%05s]", u"ab", u"[000ab]"},
      {u"[%05c]", u'x', u"[0000x]"},
      {u"[%-05s]", u"ab", u"[ab   ]"},
      {u"[%-05c]", u'x', u"[x    ]"},
      {u"[%05.1s]", u"ab", u"[0000a]"},
      {u"[%5s]", u"ab", u"[   ab]"},
      {u"[%03s]", u"abcd", u"[abcd]"},
      {u"[%02s]", u"", u"[00]"},
      {u"[%05s]", "ab", u"[000ab]"},  // narrow text the same
      {u"[%0*s]", 4, u"[0000]"},      // width from the list, the text missing
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(FormatWideArgs(c.format, {c.arg}), WString(c.expected)) << ToUtf8(c.format);
  }
  EXPECT_EQ(FormatNarrow("[%05s][%05c]", u"ab", 'y'), "[000ab][0000y]");
}

TEST(WideFormatTest, OddFormatsAndMissingArguments) {
  EXPECT_EQ(FormatWide(u"100%%"), u"100%");
  EXPECT_EQ(FormatWide(u"%d and %s"), u"0 and ");
  EXPECT_EQ(FormatWide(u"%s", 5), u"");  // a number where text is wanted prints nothing
  EXPECT_EQ(FormatWide(u"%q%d", 1), u"%q1");
  EXPECT_EQ(FormatWide(u"tail %"), u"tail %");
  EXPECT_EQ(FormatWide(u"tail %5"), u"tail %5");
  EXPECT_EQ(FormatWide(u"%*d|%-*d", 4, 7, 3, 8), u"   7|8  ");
  // Widths are bounded so a hostile format cannot exhaust memory.
  EXPECT_EQ(FormatWide(u"%99999999999d", 1).size(), 100000u);
}

TEST(WideFormatTest, NarrowFormatting) {
  EXPECT_EQ(FormatNarrow("Stopping %s.", u"ZTLRMService"), "Stopping ZTLRMService.");
  EXPECT_EQ(FormatNarrow("OpenService failed w/err 0x%08lx\n", 5u),
            "OpenService failed w/err 0x00000005\n");
  EXPECT_EQ(FormatNarrow("%s", u"\u0416"), "?");
}

}  // namespace
}  // namespace ztrm
