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
    testing::Values(SplitCase{u"1, 2", {u"1", u" 2"}}, SplitCase{u"1,,2,", {u"1", u"2"}},
                    SplitCase{u"1,1", {u"1", u"1"}}));

TEST(SplitNameList, StopsAtANul) {
  WString list = u"1,2";
  list.push_back(u'\0');
  list += u",3";
  std::vector<WideText> names = SplitNameList(list);
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0].str(), u"1");
  EXPECT_EQ(names[1].str(), u"2");
}

}  // namespace
}  // namespace ztrm
