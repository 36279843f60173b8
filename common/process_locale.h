// The process's current C-runtime locale, as far as the output files see it.
//
// A process starts in the "C" locale; the first system file writer switches
// it to the user-default locale for good, and from then on the run log too
// stores wide text in that locale's code page.
//
// Characters a locale cannot represent (our choice, the same on every
// platform): each such code unit is written as '?'. In the "C" locale the
// units 0 to 0xFF are written as the byte of the same value, as Microsoft's
// runtime does; anything above is unrepresentable.
#ifndef ZTRM_COMMON_PROCESS_LOCALE_H_
#define ZTRM_COMMON_PROCESS_LOCALE_H_

#include <string>

#include "common/wide_text.h"
#include "platform/code_page.h"

namespace ztrm {

class ProcessLocale {
 public:
  explicit ProcessLocale(CodePage& code_page) : code_page_(code_page) {}

  // setlocale(LC_ALL, ""): the user-default locale from now on.
  void UseUserDefault() { user_default_ = true; }
  bool IsUserDefault() const { return user_default_; }

  std::string ToMultiByte(WStringView text) const;
  WString FromMultiByte(std::string_view bytes) const;

 private:
  CodePage& code_page_;
  bool user_default_ = false;
};

}  // namespace ztrm

#endif  // ZTRM_COMMON_PROCESS_LOCALE_H_
