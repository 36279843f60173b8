#include "service/command_line.h"

#include <gtest/gtest.h>

#include "tests/test_image.h"

namespace ztrm {
namespace {

const char* Name(Command command) {
  switch (command) {
    case Command::kInstall: return "install";
    case Command::kRemove: return "remove";
    case Command::kStart: return "start";
    case Command::kStop: return "stop";
    case Command::kStartOnce: return "startonce";
    case Command::kUnknownOption: return "unknown option";
    case Command::kRunService: return "run as the service";
  }
  return "?";
}

TEST(CommandLineTest, FirstArgumentPicksTheCommand) {
  const struct {
    std::vector<WString> arguments;
    Command expected;
  } kCases[] = {
      {{}, Command::kRunService},
      {{u"-install"}, Command::kInstall},
      {{u"/install"}, Command::kInstall},
      {{u"/InStAlL"}, Command::kInstall},
      {{u"-INSTALL"}, Command::kInstall},
      {{u"-remove"}, Command::kRemove},
      {{u"/Remove"}, Command::kRemove},
      {{u"-start"}, Command::kStart},
      {{u"-stop"}, Command::kStop},
      {{u"-STOP"}, Command::kStop},
      {{u"-startonce"}, Command::kStartOnce},
      {{u"/StartOnce"}, Command::kStartOnce},
      // Only the first argument counts.
      {{u"-install", u"-remove"}, Command::kInstall},
      {{u"-stop", u"whatever", u"else"}, Command::kStop},
      {{u"foo", u"-install"}, Command::kRunService},
      // Words the table does not list do nothing.
      {{u"-foo"}, Command::kUnknownOption},
      {{u"-"}, Command::kUnknownOption},
      {{u"/"}, Command::kUnknownOption},
      {{u"--install"}, Command::kUnknownOption},
      {{u"-install "}, Command::kUnknownOption},
      {{u"-startonc"}, Command::kUnknownOption},
      {{u"-startonce2"}, Command::kUnknownOption},
      {{u"-st"}, Command::kUnknownOption},
      // Without "-" or "/" the process is the service.
      {{u"install"}, Command::kRunService},
      {{u""}, Command::kRunService},
      {{u"\\install"}, Command::kRunService},
      {{u" -install"}, Command::kRunService},
  };
  for (const auto& c : kCases) {
    std::string shown;
    for (const WString& argument : c.arguments) shown += "'" + ToUtf8(argument) + "' ";
    EXPECT_STREQ(Name(ParseCommandLine(c.arguments)), Name(c.expected)) << "arguments: " << shown;
  }
}

}  // namespace
}  // namespace ztrm
