#include "platform/native/native_service_runtime.h"

#include <chrono>
#include <memory>
#include <thread>

namespace ztrm {

std::uint32_t NativeServiceRuntime::RunDispatcher(WStringView service_name, ServiceMainFunction main) {
  std::vector<WString> arguments;
  std::size_t first_report = 0;  // reports made before this call do not count
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (dispatcher_error_ != 0) return dispatcher_error_;
    dispatcher_name_ = WString(service_name);
    arguments = start_arguments_;
    first_report = reports_.size();
  }
  JoinServiceThread();  // a service of an earlier call
  // The thread owns what it uses, as it outlives this call.
  auto main_done = std::make_shared<bool>(false);
  service_thread_ = std::thread([this, main, arguments, main_done] {
    main(arguments);
    std::lock_guard<std::mutex> lock(mutex_);
    *main_done = true;
    changed_.notify_all();
  });

  std::unique_lock<std::mutex> lock(mutex_);
  bool hung = false;
  for (;;) {
    const bool has_handler = handler_ || handler_ex_;
    const bool stopped =
        reports_.size() > first_report && reports_.back().dwCurrentState == kServiceStopped;
    if (stopped || (*main_done && !has_handler)) break;
    if (has_handler && !posted_.empty()) {
      const std::uint32_t control = posted_.front();
      posted_.pop_front();
      lock.unlock();
      DeliverControl(control);
      lock.lock();
      continue;
    }
    // Only a broken service keeps quiet this long; the limit never delays a
    // service that works.
    if (changed_.wait_for(lock, std::chrono::seconds(60)) == std::cv_status::timeout) {
      hung = true;
      break;
    }
  }
  lock.unlock();
  if (hung) service_thread_.detach();  // stuck for good; the test has failed anyway
  return hung ? kErrorServiceRequestTimeout : 0;
}

NativeServiceRuntime::~NativeServiceRuntime() { JoinServiceThread(); }

void NativeServiceRuntime::JoinServiceThread() {
  if (service_thread_.joinable()) service_thread_.join();
}

ServiceStatusHandle NativeServiceRuntime::RegisterHandler(WStringView service_name, ControlHandler handler) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (fail_handler_) return 0;
  handler_ = std::move(handler);
  handler_name_ = WString(service_name);
  changed_.notify_all();
  return kStatusHandle;
}

ServiceStatusHandle NativeServiceRuntime::RegisterHandlerEx(WStringView name, ControlHandlerEx handler) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (fail_handler_ex_) return 0;
  handler_ex_ = std::move(handler);
  handler_ex_name_ = WString(name);
  changed_.notify_all();
  return kStatusHandle;
}

bool NativeServiceRuntime::SetStatus(ServiceStatusHandle handle, const ServiceStatusRecord& status) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (handle != kStatusHandle) return false;
  reports_.push_back(status);
  changed_.notify_all();
  return true;
}

DeviceNotificationHandle NativeServiceRuntime::RegisterDeviceEvents(ServiceStatusHandle recipient,
                                                                    const DeviceInterfaceFilter& filter,
                                                                    std::uint32_t flags) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (fail_device_registration_ || recipient != kStatusHandle) return 0;
  device_registration_ = DeviceRegistration{recipient, filter, flags};
  return kNotificationHandle;
}

bool NativeServiceRuntime::UnregisterDeviceEvents(DeviceNotificationHandle handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  unregistrations_.push_back(handle);
  return handle == kNotificationHandle && device_registration_.has_value();
}

std::uint32_t NativeServiceRuntime::DeliverControl(std::uint32_t control, std::uint32_t event_type,
                                                   const DeviceEventRecord* event) {
  ControlHandler handler;
  ControlHandlerEx handler_ex;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    handler = handler_;
    handler_ex = handler_ex_;
  }
  if (handler_ex) return handler_ex(control, event_type, event);
  if (handler) handler(control);
  return 0;
}

void NativeServiceRuntime::PostControl(std::uint32_t control) {
  std::lock_guard<std::mutex> lock(mutex_);
  posted_.push_back(control);
  changed_.notify_all();
}

std::vector<ServiceStatusRecord> NativeServiceRuntime::StatusReports() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return reports_;
}

std::vector<std::uint32_t> NativeServiceRuntime::ReportedStates() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::uint32_t> states;
  for (const ServiceStatusRecord& report : reports_) states.push_back(report.dwCurrentState);
  return states;
}

bool NativeServiceRuntime::HasPlainHandler() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<bool>(handler_);
}

bool NativeServiceRuntime::HasExtendedHandler() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<bool>(handler_ex_);
}

WString NativeServiceRuntime::DispatcherServiceName() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return dispatcher_name_;
}

WString NativeServiceRuntime::PlainHandlerName() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return handler_name_;
}

WString NativeServiceRuntime::ExtendedHandlerName() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return handler_ex_name_;
}

std::optional<NativeServiceRuntime::DeviceRegistration> NativeServiceRuntime::DeviceRegistrationMade() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return device_registration_;
}

std::vector<DeviceNotificationHandle> NativeServiceRuntime::Unregistrations() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return unregistrations_;
}

}  // namespace ztrm
