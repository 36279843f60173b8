#include "service/installer.h"

#include "common/wide_format.h"
#include "enumeration/run_log.h"
#include "enumeration/system_paths.h"
#include "service/ztrm_service.h"

namespace ztrm {
namespace {

constexpr std::uint32_t kStatusPollMs = 1000;
// Access of the stop and of the removal: stop and query status, plus delete.
constexpr std::uint32_t kStopAccess = kServiceStop | kServiceQueryStatus;              // 0x24
constexpr std::uint32_t kRemoveAccess = kStopAccess | kServiceDelete;                  // 0x10024

}  // namespace

void ServiceInstaller::Print(std::string_view text) { platform_.console.Write(text); }

void ServiceInstaller::CreateServiceEntry(WStringView display_name) {
  WString image_path;
  if (std::uint32_t error = scm_.ModuleFileName(image_path)) {
    Print(FormatNarrow("GetModuleFileName failed w/err 0x%08lx\n", error));
    return;
  }
  std::unique_ptr<ServiceManager> manager;
  if (std::uint32_t error = scm_.Connect(kScManagerAllAccess, manager)) {
    Print(FormatNarrow("OpenSCManager failed w/err 0x%08lx\n", error));
    return;
  }
  ServiceEntryConfig config;
  config.service_name = kServiceName;
  config.display_name = WString(display_name);
  config.desired_access = kServiceAllAccess;
  config.service_type = kServiceWin32OwnProcess;
  config.start_type = kServiceAutoStart;
  config.error_control = kServiceErrorNormal;
  config.image_path = image_path;
  config.account = kServiceAccount;
  std::unique_ptr<ServiceEntry> service;
  if (std::uint32_t error = manager->CreateEntry(config, service)) {
    Print(FormatNarrow("CreateService failed w/err 0x%08lx\n", error));
    return;
  }
  Print(FormatNarrow("%s is installed.\n", kServiceName));
}

std::unique_ptr<ServiceManager> ServiceInstaller::ConnectForControl() {
  std::unique_ptr<ServiceManager> manager;
  if (std::uint32_t error = scm_.Connect(kScManagerConnect, manager)) {
    Print(FormatNarrow("OpenSCManager failed w/err 0x%08lx\n", error));
    return nullptr;
  }
  return manager;
}

void ServiceInstaller::StartInstalledService() {
  std::unique_ptr<ServiceManager> manager = ConnectForControl();
  if (!manager) return;
  std::unique_ptr<ServiceEntry> service;
  if (std::uint32_t error = manager->OpenEntry(kServiceName, kServiceAllAccess, service)) {
    Print(FormatNarrow("OpenService failed w/err 0x%08lx\n", error));
    return;
  }
  Print(FormatNarrow("Starting %s.\n", kServiceName));
  if (std::uint32_t error = service->Start(StartOnceFlag ? kStartOnceArgument : u"")) {
    Print(FormatNarrow("StartService failed w/err 0x%08lx\n", error));
  }
}

void ServiceInstaller::WaitForStop(ServiceEntry& service) {
  Print(FormatNarrow("Stopping %s.", kServiceName));
  platform_.clock.Sleep(kStatusPollMs);
  ServiceStatusRecord status;
  std::uint32_t last_state = 0;
  // No bound: a service that reports stop-pending is still stopping.
  while (service.QueryStatus(status) == 0) {
    last_state = status.dwCurrentState;
    if (last_state != kServiceStopPending) break;
    Print(".");
    platform_.clock.Sleep(kStatusPollMs);
  }
  if (last_state == kServiceStopped) {
    Print(FormatNarrow("\n%s is stopped.\n", kServiceName));
  } else {
    Print(FormatNarrow("\n%s failed to stop.\n", kServiceName));
  }
}

void ServiceInstaller::StopInstalledService() {
  std::unique_ptr<ServiceManager> manager = ConnectForControl();
  if (!manager) return;
  std::unique_ptr<ServiceEntry> service;
  if (std::uint32_t error = manager->OpenEntry(kServiceName, kStopAccess, service)) {
    Print(FormatNarrow("OpenService failed w/err 0x%08lx\n", error));
    return;
  }
  // A service that is not running takes no stop; there is nothing to say.
  if (service->Stop() != 0) return;
  WaitForStop(*service);
}

void ServiceInstaller::DeleteServiceEntry() {
  std::unique_ptr<ServiceManager> manager = ConnectForControl();
  if (!manager) return;
  std::unique_ptr<ServiceEntry> service;
  if (std::uint32_t error = manager->OpenEntry(kServiceName, kRemoveAccess, service)) {
    Print(FormatNarrow("OpenService failed w/err 0x%08lx\n", error));
    return;
  }
  if (service->Stop() == 0) WaitForStop(*service);
  if (std::uint32_t error = service->Delete()) {
    Print(FormatNarrow("DeleteService failed w/err 0x%08lx\n", error));
    return;
  }
  Print(FormatNarrow("%s is removed.\n", kServiceName));
}

std::uint32_t ServiceInstaller::QueryServiceState() {
  std::unique_ptr<ServiceManager> manager;
  if (std::uint32_t error = scm_.Connect(kScManagerConnect, manager)) {
    Print(FormatNarrow("OpenSCManager failed w/err 0x%08lx\n", error));
    return 0;
  }
  std::unique_ptr<ServiceEntry> service;
  if (std::uint32_t error = manager->OpenEntry(kServiceName, kRemoveAccess, service)) {
    Print(FormatNarrow("OpenService failed w/err 0x%08lx\n", error));
    return 0;
  }
  ServiceStatusRecord status;
  if (service->QueryStatus(status) != 0) return 0;
  return status.dwCurrentState;
}

bool ServiceInstaller::AnyOutputFileFree() {
  // Every file is tried in every pass, as an enumeration run holds all three.
  bool any_free = false;
  for (const char16_t* name : {kRunLogName, kPxiSysName, kPxieSysName}) {
    if (ProbeFileFree(platform_.files, WindowsFolderFile(platform_.shell, name).view())) any_free = true;
  }
  return any_free;
}

void ServiceInstaller::RunOnce() {
  StartOnceFlag = true;
  Print("Install Service\n");
  CreateServiceEntry(kRunOnceDisplayName);

  std::uint32_t tries = 0;
  while (QueryServiceState() != kServiceStopped) {
    if (tries == kRunOnceInstallWaitLimit) {
      Print(FormatNarrow("%s did not stop within %u seconds; nothing was started.\n", kServiceName,
                         kRunOnceInstallWaitLimit));
      return;
    }
    ++tries;
    Print("Installation...\n");
    platform_.clock.Sleep(kStatusPollMs);
  }

  Print("Start Service...\n");
  StartInstalledService();

  // No bound: the files are held only while a run is in progress, and every
  // run ends.
  do {
    Print("Logging...\n");
    platform_.clock.Sleep(kStatusPollMs);
  } while (!AnyOutputFileFree());

  Print("Stop and Remove Service...\n");
  DeleteServiceEntry();
  Print("Done.\n");
}

}  // namespace ztrm
