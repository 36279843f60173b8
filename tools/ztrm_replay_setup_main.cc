// ztrm-replay-setup: puts the simulated vendor module's native builds into a
// captured system image (replay_setup.h), so ztrm-sim can replay it.
//
//   ztrm-replay-setup IMAGE [SIMMODULE_DIR]
//
// SIMMODULE_DIR defaults to the simmodule/ folder beside this executable.
#include <cstdio>
#include <string>

#include "tools/replay_setup.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: ztrm-replay-setup IMAGE [SIMMODULE_DIR]\n");
    return 2;
  }
  std::string simmodule_dir;
  if (argc == 3) {
    simmodule_dir = argv[2];
  } else {
    std::string self = argv[0];
    std::size_t slash = self.rfind('/');
    simmodule_dir = (slash == std::string::npos ? std::string(".") : self.substr(0, slash)) + "/simmodule";
  }
  auto problems = ztrm::InstallSimulatedLibraries(argv[1], simmodule_dir);
  for (const std::string& problem : problems) std::fprintf(stderr, "ztrm-replay-setup: %s\n", problem.c_str());
  return problems.empty() ? 0 : 1;
}
