// Windows-1252, the ANSI code page of the machines this system replays, as
// Wine 8.0's MultiByteToWideChar and WideCharToMultiByte (no flags) convert.
//
// Bytes to text: 0x00..0x7F and 0xA0..0xFF keep their value; 0x80..0x9F are
// the 1252 letters and signs (0x80 is U+20AC), and the five bytes 1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the code unit of the same
// value, as Windows does.
//
// Text to bytes, unit by unit: the reverse of the above, then the "best fit"
// table Windows and Wine both apply without WC_NO_BEST_FIT_CHARS (U+0100
// becomes 'A', U+2212 '-', U+FF21 'A', ...); everything else becomes '?'. The
// table was measured under Wine 8.0, every BMP code unit through CP_ACP (1252).
// U+0080..U+009F other than the five undefined bytes have no byte: '?'. A
// surrogate pair gives two '?'. Combining sequences are not composed.
#ifndef ZTRM_PLATFORM_NATIVE_CP1252_H_
#define ZTRM_PLATFORM_NATIVE_CP1252_H_

#include <string>
#include <string_view>

#include "common/wide_text.h"

namespace ztrm {

char16_t DecodeWindows1252Byte(unsigned char byte);
// The byte of one code unit; '?' when it has none.
char EncodeWindows1252Unit(char16_t unit);

WString DecodeWindows1252(std::string_view bytes);
std::string EncodeWindows1252(WStringView text);

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_NATIVE_CP1252_H_
