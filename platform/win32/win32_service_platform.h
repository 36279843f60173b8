// The Win32 backend of the service host's concerns, bundled for the entry
// point beside Win32Platform.
#ifndef ZTRM_PLATFORM_WIN32_WIN32_SERVICE_PLATFORM_H_
#define ZTRM_PLATFORM_WIN32_WIN32_SERVICE_PLATFORM_H_

#include "platform/service_platform.h"
#include "platform/win32/win32_event_log.h"
#include "platform/win32/win32_service_control.h"
#include "platform/win32/win32_service_runtime.h"
#include "platform/win32/win32_threading.h"

namespace ztrm {

class Win32ServicePlatform {
 public:
  Win32ServicePlatform() : bundle_{scm_, runtime_, events_, threads_} {}
  // bundle_ refers to the members, so the object neither copies nor moves.
  Win32ServicePlatform(const Win32ServicePlatform&) = delete;
  Win32ServicePlatform& operator=(const Win32ServicePlatform&) = delete;

  ServicePlatform& service_platform() { return bundle_; }

 private:
  Win32ServiceControlManager scm_;
  Win32ServiceRuntime runtime_;
  Win32EventLog events_;
  Win32Threading threads_;
  ServicePlatform bundle_;  // last: it binds to the members above
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_WIN32_WIN32_SERVICE_PLATFORM_H_
