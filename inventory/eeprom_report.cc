#include "inventory/eeprom_report.h"

#include "enumeration/run_log.h"

namespace ztrm {
namespace {

constexpr std::size_t kChecksumLow = 0x79;
constexpr std::size_t kChecksumHigh = 0x7A;

// "%.2x" of a byte, for the 256 of the dump: through the formatter they cost
// about 6 % of a whole run on a large system.
void AppendHexByte(WString& out, unsigned byte) {
  static constexpr char16_t kDigits[] = u"0123456789abcdef";
  out.push_back(kDigits[(byte >> 4) & 0xF]);
  out.push_back(kDigits[byte & 0xF]);
}

// One quoted text field: the opener with its quote, every byte through "%c"
// as a signed char (NUL bytes too), then the closing quote and line end,
// written at once.
void LogTextField(RunContext& ctx, WStringView opener,
                  const std::array<std::uint8_t, kEepromSize>& image, std::size_t first,
                  std::size_t length) {
  WString text(opener);
  for (std::size_t i = first; i < first + length; ++i) {
    AppendFormatWideArgs(text, u"%c", {static_cast<signed char>(image[i])});
  }
  text += u"\"\n";
  LogText(ctx, text);
}

}  // namespace

std::uint16_t EepromChecksum(const std::array<std::uint8_t, kEepromSize>& image) {
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < image.size(); ++i) {
    if (i != kChecksumLow && i != kChecksumHigh) sum += image[i];
  }
  return static_cast<std::uint16_t>(sum);
}

void PrintChassisEeprom(RunContext& ctx, const std::array<std::uint8_t, kEepromSize>& image) {
  Log(ctx, u"Print Chassis eeprom add 0xA4 offset 0x00~0xFF\n");
  Log(ctx, u"      00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F\n");
  // The dump as "\n0x%.2x  " per row and "%.2x " per byte print it, built
  // as one text and written at once.
  WString dump;
  dump.reserve(16 * (6 + 16 * 3) + 1);
  for (unsigned row = 0; row < 16; ++row) {
    dump += u"\n0x";
    AppendHexByte(dump, row);
    dump += u"  ";
    for (unsigned col = 0; col < 16; ++col) {
      AppendHexByte(dump, image[row * 16 + col]);
      dump.push_back(u' ');
    }
  }
  dump.push_back(u'\n');
  LogText(ctx, dump);
  Log(ctx, u"Chassis eeprom checksum (0x7A:79)  : 0x %.2x %.2x\n", image[kChecksumHigh],
      image[kChecksumLow]);
  std::uint16_t sum = EepromChecksum(image);
  Log(ctx, u"Chassis eeprom checksum Calculated : 0x %.2x %.2x\n", (sum >> 8) & 0xFF, sum & 0xFF);
  LogTextField(ctx, u"Chassis eeprom vendor ID (0x05:40) : \"", image, 0x05, 60);
  LogTextField(ctx, u"Chassis eeprom model     (0x41:68) : \"", image, 0x41, 40);
  LogTextField(ctx, u"Chassis eeprom serial NO (0x6A:76) : \"", image, 0x6A, 13);
}

}  // namespace ztrm
