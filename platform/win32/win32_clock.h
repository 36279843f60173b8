// Local time and sleeping through kernel32.
#ifndef ZTRM_PLATFORM_WIN32_WIN32_CLOCK_H_
#define ZTRM_PLATFORM_WIN32_WIN32_CLOCK_H_

#include "platform/clock.h"

namespace ztrm {

class Win32Clock : public Clock {
 public:
  LocalTime Now() override;
  WString TimeZoneStandardName() override;
  void Sleep(std::uint32_t milliseconds) override;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_WIN32_WIN32_CLOCK_H_
