// Standard output of the native program: the bytes as they are, flushed at
// once (Linux has no text mode, so LF stays LF).
#ifndef ZTRM_PLATFORM_NATIVE_NATIVE_CONSOLE_H_
#define ZTRM_PLATFORM_NATIVE_NATIVE_CONSOLE_H_

#include "platform/console.h"

namespace ztrm {

class NativeConsole : public Console {
 public:
  void Write(std::string_view bytes) override;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_NATIVE_NATIVE_CONSOLE_H_
