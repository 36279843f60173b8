#include "common/text_stream.h"

#include <gtest/gtest.h>

#include "tests/memory_output.h"

namespace ztrm {
namespace {

class Latin1ForTest : public CodePage {
 public:
  std::string ToUserDefault(WStringView text) override {
    std::string out;
    for (char16_t c : text) out.push_back(c == u'\u20AC' ? '\x80' : (c <= 0xFF ? static_cast<char>(c) : '?'));
    return out;
  }
  WString FromUserDefault(std::string_view bytes) override { return WidenBytes(bytes); }
};

TEST(TextStreamTest, WritesTheBytesOfAWindowsTextModeStream) {
  Latin1ForTest code_page;
  ProcessLocale locale(code_page);
  std::string bytes;
  {
    TextStream stream(std::make_unique<MemoryOutput>(&bytes), locale);
    stream.Write(u"Create Log File Success.\r\n");
    stream.Print(u"%s\n\nSERVICE START\r\n", u"[2026-12-06_05:30:00.123]  ");
    stream.Write(u"bare\n");
    stream.Write(u"lone\r");
  }
  EXPECT_EQ(bytes,
            "Create Log File Success.\r\r\n"
            "[2026-12-06_05:30:00.123]  \r\n\r\nSERVICE START\r\r\n"
            "bare\r\n"
            "lone\r");
}

TEST(TextStreamTest, LocaleDecidesTheBytesOfNonAsciiText) {
  Latin1ForTest code_page;
  ProcessLocale locale(code_page);
  std::string bytes;
  TextStream stream(std::make_unique<MemoryOutput>(&bytes), locale);
  // The "C" locale stores units up to 0xFF as they are; nothing above.
  stream.Write(u"\u00E9\u20AC\u4E2D");
  locale.UseUserDefault();
  stream.Write(u"\u00E9\u20AC\u4E2D");
  stream.Close();
  EXPECT_EQ(bytes, "\xE9??\xE9\x80?");
  stream.Write(u"after close");  // dropped, no crash
  EXPECT_EQ(bytes.size(), 6u);
}

// A line feed or a unit above 0x7F is found in every position of a text,
// also where only its low byte looks like a line feed (U+010A) or like ASCII.
TEST(TextStreamTest, LineFeedsAndWideUnitsAreFoundAnywhere) {
  Latin1ForTest code_page;
  ProcessLocale locale(code_page);  // "C" locale: up to 0xFF as is, '?' above
  struct Special {
    char16_t unit;
    const char* bytes;
  };
  const Special specials[] = {{u'\n', "\r\n"}, {u'\u00E9', "\xE9"}, {u'\u0080', "\x80"},
                              {u'\u010A', "?"},   {u'\u0A0A', "?"},    {u'\u2061', "?"}};
  for (const Special& special : specials) {
    for (std::size_t size = 1; size <= 11; ++size) {
      for (std::size_t at = 0; at < size; ++at) {
        WString text(size, u'a');
        text[at] = special.unit;
        const std::string expected =
            std::string(at, 'a') + special.bytes + std::string(size - at - 1, 'a');
        std::string bytes;
        {
          TextStream stream(std::make_unique<MemoryOutput>(&bytes), locale);
          stream.Write(text);
        }
        EXPECT_EQ(bytes, expected) << "unit " << static_cast<int>(special.unit) << " at " << at
                                   << " of " << size;
      }
    }
  }
}

TEST(TextStreamTest, LargeOutputIsWrittenWhole) {
  Latin1ForTest code_page;
  ProcessLocale locale(code_page);
  std::string bytes;
  {
    TextStream stream(std::make_unique<MemoryOutput>(&bytes), locale);
    for (int i = 0; i < 20000; ++i) stream.Write(u"0123456789\n");
  }
  EXPECT_EQ(bytes.size(), 20000u * 12u);
  EXPECT_EQ(bytes.substr(bytes.size() - 12), "0123456789\r\n");
}

}  // namespace
}  // namespace ztrm
