#include "capture/driver_capture.h"

#include <vector>

#include "common/wide_format.h"

namespace ztrm {
namespace {

constexpr char16_t kServiceKey[] = u"SYSTEM\\CurrentControlSet\\Services\\ZTRMDRV";
constexpr char16_t kParametersKey[] = u"SYSTEM\\CurrentControlSet\\Services\\ZTRMDRV\\Parameters";

}  // namespace

bool CaptureResourceDriver(ResourceDriver& driver, RegExport& reg, std::vector<std::string>& notes) {
  DriverHandle handle = driver.Open();
  if (handle == 0) return false;
  reg.AddKey(kServiceKey);
  reg.Comment(kParametersKey, u"The resource driver's answers, for the simulated driver.");
  reg.AddKey(kParametersKey);
  for (unsigned bus = 0; bus <= 255; ++bus) {
    std::uint8_t in = static_cast<std::uint8_t>(bus);
    std::uint8_t out[rmdrv::kUpstreamBridgeOutSize] = {};
    if (driver.Request(handle, rmdrv::DAS_IOC_GET_UPSTREAM_BRIDGE, &in, 1, out, sizeof out)) {
      reg.SetString(kParametersKey, FormatWide(u"Bus%d", static_cast<int>(bus)),
                    FormatWide(u"%d,%d,%d,%d", static_cast<int>(out[0]), static_cast<int>(out[1]),
                               static_cast<int>(out[2]), static_cast<int>(out[3])));
    }
  }
  std::vector<std::uint8_t> table(rmdrv::kRootBusListSize, 0);
  if (driver.Request(handle, rmdrv::DAS_IOC_GET_ROOT_BUS_LIST, table.data(), table.size(),
                     table.data(), table.size())) {
    WString pairs;
    for (std::size_t row = 0; row < rmdrv::kRootBusRows; ++row) {
      for (std::size_t col = 0; col < rmdrv::kRootBusRows; ++col) {
        if (table[row * rmdrv::kRootBusRows + col] != 1) continue;
        if (!pairs.empty()) pairs += u';';
        pairs += FormatWide(u"%d,%d", static_cast<int>(row), static_cast<int>(col));
      }
    }
    reg.SetString(kParametersKey, u"RootBusList", pairs);
    reg.SetDword(kParametersKey, u"RootBusCount", table[rmdrv::kRootBusListSize - 1]);
  } else {
    reg.SetString(kParametersKey, u"RootBusList", u"unanswered");
  }
  std::uint8_t zero = 0;
  std::uint8_t changed[rmdrv::kChassisModuleCountOutSize] = {};
  if (driver.Request(handle, rmdrv::DAS_IOC_GET_CHASSIS_MODULE_COUNT, &zero, 1, changed,
                     sizeof changed)) {
    reg.SetDword(kParametersKey, u"ChassisModulesChanged", changed[1]);
  } else {
    notes.push_back("resource driver: the chassis module request failed; the replay answers it");
  }
  driver.Close(handle);
  return true;
}

}  // namespace ztrm
