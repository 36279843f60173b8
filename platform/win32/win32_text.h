// Passing the core's UTF-16 text to the wide Win32 functions and back.
//
// Windows' wchar_t is a 16-bit UTF-16 code unit, the same representation as
// char16_t, so the conversion is a pointer cast and never a copy of the text.
// Views are not NUL-terminated, so a call that needs a C string copies the
// view into a WString first (Terminated).
#ifndef ZTRM_PLATFORM_WIN32_WIN32_TEXT_H_
#define ZTRM_PLATFORM_WIN32_WIN32_TEXT_H_

#include <cstddef>

#include "common/wide_text.h"

namespace ztrm {

static_assert(sizeof(wchar_t) == sizeof(char16_t),
              "the Win32 backend needs a 16-bit wchar_t (build for Windows)");

inline const wchar_t* AsWide(const char16_t* text) {
  return reinterpret_cast<const wchar_t*>(text);
}
inline wchar_t* AsWide(char16_t* text) { return reinterpret_cast<wchar_t*>(text); }
inline const char16_t* AsUtf16(const wchar_t* text) {
  return reinterpret_cast<const char16_t*>(text);
}

inline WString Terminated(WStringView text) { return WString(text); }

// `units` code units starting at `text`, which need not be NUL-terminated.
inline WString FromWide(const wchar_t* text, std::size_t units) {
  return WString(AsUtf16(text), units);
}
// A NUL-terminated wide string.
inline WString FromWide(const wchar_t* text) { return text ? WString(AsUtf16(text)) : WString(); }

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_WIN32_WIN32_TEXT_H_
