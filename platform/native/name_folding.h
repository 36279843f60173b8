// Case folding for the names the native backend compares the way Wine 8.0
// does: file names (listing order, pattern and path component matching, 8.3
// short names) and registry keys and values. One table for all of them, Wine's
// own (name_folding_table.h), covering every UTF-16 unit: Wine folds "ą" with
// "Ą" and "ж" with "Ж" in file names and registry keys alike.
//
// Profile section and key names are not compared through this table: Wine's
// GetPrivateProfileStringW folds ASCII letters only (AsciiNamesEqualIgnoreCase).
#ifndef ZTRM_PLATFORM_NATIVE_NAME_FOLDING_H_
#define ZTRM_PLATFORM_NATIVE_NAME_FOLDING_H_

#include "common/wide_text.h"

namespace ztrm {

// The unit's upper (lower) case form in Wine's table; the unit itself when it
// has none. Surrogate halves are their own form.
char16_t NameFoldUpper(char16_t c);
char16_t NameFoldLower(char16_t c);
// Equal when every unit's upper case forms are equal.
bool NamesEqualIgnoreCase(WStringView a, WStringView b);
// Equal when equal with the ASCII letters A-Z and a-z folded; every other unit
// must match exactly.
bool AsciiNamesEqualIgnoreCase(WStringView a, WStringView b);

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_NATIVE_NAME_FOLDING_H_
