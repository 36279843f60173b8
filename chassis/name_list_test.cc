#include "chassis/name_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace ztrm {
namespace {

struct SplitCase {
  const char16_t* list;
  std::vector<WString> names;
};

void PrintTo(const SplitCase& c, std::ostream* os) { *os << ToUtf8(c.list); }

class SplitNameListTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitNameListTest, GivesTheNamesInOrder) {
  const SplitCase& c = GetParam();
  std::vector<WString> got;
  for (const WideText& name : SplitNameList(c.list)) got.push_back(name.str());
  EXPECT_EQ(got, c.names) << ToUtf8(c.list);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitNameListTest,
    testing::Values(
        SplitCase{u"", {}},
        SplitCase{u"1", {u"1"}},
        SplitCase{u"1,2,3", {u"1", u"2", u"3"}},
        // Blanks are part of the names.
        SplitCase{u"1, 2", {u"1", u" 2"}},
        SplitCase{u" 1 , 2 ", {u" 1 ", u" 2 "}},
        // Empty names are dropped wherever they stand.
        SplitCase{u"1,,2,", {u"1", u"2"}},
        SplitCase{u",1", {u"1"}},
        SplitCase{u",,,", {}},
        SplitCase{u",", {}},
        // A blank is a name, not an empty one.
        SplitCase{u"1, ,2", {u"1", u" ", u"2"}},
        // Repeated names each give their own element.
        SplitCase{u"1,1", {u"1", u"1"}},
        // Only the comma separates.
        SplitCase{u"a;b c\td", {u"a;b c\td"}},
        SplitCase{u"Slot1,Slot 2,,Slot3", {u"Slot1", u"Slot 2", u"Slot3"}}));

TEST(SplitNameList, StopsAtANul) {
  WString list = u"1,2";
  list.push_back(u'\0');
  list += u",3";
  std::vector<WideText> names = SplitNameList(list);
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0].str(), u"1");
  EXPECT_EQ(names[1].str(), u"2");
}

TEST(SplitNameList, AFullLengthListOfOneUnitNames) {
  // 130 names "7" and 129 commas: the longest list a 259-unit text holds.
  WString list;
  for (int i = 0; i < 130; ++i) list += i ? u",7" : u"7";
  ASSERT_EQ(list.size(), WideText::kMaxLength);
  std::vector<WideText> names = SplitNameList(list);
  ASSERT_EQ(names.size(), 130u);
  for (const WideText& name : names) EXPECT_EQ(name.str(), u"7");
}

}  // namespace
}  // namespace ztrm
