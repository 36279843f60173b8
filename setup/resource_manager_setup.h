// What the installer packages do to the PXISA configuration file, decided
// here and carried out through the platform interfaces, so the decision is
// the same natively as on Windows. `ztrm-setup.exe` (setup/ztrm_setup_main.cc)
// runs it as the packages' custom action.
//
// Install: make this system the configured resource manager ([ResourceManager]
// Name in "%s\PXISA\configuration.ini" of the common application data folder)
// only when none is configured; another manager's name is left alone unless
// the step is kInstallActive. Uninstall: clear the name only when it names this
// system. A file the service could not read as text (a folder, a file that
// cannot be opened, binary data) is never touched.
#ifndef ZTRM_SETUP_RESOURCE_MANAGER_SETUP_H_
#define ZTRM_SETUP_RESOURCE_MANAGER_SETUP_H_

#include <string>

#include "common/wide_text.h"
#include "platform/platform.h"

namespace ztrm {

enum class SetupStep {
  kInstall,        // configure this system when no manager is configured
  kInstallActive,  // configure this system whatever is configured
  kUninstall,      // clear the name when it names this system
};

struct SetupOutcome {
  // One line (UTF-8, no line end): what was found and what was done.
  std::string message;
  // 0: done or deliberately left alone; 1: a needed write failed.
  int exit_code = 0;
};

// The step on the configuration file the service reads.
SetupOutcome ApplySetupStep(Platform& platform, SetupStep step);

// "%s\ZELTRO\ZTRM\setup.log" in the common application data folder: each
// step appends "[date time] <program version> <step>: <message>" and CR LF.
WideText SetupLogFile(Shell& shell);

// ApplySetupStep, its line appended to the setup log (folders made as
// needed); the line is returned as printed to the console (without the
// time), also when the log cannot be written.
SetupOutcome RunSetupStep(Platform& platform, SetupStep step);

// The command line word of a step ("install", "install-active",
// "uninstall"); false for any other word.
bool ParseSetupStep(const std::string& word, SetupStep& step);

}  // namespace ztrm

#endif  // ZTRM_SETUP_RESOURCE_MANAGER_SETUP_H_
