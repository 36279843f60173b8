#include "platform/native/cp1252.h"

#include <gtest/gtest.h>

namespace ztrm {
namespace {

TEST(Cp1252Test, HighHalfBytesDecodeToTheLettersOfTheCodePage) {
  struct Row {
    unsigned char byte;
    char16_t unit;
  };
  // clang-format off
  const Row rows[] = {
      {0x41, u'A'},    {0x7F, 0x7F},     {0x80, 0x20AC},   {0x82, 0x201A}, {0x83, 0x0192},
      {0x8A, 0x0160},  {0x8C, 0x0152},   {0x8E, 0x017D},   {0x91, 0x2018}, {0x96, 0x2013},
      {0x97, 0x2014},  {0x99, 0x2122},   {0x9F, 0x0178},   {0xA0, 0x00A0}, {0xE9, 0x00E9},
      {0xFF, 0x00FF},
      // The five bytes 1252 leaves undefined keep their value.
      {0x81, 0x0081},  {0x8D, 0x008D},   {0x8F, 0x008F},   {0x90, 0x0090}, {0x9D, 0x009D},
  };
  // clang-format on
  for (const Row& row : rows) {
    EXPECT_EQ(DecodeWindows1252Byte(row.byte), row.unit) << std::hex << int(row.byte);
  }
}

TEST(Cp1252Test, EveryByteComesBackUnchanged) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(EncodeWindows1252(DecodeWindows1252(all)), all);
}

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
