#include "inventory/eeprom_report.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/stage_bench.h"

namespace ztrm {
namespace {

struct EepromCase {
  const char* name;
  std::array<std::uint8_t, kEepromSize> image;
  std::string log;
};

std::array<std::uint8_t, kEepromSize> Filled(std::uint8_t value) {
  std::array<std::uint8_t, kEepromSize> image;
  image.fill(value);
  return image;
}

// The report of an image whose every byte is `byte_text` ("00", "ff"): the
// dump, the stored checksum, the `calculated` one and the three text fields,
// each byte shown as `text_char`.
std::string UniformEepromReport(const std::string& byte_text, const std::string& calculated,
                                char text_char) {
  std::string text =
      "Print Chassis eeprom add 0xA4 offset 0x00~0xFF\r\n"
      "      00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F\r\n";
  for (const char* row : {"00", "01", "02", "03", "04", "05", "06", "07", "08", "09", "0a", "0b", "0c",
                          "0d", "0e", "0f"}) {
    text += std::string("\r\n0x") + row + "  ";
    for (int i = 0; i < 16; ++i) text += byte_text + " ";
  }
  return text + "\r\nChassis eeprom checksum (0x7A:79)  : 0x " + byte_text + " " + byte_text + "\r\n" +
         "Chassis eeprom checksum Calculated : 0x " + calculated + "\r\n" +
         "Chassis eeprom vendor ID (0x05:40) : \"" + std::string(60, text_char) + "\"\r\n" +
         "Chassis eeprom model     (0x41:68) : \"" + std::string(40, text_char) + "\"\r\n" +
         "Chassis eeprom serial NO (0x6A:76) : \"" + std::string(13, text_char) + "\"\r\n";
}

TEST(EepromReportTest, WholeReportOfUniformAndTextImages) {
  // Text fields with a blank, a zero byte inside, a byte above 0x7F and a
  // line feed; the sum of the bytes is 0x01C9 + 0x80 + ... as computed below.
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
  // 'A'+'c'+'m'+'e'+' '+'C'+'o' = 65+99+109+101+32+67+111 = 584; + 'M' 77 +
  // 0xE9 233 + LF 10 + '7' 55 + '9' 57 = 1016 = 0x03F8.
  const std::string text_rows =
      "\r\n0x00  00 00 00 00 00 41 63 6d 65 20 43 6f 00 00 00 00 "
      "\r\n0x01  00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
      "\r\n0x02  00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
      "\r\n0x03  00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
      "\r\n0x04  00 4d 00 e9 0a 00 00 00 00 00 00 00 00 00 00 00 "
      "\r\n0x05  00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
      "\r\n0x06  00 00 00 00 00 00 00 00 00 00 37 00 00 00 00 00 "
      "\r\n0x07  00 00 00 00 00 00 39 00 00 34 12 00 00 00 00 00 "
      "\r\n0x08  00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
      "\r\n0x09  00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
      "\r\n0x0a  00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
      "\r\n0x0b  00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
      "\r\n0x0c  00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
      "\r\n0x0d  00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
      "\r\n0x0e  00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
      "\r\n0x0f  00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 ";
  const std::string nul(1, '\0');
  auto zeros = [&](std::size_t n) { return std::string(n, '\0'); };

  const EepromCase cases[] = {
      {"all zero", Filled(0), UniformEepromReport("00", "00 00", '\0')},
      {"all 0xFF", Filled(0xFF), UniformEepromReport("ff", "fd 02", '?')},
      {"text fields with zero bytes, a high byte and a line feed", text,
       "Print Chassis eeprom add 0xA4 offset 0x00~0xFF\r\n"
       "      00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F\r\n" +
           text_rows + "\r\n" + "Chassis eeprom checksum (0x7A:79)  : 0x 12 34\r\n" +
           "Chassis eeprom checksum Calculated : 0x 03 f8\r\n" +
           "Chassis eeprom vendor ID (0x05:40) : \"Acme Co" + zeros(53) + "\"\r\n" +
           "Chassis eeprom model     (0x41:68) : \"M" + nul + "?\r\n" + zeros(36) + "\"\r\n" +
           "Chassis eeprom serial NO (0x6A:76) : \"7" + zeros(11) + "9\"\r\n"},
  };
  for (const EepromCase& c : cases) {
    SCOPED_TRACE(c.name);
    StageBench bench;
    PrintChassisEeprom(bench.Context(), c.image);
    EXPECT_EQ(bench.Log(), c.log);
  }
}

}  // namespace
}  // namespace ztrm
