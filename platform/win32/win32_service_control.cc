#include "platform/win32/win32_service_control.h"

#include "platform/win32/win32_text.h"
#include "platform/win32/win32_windows.h"

namespace ztrm {
namespace {

class Win32ServiceEntry : public ServiceEntry {
 public:
  explicit Win32ServiceEntry(SC_HANDLE handle) : handle_(handle) {}
  ~Win32ServiceEntry() override { CloseServiceHandle(handle_); }
  Win32ServiceEntry(const Win32ServiceEntry&) = delete;
  Win32ServiceEntry& operator=(const Win32ServiceEntry&) = delete;

  std::uint32_t Start(WStringView argument) override {
    const WString argument_z = Terminated(argument);
    LPCWSTR arguments[1] = {AsWide(argument_z.c_str())};
    return StartServiceW(handle_, 1, arguments) ? 0 : GetLastError();
  }

  std::uint32_t Stop() override {
    SERVICE_STATUS status = {};
    return ControlService(handle_, SERVICE_CONTROL_STOP, &status) ? 0 : GetLastError();
  }

  std::uint32_t QueryStatus(ServiceStatusRecord& status) override {
    SERVICE_STATUS raw = {};
    if (!QueryServiceStatus(handle_, &raw)) return GetLastError();
    status.dwServiceType = raw.dwServiceType;
    status.dwCurrentState = raw.dwCurrentState;
    status.dwControlsAccepted = raw.dwControlsAccepted;
    status.dwWin32ExitCode = raw.dwWin32ExitCode;
    status.dwServiceSpecificExitCode = raw.dwServiceSpecificExitCode;
    status.dwCheckPoint = raw.dwCheckPoint;
    status.dwWaitHint = raw.dwWaitHint;
    return 0;
  }

  std::uint32_t Delete() override { return DeleteService(handle_) ? 0 : GetLastError(); }

 private:
  SC_HANDLE handle_;
};

class Win32ServiceManager : public ServiceManager {
 public:
  explicit Win32ServiceManager(SC_HANDLE handle) : handle_(handle) {}
  ~Win32ServiceManager() override { CloseServiceHandle(handle_); }
  Win32ServiceManager(const Win32ServiceManager&) = delete;
  Win32ServiceManager& operator=(const Win32ServiceManager&) = delete;

  std::uint32_t CreateEntry(const ServiceEntryConfig& config,
                              std::unique_ptr<ServiceEntry>& service) override {
    const WString name = Terminated(config.service_name);
    const WString display_name = Terminated(config.display_name);
    const WString image_path = Terminated(config.image_path);
    const WString account = Terminated(config.account);
    // An empty list: its first string is already the terminating empty one.
    static const wchar_t kNoDependencies[2] = {L'\0', L'\0'};
    SC_HANDLE handle = CreateServiceW(handle_, AsWide(name.c_str()), AsWide(display_name.c_str()),
                                      config.desired_access, config.service_type, config.start_type,
                                      config.error_control, AsWide(image_path.c_str()), nullptr,
                                      nullptr, kNoDependencies, AsWide(account.c_str()), nullptr);
    if (handle == nullptr) return GetLastError();
    service = std::make_unique<Win32ServiceEntry>(handle);
    return 0;
  }

  std::uint32_t OpenEntry(WStringView service_name, std::uint32_t desired_access,
                            std::unique_ptr<ServiceEntry>& service) override {
    const WString name = Terminated(service_name);
    SC_HANDLE handle = OpenServiceW(handle_, AsWide(name.c_str()), desired_access);
    if (handle == nullptr) return GetLastError();
    service = std::make_unique<Win32ServiceEntry>(handle);
    return 0;
  }

 private:
  SC_HANDLE handle_;
};

}  // namespace

std::uint32_t Win32ServiceControlManager::Connect(std::uint32_t desired_access,
                                                  std::unique_ptr<ServiceManager>& manager) {
  SC_HANDLE handle = OpenSCManagerW(nullptr, nullptr, desired_access);
  if (handle == nullptr) return GetLastError();
  manager = std::make_unique<Win32ServiceManager>(handle);
  return 0;
}

std::uint32_t Win32ServiceControlManager::ModuleFileName(WString& path) {
  wchar_t buffer[MAX_PATH] = {};
  const DWORD units = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  if (units == 0) return GetLastError();
  // A path that does not fit arrives cut and terminated (units == MAX_PATH
  // then counts the terminator's place).
  std::size_t length = 0;
  while (length < MAX_PATH && buffer[length] != L'\0') ++length;
  path = FromWide(buffer, length);
  return 0;
}

}  // namespace ztrm
