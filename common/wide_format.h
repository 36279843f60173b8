// printf-style formatting of wide text, the same on every platform.
//
// The system's messages are written as Windows wide printf formats: "%s" is
// wide text, "%d" a 32-bit int (long is 32 bits on Windows too), "%u", "%x",
// "%X", "%c", "%%", with the flags "-+ 0#", a width and a precision
// ("%.8X", "%.3u", "%08lx"). As in the Microsoft runtime, the '0' flag pads
// text with zeros too ("%05s" of "ab" is "000ab") unless '-' is given. Length modifiers h, hh, l, ll, I64 select the
// integer size the way Windows reads the argument. Arguments are typed, so a
// missing argument reads as 0 or empty text instead of reading the stack.
#ifndef ZTRM_COMMON_WIDE_FORMAT_H_
#define ZTRM_COMMON_WIDE_FORMAT_H_

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "common/wide_text.h"

namespace ztrm {

class FormatArg {
 public:
  enum class Kind { kInteger, kWide, kNarrow };

  template <typename T, typename = std::enable_if_t<std::is_integral_v<T>>>
  FormatArg(T value)  // NOLINT: implicit by design
      : kind_(Kind::kInteger),
        bits_(static_cast<std::uint64_t>(static_cast<std::int64_t>(value))) {
    if constexpr (std::is_unsigned_v<T>) bits_ = static_cast<std::uint64_t>(value);
  }
  FormatArg(const char16_t* text) : kind_(Kind::kWide), wide_(text ? text : u"") {}  // NOLINT
  FormatArg(WStringView text) : kind_(Kind::kWide), wide_(text) {}                  // NOLINT
  FormatArg(const WString& text) : kind_(Kind::kWide), wide_(text) {}               // NOLINT
  FormatArg(const WideText& text) : kind_(Kind::kWide), wide_(text.view()) {}       // NOLINT
  // Narrow text is taken byte by byte as 8-bit characters.
  FormatArg(const char* text) : kind_(Kind::kNarrow), narrow_(text ? text : "") {}  // NOLINT
  FormatArg(std::string_view text) : kind_(Kind::kNarrow), narrow_(text) {}        // NOLINT

  Kind kind() const { return kind_; }
  std::uint64_t bits() const { return bits_; }
  WStringView wide() const { return wide_; }
  std::string_view narrow() const { return narrow_; }

 private:
  Kind kind_;
  std::uint64_t bits_ = 0;
  WStringView wide_;
  std::string_view narrow_;
};

WString FormatWideArgs(WStringView format, std::initializer_list<FormatArg> args);

// The same, appended to `out` (a caller formatting many messages reuses one
// buffer).
void AppendFormatWideArgs(WString& out, WStringView format, std::initializer_list<FormatArg> args);

template <typename... Args>
WString FormatWide(WStringView format, const Args&... args) {
  return FormatWideArgs(format, {FormatArg(args)...});
}

// The same formatting for narrow (8-bit) formats such as console messages;
// wide arguments are narrowed byte-wise (units above 0xFF become '?').
std::string FormatNarrowArgs(std::string_view format, std::initializer_list<FormatArg> args);

template <typename... Args>
std::string FormatNarrow(std::string_view format, const Args&... args) {
  return FormatNarrowArgs(format, {FormatArg(args)...});
}

}  // namespace ztrm

#endif  // ZTRM_COMMON_WIDE_FORMAT_H_
