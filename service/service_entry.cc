#include "service/service_entry.h"

#include "common/wide_format.h"
#include "enumeration/run_context.h"
#include "service/command_line.h"
#include "service/installer.h"
#include "service/service_error.h"
#include "service/ztrm_service.h"

namespace ztrm {
namespace {

// The service object and its run context are shared with the service thread
// and the worker (see ztrm_service.h): letting go of them here destroys them
// only when neither runs any more; otherwise the last of them does. The
// platform objects behind `platform` and `service_platform` must outlive all
// three, that is, live until the process exits.
void RunAsService(Platform& platform, ServicePlatform& service_platform) {
  std::shared_ptr<CZTRMService> service;
  try {
    service = CZTRMService::Create(platform, service_platform, std::make_shared<RunContext>(platform),
                                   kServiceName);
  } catch (const ServiceError&) {
    return;  // without its event the service cannot stop cleanly, so it does not run
  }
  PublishServiceInstance(service);
  const std::uint32_t error =
      service_platform.runtime.RunDispatcher(kServiceName, &CServiceBase::ServiceMain);
  if (error != 0) {
    platform.console.Write(FormatNarrow("Service failed to run w/err 0x%08lx\n", error));
  }
  PublishServiceInstance(nullptr);
}

}  // namespace

int RunServiceEntry(Platform& platform, ServicePlatform& service_platform,
                    const std::vector<WString>& arguments) {
  // Usually there already; nothing depends on it.
  platform.files.CreateDirectory(kLogFolder);

  ServiceInstaller installer(platform, service_platform.scm);  // StartOnceFlag starts cleared
  switch (ParseCommandLine(arguments)) {
    case Command::kInstall:
      installer.CreateServiceEntry(kInstallDisplayName);
      return 0;
    case Command::kRemove:
      installer.DeleteServiceEntry();
      return 0;
    case Command::kStart:
      installer.StartInstalledService();
      return 0;
    case Command::kStop:
      installer.StopInstalledService();
      return 0;
    case Command::kStartOnce:
      installer.RunOnce();
      return 0;
    case Command::kUnknownOption:
      return 0;
    case Command::kRunService:
      break;
  }
  // The service control manager starts the service without arguments; a user
  // who does the same learns the options (and the dispatcher's refusal).
  platform.console.Write(kUsageText);
  RunAsService(platform, service_platform);
  return 0;
}

}  // namespace ztrm
