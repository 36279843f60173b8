#include "service/device_events.h"

#include "enumeration/companion.h"

namespace ztrm {
namespace {

constexpr std::size_t kBusStart = 4, kBusLength = 3;
constexpr std::size_t kIdStart = 8, kIdLength = 8;

// USB vendor IDs of the system's own hardware, its PCI vendor ID, and the PCI
// vendor IDs of PLX Technology and AMCC, whose bridges sit in the chassis.
constexpr const char16_t* kWatchedVendorIds[] = {
    u"VID_1D7E", u"VID_2C91", u"VEN_1D7E", u"VEN_10B5", u"VEN_10E8",
};

}  // namespace

std::optional<LinkNameParts> SplitLinkName(WStringView link_name) {
  if (link_name.size() < kIdStart + kIdLength) return std::nullopt;
  return LinkNameParts{WString(link_name.substr(kBusStart, kBusLength)),
                       WString(link_name.substr(kIdStart, kIdLength))};
}

bool IsWatchedVendorId(WStringView id) {
  for (const char16_t* watched : kWatchedVendorIds) {
    if (id == watched) return true;
  }
  return false;
}

bool IsWatchedDevice(WStringView link_name) {
  std::optional<LinkNameParts> parts = SplitLinkName(link_name);
  if (!parts) return false;
  return (parts->bus == u"USB" || parts->bus == u"PCI") && IsWatchedVendorId(parts->id);
}

void DeviceEventHandler::OnDeviceEvent(std::uint32_t event_type, const DeviceEventRecord* event) {
  if (event == nullptr || event->device_type != kDeviceTypeDeviceInterface) return;
  if (IsWatchedDevice(event->link_name)) NotifyCompanion(event_type);
  // Any interface event may be a chassis module coming or going behind a
  // bridge the lists above do not name; the driver knows.
  AskDriverWhetherModulesChanged();
}

void DeviceEventHandler::NotifyCompanion(std::uint32_t event_type) {
  ctx_.ReenumerationRequest = 1;
  if (event_type == kDeviceArrival) {
    LaunchCompanion(platform_, companion_dir_, u"reload");
  } else if (event_type == kDeviceRemoveComplete) {
    LaunchCompanion(platform_, companion_dir_, u"update");
  }
}

void DeviceEventHandler::AskDriverWhetherModulesChanged() {
  const DriverHandle handle = ctx_.SharedDriverHandle.load();
  if (handle == 0) return;
  const std::uint8_t in[rmdrv::kChassisModuleCountInSize] = {0};
  std::uint8_t out[rmdrv::kChassisModuleCountOutSize] = {0, 0};
  if (platform_.driver.Request(handle, rmdrv::DAS_IOC_GET_CHASSIS_MODULE_COUNT, in, sizeof in,
                               out, sizeof out) &&
      out[1] == 1) {
    ctx_.ReenumerationRequest = 1;
  }
}

}  // namespace ztrm
