// Local time and sleeping. Every wait of the system goes through here, so
// tests run on a clock of their own.
#ifndef ZTRM_PLATFORM_CLOCK_H_
#define ZTRM_PLATFORM_CLOCK_H_

#include <cstdint>

#include "common/wide_text.h"

namespace ztrm {

struct LocalTime {
  std::uint16_t year = 0, month = 0, day = 0;
  std::uint16_t hour = 0, minute = 0, second = 0, milliseconds = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime Now() = 0;  // GetLocalTime
  // Standard name of the local time zone (GetTimeZoneInformation StandardName).
  virtual WString TimeZoneStandardName() = 0;
  virtual void Sleep(std::uint32_t milliseconds) = 0;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_CLOCK_H_
