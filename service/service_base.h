// CServiceBase: what makes the process a service. The service main function
// the dispatcher calls, the status reports with their check points, the
// control handlers, event log entries, and the life cycle operations (start,
// stop, pause, continue, shutdown), which turn every failure into an event log
// entry and a status report. A derived class fills in the On... operations.
//
// There is one service object per process. The values the process shares
// between its threads (the check point counter, ControlsEnabled, the companion
// folder, the device notification) are kept in that object, so a test starts
// each from fresh.
//
// Lifetime: the service object is owned jointly, never by one thread alone.
// The entry point holds it while the dispatcher runs, ServiceMain holds it
// until it returns, and a derived class's work items hold it until they end.
// The dispatcher returns as soon as SERVICE_STOPPED is reported, which may be
// before the service thread has left ServiceMain (a deferred stop) or while a
// worker still runs (a shutdown stops no worker); whoever lets go last
// destroys the object, so nothing is freed under a running thread. A service
// object is therefore always made by std::make_shared (or an equivalent
// shared_ptr); its work items take their share with shared_from_this.
#ifndef ZTRM_SERVICE_SERVICE_BASE_H_
#define ZTRM_SERVICE_SERVICE_BASE_H_

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "common/wide_text.h"
#include "platform/platform.h"
#include "platform/service_platform.h"

namespace ztrm {

class DeviceEventHandler;

// The device interface filter of the notification registration: size 32,
// DBT_DEVTYP_DEVICEINTERFACE, class GUID_DEVCLASS_USB
// {36FC9E60-C465-11CF-8056-444553540000}. With DEVICE_NOTIFY_ALL_INTERFACE_CLASSES
// the class has no effect; it is given all the same.
DeviceInterfaceFilter DeviceChangeFilter();
inline constexpr std::uint32_t kDeviceChangeFlags =
    kDeviceNotifyServiceHandle | kDeviceNotifyAllInterfaceClasses;
// The name the extended handler is registered under.
inline constexpr char16_t kExtendedHandlerName[] = u"ZTUSBHook";
// How long after SERVICE_RUNNING the service ignores controls.
inline constexpr std::uint32_t kControlsEnableDelayMs = 3000;

class CServiceBase : public std::enable_shared_from_this<CServiceBase> {
 public:
  CServiceBase(Platform& platform, ServicePlatform& service_platform, const char16_t* service_name);
  virtual ~CServiceBase() = default;
  CServiceBase(const CServiceBase&) = delete;
  CServiceBase& operator=(const CServiceBase&) = delete;

  // The dispatcher table's function and the two control handlers. They reach
  // the service through ServiceInstance.
  static void ServiceMain(const std::vector<WString>& arguments);
  static void Handler(std::uint32_t control);
  static std::uint32_t HandlerEx(std::uint32_t control, std::uint32_t event_type,
                                 const DeviceEventRecord* event);

  void Start(const std::vector<WString>& arguments);
  void Stop();
  void Pause();
  void Continue();
  void Shutdown();

  void SetStatus(std::uint32_t state, std::uint32_t exit_code = 0);
  void LogEvent(WStringView message, std::uint16_t type);
  void LogError(WStringView operation, std::uint32_t code);

  // A copy of the status as last reported.
  ServiceStatusRecord CurrentStatus() const;

  const char16_t* const ServiceName;
  ServiceStatusRecord Status;
  std::atomic<ServiceStatusHandle> StatusHandle{0};

  // Process-wide values of the service host.
  std::uint32_t CheckPointCounter = 1;  // guarded by the status lock
  WideText NotifyCompanionDir;
  std::atomic<std::uint8_t> ControlsEnabled{0};
  std::atomic<DeviceNotificationHandle> DeviceNotifyHandle{0};

 protected:
  virtual void OnStart(const std::vector<WString>& arguments);
  virtual void OnStop();
  virtual void OnPause();
  virtual void OnContinue();
  virtual void OnShutdown();

  // Where device interface events go; none unless a derived class sets it.
  DeviceEventHandler* DeviceEvents = nullptr;

  Platform& platform_;
  ServicePlatform& service_platform_;

 private:
  // ServiceMain's registration of the extended handler and the device
  // notification.
  void RegisterDeviceChanges();
  // A stop that arrives before ControlsEnabled: reported as pending at once
  // and carried out once the start has finished.
  void DeferStop();
  void FinishDeferredStop();
  void CarryOutDeferredStop();

  // Status reports come from the service thread and the dispatcher's thread;
  // the lock keeps each report whole and the reports in the order made. It
  // is held only around one report, so spinning costs nothing measurable
  // (and needs no thread library, which the Windows runtime lacks).
  class StatusLock {
   public:
    explicit StatusLock(const CServiceBase& service) : flag_(service.status_busy_) {
      while (flag_.test_and_set(std::memory_order_acquire)) {
      }
    }
    ~StatusLock() { flag_.clear(std::memory_order_release); }
    StatusLock(const StatusLock&) = delete;
    StatusLock& operator=(const StatusLock&) = delete;

   private:
    std::atomic_flag& flag_;
  };
  mutable std::atomic_flag status_busy_ = ATOMIC_FLAG_INIT;
  std::atomic<bool> StopDeferred{false};
  std::atomic<bool> DeferredStopTaken{false};
};

// The one service object of the process, published by the entry point before
// the dispatcher starts and withdrawn after it returns. The dispatcher's and
// the service's threads read it, so it is reached only through these two,
// which load and store it atomically; each caller keeps its own share for as
// long as it uses the object.
extern std::shared_ptr<CServiceBase> ServiceInstance;
std::shared_ptr<CServiceBase> CurrentServiceInstance();
void PublishServiceInstance(std::shared_ptr<CServiceBase> service);

}  // namespace ztrm

#endif  // ZTRM_SERVICE_SERVICE_BASE_H_
