// The user-default locale's multibyte code page (the ANSI code page), which
// the system files and the run log use once a writer has switched to it.
#ifndef ZTRM_PLATFORM_CODE_PAGE_H_
#define ZTRM_PLATFORM_CODE_PAGE_H_

#include <string>
#include <string_view>

#include "common/wide_text.h"

namespace ztrm {

class CodePage {
 public:
  virtual ~CodePage() = default;
  // Wide text to the user-default code page; characters it cannot represent
  // become '?'.
  virtual std::string ToUserDefault(WStringView text) = 0;
  // Bytes of the user-default code page to wide text.
  virtual WString FromUserDefault(std::string_view bytes) = 0;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_CODE_PAGE_H_
