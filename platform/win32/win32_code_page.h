// The ANSI code page through kernel32's conversions.
#ifndef ZTRM_PLATFORM_WIN32_WIN32_CODE_PAGE_H_
#define ZTRM_PLATFORM_WIN32_WIN32_CODE_PAGE_H_

#include "platform/code_page.h"

namespace ztrm {

class Win32CodePage : public CodePage {
 public:
  std::string ToUserDefault(WStringView text) override;
  WString FromUserDefault(std::string_view bytes) override;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_WIN32_WIN32_CODE_PAGE_H_
