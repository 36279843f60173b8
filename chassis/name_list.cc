#include "chassis/name_list.h"

namespace ztrm {

std::vector<WideText> SplitNameList(WStringView list) {
  std::size_t nul = list.find(u'\0');
  if (nul != WStringView::npos) list = list.substr(0, nul);
  std::vector<WideText> names;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t comma = list.find(u',', start);
    if (comma == WStringView::npos) comma = list.size();
    if (comma > start) names.emplace_back(list.substr(start, comma - start));
    start = comma + 1;
  }
  return names;
}

}  // namespace ztrm
