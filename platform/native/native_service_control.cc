#include "platform/native/native_service_control.h"

#include <algorithm>

namespace ztrm {

struct NativeServiceControlManager::Entry {
  NativeServiceRecord record;
  std::uint64_t stop_requested_at = 0;
  int handles = 0;
};

namespace {

WString Lower(WStringView text) {
  WString lower(text);
  for (char16_t& c : lower) c = FoldToLower(c);
  return lower;
}

bool Allows(std::uint32_t granted, std::uint32_t needed) { return (granted & needed) == needed; }

class NativeServiceEntry : public ServiceEntry {
 public:
  NativeServiceEntry(NativeServiceControlManager& scm,
                     std::shared_ptr<NativeServiceControlManager::Entry> entry, std::uint32_t access)
      : scm_(scm), entry_(std::move(entry)), access_(access) {}
  ~NativeServiceEntry() override { scm_.CloseEntryHandle(entry_); }
  NativeServiceEntry(const NativeServiceEntry&) = delete;
  NativeServiceEntry& operator=(const NativeServiceEntry&) = delete;

  std::uint32_t Start(WStringView argument) override { return scm_.StartEntry(entry_, access_, argument); }
  std::uint32_t Stop() override { return scm_.StopEntry(entry_, access_); }
  std::uint32_t QueryStatus(ServiceStatusRecord& status) override {
    return scm_.QueryEntry(entry_, access_, status);
  }
  std::uint32_t Delete() override { return scm_.DeleteEntry(entry_, access_); }

 private:
  NativeServiceControlManager& scm_;
  std::shared_ptr<NativeServiceControlManager::Entry> entry_;
  std::uint32_t access_;
};

class NativeServiceManager : public ServiceManager {
 public:
  NativeServiceManager(NativeServiceControlManager& scm, std::uint32_t access)
      : scm_(scm), access_(access) {}
  ~NativeServiceManager() override { scm_.CloseManagerHandle(); }
  NativeServiceManager(const NativeServiceManager&) = delete;
  NativeServiceManager& operator=(const NativeServiceManager&) = delete;

  std::uint32_t CreateEntry(const ServiceEntryConfig& config,
                            std::unique_ptr<ServiceEntry>& service) override {
    return scm_.Create(config, access_, service);
  }
  std::uint32_t OpenEntry(WStringView name, std::uint32_t access,
                          std::unique_ptr<ServiceEntry>& service) override {
    return scm_.Open(name, access, service);
  }

 private:
  NativeServiceControlManager& scm_;
  std::uint32_t access_;
};

}  // namespace

std::uint32_t NativeServiceControlManager::Connect(std::uint32_t desired_access,
                                                   std::unique_ptr<ServiceManager>& manager) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (connect_error_ != 0) return connect_error_;
  ++open_handles_;
  manager = std::make_unique<NativeServiceManager>(*this, desired_access);
  return 0;
}

std::uint32_t NativeServiceControlManager::ModuleFileName(WString& path) {
  if (module_error_ != 0) return module_error_;
  // The buffer holds 259 units and the terminator.
  path = module_path_.substr(0, 259);
  return 0;
}

void NativeServiceControlManager::SetBehaviour(WStringView name, NativeServiceBehaviour behaviour) {
  std::lock_guard<std::mutex> lock(mutex_);
  behaviours_[Lower(name)] = behaviour;
  if (std::shared_ptr<Entry> entry = Lookup(name)) entry->record.behaviour = std::move(behaviour);
}

void NativeServiceControlManager::AddService(const ServiceEntryConfig& config, std::uint32_t state) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto entry = std::make_shared<Entry>();
  entry->record.config = config;
  entry->record.state = state;
  auto behaviour = behaviours_.find(Lower(config.service_name));
  if (behaviour != behaviours_.end()) entry->record.behaviour = behaviour->second;
  entries_.push_back(entry);
}

void NativeServiceControlManager::SetState(WStringView name, std::uint32_t state) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (std::shared_ptr<Entry> entry = Lookup(name)) {
    entry->record.state = state;
    RemoveIfGone();
  }
}

std::optional<NativeServiceRecord> NativeServiceControlManager::Find(WStringView name) {
  std::function<void()> on_stopped;
  std::optional<NativeServiceRecord> found;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (std::shared_ptr<Entry> entry = Lookup(name)) {
      on_stopped = Advance(*entry);
      RemoveIfGone();
      if (Lookup(name)) found = entry->record;
    }
  }
  if (on_stopped) on_stopped();
  return found;
}

int NativeServiceControlManager::OpenHandles() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return open_handles_;
}

std::shared_ptr<NativeServiceControlManager::Entry> NativeServiceControlManager::Lookup(
    WStringView name) const {
  for (const std::shared_ptr<Entry>& entry : entries_) {
    if (EqualsIgnoreCase(entry->record.config.service_name, name)) return entry;
  }
  return nullptr;
}

std::uint32_t NativeServiceControlManager::Create(const ServiceEntryConfig& config,
                                                  std::uint32_t manager_access,
                                                  std::unique_ptr<ServiceEntry>& service) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!Allows(manager_access, kScManagerCreateService)) return kErrorAccessDenied;
  if (std::shared_ptr<Entry> existing = Lookup(config.service_name)) {
    return existing->record.marked_for_delete ? kErrorServiceMarkedForDelete : kErrorServiceExists;
  }
  auto entry = std::make_shared<Entry>();
  entry->record.config = config;
  auto behaviour = behaviours_.find(Lower(config.service_name));
  if (behaviour != behaviours_.end()) entry->record.behaviour = behaviour->second;
  entries_.push_back(entry);
  ++entry->handles;
  ++open_handles_;
  service = std::make_unique<NativeServiceEntry>(*this, entry, config.desired_access);
  return 0;
}

std::uint32_t NativeServiceControlManager::Open(WStringView name, std::uint32_t access,
                                                std::unique_ptr<ServiceEntry>& service) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::shared_ptr<Entry> entry = Lookup(name);
  if (!entry) return kErrorServiceDoesNotExist;
  ++entry->handles;
  ++open_handles_;
  service = std::make_unique<NativeServiceEntry>(*this, entry, access);
  return 0;
}

std::function<void()> NativeServiceControlManager::Advance(Entry& entry) {
  if (entry.record.state != kServiceStopPending) return nullptr;
  if (clock_.TotalSleptMilliseconds() - entry.stop_requested_at < entry.record.behaviour.stop_duration_ms) {
    return nullptr;
  }
  if (entry.record.behaviour.stop_fails) {
    entry.record.state = kServiceRunning;
    return nullptr;
  }
  entry.record.state = kServiceStopped;
  return entry.record.behaviour.on_stopped;
}

std::uint32_t NativeServiceControlManager::StartEntry(const std::shared_ptr<Entry>& entry,
                                                      std::uint32_t access, WStringView argument) {
  std::function<void(WStringView)> on_start;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!Allows(access, kServiceStart)) return kErrorAccessDenied;
    if (entry->record.marked_for_delete) return kErrorServiceMarkedForDelete;
    if (entry->record.state != kServiceStopped) return kErrorServiceAlreadyRunning;
    if (entry->record.behaviour.start_error != 0) return entry->record.behaviour.start_error;
    entry->record.state = kServiceRunning;
    entry->record.start_arguments.emplace_back(argument);
    on_start = entry->record.behaviour.on_start;
  }
  if (on_start) on_start(argument);
  return 0;
}

std::uint32_t NativeServiceControlManager::StopEntry(const std::shared_ptr<Entry>& entry,
                                                     std::uint32_t access) {
  std::function<void()> on_stopped;
  std::uint32_t result = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!Allows(access, kServiceStop)) return kErrorAccessDenied;
    // An earlier stop may end right here; its callback is owed all the same.
    on_stopped = Advance(*entry);
    switch (entry->record.state) {
      case kServiceStopped:
        result = kErrorServiceNotActive;
        break;
      case kServiceStopPending:
        result = kErrorServiceCannotAcceptControl;
        break;
      default:
        entry->record.state = kServiceStopPending;
        entry->stop_requested_at = clock_.TotalSleptMilliseconds();
        on_stopped = Advance(*entry);  // a stop that takes no time is over at once
        RemoveIfGone();
        break;
    }
  }
  if (on_stopped) on_stopped();
  return result;
}

std::uint32_t NativeServiceControlManager::QueryEntry(const std::shared_ptr<Entry>& entry,
                                                      std::uint32_t access, ServiceStatusRecord& status) {
  std::function<void()> on_stopped;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!Allows(access, kServiceQueryStatus)) return kErrorAccessDenied;
    on_stopped = Advance(*entry);
    status = ServiceStatusRecord();
    status.dwServiceType = entry->record.config.service_type;
    status.dwCurrentState = entry->record.state;
    status.dwControlsAccepted =
        entry->record.state == kServiceRunning ? 0x5 : 0;  // stop and shutdown
    RemoveIfGone();
  }
  if (on_stopped) on_stopped();
  return 0;
}

std::uint32_t NativeServiceControlManager::DeleteEntry(const std::shared_ptr<Entry>& entry,
                                                       std::uint32_t access) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!Allows(access, kServiceDelete)) return kErrorAccessDenied;
  if (entry->record.marked_for_delete) return kErrorServiceMarkedForDelete;
  entry->record.marked_for_delete = true;
  return 0;
}

void NativeServiceControlManager::CloseEntryHandle(const std::shared_ptr<Entry>& entry) {
  std::function<void()> on_stopped;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    --entry->handles;
    --open_handles_;
    on_stopped = Advance(*entry);
    RemoveIfGone();
  }
  if (on_stopped) on_stopped();
}

void NativeServiceControlManager::CloseManagerHandle() {
  std::lock_guard<std::mutex> lock(mutex_);
  --open_handles_;
}

void NativeServiceControlManager::RemoveIfGone() {
  entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                [](const std::shared_ptr<Entry>& entry) {
                                  return entry->record.marked_for_delete &&
                                         entry->record.state == kServiceStopped && entry->handles == 0;
                                }),
                 entries_.end());
}

}  // namespace ztrm
