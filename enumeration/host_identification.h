// Host identification: the computer's maker and model for the run log.
#ifndef ZTRM_ENUMERATION_HOST_IDENTIFICATION_H_
#define ZTRM_ENUMERATION_HOST_IDENTIFICATION_H_

#include "enumeration/run_context.h"

namespace ztrm {

inline constexpr char16_t kHostUnknown[] = u"N/A";

// Sets HostManufacturer and HostModel from Win32_ComputerSystem. When the
// query cannot be run both become "N/A"; with several objects the last one
// wins; a query that yields no object leaves both as they were. A property
// that holds no string (null) is stored as "N/A" too, so the log never shows
// an empty or stale value for it.
void IdentifyHost(RunContext& ctx);

}  // namespace ztrm

#endif  // ZTRM_ENUMERATION_HOST_IDENTIFICATION_H_
