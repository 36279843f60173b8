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

class Threading {
 public:
  virtual ~Threading() = default;
  // QueueUserWorkItem with WT_EXECUTELONGFUNCTION: 0, or the error code when
  // the pool refuses the item (which then never runs).
  virtual std::uint32_t QueueLongWorkItem(std::function<void()> work) = 0;
  // CreateEventW, manual reset, not signalled, unnamed: 0, or the error code
  // (and no event).
  virtual std::uint32_t CreateManualResetEvent(std::unique_ptr<ManualResetEvent>& event) = 0;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_THREADING_H_
