#include "platform/win32/win32_service_runtime.h"

#include <cstddef>
#include <cstring>

#include "platform/win32/win32_text.h"
#include "platform/win32/win32_windows.h"

// Needs <windows.h> before it.
#include <dbt.h>

namespace ztrm {
namespace {

static_assert(sizeof(DEV_BROADCAST_DEVICEINTERFACE_W) == 32,
              "the notification filter is 32 bytes on both Windows builds");

// One service per process: the dispatcher table and the handler registrations
// hold plain function pointers, which reach the callbacks through these.
ServiceMainFunction g_service_main;
ControlHandler g_handler;
ControlHandlerEx g_handler_ex;

void WINAPI ServiceMainEntry(DWORD argc, LPWSTR* argv) {
  std::vector<WString> arguments;
  for (DWORD i = 0; i < argc; ++i) arguments.push_back(FromWide(argv[i]));
  if (g_service_main) g_service_main(arguments);
}

void WINAPI HandlerEntry(DWORD control) {
  if (g_handler) g_handler(control);
}

// The device event record as the handler reads it: the header's device type,
// and for a device interface its link name, read no further than the record's
// own size says.
DeviceEventRecord ConvertDeviceEvent(const void* data) {
  DeviceEventRecord record;
  const auto* header = static_cast<const DEV_BROADCAST_HDR*>(data);
  record.device_type = header->dbch_devicetype;
  if (header->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE) {
    const auto* device = static_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(data);
    const std::size_t name_offset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    const std::size_t capacity =
        header->dbch_size > name_offset ? (header->dbch_size - name_offset) / sizeof(wchar_t) : 0;
    std::size_t units = 0;
    while (units < capacity && device->dbcc_name[units] != L'\0') ++units;
    record.link_name = FromWide(device->dbcc_name, units);
  }
  return record;
}

DWORD WINAPI HandlerExEntry(DWORD control, DWORD event_type, LPVOID event_data, LPVOID) {
  if (!g_handler_ex) return NO_ERROR;
  if (control == SERVICE_CONTROL_DEVICEEVENT && event_data != nullptr) {
    const DeviceEventRecord record = ConvertDeviceEvent(event_data);
    return g_handler_ex(control, event_type, &record);
  }
  return g_handler_ex(control, event_type, nullptr);
}

}  // namespace

std::uint32_t Win32ServiceRuntime::RunDispatcher(WStringView service_name, ServiceMainFunction main) {
  g_service_main = std::move(main);
  WString name = Terminated(service_name);
  SERVICE_TABLE_ENTRYW table[] = {
      {AsWide(&name[0]), ServiceMainEntry},
      {nullptr, nullptr},
  };
  return StartServiceCtrlDispatcherW(table) ? 0 : GetLastError();
}

ServiceStatusHandle Win32ServiceRuntime::RegisterHandler(WStringView service_name,
                                                          ControlHandler handler) {
  g_handler = std::move(handler);
  const WString name = Terminated(service_name);
  return reinterpret_cast<ServiceStatusHandle>(
      RegisterServiceCtrlHandlerW(AsWide(name.c_str()), HandlerEntry));
}

ServiceStatusHandle Win32ServiceRuntime::RegisterHandlerEx(WStringView name_view,
                                                            ControlHandlerEx handler) {
  g_handler_ex = std::move(handler);
  const WString name = Terminated(name_view);
  return reinterpret_cast<ServiceStatusHandle>(
      RegisterServiceCtrlHandlerExW(AsWide(name.c_str()), HandlerExEntry, nullptr));
}

bool Win32ServiceRuntime::SetStatus(ServiceStatusHandle handle, const ServiceStatusRecord& status) {
  SERVICE_STATUS raw = {};
  raw.dwServiceType = status.dwServiceType;
  raw.dwCurrentState = status.dwCurrentState;
  raw.dwControlsAccepted = status.dwControlsAccepted;
  raw.dwWin32ExitCode = status.dwWin32ExitCode;
  raw.dwServiceSpecificExitCode = status.dwServiceSpecificExitCode;
  raw.dwCheckPoint = status.dwCheckPoint;
  raw.dwWaitHint = status.dwWaitHint;
  return SetServiceStatus(reinterpret_cast<SERVICE_STATUS_HANDLE>(handle), &raw) != FALSE;
}

DeviceNotificationHandle Win32ServiceRuntime::RegisterDeviceEvents(ServiceStatusHandle recipient,
                                                                   const DeviceInterfaceFilter& filter,
                                                                   std::uint32_t flags) {
  DEV_BROADCAST_DEVICEINTERFACE_W raw = {};
  raw.dbcc_size = filter.size;
  raw.dbcc_devicetype = filter.device_type;
  raw.dbcc_reserved = filter.reserved;
  std::memcpy(&raw.dbcc_classguid, filter.class_guid.data(), sizeof raw.dbcc_classguid);
  return reinterpret_cast<DeviceNotificationHandle>(
      RegisterDeviceNotificationW(reinterpret_cast<HANDLE>(recipient), &raw, flags));
}

bool Win32ServiceRuntime::UnregisterDeviceEvents(DeviceNotificationHandle handle) {
  return ::UnregisterDeviceNotification(reinterpret_cast<HDEVNOTIFY>(handle)) != FALSE;
}

}  // namespace ztrm
