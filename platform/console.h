// Standard output of the process.
#ifndef ZTRM_PLATFORM_CONSOLE_H_
#define ZTRM_PLATFORM_CONSOLE_H_

#include <string_view>

namespace ztrm {

class Console {
 public:
  virtual ~Console() = default;
  // Writes the bytes to standard output as they are, and flushes.
  virtual void Write(std::string_view bytes) = 0;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_CONSOLE_H_
