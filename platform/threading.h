// The system thread pool and manual-reset events.
#ifndef ZTRM_PLATFORM_THREADING_H_
#define ZTRM_PLATFORM_THREADING_H_

#include <cstdint>
#include <functional>
#include <memory>

namespace ztrm {

class ManualResetEvent {
 public:
  virtual ~ManualResetEvent() = default;  // CloseHandle
  // SetEvent; false on failure.
  virtual bool Set() = 0;
  // WaitForSingleObject without time limit: 0 once signalled, else the error
  // code of the failed wait.
  virtual std::uint32_t Wait() = 0;
};

// The code a refused work item reports. A refusal is a failure whatever the
// platform's last error says; when that is 0 the code is
// ERROR_NOT_ENOUGH_MEMORY (8), the code the pool itself gives when it cannot
// take an item, so a refusal never passes for success.
inline constexpr std::uint32_t kWorkItemRefusedWithoutCode = 8;
inline std::uint32_t WorkItemRefusalCode(std::uint32_t last_error) {
  return last_error != 0 ? last_error : kWorkItemRefusedWithoutCode;
}

class Threading {
 public:
  virtual ~Threading() = default;
  // QueueUserWorkItem with WT_EXECUTELONGFUNCTION: 0, or, when the pool
  // refuses the item (which then never runs), WorkItemRefusalCode of the
  // last error: never 0.
  virtual std::uint32_t QueueLongWorkItem(std::function<void()> work) = 0;
  // CreateEventW, manual reset, not signalled, unnamed: 0, or the error code
  // (and no event).
  virtual std::uint32_t CreateManualResetEvent(std::unique_ptr<ManualResetEvent>& event) = 0;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_THREADING_H_
