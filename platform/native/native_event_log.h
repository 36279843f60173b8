// The event log for the native backend: entries are kept in memory, in the
// order reported, for tests to read back (which Wine cannot: there, reports
// succeed and nothing is stored).
#ifndef ZTRM_PLATFORM_NATIVE_NATIVE_EVENT_LOG_H_
#define ZTRM_PLATFORM_NATIVE_NATIVE_EVENT_LOG_H_

#include <mutex>
#include <vector>

#include "platform/event_log.h"

namespace ztrm {

struct NativeEventEntry {
  WString source;
  std::uint16_t type = 0;
  std::uint16_t category = 0;
  std::uint32_t event_id = 0;
  std::vector<WString> strings;
};

class NativeEventLog : public EventLog {
 public:
  std::unique_ptr<EventSource> RegisterSource(WStringView source_name) override;

  // RegisterSource answers null from now on.
  void FailRegistration() { fail_registration_ = true; }
  std::vector<NativeEventEntry> Entries() const;
  // Sources registered and not yet deregistered.
  int OpenSources() const;

  void Add(NativeEventEntry entry);
  void SourceClosed();

 private:
  mutable std::mutex mutex_;
  bool fail_registration_ = false;
  int open_sources_ = 0;
  std::vector<NativeEventEntry> entries_;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_NATIVE_NATIVE_EVENT_LOG_H_
