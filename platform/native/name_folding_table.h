// Wine 8.0's case tables for UTF-16 units: each unit that has an upper (or
// lower) case form, with that form, sorted by unit. Units not listed are their
// own case form. Measured by platform/win32/name_fold_probe.cc, which writes
// name_folding_table.cc, not derived from the Unicode data: U+01C5 (title
// case), U+0131 (dotless i) and U+00DF (sharp s) have no upper case form
// here, U+24D0 (circled a) has one.
#ifndef ZTRM_PLATFORM_NATIVE_NAME_FOLDING_TABLE_H_
#define ZTRM_PLATFORM_NATIVE_NAME_FOLDING_TABLE_H_

#include <cstddef>

namespace ztrm {

struct CasePair {
  char16_t unit;
  char16_t folded;
};

extern const CasePair kUpperCasePairs[];
extern const std::size_t kUpperCasePairCount;
extern const CasePair kLowerCasePairs[];
extern const std::size_t kLowerCasePairCount;

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_NATIVE_NAME_FOLDING_TABLE_H_
