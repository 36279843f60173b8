// Case folding for the names the native backend compares the way Wine does
// (file names, profile sections and keys, registry keys and values).
//
// Folded: the ASCII letters and the Latin-1 letters (U+00C0..U+00DE and
// U+00E0..U+00FE without the signs U+00D7 and U+00F7, plus U+00FF and
// U+0178). Wine folds through its full Unicode tables; names outside Latin-1
// do not occur in system images, so they compare as they are here.
#ifndef ZTRM_PLATFORM_NATIVE_NAME_FOLDING_H_
#define ZTRM_PLATFORM_NATIVE_NAME_FOLDING_H_

#include "common/wide_text.h"

namespace ztrm {

char16_t NameFoldUpper(char16_t c);
char16_t NameFoldLower(char16_t c);
bool NamesEqualIgnoreCase(WStringView a, WStringView b);

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_NATIVE_NAME_FOLDING_H_
