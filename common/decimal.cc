#include "common/decimal.h"

#include <limits>

namespace ztrm {

std::int32_t ParseDecimal(WStringView text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
    negative = text[i] == u'-';
    ++i;
  }
  std::int64_t value = 0;
  bool overflow = false;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    if (!overflow) {
      value = value * 10 + (text[i] - u'0');
      if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) overflow = true;
    }
  }
  if (negative) value = -value;
  if (overflow || value > std::numeric_limits<std::int32_t>::max()) {
    return negative ? std::numeric_limits<std::int32_t>::min()
                    : std::numeric_limits<std::int32_t>::max();
  }
  if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

WString DecimalText(std::int64_t value) {
  bool negative = value < 0;
  std::uint64_t mag = negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  WString out;
  do {
    out.insert(out.begin(), static_cast<char16_t>(u'0' + mag % 10));
    mag /= 10;
  } while (mag);
  if (negative) out.insert(out.begin(), u'-');
  return out;
}

}  // namespace ztrm
