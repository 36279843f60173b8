#include "tests/output_test_files.h"

#include "tests/test_image.h"

namespace ztrm {

std::string ExpectedOutputFile(const std::string& name) {
  const std::string lf = ReadSourceFile("tests/expected/output/" + name);
  std::string crlf;
  for (char c : lf) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  return crlf;
}

}  // namespace ztrm
