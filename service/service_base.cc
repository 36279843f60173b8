#include "service/service_base.h"

#include "common/wide_format.h"
#include "enumeration/companion.h"
#include "service/device_events.h"
#include "service/service_error.h"

namespace ztrm {

std::shared_ptr<CServiceBase> ServiceInstance;

namespace {

// Guards ServiceInstance. Held only for a copy or a swap of the pointer, so
// spinning is cheap, and it needs no thread library (the Windows runtime of
// the mingw build has none).
std::atomic_flag instance_busy = ATOMIC_FLAG_INIT;

class InstanceLock {
 public:
  InstanceLock() {
    while (instance_busy.test_and_set(std::memory_order_acquire)) {
    }
  }
  ~InstanceLock() { instance_busy.clear(std::memory_order_release); }
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;
};

}  // namespace

std::shared_ptr<CServiceBase> CurrentServiceInstance() {
  InstanceLock lock;
  return ServiceInstance;
}

void PublishServiceInstance(std::shared_ptr<CServiceBase> service) {
  {
    InstanceLock lock;
    ServiceInstance.swap(service);
  }
  // The previous object, if this was its last share, is destroyed here,
  // outside the lock.
}

DeviceInterfaceFilter DeviceChangeFilter() {
  DeviceInterfaceFilter filter;
  filter.size = 32;
  filter.device_type = kDeviceTypeDeviceInterface;
  filter.reserved = 0;
  filter.class_guid = {0x60, 0x9E, 0xFC, 0x36, 0x65, 0xC4, 0xCF, 0x11,
                       0x80, 0x56, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00};
  return filter;
}

CServiceBase::CServiceBase(Platform& platform, ServicePlatform& service_platform,
                           const char16_t* service_name)
    : ServiceName(service_name), platform_(platform), service_platform_(service_platform) {
  Status.dwServiceType = kServiceWin32OwnProcess;
  Status.dwCurrentState = kServiceStartPending;
  // Pause and continue are not offered: the service has nothing to pause.
  Status.dwControlsAccepted = kAcceptStop | kAcceptShutdown;
  Status.dwWin32ExitCode = 0;
  Status.dwServiceSpecificExitCode = 0;
  Status.dwCheckPoint = 0;
  Status.dwWaitHint = 0;
}

void CServiceBase::ServiceMain(const std::vector<WString>& arguments) {
  // Held to the end: after a deferred stop reports SERVICE_STOPPED the
  // dispatcher may return and the entry point let go while this thread is
  // still on its way out.
  const std::shared_ptr<CServiceBase> service = CurrentServiceInstance();
  if (service == nullptr) return;
  ServiceRuntime& runtime = service->service_platform_.runtime;
  service->StatusHandle = runtime.RegisterHandler(service->ServiceName, &CServiceBase::Handler);
  // Without a status handle no state can be reported, not even a failure.
  if (service->StatusHandle == 0) return;
  service->RegisterDeviceChanges();
  service->Start(arguments);
  service->FinishDeferredStop();
}

void CServiceBase::RegisterDeviceChanges() {
  ServiceRuntime& runtime = service_platform_.runtime;
  const ServiceStatusHandle extended = runtime.RegisterHandlerEx(kExtendedHandlerName, &CServiceBase::HandlerEx);
  // Without the extended handler the service still runs, only blind to devices.
  if (extended == 0) return;
  DeviceNotifyHandle = runtime.RegisterDeviceEvents(extended, DeviceChangeFilter(), kDeviceChangeFlags);
}

void CServiceBase::Handler(std::uint32_t control) {
  const std::shared_ptr<CServiceBase> service = CurrentServiceInstance();
  if (service == nullptr) return;
  switch (control) {
    case kControlStop:
      service->Stop();
      break;
    case kControlPause:
      service->Pause();
      break;
    case kControlContinue:
      service->Continue();
      break;
    case kControlShutdown:
      service->Shutdown();
      break;
    default:  // interrogate and the rest
      break;
  }
}

std::uint32_t CServiceBase::HandlerEx(std::uint32_t control, std::uint32_t event_type,
                                      const DeviceEventRecord* event) {
  const std::shared_ptr<CServiceBase> service = CurrentServiceInstance();
  if (service == nullptr) return 0;
  if (service->ControlsEnabled.load() == 0) {
    // Until the start has finished every control is ignored, except that a
    // stop is kept for then: dropping it would leave the one-shot command's
    // temporary service running behind a "removed" message.
    if (control == kControlStop) service->DeferStop();
    return 0;
  }
  switch (control) {
    case kControlStop:
      service->service_platform_.runtime.UnregisterDeviceEvents(service->DeviceNotifyHandle.load());
      service->Stop();
      break;
    case kControlPause:
      service->Pause();
      break;
    case kControlContinue:
      service->Continue();
      break;
    case kControlShutdown:
      service->Shutdown();
      break;
    case kControlDeviceEvent:
      if (service->DeviceEvents != nullptr) service->DeviceEvents->OnDeviceEvent(event_type, event);
      break;
    default:  // interrogate and the rest
      break;
  }
  return 0;
}

void CServiceBase::DeferStop() {
  if (CurrentStatus().dwCurrentState == kServiceStopped) return;  // the start failed already
  if (StopDeferred.exchange(true)) return;                         // one stop is enough
  SetStatus(kServiceStopPending);
  // The start may have finished between the check of ControlsEnabled and here,
  // after the service thread looked for a deferred stop.
  if (ControlsEnabled.load() != 0) CarryOutDeferredStop();
}

void CServiceBase::FinishDeferredStop() {
  if (StopDeferred.load()) CarryOutDeferredStop();
}

void CServiceBase::CarryOutDeferredStop() {
  if (DeferredStopTaken.exchange(true)) return;
  if (ControlsEnabled.load() == 0) {
    // The start failed and reported SERVICE_STOPPED; the pending report made
    // meanwhile must not be the last word.
    const ServiceStatusRecord last = CurrentStatus();
    SetStatus(kServiceStopped, last.dwWin32ExitCode);
    return;
  }
  service_platform_.runtime.UnregisterDeviceEvents(DeviceNotifyHandle.load());
  {
    // Should the stop fail, the service goes back to running, the state it
    // was in when the stop arrived, as after any failed stop.
    StatusLock lock(*this);
    Status.dwCurrentState = kServiceRunning;
  }
  Stop();
}

void CServiceBase::Start(const std::vector<WString>& arguments) {
  if (NotifyCompanionDir.empty()) {
    NotifyCompanionDir =
        ReadCompanionDir(platform_.registry, {kCompanionKey, kCompanionKeyWow});
  }
  try {
    SetStatus(kServiceStartPending);
    OnStart(arguments);
    SetStatus(kServiceRunning);
    // A stop deferred meanwhile stays reported as pending.
    if (StopDeferred.load()) SetStatus(kServiceStopPending);
    platform_.clock.Sleep(kControlsEnableDelayMs);
    ControlsEnabled = 1;
    LaunchCompanion(platform_, NotifyCompanionDir, u"reload");
  } catch (const ServiceError& error) {
    LogError(u"Service Start", error.code());
    SetStatus(kServiceStopped, error.code());
  } catch (...) {
    LogEvent(u"Service failed to start.", kEventError);
    SetStatus(kServiceStopped);
  }
}

void CServiceBase::Stop() {
  const std::uint32_t original_state = CurrentStatus().dwCurrentState;
  try {
    SetStatus(kServiceStopPending);
    OnStop();
    SetStatus(kServiceStopped);
  } catch (const ServiceError& error) {
    LogError(u"Service Stop", error.code());
    SetStatus(original_state);
  } catch (...) {
    LogEvent(u"Service failed to stop.", kEventError);
    SetStatus(original_state);
  }
}

void CServiceBase::Pause() {
  try {
    SetStatus(kServicePausePending);
    OnPause();
    SetStatus(kServicePaused);
  } catch (const ServiceError& error) {
    LogError(u"Service Pause", error.code());
    SetStatus(kServiceRunning);
  } catch (...) {
    LogEvent(u"Service failed to pause.", kEventError);
    SetStatus(kServiceRunning);
  }
}

void CServiceBase::Continue() {
  try {
    SetStatus(kServiceContinuePending);
    OnContinue();
    SetStatus(kServiceRunning);
  } catch (const ServiceError& error) {
    LogError(u"Service Continue", error.code());
    SetStatus(kServicePaused);
  } catch (...) {
    LogEvent(u"Service failed to resume.", kEventError);
    SetStatus(kServicePaused);
  }
}

void CServiceBase::Shutdown() {
  try {
    OnShutdown();
    SetStatus(kServiceStopped);
  } catch (const ServiceError& error) {
    LogError(u"Service Shutdown", error.code());
  } catch (...) {
    LogEvent(u"Service failed to shut down.", kEventError);
  }
}

void CServiceBase::SetStatus(std::uint32_t state, std::uint32_t exit_code) {
  StatusLock lock(*this);
  Status.dwCurrentState = state;
  Status.dwWin32ExitCode = exit_code;
  Status.dwWaitHint = 0;
  // The counter is never reset, so check points keep rising across every
  // pending state of the process.
  Status.dwCheckPoint =
      (state == kServiceRunning || state == kServiceStopped) ? 0 : CheckPointCounter++;
  service_platform_.runtime.SetStatus(StatusHandle.load(), Status);
}

ServiceStatusRecord CServiceBase::CurrentStatus() const {
  StatusLock lock(*this);
  return Status;
}

void CServiceBase::LogEvent(WStringView message, std::uint16_t type) {
  std::unique_ptr<EventSource> source = service_platform_.events.RegisterSource(ServiceName);
  if (!source) return;
  source->Report(type, 0, 0, {WString(ServiceName), WString(message)});
}

void CServiceBase::LogError(WStringView operation, std::uint32_t code) {
  // The entry is formatted into a 260-unit buffer, so a long name is cut.
  const WideText message(FormatWide(u"%s failed w/err 0x%08lx", operation, code));
  LogEvent(message.view(), kEventError);
}

void CServiceBase::OnStart(const std::vector<WString>&) {}
void CServiceBase::OnStop() {}
void CServiceBase::OnPause() {}
void CServiceBase::OnContinue() {}
void CServiceBase::OnShutdown() {}

}  // namespace ztrm
