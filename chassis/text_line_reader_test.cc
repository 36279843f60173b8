#include "chassis/text_line_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace ztrm {
namespace {

// A file in memory that hands out at most `chunk` bytes per read, so that
// line ends and CR LF pairs fall across read boundaries.
class MemoryInput : public InputFile {
 public:
  MemoryInput(std::string bytes, std::size_t chunk) : bytes_(std::move(bytes)), chunk_(chunk) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    std::size_t n = std::min({size, chunk_, bytes_.size() - pos_});
    std::copy_n(bytes_.data() + pos_, n, buffer);
    pos_ += n;
    return n;
  }

 private:
  std::string bytes_;
  std::size_t chunk_;
  std::size_t pos_ = 0;
};

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

WString Units(std::size_t n, char16_t c) { return WString(n, c); }

INSTANTIATE_TEST_SUITE_P(
    Cases, TextLineReaderTest,
    testing::Values(
        LineCase{"empty", "", {}},
        LineCase{"lf", "a\nb\n", {u"a\n", u"b\n"}},
        LineCase{"crlf loses its cr", "a\r\nb\r\n", {u"a\n", u"b\n"}},
        LineCase{"no final line feed", "a\nlast", {u"a\n", u"last"}},
        LineCase{"empty lines", "\n\r\n\n", {u"\n", u"\n", u"\n"}},
        LineCase{"lone cr stays", "a\rb\n", {u"a\rb\n"}},
        LineCase{"cr at the end stays", "a\r", {u"a\r"}},
        LineCase{"cr cr lf keeps one cr", "a\r\r\n", {u"a\r\n"}},
        LineCase{"cr before ctrl-z stays", "a\r\x1a" "b\n", {u"a\r"}},
        LineCase{"ctrl-z ends the text", "a\nb\x1a" "c\nd\n", {u"a\n", u"b"}},
        LineCase{"ctrl-z first", "\x1a" "a\n", {}},
        LineCase{"nul passed on", std::string("a\0b\n", 4), {WString(u"a\0b\n", 4)}},
        LineCase{"bytes become units of the same value", "\xe9\x80\xff\n",
                 {WString{0xE9, 0x80, 0xFF, u'\n'}}},
        LineCase{"utf-16 text yields its bytes", std::string("\xff\xfeV\0\n\0", 6),
                 {WString{0xFF, 0xFE, u'V', 0, u'\n'}, WString{0}}},
        // 255 units fit one line; the line feed after them is a line of its own.
        LineCase{"255 units", std::string(255, 'x') + "\n", {Units(255, u'x'), u"\n"}},
        LineCase{"254 units and lf", std::string(254, 'x') + "\n", {Units(254, u'x') + u"\n"}},
        LineCase{"256 units", std::string(256, 'x') + "\n",
                 {Units(255, u'x'), u"x\n"}},
        // A CR LF pair that straddles the 255-unit cut still becomes one LF.
        LineCase{"crlf at the cut", std::string(255, 'x') + "\r\n", {Units(255, u'x'), u"\n"}},
        LineCase{"crlf after 254", std::string(254, 'x') + "\r\n", {Units(254, u'x') + u"\n"}}));

TEST(TextLineReader, AOneMegabyteLineComesInPiecesOf255) {
  std::string bytes(1 << 20, 'q');
  bytes += "\r\nVendor\n";
  MemoryInput file(bytes, 4096);
  TextLineReader reader(file);
  WString line;
  std::size_t pieces = 0;
  std::size_t units = 0;
  while (reader.ReadLine(line) && line.back() != u'\n') {
    ++pieces;
    units += line.size();
    ASSERT_EQ(line.size(), 255u);
  }
  // 1048576 = 4112 * 255 + 16: the last piece has 16 units and the LF.
  EXPECT_EQ(pieces, 4112u);
  EXPECT_EQ(units, 4112u * 255u);
  EXPECT_EQ(line, Units(16, u'q') + u"\n");
  ASSERT_TRUE(reader.ReadLine(line));
  EXPECT_EQ(line, u"Vendor\n");
  EXPECT_FALSE(reader.ReadLine(line));
}

TEST(CStringPart, EndsAtTheFirstNul) {
  EXPECT_EQ(CStringPart(WString(u"ab\0cd\n", 6)), u"ab");
  EXPECT_EQ(CStringPart(u"abc\n"), u"abc\n");
  EXPECT_EQ(CStringPart(WString(u"\0x", 2)), u"");
}

}  // namespace
}  // namespace ztrm
