// The system thread pool and events through kernel32.
#ifndef ZTRM_PLATFORM_WIN32_WIN32_THREADING_H_
#define ZTRM_PLATFORM_WIN32_WIN32_THREADING_H_

#include "platform/threading.h"

namespace ztrm {

class Win32Threading : public Threading {
 public:
  std::uint32_t QueueLongWorkItem(std::function<void()> work) override;
  std::uint32_t CreateManualResetEvent(std::unique_ptr<ManualResetEvent>& event) override;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_WIN32_WIN32_THREADING_H_
