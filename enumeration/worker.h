// The enumeration worker: the service's one long-running activity.
//
// At its start it fixes the paths every run uses; then it polls the PXISA
// configuration every 2 seconds and performs an enumeration run when this
// system is the configured resource manager and a run is due. A run is never
// interrupted: the stop flag is looked at only before each poll.
#ifndef ZTRM_ENUMERATION_WORKER_H_
#define ZTRM_ENUMERATION_WORKER_H_

#include <atomic>
#include <cstdint>

#include "enumeration/run_context.h"

namespace ztrm {

inline constexpr char16_t kThisResourceManager[] = u"ZELTRO Technology";
inline constexpr std::uint32_t kPollIntervalMs = 2000;

// The poll's decision. A name other than this system's (compared exactly)
// clears `manager_active` and asks for no run; the first poll that sees this
// system's name always asks for a run; after that only a request does.
bool DecideRun(WStringView configured_name, bool& manager_active, bool start_request,
               bool reenumeration_request);

// Folder that holds PXIChassisList.ini and ChassisMappingID.ini, derived from
// the companion's folder by replacing its last three characters with "PXI";
// empty when the companion folder is shorter than three characters.
WideText DerivePxiFolder(const WideText& companion_dir);

class EnumerationWorker {
 public:
  explicit EnumerationWorker(RunContext& ctx) : ctx_(ctx) {}

  // Worker start: paths, companion folder, companion reload, root bus list,
  // FileVersionText. Once per service start.
  void Start();
  // One poll: reads the configured resource manager and performs a run when
  // one is due. No sleeping.
  void Poll();
  // One enumeration run, from opening the three files to the companion reload.
  void PerformRun();
  // Start, then Poll and sleep kPollIntervalMs until `stop_flag` is seen set.
  void Run(const std::atomic<std::uint32_t>& stop_flag);

  // The configured resource manager's name, as the poll reads it.
  WString ReadConfiguredManager();

  const WideText& ConfigurationFile() const { return ConfigurationFile_; }
  const WideText& LogFile() const { return LogFile_; }
  const WideText& PxiSysFile() const { return PxiSysFile_; }
  const WideText& PxieSysFile() const { return PxieSysFile_; }

 private:
  void CloseRunFiles();

  RunContext& ctx_;
  bool ManagerActive = false;
  WideText ConfigurationFile_;
  WideText LogFile_;
  WideText PxiSysFile_;
  WideText PxieSysFile_;
};

}  // namespace ztrm

#endif  // ZTRM_ENUMERATION_WORKER_H_
