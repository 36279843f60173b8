#include "platform/native/native_clock.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace ztrm {
namespace {

std::string Show(const LocalTime& t) {
  char text[64];
  std::snprintf(text, sizeof text, "%d-%02d-%02d %02d:%02d:%02d.%03d", t.year, t.month, t.day, t.hour, t.minute,
                t.second, t.milliseconds);
  return text;
}

TEST(AddMillisecondsTest, CarriesAcrossEveryField) {
  struct Row {
    LocalTime from;
    std::uint64_t ms;
    LocalTime to;
  };
  const Row rows[] = {
      {{2026, 12, 6, 5, 30, 0, 123}, 0, {2026, 12, 6, 5, 30, 0, 123}},
      {{2026, 12, 6, 5, 30, 0, 123}, 877, {2026, 12, 6, 5, 30, 1, 0}},
      {{2026, 12, 6, 5, 30, 59, 500}, 1500, {2026, 12, 6, 5, 31, 1, 0}},
      {{2026, 12, 6, 23, 59, 59, 999}, 1, {2026, 12, 7, 0, 0, 0, 0}},
      {{2026, 12, 31, 23, 59, 59, 999}, 1, {2027, 1, 1, 0, 0, 0, 0}},
      {{2024, 2, 28, 12, 0, 0, 0}, 86400000, {2024, 2, 29, 12, 0, 0, 0}},
      {{2023, 2, 28, 12, 0, 0, 0}, 86400000, {2023, 3, 1, 12, 0, 0, 0}},
      {{1900, 2, 28, 0, 0, 0, 0}, 86400000, {1900, 3, 1, 0, 0, 0, 0}},
      {{2000, 2, 28, 0, 0, 0, 0}, 86400000, {2000, 2, 29, 0, 0, 0, 0}},
      {{2026, 1, 31, 0, 0, 0, 0}, 86400000ull * 365, {2027, 1, 31, 0, 0, 0, 0}},
      {{2026, 4, 30, 10, 0, 0, 0}, 86400000ull * 2, {2026, 5, 2, 10, 0, 0, 0}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Show(AddMilliseconds(row.from, row.ms)), Show(row.to)) << Show(row.from) << " + " << row.ms;
  }
}

TEST(NativeClockTest, SleepAdvancesThePinnedTimeAndCallsTheHook) {
  NativeClock clock;
  clock.Pin({2026, 12, 6, 5, 30, 0, 123});
  std::vector<std::uint32_t> slept;
  clock.SetSleepHook([&](std::uint32_t ms) {
    slept.push_back(ms);
    EXPECT_EQ(clock.Now().second, ms == 1000 ? 1 : 3);  // the time has moved before the hook
  });
  clock.Sleep(1000);
  clock.Sleep(2000);
  EXPECT_EQ(slept, (std::vector<std::uint32_t>{1000, 2000}));
  EXPECT_EQ(Show(clock.Now()), "2026-12-06 05:30:03.123");
  EXPECT_EQ(clock.TotalSleptMilliseconds(), 3000u);
}

TEST(NativeClockTest, TimeZoneNameDefaultsToUtc) {
  NativeClock clock;
  EXPECT_EQ(clock.TimeZoneStandardName(), u"Coordinated Universal Time");
  clock.SetTimeZoneStandardName(u"W. Europe Standard Time");
  EXPECT_EQ(clock.TimeZoneStandardName(), u"W. Europe Standard Time");
}

}  // namespace
}  // namespace ztrm
