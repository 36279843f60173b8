#include "service/command_line.h"

namespace ztrm {

Command ParseCommandLine(const std::vector<WString>& arguments) {
  if (arguments.empty()) return Command::kRunService;
  const WString& first = arguments.front();
  if (first.empty() || (first[0] != u'-' && first[0] != u'/')) return Command::kRunService;
  const WStringView word = WStringView(first).substr(1);
  static const struct {
    const char16_t* word;
    Command command;
  } kOptions[] = {
      {u"install", Command::kInstall}, {u"remove", Command::kRemove},
      {u"start", Command::kStart},     {u"stop", Command::kStop},
      {u"startonce", Command::kStartOnce},
  };
  for (const auto& option : kOptions) {
    if (EqualsIgnoreCase(word, option.word)) return option.command;
  }
  return Command::kUnknownOption;
}

}  // namespace ztrm
