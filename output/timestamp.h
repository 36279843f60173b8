// The Timestamp text of both system files.
#ifndef ZTRM_OUTPUT_TIMESTAMP_H_
#define ZTRM_OUTPUT_TIMESTAMP_H_

#include "common/wide_text.h"
#include "platform/clock.h"

namespace ztrm {

// "MM/DD/YY hh:mm:ss ZONE" from the clock's local time: month, day, the third
// and fourth digits of the year written in decimal, hour, minute, second,
// each at least two digits, then the time zone's standard name, which is used
// in summer too. 3 December 2026 22:44:19 gives "12/03/26 22:44:19 <zone>".
WideText mf_GetTimeStamp(Clock& clock);

}  // namespace ztrm

#endif  // ZTRM_OUTPUT_TIMESTAMP_H_
