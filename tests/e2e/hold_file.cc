// ztrm-hold IMAGE WINDOWS_PATH READY_FILE: opens one file of a system image
// for reading, as another program on the machine would (an instrument driver
// reading pxisys.ini), creates READY_FILE once the file is held, and keeps it
// open until the process is ended. The hostile-system suite runs a case's
// enumeration beside it; ztrm_wine_idle.exe does the same under Wine.
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "common/wide_text.h"
#include "platform/native/native_file_system.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: ztrm-hold IMAGE WINDOWS_PATH READY_FILE\n");
    return 2;
  }
  ztrm::WindowsPathMap paths(std::string(argv[1]) + "/drive_c");
  ztrm::OpenFileTable table;
  ztrm::NativeFileSystem files(paths, table);
  std::unique_ptr<ztrm::InputFile> held = files.OpenInput(ztrm::FromUtf8(argv[2]));
  if (!held) {
    std::fprintf(stderr, "ztrm-hold: cannot open %s in %s\n", argv[2], argv[1]);
    return 1;
  }
  std::FILE* ready = std::fopen(argv[3], "w");
  if (!ready) {
    std::fprintf(stderr, "ztrm-hold: cannot create %s\n", argv[3]);
    return 1;
  }
  std::fclose(ready);
  for (;;) ::pause();
}
