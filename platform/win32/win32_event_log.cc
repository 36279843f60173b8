#include "platform/win32/win32_event_log.h"

#include "platform/win32/win32_text.h"
#include "platform/win32/win32_windows.h"

namespace ztrm {
namespace {

class Win32EventSource : public EventSource {
 public:
  explicit Win32EventSource(HANDLE handle) : handle_(handle) {}
  ~Win32EventSource() override { DeregisterEventSource(handle_); }
  Win32EventSource(const Win32EventSource&) = delete;
  Win32EventSource& operator=(const Win32EventSource&) = delete;

  bool Report(std::uint16_t type, std::uint16_t category, std::uint32_t event_id,
              const std::vector<WString>& strings) override {
    std::vector<LPCWSTR> pointers;
    for (const WString& text : strings) pointers.push_back(AsWide(text.c_str()));
    return ReportEventW(handle_, type, category, event_id, nullptr,
                        static_cast<WORD>(pointers.size()), 0,
                        pointers.empty() ? nullptr : pointers.data(), nullptr) != FALSE;
  }

 private:
  HANDLE handle_;
};

}  // namespace

std::unique_ptr<EventSource> Win32EventLog::RegisterSource(WStringView source_name) {
  const WString name = Terminated(source_name);
  HANDLE handle = RegisterEventSourceW(nullptr, AsWide(name.c_str()));
  if (handle == nullptr) return nullptr;
  return std::make_unique<Win32EventSource>(handle);
}

}  // namespace ztrm
