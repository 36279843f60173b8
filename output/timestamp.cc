#include "output/timestamp.h"

#include "common/wide_format.h"

namespace ztrm {

WideText mf_GetTimeStamp(Clock& clock) {
  const LocalTime now = clock.Now();
  const WString zone = clock.TimeZoneStandardName();
  const WString year = FormatWide(u"%u", now.year);
  // Years below 1000 have no fourth digit: what there is is taken.
  const WString two_digit_year = year.size() > 2 ? year.substr(2, 2) : WString();
  return FormatWide(u"%.2u/%.2u/%s %.2u:%.2u:%.2u %s", now.month, now.day, two_digit_year,
                    now.hour, now.minute, now.second, zone);
}

}  // namespace ztrm
