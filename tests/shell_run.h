// Running a command line in the shell from a test, as a user would type it.
#ifndef ZTRM_TESTS_SHELL_RUN_H_
#define ZTRM_TESTS_SHELL_RUN_H_

#include <string>

namespace ztrm {

struct ShellResult {
  int exit_code = -1;  // -1 when the command could not be run or was killed
  std::string out;     // what it wrote to standard output
};

// Runs `command` with /bin/sh and waits for it; add " 2>&1" to the command to
// take its standard error too.
ShellResult RunShell(const std::string& command);
// The program `tool` run with `args`, its standard error taken too.
ShellResult RunTool(const std::string& tool, const std::string& args);

}  // namespace ztrm

#endif  // ZTRM_TESTS_SHELL_RUN_H_
