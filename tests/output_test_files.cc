#include "tests/output_test_files.h"

#include "tests/test_image.h"

namespace ztrm {

std::string ExpectedCrlfFile(const std::string& relative) {
  return CrLf(ReadSourceFile("tests/expected/" + relative));
}

std::string CrLf(const std::string& lf) {
  std::string crlf;
  for (char c : lf) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  return crlf;
}

}  // namespace ztrm
