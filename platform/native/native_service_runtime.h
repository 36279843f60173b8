// A simulated service control manager, as the service process meets it, for
// the service framework's tests. It is a simulation, not a replay of Windows.
//
// RunDispatcher plays the service control manager starting the service: it
// calls the service main function on a thread of its own with the start
// arguments, and on the calling thread (the dispatcher's) delivers the
// controls posted with PostControl, in order, once a handler is registered:
// to the extended handler when one is registered, else to the plain one. Like
// StartServiceCtrlDispatcherW it returns 0 as soon as the service has
// reported SERVICE_STOPPED, whether or not the main function has returned
// (or, without any handler, once the main function has returned). The
// service thread may thus outlive the call, as on Windows; JoinServiceThread
// (and the destructor) wait for it, so a test sees what it did after the
// dispatcher let go. With FailDispatcher it
// returns that error at once instead, as for a program started by hand. A
// service that neither reports nor gets a control for a minute of real time
// has hung (a stop was lost, say): RunDispatcher then gives up with 1053
// (ERROR_SERVICE_REQUEST_TIMEOUT), so that a broken test fails, not hangs.
//
// DeliverControl calls the current handler on the caller's thread and returns
// when it has; a test calls it from inside the service (a clock hook, say) to
// place a control at an exact point. A control that waits for the thread it
// was delivered from never returns.
//
// Status reports, the device notification registration and its removal are
// recorded for inspection. Handlers registered under any name are accepted;
// both registrations answer the same status handle, as Windows does for a
// service that has its process to itself.
#ifndef ZTRM_PLATFORM_NATIVE_NATIVE_SERVICE_RUNTIME_H_
#define ZTRM_PLATFORM_NATIVE_NATIVE_SERVICE_RUNTIME_H_

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "platform/service_runtime.h"

namespace ztrm {

class NativeServiceRuntime : public ServiceRuntime {
 public:
  static constexpr ServiceStatusHandle kStatusHandle = 0x5E5;
  static constexpr DeviceNotificationHandle kNotificationHandle = 0xDE7;

  struct DeviceRegistration {
    ServiceStatusHandle recipient = 0;
    DeviceInterfaceFilter filter;
    std::uint32_t flags = 0;
  };

  NativeServiceRuntime() = default;
  ~NativeServiceRuntime() override;  // waits for the service thread
  NativeServiceRuntime(const NativeServiceRuntime&) = delete;
  NativeServiceRuntime& operator=(const NativeServiceRuntime&) = delete;

  std::uint32_t RunDispatcher(WStringView service_name, ServiceMainFunction main) override;
  ServiceStatusHandle RegisterHandler(WStringView service_name, ControlHandler handler) override;
  ServiceStatusHandle RegisterHandlerEx(WStringView name, ControlHandlerEx handler) override;
  bool SetStatus(ServiceStatusHandle handle, const ServiceStatusRecord& status) override;
  DeviceNotificationHandle RegisterDeviceEvents(ServiceStatusHandle recipient,
                                                const DeviceInterfaceFilter& filter,
                                                std::uint32_t flags) override;
  bool UnregisterDeviceEvents(DeviceNotificationHandle handle) override;

  // Set-up.
  void FailDispatcher(std::uint32_t error) { dispatcher_error_ = error; }
  void SetStartArguments(std::vector<WString> arguments) { start_arguments_ = std::move(arguments); }
  void FailHandlerRegistration() { fail_handler_ = true; }
  void FailExtendedHandlerRegistration() { fail_handler_ex_ = true; }
  void FailDeviceRegistration() { fail_device_registration_ = true; }

  // The service control manager's side.
  std::uint32_t DeliverControl(std::uint32_t control, std::uint32_t event_type = 0,
                               const DeviceEventRecord* event = nullptr);
  void PostControl(std::uint32_t control);

  // Waits until the service main function of the last RunDispatcher has
  // returned.
  void JoinServiceThread();

  // Inspection.
  std::vector<ServiceStatusRecord> StatusReports() const;
  std::vector<std::uint32_t> ReportedStates() const;
  bool HasPlainHandler() const;
  bool HasExtendedHandler() const;
  WString DispatcherServiceName() const;
  WString PlainHandlerName() const;
  WString ExtendedHandlerName() const;
  std::optional<DeviceRegistration> DeviceRegistrationMade() const;
  std::vector<DeviceNotificationHandle> Unregistrations() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::uint32_t dispatcher_error_ = 0;
  std::vector<WString> start_arguments_;
  bool fail_handler_ = false, fail_handler_ex_ = false, fail_device_registration_ = false;
  ControlHandler handler_;
  ControlHandlerEx handler_ex_;
  WString dispatcher_name_, handler_name_, handler_ex_name_;
  std::deque<std::uint32_t> posted_;
  std::vector<ServiceStatusRecord> reports_;
  std::optional<DeviceRegistration> device_registration_;
  std::vector<DeviceNotificationHandle> unregistrations_;
  std::thread service_thread_;  // touched by the dispatcher's caller only
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_NATIVE_NATIVE_SERVICE_RUNTIME_H_
