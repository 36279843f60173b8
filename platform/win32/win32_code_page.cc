#include "platform/win32/win32_code_page.h"

#include <climits>

#include "platform/win32/win32_text.h"
#include "platform/win32/win32_windows.h"

namespace ztrm {

// Both functions take int lengths; text of the system's files is far shorter,
// and anything longer is converted up to that length.

std::string Win32CodePage::ToUserDefault(WStringView text) {
  if (text.empty()) return std::string();
  const int units = text.size() > INT_MAX ? INT_MAX : static_cast<int>(text.size());
  const wchar_t* source = AsWide(text.data());
  const int bytes = WideCharToMultiByte(CP_ACP, 0, source, units, nullptr, 0, "?", nullptr);
  if (bytes <= 0) return std::string();
  std::string out(static_cast<std::size_t>(bytes), '\0');
  const int written = WideCharToMultiByte(CP_ACP, 0, source, units, &out[0], bytes, "?", nullptr);
  out.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return out;
}

WString Win32CodePage::FromUserDefault(std::string_view bytes) {
  if (bytes.empty()) return WString();
  const int size = bytes.size() > INT_MAX ? INT_MAX : static_cast<int>(bytes.size());
  const int units = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
  if (units <= 0) return WString();
  WString out(static_cast<std::size_t>(units), u'\0');
  const int written = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, AsWide(&out[0]), units);
  out.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return out;
}

}  // namespace ztrm
