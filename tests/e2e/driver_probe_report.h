// What a resource driver answers, as text: the same questions put to the
// native simulation (a unit test) and to the kernel driver under Wine
// (driver_probe.exe), so both can be compared with one expected file.
#ifndef ZTRM_TESTS_E2E_DRIVER_PROBE_REPORT_H_
#define ZTRM_TESTS_E2E_DRIVER_PROBE_REPORT_H_

#include <cstdio>
#include <string>
#include <vector>

#include "platform/resource_driver.h"

namespace ztrm {

// Opens the driver, asks the upstream bridge of every bus 0 to 255 (listing
// those answered), the root bus table (its marked entries and count), the
// chassis module byte, and three requests that must fail (wrong sizes, an
// unknown code). One line per fact, LF ends.
inline std::string DriverProbeReport(ResourceDriver& driver) {
  std::string report;
  char line[128];
  DriverHandle handle = driver.Open();
  if (handle == 0) return "open: failed\n";
  report += "open: ok\n";
  for (int bus = 0; bus < 256; ++bus) {
    std::uint8_t in[1] = {static_cast<std::uint8_t>(bus)};
    std::uint8_t out[4] = {0, 0, 0, 0};
    if (driver.Request(handle, rmdrv::DAS_IOC_GET_UPSTREAM_BRIDGE, in, 1, out, 4)) {
      std::snprintf(line, sizeof line, "bus %d: %d,%d,%d,%d\n", bus, out[0], out[1], out[2], out[3]);
      report += line;
    }
  }
  std::vector<std::uint8_t> table(rmdrv::kRootBusListSize, 0xAA);
  if (driver.Request(handle, rmdrv::DAS_IOC_GET_ROOT_BUS_LIST, table.data(), table.size(),
                     table.data(), table.size())) {
    report += "root:";
    int others = 0;
    for (std::size_t i = 0; i + 1 < table.size(); ++i) {
      if (table[i] == 1) {
        std::snprintf(line, sizeof line, " %d,%d", static_cast<int>(i / 255),
                      static_cast<int>(i % 255));
        report += line;
      } else if (table[i] != 0) {
        ++others;
      }
    }
    std::snprintf(line, sizeof line, "; count %d; other values %d\n", table.back(), others);
    report += line;
  } else {
    report += "root: failed\n";
  }
  std::uint8_t zero[1] = {0};
  std::uint8_t two[2] = {0, 0};
  if (driver.Request(handle, rmdrv::DAS_IOC_GET_CHASSIS_MODULE_COUNT, zero, 1, two, 2)) {
    std::snprintf(line, sizeof line, "chassis modules: %d,%d\n", two[0], two[1]);
    report += line;
  } else {
    report += "chassis modules: failed\n";
  }
  std::uint8_t big[8] = {};
  const bool wrong_in = driver.Request(handle, rmdrv::DAS_IOC_GET_UPSTREAM_BRIDGE, big, 2, big, 4);
  const bool wrong_out = driver.Request(handle, rmdrv::DAS_IOC_GET_CHASSIS_MODULE_COUNT, zero, 1,
                                        big, 8);
  const bool unknown = driver.Request(handle, 0x2234E4, zero, 1, big, 4);
  report += std::string("wrong input size: ") + (wrong_in ? "answered" : "failed") + "\n";
  report += std::string("wrong output size: ") + (wrong_out ? "answered" : "failed") + "\n";
  report += std::string("unknown code: ") + (unknown ? "answered" : "failed") + "\n";
  driver.Close(handle);
  return report;
}

}  // namespace ztrm

#endif  // ZTRM_TESTS_E2E_DRIVER_PROBE_REPORT_H_
