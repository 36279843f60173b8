// The records of the enumeration, in one place, handed to every stage.
//
// One RunContext lives as long as the service process. The run-wide records
// are reset at the start of every run (the chassis ID table and the paths are
// not: they carry over). Everything here is touched by the worker's thread
// alone, except the request flags and the shared driver handle, which the
// service's control threads touch too and which are therefore atomics.
#ifndef ZTRM_ENUMERATION_RUN_CONTEXT_H_
#define ZTRM_ENUMERATION_RUN_CONTEXT_H_

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "chassis/chassis_records.h"
#include "common/process_locale.h"
#include "common/text_stream.h"
#include "common/wide_text.h"
#include "inventory/inventory_records.h"
#include "output/root_bus_table.h"
#include "platform/platform.h"

namespace ztrm {

class DecisionTrail;

inline constexpr char16_t kDefaultChassisListPath[] = u"C:\\ZELTRO\\PXI\\PXIChassisList.ini";
inline constexpr char16_t kDefaultChassisMappingPath[] = u"C:\\ZELTRO\\PXI\\ChassisMappingID.ini";

struct RunContext {
  explicit RunContext(Platform& p) : platform(p), locale(p.code_page) {}
  RunContext(const RunContext&) = delete;
  RunContext& operator=(const RunContext&) = delete;

  Platform& platform;
  ProcessLocale locale;

  // Fixed by the worker at its start; kept for the life of the process.
  WideText CompanionDir;
  WideText ChassisListPath{kDefaultChassisListPath};
  WideText ChassisMappingPath{kDefaultChassisMappingPath};
  WideText FileVersionText;

  // Requests for a run, set by the service threads, cleared by every run.
  std::atomic<std::uint8_t> StartRequest{0};
  std::atomic<std::uint8_t> ReenumerationRequest{0};

  // Set once the 32-bit PXISA registry view was seen; never cleared.
  bool UseWow6432Node = false;

  // The PXISA inventory of the current run (emptied by ResetInventory).
  PxisaServiceList SystemModules;      // "System Modules"
  PxisaServiceList PeripheralModules;  // "Peripheral Modules"
  PxisaServiceList ChassisModules;     // "Chassis"
  PxisaServiceList TriggerManagers;    // "Trigger Managers"
  SystemModuleIndex SystemModuleLookup;  // of SystemModules, once they are all read
  ResourceManagerList ResourceManagers;
  // Give Index; incremented before use, so the first record of a kind gets 1.
  std::uint32_t SystemModuleCounter = 0;
  std::uint32_t PeripheralModuleCounter = 0;

  // Filled by host identification; keep their text between runs.
  WideText HostManufacturer;
  WideText HostModel;

  // Open only during a run.
  std::unique_ptr<TextStream> LogStream;
  std::unique_ptr<TextStream> PxiSysStream;
  std::unique_ptr<TextStream> PxieSysStream;

  // Chassis descriptions of the current run.
  std::vector<stPXISys> vecPXISys;
  std::vector<stChassisDescFile> vecChassisDescFile;
  ChassisDescFileIndex ChassisDescFileLookup;  // of vecChassisDescFile

  // Chassis ID by mapping index (slot 0 unused); survives runs.
  std::array<std::uint16_t, 256> usChassisMappingID{};

  // The resource driver handle the first successful query opened, kept for
  // the life of the process (output/driver_session.h); read by the device
  // event handler.
  std::atomic<DriverHandle> SharedDriverHandle{0};

  // The driver's root bus table; written only by the root bus list query.
  stRootBusList RootBusList;

  // The decision trail of the run (enumeration/decision_trail.h), kept by
  // whoever asks for one; null in the service, so the stages record nothing.
  DecisionTrail* Trail = nullptr;
};

}  // namespace ztrm

#endif  // ZTRM_ENUMERATION_RUN_CONTEXT_H_
