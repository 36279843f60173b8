// Expected output files: kept under tests/expected with LF line ends for
// reading and editing; the files themselves have CR LF.
#ifndef ZTRM_TESTS_OUTPUT_TEST_FILES_H_
#define ZTRM_TESTS_OUTPUT_TEST_FILES_H_

#include <string>

namespace ztrm {

// `lf` with every LF turned into CR LF, as a text-mode file or the run log
// holds it.
std::string CrLf(const std::string& lf);
// tests/expected/<relative> with every LF turned into CR LF.
std::string ExpectedCrlfFile(const std::string& relative);

}  // namespace ztrm

#endif  // ZTRM_TESTS_OUTPUT_TEST_FILES_H_
