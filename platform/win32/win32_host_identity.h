// The computer's maker and model through WMI.
#ifndef ZTRM_PLATFORM_WIN32_WIN32_HOST_IDENTITY_H_
#define ZTRM_PLATFORM_WIN32_WIN32_HOST_IDENTITY_H_

#include "platform/host_identity.h"

namespace ztrm {

class Win32HostIdentity : public HostIdentity {
 public:
  std::optional<std::vector<ComputerSystemInfo>> QueryComputerSystems() override;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_WIN32_WIN32_HOST_IDENTITY_H_
