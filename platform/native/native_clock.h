// The clock of the replayed machine. Nothing here waits on the real clock.
//
// Now(): the pinned time when one was set (Pin), otherwise the real local
// time. Sleep(ms) returns at once: it advances the pinned time by `ms` (when
// pinned) and then calls the sleep hook (when set) with `ms`, which is where a
// test changes the world between two polls. The now hook (when set) runs at
// the start of every Now() that is not already inside the hook, before the
// time is read. TimeZoneStandardName(): the set name, by default
// "Coordinated Universal Time" (what Wine reports on a UTC machine).
#ifndef ZTRM_PLATFORM_NATIVE_NATIVE_CLOCK_H_
#define ZTRM_PLATFORM_NATIVE_NATIVE_CLOCK_H_

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>

#include "platform/clock.h"

namespace ztrm {

// `time` moved forward by `milliseconds`, across seconds, days, months and
// leap years of the Gregorian calendar.
LocalTime AddMilliseconds(const LocalTime& time, std::uint64_t milliseconds);

class NativeClock : public Clock {
 public:
  void Pin(const LocalTime& time);
  void Unpin();
  void SetTimeZoneStandardName(WString name);
  void SetSleepHook(std::function<void(std::uint32_t)> hook);
  void SetNowHook(std::function<void()> hook);
  // Milliseconds asked of Sleep() so far.
  std::uint64_t TotalSleptMilliseconds() const;

  LocalTime Now() override;
  WString TimeZoneStandardName() override;
  void Sleep(std::uint32_t milliseconds) override;

 private:
  mutable std::mutex mutex_;
  std::optional<LocalTime> pinned_;
  WString zone_name_ = u"Coordinated Universal Time";
  std::function<void(std::uint32_t)> sleep_hook_;
  std::function<void()> now_hook_;
  bool in_now_hook_ = false;
  std::uint64_t slept_ = 0;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_NATIVE_NATIVE_CLOCK_H_
