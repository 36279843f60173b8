// How Wine 8.0 matches file names against a FindFirstFileW pattern, makes the
// 8.3 short names it also matches against, and orders a folder's listing.
// Every rule here was checked with FindFirstFileW/FindNextFileW under Wine 8.0
// on a Linux folder; file_name_rules_test.cc holds the measured cases.
#ifndef ZTRM_PLATFORM_NATIVE_FILE_NAME_RULES_H_
#define ZTRM_PLATFORM_NATIVE_FILE_NAME_RULES_H_

#include "common/wide_text.h"

namespace ztrm {

// True when the pattern holds one of the wildcards * ? < > ". A pattern
// without one names a single entry.
bool HasWildcard(WStringView pattern);

// True when `name` is already a valid DOS 8.3 name ("A.INI", "Ab.Ini", "~x"):
// at most 8 characters, one optional dot followed by 1 to 3 characters, no
// character above 0x7F and none of * ? < > | " + = , ; [ ] space : / \.
// "." and ".." count as valid.
bool IsLegal8Dot3Name(WStringView name);

// The short name Wine gives an entry whose long name is not a valid 8.3 name
// ("x.inix" -> "X~~~~BB4.INI"); empty for a valid one. The first four
// characters before the extension (invalid ones as '_'), '~' up to five,
// three characters of a hash of the whole name without regard to case, then
// '.' and the first three characters of the extension (after the last dot
// that is neither the first nor the last character), all in upper case.
WString ShortNameOf(WStringView long_name);

// The pattern match of a listing, without regard to case: '*' any run, '?'
// one character. This is Wine 8.0's backtracking matcher with its quirks,
// kept on purpose: after a '*' the match resumes at the next character equal
// to the pattern's next one, so "*?.ini" matches nothing; '.' and '*' left in
// the pattern once the name is used up match the empty end ("a.*" matches
// "a", "*." matches everything).
bool MatchesFileMask(WStringView name, WStringView pattern);

// Listing order: names compared with letters folded to upper case (so "_x"
// comes after "Zeta"), ties broken by the plain code unit order ("A.ini"
// before "a.ini").
int CompareListingNames(WStringView a, WStringView b);

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_NATIVE_FILE_NAME_RULES_H_
