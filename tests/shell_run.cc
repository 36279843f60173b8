#include "tests/shell_run.h"

#include <sys/wait.h>

#include <cstdio>

namespace ztrm {

ShellResult RunShell(const std::string& command) {
  ShellResult r;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return r;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) r.out.append(buffer, n);
  int status = ::pclose(pipe);
  if (WIFEXITED(status)) r.exit_code = WEXITSTATUS(status);
  return r;
}

ShellResult RunTool(const std::string& tool, const std::string& args) {
  return RunShell(tool + " " + args + " 2>&1");
}

}  // namespace ztrm
