// Fuzz target: the chassis description parser over a fuzzed description file.
//
// Each input is written under a name of its own: the native profile reader
// keeps parsed files while their identity is unchanged, and a rewrite of the
// same size within one tick of the file system clock would look unchanged.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "chassis/description_parser.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static ztrm::FuzzImage image("");
  static unsigned long counter = 0;
  std::string name = "d" + std::to_string(++counter) + ".ini";
  image.Write("drive_c/Desc/" + name, std::string_view(reinterpret_cast<const char*>(data), size));

  ztrm::RunContext& ctx = image.Fresh();
  ztrm::WString path = u"C:\\Desc\\";
  for (char c : name) path.push_back(static_cast<char16_t>(c));
  ztrm::ParseChassisDescription(ctx, path);
  if (ctx.vecPXISys.size() != 1) __builtin_trap();
  image.Remove("drive_c/Desc/" + name);
  return 0;
}
