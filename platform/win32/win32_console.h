// Standard output through the C runtime's text-mode stdout.
#ifndef ZTRM_PLATFORM_WIN32_WIN32_CONSOLE_H_
#define ZTRM_PLATFORM_WIN32_WIN32_CONSOLE_H_

#include "platform/console.h"

namespace ztrm {

class Win32Console : public Console {
 public:
  void Write(std::string_view bytes) override;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_WIN32_WIN32_CONSOLE_H_
