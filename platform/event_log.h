// The platform's event log, written through a registered event source.
#ifndef ZTRM_PLATFORM_EVENT_LOG_H_
#define ZTRM_PLATFORM_EVENT_LOG_H_

#include <cstdint>
#include <memory>
#include <vector>

#include "common/wide_text.h"

namespace ztrm {

// Event types (EVENTLOG_*_TYPE).
inline constexpr std::uint16_t kEventError = 0x0001;
inline constexpr std::uint16_t kEventWarning = 0x0002;
inline constexpr std::uint16_t kEventInformation = 0x0004;

class EventSource {
 public:
  virtual ~EventSource() = default;  // DeregisterEventSource
  // ReportEventW with no user and no raw data; false on failure.
  virtual bool Report(std::uint16_t type, std::uint16_t category, std::uint32_t event_id,
                      const std::vector<WString>& strings) = 0;
};

class EventLog {
 public:
  virtual ~EventLog() = default;
  // RegisterEventSourceW on the local machine; null on failure.
  virtual std::unique_ptr<EventSource> RegisterSource(WStringView source_name) = 0;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_EVENT_LOG_H_
