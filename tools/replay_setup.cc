#include "tools/replay_setup.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/native/native_dynamic_libraries.h"
#include "platform/native/native_platform.h"

namespace ztrm {

std::vector<std::string> InstallSimulatedLibraries(const std::string& image_root,
                                                   const std::string& simmodule_dir) {
  namespace fs = std::filesystem;
  std::vector<std::string> problems;
  std::ifstream manifest(image_root + "/simulated_libraries.txt", std::ios::binary);
  if (!manifest) {
    problems.push_back("no simulated_libraries.txt in " + image_root);
    return problems;
  }
  NativePlatform platform(image_root);
  std::string line;
  while (std::getline(manifest, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    std::size_t tab = line.find('\t');
    std::string build = line.substr(0, tab);
    if (tab == std::string::npos || build.empty() ||
        build.find_first_of("/\\.") != std::string::npos) {
      problems.push_back("unreadable line: " + line);
      continue;
    }
    std::string source = simmodule_dir + "/" + build + ".so";
    std::string target = platform.HostPath(NativeLibraryPath(FromUtf8(line.substr(tab + 1))));
    std::error_code ec;
    if (target.empty() || target.rfind(image_root, 0) != 0) {
      problems.push_back("outside the image: " + line);
    } else if (!fs::is_regular_file(source, ec)) {
      problems.push_back("no build " + source);
    } else {
      fs::create_directories(fs::path(target).parent_path(), ec);
      fs::copy_file(source, target, fs::copy_options::overwrite_existing, ec);
      if (ec) problems.push_back("cannot copy to " + target + ": " + ec.message());
    }
  }
  return problems;
}

}  // namespace ztrm
