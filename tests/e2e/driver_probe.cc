// driver_probe.exe: prints what the resource driver of this Wine session (or
// Windows machine) answers, in the form the native test expects too
// (driver_probe_report.h). Exit code 0 whatever it finds.
#include <cstdio>

#include "platform/win32/win32_resource_driver.h"
#include "tests/e2e/driver_probe_report.h"

int main() {
  ztrm::Win32ResourceDriver driver;
  const std::string report = ztrm::DriverProbeReport(driver);
  std::fwrite(report.data(), 1, report.size(), stdout);
  return 0;
}
