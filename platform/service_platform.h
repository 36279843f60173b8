// What only the service host asks of the operating system, bundled apart
// from Platform so that the enumeration core never sees it.
#ifndef ZTRM_PLATFORM_SERVICE_PLATFORM_H_
#define ZTRM_PLATFORM_SERVICE_PLATFORM_H_

#include "platform/event_log.h"
#include "platform/service_control.h"
#include "platform/service_runtime.h"
#include "platform/threading.h"

namespace ztrm {

struct ServicePlatform {
  ServiceControlManager& scm;
  ServiceRuntime& runtime;
  EventLog& events;
  Threading& threads;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_SERVICE_PLATFORM_H_
