#include "platform/native/native_resource_driver.h"

#include <cstring>
#include <optional>
#include <vector>

extern "C" {
#include "driver/ztrmdrv_config.h"
}

namespace ztrm {
namespace {

WString Widen(const char* ascii) { return WidenBytes(ascii); }

const std::uint16_t* Units(const WString& text) {
  static_assert(sizeof(char16_t) == sizeof(std::uint16_t));
  return reinterpret_cast<const std::uint16_t*>(text.data());
}

}  // namespace

DriverHandle NativeResourceDriver::Open() {
  if (!registry_.OpenLocalMachineKey(Widen(ZTRMDRV_SERVICE_KEY))) return 0;
  std::lock_guard<std::mutex> lock(mutex_);
  DriverHandle handle = next_++;
  open_.insert(handle);
  return handle;
}

void NativeResourceDriver::Close(DriverHandle handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  open_.erase(handle);
}

bool NativeResourceDriver::Request(DriverHandle handle, std::uint32_t code, const std::uint8_t* in,
                                   std::size_t in_size, std::uint8_t* out, std::size_t out_size) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (open_.count(handle) == 0) return false;
  }
  if (in == nullptr || out == nullptr) return false;
  switch (code) {
    case rmdrv::DAS_IOC_GET_UPSTREAM_BRIDGE:
      if (in_size != rmdrv::kUpstreamBridgeInSize || out_size != rmdrv::kUpstreamBridgeOutSize) {
        return false;
      }
      return UpstreamBridge(in[0], out);
    case rmdrv::DAS_IOC_GET_ROOT_BUS_LIST:
      if (in_size != rmdrv::kRootBusListSize || out_size != rmdrv::kRootBusListSize) return false;
      return RootBusList(out);
    case rmdrv::DAS_IOC_GET_CHASSIS_MODULE_COUNT:
      if (in_size != rmdrv::kChassisModuleCountInSize ||
          out_size != rmdrv::kChassisModuleCountOutSize) {
        return false;
      }
      return ChassisModuleCount(out);
    default:
      return false;
  }
}

bool NativeResourceDriver::UpstreamBridge(std::uint8_t bus, std::uint8_t* out) {
  std::unique_ptr<RegistryKey> key = registry_.OpenLocalMachineKey(Widen(ZTRMDRV_PARAMETERS_KEY));
  if (!key) return false;
  std::uint16_t name[8];
  ztrmdrv_bus_value_name(bus, name);
  std::optional<WString> text = key->StringValue(WString(reinterpret_cast<char16_t*>(name)));
  if (!text) return false;
  return ztrmdrv_upstream_answer(Units(*text), text->size(), out) == 1;
}

bool NativeResourceDriver::RootBusList(std::uint8_t* table) {
  // Like the kernel driver: the table comes back zeroed apart from the
  // configured pairs, whatever the caller handed in.
  std::vector<std::uint8_t> answer(rmdrv::kRootBusListSize, 0);
  std::unique_ptr<RegistryKey> key = registry_.OpenLocalMachineKey(Widen(ZTRMDRV_PARAMETERS_KEY));
  if (key) {
    if (std::optional<WString> list = key->StringValue(u"RootBusList")) {
      if (ztrmdrv_root_list_reads(Units(*list), list->size()) != 1) return false;
      ztrmdrv_mark_root_list(Units(*list), list->size(), answer.data());
    }
    answer[rmdrv::kRootBusListSize - 1] =
        ztrmdrv_clamp_byte(key->DwordValue(u"RootBusCount").value_or(0));
  }
  std::memcpy(table, answer.data(), answer.size());
  return true;
}

bool NativeResourceDriver::ChassisModuleCount(std::uint8_t* out) {
  std::unique_ptr<RegistryKey> key = registry_.OpenLocalMachineKey(Widen(ZTRMDRV_PARAMETERS_KEY));
  std::uint32_t changed = key ? key->DwordValue(u"ChassisModulesChanged").value_or(0) : 0;
  out[0] = 0;
  out[1] = ztrmdrv_clamp_byte(changed);
  return true;
}

}  // namespace ztrm
