// Decimal text to integer, the way the C runtime's _wtoi reads it: leading
// white space (blank, tab, CR, LF, VT, FF) skipped, one optional sign, then
// digits up to the first other character; text without digits gives 0. A
// number beyond the int range gives INT_MAX or INT_MIN, as Microsoft's
// runtime documents for _wtoi.
#ifndef ZTRM_COMMON_DECIMAL_H_
#define ZTRM_COMMON_DECIMAL_H_

#include <cstdint>

#include "common/wide_text.h"

namespace ztrm {

std::int32_t ParseDecimal(WStringView text);

// Unsigned decimal text of a value, as "%d" of a non-negative number prints it.
WString DecimalText(std::int64_t value);

}  // namespace ztrm

#endif  // ZTRM_COMMON_DECIMAL_H_
