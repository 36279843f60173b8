#include "platform/win32/win32_console.h"

#include <cstdio>

namespace ztrm {

// stdout stays in the runtime's default text mode, so each LF leaves as CR LF
// exactly as it does for printf.
void Win32Console::Write(std::string_view bytes) {
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

}  // namespace ztrm
