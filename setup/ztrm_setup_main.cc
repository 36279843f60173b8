// ztrm-setup.exe: the installer packages' custom action on the PXISA
// configuration file (resource_manager_setup.h).
//
//   ztrm-setup.exe install | install-active | uninstall
//
// Prints what it found and did, and appends the same line to the setup log
// ("%ProgramData%\ZELTRO\ZTRM\setup.log"). Exit code 0 when done or when the
// file was deliberately left alone, 1 when a needed write failed, 2 for a
// wrong command line.
#include <cstdio>
#include <string>

#include "platform/win32/win32_platform.h"
#include "setup/resource_manager_setup.h"

int wmain(int argc, wchar_t** argv) {
  ztrm::SetupStep step;
  std::string word;
  if (argc == 2) {
    for (const wchar_t* c = argv[1]; *c; ++c) word.push_back(*c < 0x80 ? static_cast<char>(*c) : '?');
  }
  if (argc != 2 || !ztrm::ParseSetupStep(word, step)) {
    std::fprintf(stderr, "usage: ztrm-setup.exe install | install-active | uninstall\n");
    return 2;
  }
  ztrm::Win32Platform backend;
  ztrm::SetupOutcome outcome = ztrm::RunSetupStep(backend.platform(), step);
  std::printf("%s\n", outcome.message.c_str());
  return outcome.exit_code;
}
