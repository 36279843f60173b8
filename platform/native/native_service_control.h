// An in-memory service control manager for the installer's tests. It is a
// simulation, not a replay of Windows: it knows service entries, their state
// and the open handles, and answers with the Win32 error codes Windows and
// Wine give for the cases the installer meets:
//
//   call               | fails with
//   -------------------+-----------------------------------------------------
//   Connect            | the error set by FailConnect
//   CreateEntry        | 5 without SC_MANAGER_CREATE_SERVICE access; 1073 when
//                      | the name exists; 1072 when it is marked for deletion
//   OpenEntry          | 1060 when the name does not exist
//   Start              | 5 without SERVICE_START; the entry's start error;
//                      | 1072 when marked for deletion; 1056 unless stopped
//   Stop               | 5 without SERVICE_STOP; 1062 when stopped; 1061 when
//                      | already stopping
//   QueryStatus        | 5 without SERVICE_QUERY_STATUS
//   Delete             | 5 without DELETE; 1072 when marked already
//
// A started service is SERVICE_RUNNING at once (StartService does not wait
// for more). A stop makes it SERVICE_STOP_PENDING for the entry's stop
// duration, measured on the native clock (the milliseconds slept so far), then
// SERVICE_STOPPED (or, for a service whose stop fails, SERVICE_RUNNING
// again). An entry marked for deletion disappears once it is stopped
// and its last handle is closed. Names compare without regard to case.
#ifndef ZTRM_PLATFORM_NATIVE_NATIVE_SERVICE_CONTROL_H_
#define ZTRM_PLATFORM_NATIVE_NATIVE_SERVICE_CONTROL_H_

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/native/native_clock.h"
#include "platform/service_control.h"

namespace ztrm {

// How a simulated service behaves.
struct NativeServiceBehaviour {
  // StartService fails with this code when not 0 (the service stays stopped).
  std::uint32_t start_error = 0;
  // How long the service reports SERVICE_STOP_PENDING after a stop.
  std::uint64_t stop_duration_ms = 0;
  // The stop fails: after the stop duration the service is running again.
  bool stop_fails = false;
  // Called when the service is started, with its one argument: where a test
  // plays the service process (holding files, for instance).
  std::function<void(WStringView argument)> on_start;
  // Called when the service reaches SERVICE_STOPPED after a stop.
  std::function<void()> on_stopped;
};

// One entry as the simulation keeps it.
struct NativeServiceRecord {
  ServiceEntryConfig config;
  std::uint32_t state = kServiceStopped;
  bool marked_for_delete = false;
  std::vector<WString> start_arguments;  // one per successful start
  NativeServiceBehaviour behaviour;
};

class NativeServiceControlManager : public ServiceControlManager {
 public:
  explicit NativeServiceControlManager(NativeClock& clock) : clock_(clock) {}

  std::uint32_t Connect(std::uint32_t desired_access, std::unique_ptr<ServiceManager>& manager) override;
  std::uint32_t ModuleFileName(WString& path) override;

  // Set-up and inspection for tests.
  void FailConnect(std::uint32_t error) { connect_error_ = error; }
  void SetModuleFileName(WString path) { module_path_ = std::move(path); }
  void FailModuleFileName(std::uint32_t error) { module_error_ = error; }
  // The behaviour a service gets when created (by name, any case).
  void SetBehaviour(WStringView name, NativeServiceBehaviour behaviour);
  // Puts an entry in place, as if installed earlier, in the given state.
  void AddService(const ServiceEntryConfig& config, std::uint32_t state);
  // Moves an entry to `state`, as the service process itself would.
  void SetState(WStringView name, std::uint32_t state);
  // A copy of the entry as of now; nullopt when there is none.
  std::optional<NativeServiceRecord> Find(WStringView name);
  // Handles open now, manager handles included.
  int OpenHandles() const;

  // Used by the handle objects.
  struct Entry;
  std::uint32_t Create(const ServiceEntryConfig& config, std::uint32_t manager_access,
                       std::unique_ptr<ServiceEntry>& service);
  std::uint32_t Open(WStringView name, std::uint32_t access, std::unique_ptr<ServiceEntry>& service);
  std::uint32_t StartEntry(const std::shared_ptr<Entry>& entry, std::uint32_t access, WStringView argument);
  std::uint32_t StopEntry(const std::shared_ptr<Entry>& entry, std::uint32_t access);
  std::uint32_t QueryEntry(const std::shared_ptr<Entry>& entry, std::uint32_t access,
                           ServiceStatusRecord& status);
  std::uint32_t DeleteEntry(const std::shared_ptr<Entry>& entry, std::uint32_t access);
  void CloseEntryHandle(const std::shared_ptr<Entry>& entry);
  void CloseManagerHandle();

 private:
  // Moves a stopping service on by the time slept; call with the lock held.
  // Returns the on_stopped callback to run once the lock is released.
  std::function<void()> Advance(Entry& entry);
  void RemoveIfGone();
  std::shared_ptr<Entry> Lookup(WStringView name) const;

  NativeClock& clock_;
  mutable std::mutex mutex_;
  std::vector<std::shared_ptr<Entry>> entries_;
  std::map<WString, NativeServiceBehaviour> behaviours_;  // by lower-case name
  std::uint32_t connect_error_ = 0;
  std::uint32_t module_error_ = 0;
  WString module_path_ = u"C:\\ztrm_bin\\ZTRMService.exe";
  int open_handles_ = 0;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_NATIVE_NATIVE_SERVICE_CONTROL_H_
