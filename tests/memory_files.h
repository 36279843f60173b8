// Files in memory. The output appends to a string, which must outlive every
// stream writing to it (a stream flushes when it is destroyed); the input
// hands out bytes it does not own, at most `chunk` a read, so that tests can
// make line ends fall across read boundaries.
#ifndef ZTRM_TESTS_MEMORY_FILES_H_
#define ZTRM_TESTS_MEMORY_FILES_H_

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace ztrm {

class MemoryOutput : public OutputFile {
 public:
  explicit MemoryOutput(std::string* sink) : sink_(sink) {}
  bool Write(const char* data, std::size_t size) override {
    sink_->append(data, size);
    return true;
  }

 private:
  std::string* sink_;
};

class MemoryInput : public InputFile {
 public:
  explicit MemoryInput(std::string_view bytes, std::size_t chunk = std::string_view::npos)
      : bytes_(bytes), chunk_(chunk) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    const std::size_t n = std::min({size, chunk_, bytes_.size() - pos_});
    if (n) std::memcpy(buffer, bytes_.data() + pos_, n);
    pos_ += n;
    return n;
  }

 private:
  std::string_view bytes_;
  std::size_t chunk_;
  std::size_t pos_ = 0;
};

}  // namespace ztrm

#endif  // ZTRM_TESTS_MEMORY_FILES_H_
