// Bounded wide text: the one string type of every record, path and message.
//
// Windows keeps these values in buffers of 260 UTF-16 code units, terminator
// included, so a value holds at most 259 units. Anything longer is cut at 259
// units when it is stored; a value is also cut at its first NUL, exactly as a
// copy into a NUL-terminated buffer would be.
#ifndef ZTRM_COMMON_WIDE_TEXT_H_
#define ZTRM_COMMON_WIDE_TEXT_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace ztrm {

using WString = std::u16string;
using WStringView = std::u16string_view;

class WideText {
 public:
  static constexpr std::size_t kCapacity = 260;  // units, terminator included
  static constexpr std::size_t kMaxLength = kCapacity - 1;

  WideText() = default;
  WideText(WStringView value) { Assign(value); }    // NOLINT: implicit by design
  WideText(const WString& value) { Assign(value); }  // NOLINT
  WideText(const char16_t* value) { Assign(value ? WStringView(value) : WStringView()); }  // NOLINT

  // Stores `value` up to its first NUL, cut to kMaxLength units.
  void Assign(WStringView value);
  // True when `value` (without a terminator) fits the buffer uncut.
  static bool Fits(WStringView value) { return value.size() <= kMaxLength; }

  WStringView view() const { return value_; }
  const char16_t* c_str() const { return value_.c_str(); }
  const WString& str() const { return value_; }
  std::size_t size() const { return value_.size(); }
  bool empty() const { return value_.empty(); }
  void clear() { value_.clear(); }

  friend bool operator==(const WideText& a, const WideText& b) { return a.value_ == b.value_; }
  friend bool operator!=(const WideText& a, const WideText& b) { return a.value_ != b.value_; }
  friend bool operator==(const WideText& a, WStringView b) { return a.view() == b; }
  friend bool operator!=(const WideText& a, WStringView b) { return a.view() != b; }

 private:
  WString value_;
};

// ASCII/Latin-1 widening for literals and narrow text read as 8-bit characters:
// each byte becomes one code unit of the same value.
WString WidenBytes(std::string_view bytes);

// UTF-8 <-> UTF-16 for the Linux side (file names, console, test output).
// Invalid sequences become U+FFFD.
std::string ToUtf8(WStringView text);
WString FromUtf8(std::string_view text);

// Case folding the way Windows file and key names compare: ASCII letters only.
char16_t FoldToLower(char16_t c);
char16_t FoldToUpper(char16_t c);
bool EqualsIgnoreCase(WStringView a, WStringView b);

}  // namespace ztrm

#endif  // ZTRM_COMMON_WIDE_TEXT_H_
