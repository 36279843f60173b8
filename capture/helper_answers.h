// Asking a vendor module library in a helper process, so that a library that
// crashes or hangs costs only its own answers: the capture executable starts
// itself with a hidden first argument (kHelperArgument) and the request's
// words (model_answers.h), the helper asks in-process and prints the answers
// on its standard output, and the capture reads them back.
//
// Bound: a helper that has not ended after kHelperTimeoutMs (10 s; the
// service's own calls to a library take well under a second even for 256
// modules) is ended and its library recorded as failing; so is one that ends
// with another exit code than 0 or prints anything but whole answers.
#ifndef ZTRM_CAPTURE_HELPER_ANSWERS_H_
#define ZTRM_CAPTURE_HELPER_ANSWERS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "capture/system_capture.h"

namespace ztrm {

inline constexpr char kHelperArgument[] = "--ask-library";
inline constexpr std::uint32_t kHelperTimeoutMs = 10000;

struct HelperRun {
  enum class Outcome { kEnded, kTimedOut, kNotStarted };
  Outcome outcome = Outcome::kNotStarted;
  std::uint32_t exit_code = 0;
  std::string output;  // standard output, whole
};

// Starts this executable again with `words` after the hidden argument and
// waits at most `timeout_ms`; a helper still running then is ended.
class HelperRunner {
 public:
  virtual ~HelperRunner() = default;
  virtual HelperRun Run(const std::vector<std::string>& words, std::uint32_t timeout_ms) = 0;
};

class HelperAnswerSource : public ModelAnswerSource {
 public:
  HelperAnswerSource(HelperRunner& runner, std::uint32_t timeout_ms)
      : runner_(runner), timeout_ms_(timeout_ms) {}
  std::optional<ModelAnswers> Ask(const ModelRequest& request, const ServiceBuffers& buffers,
                                  std::string& failure) override;

 private:
  HelperRunner& runner_;
  std::uint32_t timeout_ms_;
};

// The helper's side: asks as `words` say (after the hidden argument) and
// returns what to print; exit code 2 (and nothing to print) when the words
// do not read.
int RunHelper(DynamicLibraries& libraries, const std::vector<std::string>& words,
              std::string& output);

}  // namespace ztrm

#endif  // ZTRM_CAPTURE_HELPER_ANSWERS_H_
