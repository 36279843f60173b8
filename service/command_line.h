// The command line of ZTRMService.exe: one option picks an installer command;
// without one the process is the service itself.
#ifndef ZTRM_SERVICE_COMMAND_LINE_H_
#define ZTRM_SERVICE_COMMAND_LINE_H_

#include <string_view>
#include <vector>

#include "common/wide_text.h"

namespace ztrm {

enum class Command {
  kInstall,
  kRemove,
  kStart,
  kStop,
  kStartOnce,
  kUnknownOption,  // "-" or "/" with a word the table does not list: nothing
  kRunService,     // no argument, or one without "-" or "/"
};

// `arguments` are those after the program name; only the first is looked at.
// The option may begin with "-" or "/", and its word is compared without
// regard to case.
Command ParseCommandLine(const std::vector<WString>& arguments);

inline constexpr std::string_view kUsageText =
    "Parameters:\n"
    " -install   to install the service.\n"
    " -remove    to remove the service.\n"
    " -start     to start the service.\n"
    " -stop      to stop the service.\n"
    " -startonce to start the service once.\n";

}  // namespace ztrm

#endif  // ZTRM_SERVICE_COMMAND_LINE_H_
