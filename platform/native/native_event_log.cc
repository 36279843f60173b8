#include "platform/native/native_event_log.h"

namespace ztrm {
namespace {

class NativeEventSource : public EventSource {
 public:
  NativeEventSource(NativeEventLog& log, WString name) : log_(log), name_(std::move(name)) {}
  ~NativeEventSource() override { log_.SourceClosed(); }
  NativeEventSource(const NativeEventSource&) = delete;
  NativeEventSource& operator=(const NativeEventSource&) = delete;

  bool Report(std::uint16_t type, std::uint16_t category, std::uint32_t event_id,
              const std::vector<WString>& strings) override {
    log_.Add(NativeEventEntry{name_, type, category, event_id, strings});
    return true;
  }

 private:
  NativeEventLog& log_;
  WString name_;
};

}  // namespace

std::unique_ptr<EventSource> NativeEventLog::RegisterSource(WStringView source_name) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (fail_registration_) return nullptr;
  ++open_sources_;
  return std::make_unique<NativeEventSource>(*this, WString(source_name));
}

std::vector<NativeEventEntry> NativeEventLog::Entries() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return entries_;
}

int NativeEventLog::OpenSources() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return open_sources_;
}

void NativeEventLog::Add(NativeEventEntry entry) {
  std::lock_guard<std::mutex> lock(mutex_);
  entries_.push_back(std::move(entry));
}

void NativeEventLog::SourceClosed() {
  std::lock_guard<std::mutex> lock(mutex_);
  --open_sources_;
}

}  // namespace ztrm
