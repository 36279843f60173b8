// The thread pool and events for the native backend. Work items run on real
// threads, one each, which the destructor joins; events are real too. Only
// the failures are simulated: a refused work item, an event that cannot be
// created, a wait that fails.
#ifndef ZTRM_PLATFORM_NATIVE_NATIVE_THREADING_H_
#define ZTRM_PLATFORM_NATIVE_NATIVE_THREADING_H_

#include <mutex>
#include <thread>
#include <vector>

#include "platform/threading.h"

namespace ztrm {

class NativeThreading : public Threading {
 public:
  NativeThreading() = default;
  ~NativeThreading() override;  // waits for every work item to end
  NativeThreading(const NativeThreading&) = delete;
  NativeThreading& operator=(const NativeThreading&) = delete;

  std::uint32_t QueueLongWorkItem(std::function<void()> work) override;
  std::uint32_t CreateManualResetEvent(std::unique_ptr<ManualResetEvent>& event) override;

  // Work items are refused from now on, the platform's last error being
  // `last_error` (which may be 0); AcceptWorkItems ends that.
  void RefuseWorkItems(std::uint32_t last_error) {
    refuse_ = true;
    refuse_error_ = last_error;
  }
  void AcceptWorkItems() { refuse_ = false; }
  // Failures from now on (0 turns them off again).
  void FailEventCreation(std::uint32_t error) { event_error_ = error; }
  // Events created from now on fail their waits with this code.
  void FailWaits(std::uint32_t error) { wait_error_ = error; }

  int WorkItemsQueued() const;
  // Waits until every work item queued so far has ended.
  void JoinAll();

 private:
  mutable std::mutex mutex_;
  std::vector<std::thread> threads_;
  bool refuse_ = false;
  std::uint32_t refuse_error_ = 0, event_error_ = 0, wait_error_ = 0;
  int queued_ = 0;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_NATIVE_NATIVE_THREADING_H_
