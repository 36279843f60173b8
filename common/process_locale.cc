#include "common/process_locale.h"

namespace ztrm {

std::string ProcessLocale::ToMultiByte(WStringView text) const {
  if (user_default_) return code_page_.ToUserDefault(text);
  std::string out;
  out.reserve(text.size());
  for (char16_t c : text) out.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
  return out;
}

WString ProcessLocale::FromMultiByte(std::string_view bytes) const {
  if (user_default_) return code_page_.FromUserDefault(bytes);
  return WidenBytes(bytes);
}

}  // namespace ztrm
