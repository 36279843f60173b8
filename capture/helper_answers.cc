#include "capture/helper_answers.h"

#include "common/wide_format.h"

namespace ztrm {

std::optional<ModelAnswers> HelperAnswerSource::Ask(const ModelRequest& request,
                                                    const ServiceBuffers& buffers,
                                                    std::string& failure) {
  HelperRun run = runner_.Run(FormatModelRequest(request, buffers), timeout_ms_);
  switch (run.outcome) {
    case HelperRun::Outcome::kNotStarted:
      failure = "the helper process did not start";
      return std::nullopt;
    case HelperRun::Outcome::kTimedOut:
      failure = "no answer within " + std::to_string(timeout_ms_ / 1000) + " s";
      return std::nullopt;
    case HelperRun::Outcome::kEnded:
      break;
  }
  if (run.exit_code != 0) {
    failure = FormatNarrow("the helper process ended with 0x%08X", run.exit_code);
    return std::nullopt;
  }
  std::optional<ModelAnswers> answers = ParseModelAnswers(run.output);
  if (!answers) failure = "the helper process gave incomplete answers";
  return answers;
}

int RunHelper(DynamicLibraries& libraries, const std::vector<std::string>& words,
              std::string& output) {
  auto request = ParseModelRequest(words);
  if (!request) return 2;
  output = FormatModelAnswers(AskModel(libraries, request->first, request->second));
  return 0;
}

}  // namespace ztrm
