// Makes a captured system image (ztrm-capture) ready for ztrm-sim: each line
// "BUILD<TAB>LIBRARY PATH" of the image's simulated_libraries.txt has the
// native build BUILD.so of the simulated vendor module copied to where the
// native backend loads LIBRARY PATH from (native_dynamic_libraries.h), beside
// the captured ztsimmod.ini. A copy, not a link: each library file is loaded
// on its own and reads the ztsimmod.ini of its own folder.
#ifndef ZTRM_TOOLS_REPLAY_SETUP_H_
#define ZTRM_TOOLS_REPLAY_SETUP_H_

#include <string>
#include <vector>

namespace ztrm {

// Returns one message per line that could not be served (unknown build,
// path outside the image, copy failed); empty when all were.
std::vector<std::string> InstallSimulatedLibraries(const std::string& image_root,
                                                   const std::string& simmodule_dir);

}  // namespace ztrm

#endif  // ZTRM_TOOLS_REPLAY_SETUP_H_
