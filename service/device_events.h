// What a device event leads to: which devices concern the system, the
// companion's reload or update, and the resource driver's word on whether the
// chassis modules changed.
//
// The decisions are kept apart from the control handler so that every case can
// be replayed without a device: the Win32 side only turns the event record
// into a DeviceEventRecord.
#ifndef ZTRM_SERVICE_DEVICE_EVENTS_H_
#define ZTRM_SERVICE_DEVICE_EVENTS_H_

#include <cstdint>
#include <optional>

#include "common/wide_text.h"
#include "enumeration/run_context.h"
#include "platform/service_runtime.h"

namespace ztrm {

// The two pieces of a symbolic link name "\\?\USB#VID_1D7E&PID_...": the bus
// (units 4 to 6) and the vendor ID (units 8 to 15).
struct LinkNameParts {
  WString bus;
  WString id;
};

// nullopt when the name is too short to hold both pieces.
std::optional<LinkNameParts> SplitLinkName(WStringView link_name);

// True for the system's own USB and PCI vendor IDs and the two PCI bridge
// makers, compared exactly (case matters).
bool IsWatchedVendorId(WStringView id);

// True when the link name names a device of a watched vendor on USB or PCI.
bool IsWatchedDevice(WStringView link_name);

class DeviceEventHandler {
 public:
  // `companion_dir` is the service's NotifyCompanionDir; it is read at each
  // event, so it may be filled after construction.
  DeviceEventHandler(Platform& platform, RunContext& ctx, const WideText& companion_dir)
      : platform_(platform), ctx_(ctx), companion_dir_(companion_dir) {}

  // The device event steps, for a SERVICE_CONTROL_DEVICEEVENT with its event
  // type and record (null when the event came without data).
  void OnDeviceEvent(std::uint32_t event_type, const DeviceEventRecord* event);

  // A watched device came or went: ask for a run and tell the companion.
  void NotifyCompanion(std::uint32_t event_type);

 private:
  void AskDriverWhetherModulesChanged();

  Platform& platform_;
  RunContext& ctx_;
  const WideText& companion_dir_;
};

}  // namespace ztrm

#endif  // ZTRM_SERVICE_DEVICE_EVENTS_H_
