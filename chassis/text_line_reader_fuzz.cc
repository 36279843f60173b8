// Fuzz target: the 8-bit line reader of description file discovery, and the
// discovery scan (Vendor and Model lines, bus segment count) over the same
// bytes as the only description file of a system image.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "chassis/description_discovery.h"
#include "chassis/text_line_reader.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

ztrm::FuzzImage& Image() {
  static ztrm::FuzzImage image(
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\CurrentVersion]\r\n"
      "\"ChassisDescriptionFilePath\"=\"C:\\\\Desc\"\r\n");
  return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);

  ztrm::MemoryInput input(bytes);
  ztrm::TextLineReader reader(input);
  ztrm::WString line;
  std::size_t units = 0, lines = 0;
  while (reader.ReadLine(line)) {
    if (line.empty() || line.size() > ztrm::TextLineReader::kMaxLineUnits) __builtin_trap();
    for (std::size_t i = 0; i < line.size(); ++i) {
      if (line[i] > 0xFF) __builtin_trap();
      if (line[i] == u'\n' && i + 1 != line.size()) __builtin_trap();
    }
    units += line.size();
    ++lines;
  }
  // Every line holds at least one unit, and no unit comes from nowhere.
  if (units > size || lines > size) __builtin_trap();

  ztrm::FuzzImage& image = Image();
  image.Write("drive_c/Desc/chassis.ini", bytes);
  ztrm::RunContext& ctx = image.Fresh();
  ztrm::FindChassisDescriptionFiles(ctx);
  if (ctx.vecChassisDescFile.size() != 1) __builtin_trap();
  const ztrm::stChassisDescFile& found = ctx.vecChassisDescFile[0];
  if (found.dwBusSegmentCount > lines) __builtin_trap();
  return 0;
}
