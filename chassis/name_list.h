// Name lists of chassis description files: "1,2,3" names the sections
// PCIBusSegment1, PCIBusSegment2 and PCIBusSegment3.
#ifndef ZTRM_CHASSIS_NAME_LIST_H_
#define ZTRM_CHASSIS_NAME_LIST_H_

#include <vector>

#include "common/wide_text.h"

namespace ztrm {

// Splits `list` at every ",". Only the comma separates: blanks belong to the
// names ("1, 2" gives "1" and " 2"), so a section is looked up exactly as the
// file spells the name. Empty names (",,", a leading or a trailing comma) are
// dropped; a name that repeats gives one element per occurrence. The text
// is taken up to its first NUL, as the C string it stands for.
std::vector<WideText> SplitNameList(WStringView list);

}  // namespace ztrm

#endif  // ZTRM_CHASSIS_NAME_LIST_H_
