// An output file that appends to a string, for streams whose bytes a test
// reads back. The string must outlive every stream writing to it (a stream
// flushes when it is destroyed).
#ifndef ZTRM_TESTS_MEMORY_OUTPUT_H_
#define ZTRM_TESTS_MEMORY_OUTPUT_H_

#include <string>

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

}  // namespace ztrm

#endif  // ZTRM_TESTS_MEMORY_OUTPUT_H_
