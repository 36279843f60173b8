#include "platform/win32/win32_clock.h"

#include "platform/win32/win32_text.h"
#include "platform/win32/win32_windows.h"

namespace ztrm {

LocalTime Win32Clock::Now() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  LocalTime time;
  time.year = now.wYear;
  time.month = now.wMonth;
  time.day = now.wDay;
  time.hour = now.wHour;
  time.minute = now.wMinute;
  time.second = now.wSecond;
  time.milliseconds = now.wMilliseconds;
  return time;
}

WString Win32Clock::TimeZoneStandardName() {
  TIME_ZONE_INFORMATION zone = {};
  if (GetTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID) return WString();
  // StandardName is a fixed array; a name that fills it has no terminator.
  std::size_t units = 0;
  const std::size_t capacity = sizeof(zone.StandardName) / sizeof(zone.StandardName[0]);
  while (units < capacity && zone.StandardName[units] != L'\0') ++units;
  return FromWide(zone.StandardName, units);
}

void Win32Clock::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

}  // namespace ztrm
