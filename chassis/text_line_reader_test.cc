#include "chassis/text_line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/memory_files.h"

namespace ztrm {
namespace {

std::vector<WString> ReadAll(const std::string& bytes, std::size_t chunk) {
  MemoryInput file(bytes, chunk);
  TextLineReader reader(file);
  std::vector<WString> lines;
  WString line;
  while (reader.ReadLine(line)) lines.push_back(line);
  // Once ended, the reader stays ended.
  EXPECT_FALSE(reader.ReadLine(line));
  EXPECT_TRUE(line.empty());
  return lines;
}

struct LineCase {
  const char* name;
  std::string bytes;
  std::vector<WString> lines;
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }

class TextLineReaderTest : public testing::TestWithParam<LineCase> {};

TEST_P(TextLineReaderTest, ReadsTheLinesOfATextModeStream) {
  const LineCase& c = GetParam();
  // The result must not depend on how the file hands out its bytes.
  for (std::size_t chunk : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{4096}}) {
    EXPECT_EQ(ReadAll(c.bytes, chunk), c.lines) << c.name << ", chunk " << chunk;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextLineReaderTest,
    testing::Values(LineCase{"crlf loses its cr", "a\r\nb\r\n", {u"a\n", u"b\n"}},
                    LineCase{"ctrl-z ends the text", "a\nb\x1a" "c\nd\n", {u"a\n", u"b"}},
                    LineCase{"nul passed on", std::string("a\0b\n", 4), {WString(u"a\0b\n", 4)}},
                    LineCase{"at most 255 units a line", std::string(256, 'x') + "\n",
                             {WString(255, u'x'), u"x\n"}}));

}  // namespace
}  // namespace ztrm
