// The user-default code page of the replayed machine: Windows-1252 both ways,
// exactly as cp1252.h describes (Wine 8.0's conversion, best fit included).
#ifndef ZTRM_PLATFORM_NATIVE_NATIVE_CODE_PAGE_H_
#define ZTRM_PLATFORM_NATIVE_NATIVE_CODE_PAGE_H_

#include "platform/code_page.h"

namespace ztrm {

class NativeCodePage : public CodePage {
 public:
  std::string ToUserDefault(WStringView text) override;
  WString FromUserDefault(std::string_view bytes) override;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_NATIVE_NATIVE_CODE_PAGE_H_
