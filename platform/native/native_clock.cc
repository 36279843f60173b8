#include "platform/native/native_clock.h"

#include <chrono>
#include <ctime>

namespace ztrm {
namespace {

bool IsLeapYear(unsigned year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

unsigned DaysInMonth(unsigned year, unsigned month) {
  static const unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 31;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

LocalTime RealLocalTime() {
  auto now = std::chrono::system_clock::now();
  std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm parts{};
  localtime_r(&seconds, &parts);
  LocalTime t;
  t.year = static_cast<std::uint16_t>(parts.tm_year + 1900);
  t.month = static_cast<std::uint16_t>(parts.tm_mon + 1);
  t.day = static_cast<std::uint16_t>(parts.tm_mday);
  t.hour = static_cast<std::uint16_t>(parts.tm_hour);
  t.minute = static_cast<std::uint16_t>(parts.tm_min);
  t.second = static_cast<std::uint16_t>(parts.tm_sec);
  t.milliseconds = static_cast<std::uint16_t>(ms < 0 ? 0 : ms);
  return t;
}

}  // namespace

LocalTime AddMilliseconds(const LocalTime& time, std::uint64_t milliseconds) {
  std::uint64_t ms = time.milliseconds + milliseconds;
  std::uint64_t seconds = time.second + ms / 1000;
  std::uint64_t minutes = time.minute + seconds / 60;
  std::uint64_t hours = time.hour + minutes / 60;
  std::uint64_t days = hours / 24;
  LocalTime t = time;
  t.milliseconds = static_cast<std::uint16_t>(ms % 1000);
  t.second = static_cast<std::uint16_t>(seconds % 60);
  t.minute = static_cast<std::uint16_t>(minutes % 60);
  t.hour = static_cast<std::uint16_t>(hours % 24);
  unsigned year = t.year, month = t.month, day = t.day;
  while (days > 0) {
    unsigned month_days = DaysInMonth(year, month);
    unsigned left_in_month = day < month_days ? month_days - day : 0;
    if (days <= left_in_month) {
      day += static_cast<unsigned>(days);
      break;
    }
    days -= left_in_month + 1;  // to the first of the next month
    day = 1;
    if (++month > 12) {
      month = 1;
      ++year;
    }
  }
  t.year = static_cast<std::uint16_t>(year);
  t.month = static_cast<std::uint16_t>(month);
  t.day = static_cast<std::uint16_t>(day);
  return t;
}

void NativeClock::Pin(const LocalTime& time) {
  std::lock_guard<std::mutex> lock(mutex_);
  pinned_ = time;
}

void NativeClock::Unpin() {
  std::lock_guard<std::mutex> lock(mutex_);
  pinned_.reset();
}

void NativeClock::SetTimeZoneStandardName(WString name) {
  std::lock_guard<std::mutex> lock(mutex_);
  zone_name_ = std::move(name);
}

void NativeClock::SetSleepHook(std::function<void(std::uint32_t)> hook) {
  std::lock_guard<std::mutex> lock(mutex_);
  sleep_hook_ = std::move(hook);
}

void NativeClock::SetNowHook(std::function<void()> hook) {
  std::lock_guard<std::mutex> lock(mutex_);
  now_hook_ = std::move(hook);
}

std::uint64_t NativeClock::TotalSleptMilliseconds() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return slept_;
}

LocalTime NativeClock::Now() {
  std::function<void()> hook;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!in_now_hook_ && now_hook_) {
      hook = now_hook_;
      in_now_hook_ = true;
    }
  }
  if (hook) {
    hook();
    std::lock_guard<std::mutex> lock(mutex_);
    in_now_hook_ = false;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  return pinned_ ? *pinned_ : RealLocalTime();
}

WString NativeClock::TimeZoneStandardName() {
  std::lock_guard<std::mutex> lock(mutex_);
  return zone_name_;
}

void NativeClock::Sleep(std::uint32_t milliseconds) {
  std::function<void(std::uint32_t)> hook;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    slept_ += milliseconds;
    if (pinned_) pinned_ = AddMilliseconds(*pinned_, milliseconds);
    hook = sleep_hook_;
  }
  if (hook) hook(milliseconds);
}

}  // namespace ztrm
