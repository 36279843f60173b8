// The service control manager as the installer commands use it: create,
// open, start, stop, query and delete one service entry, plus the path of the
// running executable that becomes the service's image.
//
// Every call answers with the platform's error code as a 32-bit value, 0 when
// it succeeded (the Win32 backend hands on GetLastError). Handles are objects:
// destroying one closes it (CloseServiceHandle), so no command can leave one
// open behind it.
#ifndef ZTRM_PLATFORM_SERVICE_CONTROL_H_
#define ZTRM_PLATFORM_SERVICE_CONTROL_H_

#include <cstdint>
#include <memory>

#include "common/wide_text.h"

namespace ztrm {

// Win32 error codes the service host and the native simulations use.
inline constexpr std::uint32_t kErrorAccessDenied = 5;                       // ERROR_ACCESS_DENIED
inline constexpr std::uint32_t kErrorServiceRequestTimeout = 1053;           // ERROR_SERVICE_REQUEST_TIMEOUT
inline constexpr std::uint32_t kErrorServiceAlreadyRunning = 1056;           // ERROR_SERVICE_ALREADY_RUNNING
inline constexpr std::uint32_t kErrorServiceDoesNotExist = 1060;             // ERROR_SERVICE_DOES_NOT_EXIST
inline constexpr std::uint32_t kErrorServiceCannotAcceptControl = 1061;      // ERROR_SERVICE_CANNOT_ACCEPT_CTRL
inline constexpr std::uint32_t kErrorServiceNotActive = 1062;                // ERROR_SERVICE_NOT_ACTIVE
inline constexpr std::uint32_t kErrorFailedServiceControllerConnect = 1063;  // ERROR_FAILED_SERVICE_CONTROLLER_CONNECT
inline constexpr std::uint32_t kErrorServiceMarkedForDelete = 1072;          // ERROR_SERVICE_MARKED_FOR_DELETE
inline constexpr std::uint32_t kErrorServiceExists = 1073;                   // ERROR_SERVICE_EXISTS

// Service states (SERVICE_STATUS.dwCurrentState).
inline constexpr std::uint32_t kServiceStopped = 1;
inline constexpr std::uint32_t kServiceStartPending = 2;
inline constexpr std::uint32_t kServiceStopPending = 3;
inline constexpr std::uint32_t kServiceRunning = 4;
inline constexpr std::uint32_t kServiceContinuePending = 5;
inline constexpr std::uint32_t kServicePausePending = 6;
inline constexpr std::uint32_t kServicePaused = 7;

// Access rights.
inline constexpr std::uint32_t kScManagerConnect = 0x0001;
inline constexpr std::uint32_t kScManagerCreateService = 0x0002;
inline constexpr std::uint32_t kScManagerAllAccess = 0xF003F;
inline constexpr std::uint32_t kServiceQueryStatus = 0x0004;
inline constexpr std::uint32_t kServiceStart = 0x0010;
inline constexpr std::uint32_t kServiceStop = 0x0020;
inline constexpr std::uint32_t kServiceDelete = 0x10000;  // DELETE
inline constexpr std::uint32_t kServiceAllAccess = 0xF01FF;

// Service types, start types and error control of CreateServiceW.
inline constexpr std::uint32_t kServiceWin32OwnProcess = 0x10;
inline constexpr std::uint32_t kServiceAutoStart = 2;
inline constexpr std::uint32_t kServiceErrorNormal = 1;

// SERVICE_STATUS, field for field.
struct ServiceStatusRecord {
  std::uint32_t dwServiceType = 0;
  std::uint32_t dwCurrentState = 0;
  std::uint32_t dwControlsAccepted = 0;
  std::uint32_t dwWin32ExitCode = 0;
  std::uint32_t dwServiceSpecificExitCode = 0;
  std::uint32_t dwCheckPoint = 0;
  std::uint32_t dwWaitHint = 0;
};

// What CreateServiceW is given. The dependency list is always empty and there
// is never a load order group, tag or password.
struct ServiceEntryConfig {
  WString service_name;
  WString display_name;
  std::uint32_t desired_access = 0;
  std::uint32_t service_type = 0;
  std::uint32_t start_type = 0;
  std::uint32_t error_control = 0;
  WString image_path;
  WString account;
};

// An open service handle.
class ServiceEntry {
 public:
  virtual ~ServiceEntry() = default;  // CloseServiceHandle
  // StartServiceW with exactly one argument.
  virtual std::uint32_t Start(WStringView argument) = 0;
  // ControlService with SERVICE_CONTROL_STOP.
  virtual std::uint32_t Stop() = 0;
  // QueryServiceStatus.
  virtual std::uint32_t QueryStatus(ServiceStatusRecord& status) = 0;
  // DeleteService.
  virtual std::uint32_t Delete() = 0;
};

// An open handle to the service control manager of the local machine.
class ServiceManager {
 public:
  virtual ~ServiceManager() = default;  // CloseServiceHandle
  // CreateServiceW; on success `service` is the new entry's handle.
  virtual std::uint32_t CreateEntry(const ServiceEntryConfig& config,
                                      std::unique_ptr<ServiceEntry>& service) = 0;
  // OpenServiceW.
  virtual std::uint32_t OpenEntry(WStringView service_name, std::uint32_t desired_access,
                                    std::unique_ptr<ServiceEntry>& service) = 0;
};

class ServiceControlManager {
 public:
  virtual ~ServiceControlManager() = default;
  // OpenSCManagerW on the local machine, the active database.
  virtual std::uint32_t Connect(std::uint32_t desired_access,
                                std::unique_ptr<ServiceManager>& manager) = 0;
  // GetModuleFileNameW of the running executable into a 260-unit buffer (a
  // longer path arrives cut, as the buffer receives it).
  virtual std::uint32_t ModuleFileName(WString& path) = 0;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_SERVICE_CONTROL_H_
