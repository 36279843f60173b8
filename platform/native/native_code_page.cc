#include "platform/native/native_code_page.h"

#include "platform/native/cp1252.h"

namespace ztrm {

std::string NativeCodePage::ToUserDefault(WStringView text) { return EncodeWindows1252(text); }

WString NativeCodePage::FromUserDefault(std::string_view bytes) { return DecodeWindows1252(bytes); }

}  // namespace ztrm
