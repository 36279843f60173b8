#include "output/timestamp.h"

#include <gtest/gtest.h>

#include "platform/native/native_clock.h"

namespace ztrm {
namespace {

struct StampCase {
  LocalTime time;
  const char16_t* zone;
  const char16_t* expected;
};

TEST(TimestampTest, FormsFromTheClock) {
  const StampCase cases[] = {
      {{2026, 12, 3, 22, 44, 19, 999}, u"Coordinated Universal Time",
       u"12/03/26 22:44:19 Coordinated Universal Time"},
      // A summer date still names the standard zone: the clock gives that name.
      {{2026, 7, 15, 9, 5, 0, 0}, u"W. Europe Standard Time",
       u"07/15/26 09:05:00 W. Europe Standard Time"},
      {{2000, 1, 1, 0, 0, 0, 0}, u"", u"01/01/00 00:00:00 "},
      {{1601, 1, 1, 23, 59, 59, 0}, u"Z", u"01/01/01 23:59:59 Z"},
      {{30827, 12, 31, 1, 2, 3, 0}, u"Z", u"12/31/82 01:02:03 Z"},
      {{999, 5, 6, 7, 8, 9, 0}, u"Z", u"05/06/9 07:08:09 Z"},
  };
  for (const StampCase& c : cases) {
    SCOPED_TRACE(ToUtf8(c.expected));
    NativeClock clock;
    clock.Pin(c.time);
    clock.SetTimeZoneStandardName(c.zone);
    EXPECT_EQ(mf_GetTimeStamp(clock), WStringView(c.expected));
  }
}

}  // namespace
}  // namespace ztrm
