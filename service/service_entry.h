// The process entry, after the backend has been chosen: either one console
// command, or the service itself under the control dispatcher.
#ifndef ZTRM_SERVICE_SERVICE_ENTRY_H_
#define ZTRM_SERVICE_SERVICE_ENTRY_H_

#include <vector>

#include "common/wide_text.h"
#include "platform/platform.h"
#include "platform/service_platform.h"

namespace ztrm {

inline constexpr char16_t kLogFolder[] = u"c:\\ZTLOG";

// `arguments` are those after the program name. Returns the process's exit
// code, which is 0 whatever happened: the outcome shows in the messages.
int RunServiceEntry(Platform& platform, ServicePlatform& service_platform,
                    const std::vector<WString>& arguments);

}  // namespace ztrm

#endif  // ZTRM_SERVICE_SERVICE_ENTRY_H_
