#include "chassis/name_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace ztrm {
namespace {

// Empty names are skipped, a repeated name is kept, and the text ends at a
// NUL. A blank after a comma stays part of the name (the whole description's
// parse in description_parser_test.cc shows it).
TEST(SplitNameList, StopsAtANul) {
  WString list = u"1,,1,";
  list.push_back(u'\0');
  list += u",3";
  std::vector<WString> names;
  for (const WideText& name : SplitNameList(list)) names.push_back(name.str());
  EXPECT_EQ(names, (std::vector<WString>{u"1", u"1"}));
}

}  // namespace
}  // namespace ztrm
