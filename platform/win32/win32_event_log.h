// The event log through advapi32.
#ifndef ZTRM_PLATFORM_WIN32_WIN32_EVENT_LOG_H_
#define ZTRM_PLATFORM_WIN32_WIN32_EVENT_LOG_H_

#include "platform/event_log.h"

namespace ztrm {

class Win32EventLog : public EventLog {
 public:
  std::unique_ptr<EventSource> RegisterSource(WStringView source_name) override;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_WIN32_WIN32_EVENT_LOG_H_
