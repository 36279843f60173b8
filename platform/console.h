// Standard output of the process.
#ifndef ZTRM_PLATFORM_CONSOLE_H_
#define ZTRM_PLATFORM_CONSOLE_H_

#include <string_view>

namespace ztrm {

class Console {
 public:
  virtual ~Console() = default;
  // Writes to standard output as the C runtime's printf would, and flushes:
  // on Windows through the text-mode stream (each LF leaves as CR LF), on
  // Linux byte for byte.
  virtual void Write(std::string_view bytes) = 0;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_CONSOLE_H_
