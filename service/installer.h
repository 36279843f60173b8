// The console commands that install, start, stop and remove the service, and
// the one-shot command that runs one enumeration as a temporary service.
//
// Everything goes to standard output; a failing platform call prints its name
// and error code and ends the command (the process still exits with 0).
#ifndef ZTRM_SERVICE_INSTALLER_H_
#define ZTRM_SERVICE_INSTALLER_H_

#include <cstdint>

#include "common/wide_text.h"
#include "platform/platform.h"
#include "platform/service_control.h"

namespace ztrm {

inline constexpr char16_t kInstallDisplayName[] = u"ZELTRO PXI Software Service Enumerator";
inline constexpr char16_t kRunOnceDisplayName[] = u"ZELTRO resource manager service";
inline constexpr char16_t kServiceAccount[] = u"Localsystem";
inline constexpr char16_t kStartOnceArgument[] = u"startonce";

// How often the one-shot command asks whether the service it is about to
// start is stopped, a second apart, before it gives up: the service may have
// been installed and running before, and it is not the command's to take.
inline constexpr std::uint32_t kRunOnceInstallWaitLimit = 30;

class ServiceInstaller {
 public:
  ServiceInstaller(Platform& platform, ServiceControlManager& scm)
      : platform_(platform), scm_(scm) {}

  void CreateServiceEntry(WStringView display_name);
  void StartInstalledService();
  void StopInstalledService();
  void DeleteServiceEntry();
  // The service's current state, 0 when it cannot be learned.
  std::uint32_t QueryServiceState();
  void RunOnce();

  // When set, the service is started with the argument "startonce".
  bool StartOnceFlag = false;

 private:
  void Print(std::string_view text);
  // The console side of a stop: the dots while the service stops, then the
  // outcome.
  void WaitForStop(ServiceEntry& service);
  std::unique_ptr<ServiceManager> ConnectForControl();
  bool AnyOutputFileFree();

  Platform& platform_;
  ServiceControlManager& scm_;
};

}  // namespace ztrm

#endif  // ZTRM_SERVICE_INSTALLER_H_
