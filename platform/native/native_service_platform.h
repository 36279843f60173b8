// The native backend of the service host's concerns, bundled: an in-memory
// service control manager (native_service_control.h), a simulated service
// runtime (native_service_runtime.h), an in-memory event log and real threads.
// Good for tests of the service host's decisions; it runs no service process.
#ifndef ZTRM_PLATFORM_NATIVE_NATIVE_SERVICE_PLATFORM_H_
#define ZTRM_PLATFORM_NATIVE_NATIVE_SERVICE_PLATFORM_H_

#include "platform/native/native_clock.h"
#include "platform/native/native_event_log.h"
#include "platform/native/native_service_control.h"
#include "platform/native/native_service_runtime.h"
#include "platform/native/native_threading.h"
#include "platform/service_platform.h"

namespace ztrm {

class NativeServicePlatform {
 public:
  // The service control manager measures stop durations on `clock`.
  explicit NativeServicePlatform(NativeClock& clock)
      : scm_(clock), bundle_{scm_, runtime_, events_, threads_} {}
  NativeServicePlatform(const NativeServicePlatform&) = delete;
  NativeServicePlatform& operator=(const NativeServicePlatform&) = delete;

  ServicePlatform& service_platform() { return bundle_; }
  NativeServiceControlManager& scm() { return scm_; }
  NativeServiceRuntime& runtime() { return runtime_; }
  NativeEventLog& events() { return events_; }
  NativeThreading& threads() { return threads_; }

 private:
  NativeServiceControlManager scm_;
  NativeServiceRuntime runtime_;
  NativeEventLog events_;
  NativeThreading threads_;  // after the others: its destructor waits for the work items
  ServicePlatform bundle_;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_NATIVE_NATIVE_SERVICE_PLATFORM_H_
