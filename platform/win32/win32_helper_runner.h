// Starts this executable again as a helper process (CreateProcessW with its
// own path, the hidden argument and the words), reads its standard output
// through a pipe and waits for it within a time limit (helper_answers.h);
// a helper still running then is ended with TerminateProcess.
#ifndef ZTRM_PLATFORM_WIN32_WIN32_HELPER_RUNNER_H_
#define ZTRM_PLATFORM_WIN32_WIN32_HELPER_RUNNER_H_

#include "capture/helper_answers.h"

namespace ztrm {

class Win32HelperRunner : public HelperRunner {
 public:
  HelperRun Run(const std::vector<std::string>& words, std::uint32_t timeout_ms) override;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_WIN32_WIN32_HELPER_RUNNER_H_
