// ztrm-check, native build: checks chassis description files of this
// machine's file system.
//
//   ztrm-check [--json] FILE...
//
// The service's code reads files through the platform layer, whose native
// backend serves Windows paths from a system image folder. So each FILE is
// shown to it through a throw-away image whose drive C is the file's folder
// (a symbolic link), as "C:\<name>". Nothing is written there.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/native/native_platform.h"
#include "tools/check_report.h"
#include "tools/description_check.h"

namespace fs = std::filesystem;

namespace {

// The folder to stand for drive C and the file's name in it ("" for the
// folder itself, as for "/").
void SplitHostPath(const std::string& arg, fs::path& folder, std::string& name) {
  std::error_code error;
  fs::path full = fs::absolute(arg, error).lexically_normal();
  if (!full.has_filename()) full = full.parent_path();  // "dir/" names dir
  if (full == full.root_path()) {
    folder = full;
    name.clear();
    return;
  }
  folder = full.parent_path();
  name = full.filename().string();
}

}  // namespace

int main(int argc, char** argv) {
  bool json = false;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) {
      std::fputs(ztrm::kCheckHelp, stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--json") == 0) {
      json = true;
    } else if (argv[i][0] == '-' && argv[i][1] != '\0') {
      std::fprintf(stderr, "ztrm-check: unknown option '%s'\n%s", argv[i], ztrm::kCheckUsage);
      return 2;
    } else {
      files.push_back(argv[i]);
    }
  }
  if (files.empty()) {
    std::fputs(ztrm::kCheckUsage, stderr);
    return 2;
  }

  std::error_code error;
  std::string pattern = (fs::temp_directory_path(error) / "ztrm-check-XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (!::mkdtemp(buffer.data())) {
    std::fprintf(stderr, "ztrm-check: cannot make a temporary folder in %s\n",
                 fs::temp_directory_path(error).c_str());
    return 2;
  }
  const fs::path image(buffer.data());
  const fs::path drive_c = image / "drive_c";

  std::vector<ztrm::DescriptionCheck> checks;
  for (const std::string& file : files) {
    fs::path folder;
    std::string name;
    SplitHostPath(file, folder, name);
    fs::remove(drive_c, error);
    fs::create_directory_symlink(folder, drive_c, error);
    ztrm::NativePlatform native(image.string());
    checks.push_back(ztrm::CheckDescriptionFile(
        native.platform(), u"C:\\" + ztrm::FromUtf8(name), file));
  }
  fs::remove(drive_c, error);
  fs::remove(image, error);

  ztrm::NativeConsole console;
  return ztrm::ReportChecks(checks, json, console);
}
