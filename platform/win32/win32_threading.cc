#include "platform/win32/win32_threading.h"

#include "platform/win32/win32_windows.h"

namespace ztrm {
namespace {

class Win32ManualResetEvent : public ManualResetEvent {
 public:
  explicit Win32ManualResetEvent(HANDLE handle) : handle_(handle) {}
  ~Win32ManualResetEvent() override { CloseHandle(handle_); }
  Win32ManualResetEvent(const Win32ManualResetEvent&) = delete;
  Win32ManualResetEvent& operator=(const Win32ManualResetEvent&) = delete;

  bool Set() override { return SetEvent(handle_) != FALSE; }

  std::uint32_t Wait() override {
    if (WaitForSingleObject(handle_, INFINITE) == WAIT_OBJECT_0) return 0;
    const DWORD error = GetLastError();
    // A wait that ends otherwise without an error code still did not see the
    // event; it must not pass for success.
    return error != 0 ? error : ERROR_INVALID_HANDLE;
  }

 private:
  HANDLE handle_;
};

DWORD WINAPI RunWorkItem(LPVOID context) {
  std::unique_ptr<std::function<void()>> work(static_cast<std::function<void()>*>(context));
  (*work)();
  return 0;
}

}  // namespace

std::uint32_t Win32Threading::QueueLongWorkItem(std::function<void()> work) {
  auto item = std::make_unique<std::function<void()>>(std::move(work));
  if (!QueueUserWorkItem(RunWorkItem, item.get(), WT_EXECUTELONGFUNCTION)) {
    return WorkItemRefusalCode(GetLastError());
  }
  item.release();  // the work item owns it now
  return 0;
}

std::uint32_t Win32Threading::CreateManualResetEvent(std::unique_ptr<ManualResetEvent>& event) {
  HANDLE handle = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (handle == nullptr) return GetLastError();
  event = std::make_unique<Win32ManualResetEvent>(handle);
  return 0;
}

}  // namespace ztrm
