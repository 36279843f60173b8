#include "inventory/eeprom_report.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/stage_bench.h"
#include "tests/test_image.h"

namespace ztrm {
namespace {

std::array<std::uint8_t, kEepromSize> Filled(std::uint8_t value) {
  std::array<std::uint8_t, kEepromSize> image;
  image.fill(value);
  return image;
}

// The all-zero image's checksum is 00 00, the all-0xFF one's 254 x 0xFF =
// 0xFD02. The text image has fields with a blank, a zero byte inside, a byte
// above 0x7F and a line feed; its sum is 'A'+'c'+'m'+'e'+' '+'C'+'o' = 584,
// + 'M' 77 + 0xE9 233 + LF 10 + '7' 55 + '9' 57 = 1016 = 0x03F8.
TEST(EepromReportTest, WholeReportOfUniformAndTextImages) {
  std::array<std::uint8_t, kEepromSize> text{};
  const std::string vendor = "Acme Co";
  for (std::size_t i = 0; i < vendor.size(); ++i) text[0x05 + i] = vendor[i];
  text[0x41] = 'M';
  text[0x42] = 0;
  text[0x43] = 0xE9;
  text[0x44] = '\n';
  text[0x6A] = '7';
  text[0x79] = 0x34;  // stored low byte
  text[0x7A] = 0x12;  // stored high byte
  text[0x76] = '9';   // last serial byte
  const struct {
    const char* log;  // in tests/expected/inventory
    std::array<std::uint8_t, kEepromSize> image;
  } cases[] = {{"eeprom_all_zero.log", Filled(0)}, {"eeprom_all_ff.log", Filled(0xFF)}, {"eeprom_text_fields.log", text}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.log);
    StageBench bench;
    PrintChassisEeprom(bench.Context(), c.image);
    EXPECT_EQ(bench.Log(), ReadSourceFile(std::string("tests/expected/inventory/") + c.log));
  }
}

}  // namespace
}  // namespace ztrm
