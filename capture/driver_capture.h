// The resource driver's answers, asked through the platform, written as the
// simulated driver's configuration (driver/ztrmdrv_config.h): the values of
// SYSTEM\CurrentControlSet\Services\ZTRMDRV\Parameters.
//
// Every bus 0 to 255 is asked for its upstream bridge; a bus whose request
// fails gets no value, so its request fails again in the replay. The root
// bus table keeps the entries equal to 1 (the only ones the service reads)
// and the count byte; a failed table request is written as a list that does
// not read ("unanswered"), which fails the same way. The chassis module
// byte is asked once; a driver that fails that request cannot be replayed
// (the simulated driver always answers it) and says so in the notes.
// No device: no key at all, so the replay has no device either.
#ifndef ZTRM_CAPTURE_DRIVER_CAPTURE_H_
#define ZTRM_CAPTURE_DRIVER_CAPTURE_H_

#include <string>
#include <vector>

#include "capture/reg_export.h"
#include "platform/resource_driver.h"

namespace ztrm {

// Adds the driver's keys to `reg`; false when the device does not open.
bool CaptureResourceDriver(ResourceDriver& driver, RegExport& reg, std::vector<std::string>& notes);

}  // namespace ztrm

#endif  // ZTRM_CAPTURE_DRIVER_CAPTURE_H_
