#include "platform/native/native_threading.h"

#include <condition_variable>
#include <memory>

namespace ztrm {
namespace {

class NativeManualResetEvent : public ManualResetEvent {
 public:
  explicit NativeManualResetEvent(std::uint32_t wait_error)
      : state_(std::make_shared<State>()), wait_error_(wait_error) {}

  bool Set() override {
    // The waiter may destroy this object as soon as it wakes; the state lives
    // on in this call's own reference until the call is over.
    std::shared_ptr<State> state = state_;
    std::lock_guard<std::mutex> lock(state->mutex);
    state->signalled = true;
    state->changed.notify_all();
    return true;
  }

  std::uint32_t Wait() override {
    if (wait_error_ != 0) return wait_error_;
    std::unique_lock<std::mutex> lock(state_->mutex);
    state_->changed.wait(lock, [this] { return state_->signalled; });
    return 0;
  }

 private:
  struct State {
    std::mutex mutex;
    std::condition_variable changed;
    bool signalled = false;
  };
  std::shared_ptr<State> state_;
  std::uint32_t wait_error_;
};

}  // namespace

NativeThreading::~NativeThreading() { JoinAll(); }

std::uint32_t NativeThreading::QueueLongWorkItem(std::function<void()> work) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (refuse_) return WorkItemRefusalCode(refuse_error_);
  ++queued_;
  threads_.emplace_back(std::move(work));
  return 0;
}

std::uint32_t NativeThreading::CreateManualResetEvent(std::unique_ptr<ManualResetEvent>& event) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (event_error_ != 0) return event_error_;
  event = std::make_unique<NativeManualResetEvent>(wait_error_);
  return 0;
}

int NativeThreading::WorkItemsQueued() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return queued_;
}

void NativeThreading::JoinAll() {
  std::vector<std::thread> threads;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    threads.swap(threads_);
  }
  for (std::thread& thread : threads) thread.join();
}

}  // namespace ztrm
