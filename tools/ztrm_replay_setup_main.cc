// ztrm-replay-setup: puts the simulated vendor module's native builds into a
// captured system image (replay_setup.h), so ztrm-sim can replay it.
//
//   ztrm-replay-setup IMAGE [SIMMODULE_DIR]
//   ztrm-replay-setup --help
//
// SIMMODULE_DIR defaults to the simmodule/ folder beside this executable.
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/replay_setup.h"

int main(int argc, char** argv) {
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::printf(
        "usage: ztrm-replay-setup IMAGE [SIMMODULE_DIR]\n"
        "\n"
        "Makes a system image written by ztrm-capture.exe replayable with ztrm-sim: puts the\n"
        "simulated vendor module's native build (ztsimmod.so) at the path of every library\n"
        "the image's ztsimmod.ini files serve. SIMMODULE_DIR holds the native builds\n"
        "(default: the simmodule/ folder beside this program, build/native/simmodule).\n"
        "\n"
        "Exit codes: 0 done; 1 some library could not be put in place (each is named);\n"
        "2 wrong command line.\n");
    return 0;
  }
  if (argc < 2 || argc > 3 || argv[1][0] == '-') {
    std::fprintf(stderr, "usage: ztrm-replay-setup IMAGE [SIMMODULE_DIR] (--help says more)\n");
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
