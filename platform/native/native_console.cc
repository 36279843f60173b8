#include "platform/native/native_console.h"

#include <cstdio>

namespace ztrm {

void NativeConsole::Write(std::string_view bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

}  // namespace ztrm
