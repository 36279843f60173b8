// The service process's side of the service control manager: the control
// dispatcher, the control handlers, status reports and device notifications.
//
// Callbacks are plain function objects. A backend keeps them for the life of
// the process (there is one service per process) and calls them on the
// threads the platform uses: the service main function on a thread of its
// own, the handlers on the dispatcher's thread.
#ifndef ZTRM_PLATFORM_SERVICE_RUNTIME_H_
#define ZTRM_PLATFORM_SERVICE_RUNTIME_H_

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "common/wide_text.h"
#include "platform/service_control.h"

namespace ztrm {

// SERVICE_STATUS_HANDLE; 0 means none.
using ServiceStatusHandle = std::uintptr_t;
// HDEVNOTIFY; 0 means none.
using DeviceNotificationHandle = std::uintptr_t;

// Control codes.
inline constexpr std::uint32_t kControlStop = 1;
inline constexpr std::uint32_t kControlPause = 2;
inline constexpr std::uint32_t kControlContinue = 3;
inline constexpr std::uint32_t kControlInterrogate = 4;
inline constexpr std::uint32_t kControlShutdown = 5;
inline constexpr std::uint32_t kControlDeviceEvent = 11;

// Controls a service reports it accepts.
inline constexpr std::uint32_t kAcceptStop = 0x1;
inline constexpr std::uint32_t kAcceptShutdown = 0x4;

// Device event types (DBT_*) and the one device type that carries a link name.
inline constexpr std::uint32_t kDeviceArrival = 0x8000;
inline constexpr std::uint32_t kDeviceQueryRemove = 0x8001;
inline constexpr std::uint32_t kDeviceRemovePending = 0x8003;
inline constexpr std::uint32_t kDeviceRemoveComplete = 0x8004;
inline constexpr std::uint32_t kDeviceTypeVolume = 2;
inline constexpr std::uint32_t kDeviceTypeDeviceInterface = 5;

// RegisterDeviceNotificationW flags.
inline constexpr std::uint32_t kDeviceNotifyServiceHandle = 0x1;
inline constexpr std::uint32_t kDeviceNotifyAllInterfaceClasses = 0x4;

// The device event record of a SERVICE_CONTROL_DEVICEEVENT, reduced to what
// the service reads: the header's device type and, for a device interface
// (type 5) only, the symbolic link name up to its terminator.
struct DeviceEventRecord {
  std::uint32_t device_type = 0;
  WString link_name;
};

// A DEV_BROADCAST_DEVICEINTERFACE_W filter without its name.
struct DeviceInterfaceFilter {
  std::uint32_t size = 0;
  std::uint32_t device_type = 0;
  std::uint32_t reserved = 0;
  std::array<std::uint8_t, 16> class_guid{};  // in memory order
};

using ServiceMainFunction = std::function<void(const std::vector<WString>& arguments)>;
using ControlHandler = std::function<void(std::uint32_t control)>;
// `event` is null unless the control is a device event that came with data.
using ControlHandlerEx = std::function<std::uint32_t(
    std::uint32_t control, std::uint32_t event_type, const DeviceEventRecord* event)>;

class ServiceRuntime {
 public:
  virtual ~ServiceRuntime() = default;
  // StartServiceCtrlDispatcherW with one entry, `service_name` and `main`, and
  // the terminating entry. Returns when the service has stopped: 0, or the
  // error code when the dispatcher could not run.
  virtual std::uint32_t RunDispatcher(WStringView service_name, ServiceMainFunction main) = 0;
  // RegisterServiceCtrlHandlerW; 0 on failure.
  virtual ServiceStatusHandle RegisterHandler(WStringView service_name, ControlHandler handler) = 0;
  // RegisterServiceCtrlHandlerExW without context; 0 on failure. From then on
  // controls go to `handler`.
  virtual ServiceStatusHandle RegisterHandlerEx(WStringView name, ControlHandlerEx handler) = 0;
  // SetServiceStatus; false on failure.
  virtual bool SetStatus(ServiceStatusHandle handle, const ServiceStatusRecord& status) = 0;
  // RegisterDeviceNotificationW for the service `recipient`; 0 on failure.
  virtual DeviceNotificationHandle RegisterDeviceEvents(ServiceStatusHandle recipient,
                                                        const DeviceInterfaceFilter& filter,
                                                        std::uint32_t flags) = 0;
  // UnregisterDeviceNotification; false on failure.
  virtual bool UnregisterDeviceEvents(DeviceNotificationHandle handle) = 0;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_SERVICE_RUNTIME_H_
