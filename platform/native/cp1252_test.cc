#include "platform/native/cp1252.h"

#include <gtest/gtest.h>

namespace ztrm {
namespace {

TEST(Cp1252Test, TextWithoutAByteTakesTheBestFitOrAQuestionMark) {
  struct Row {
    char16_t unit;
    char byte;
  };
  // Best-fit rows as Wine 8.0 converted them (measured).
  // clang-format off
  const Row rows[] = {
      {0x0100, 'A'},  {0x0101, 'a'},  {0x0110, '\xD0'}, {0x20AC, '\x80'}, {0x2122, '\x99'},
      {0x0301, '\xB4'},                     // combining acute: the spacing accent
      {0x3000, ' '},  {0xFF21, 'A'},                  // ideographic space, fullwidth A
      {0x0416, '?'},  {0x4E00, '?'},  {0xFFFD, '?'},
      {0x0080, '?'},  {0x0085, '?'},  {0x009F, '?'},  // C1 controls without a byte
      {0xD800, '?'},                                  // a lone surrogate
  };
  // clang-format on
  for (const Row& row : rows) {
    EXPECT_EQ(EncodeWindows1252Unit(row.unit), row.byte) << std::hex << int(row.unit);
  }
  EXPECT_EQ(EncodeWindows1252(u"a\U0001F600b"), "a??b");  // each half of the pair
}

}  // namespace
}  // namespace ztrm
