#include "tools/profile_index.h"

#include <gtest/gtest.h>

namespace ztrm {
namespace {

// The index must answer every lookup as the read's own search does: first
// section and first key of a name, ASCII letters folded only, blanks around
// the requested name trimmed, a NUL ending it.
TEST(ProfileIndexTest, FindsWhatTheReadFinds) {
  const std::string file =
      "top=1\r\n[Sec]\r\nKey=1\r\nkey=2\r\nN\r\n[sec]\r\nOther=3\r\n[\xC9t\xE9]\r\n\xC9=4\r\n"
      "[]\r\nE=5\r\n[ Spaced ]\r\nS = 6\r\n";
  ProfileDocument doc = ParseProfile(file);
  ProfileIndex index(doc);
  const char16_t* sections[] = {u"", u" ", u"Sec", u"SEC", u" sec ", u"sec\0x", u"\u00C9t\u00E9",
                                u"\u00E9t\u00E9", u"Spaced", u"spaced", u"missing"};
  const char16_t* keys[] = {u"top", u"Key", u"KEY", u" key", u"N", u"Other", u"\u00C9",
                            u"\u00E9", u"E", u"S", u"s", u"none"};
  for (const char16_t* section : sections) {
    WStringView s = section == sections[5] ? WStringView(u"sec\0x", 5) : WStringView(section);
    EXPECT_EQ(index.Section(doc, s), FindProfileSection(doc, s)) << ToUtf8(s);
    for (const char16_t* key : keys) {
      EXPECT_EQ(index.Entry(doc, s, key), FindProfileEntry(doc, s, key))
          << ToUtf8(s) << " / " << ToUtf8(key);
    }
  }
  // The searches do find things, so the comparison above is not of nulls.
  ASSERT_NE(index.Entry(doc, u"SEC", u"KEY"), nullptr);
  EXPECT_EQ(index.Entry(doc, u"SEC", u"KEY")->line, 3u);
  EXPECT_EQ(index.Entry(doc, u"sec", u"Other"), nullptr);
}

}  // namespace
}  // namespace ztrm
