// The computer's maker and model (WMI class Win32_ComputerSystem).
#ifndef ZTRM_PLATFORM_HOST_IDENTITY_H_
#define ZTRM_PLATFORM_HOST_IDENTITY_H_

#include <optional>
#include <vector>

#include "common/wide_text.h"

namespace ztrm {

// One Win32_ComputerSystem object; a property that holds no string is nullopt.
struct ComputerSystemInfo {
  std::optional<WString> manufacturer;
  std::optional<WString> model;
};

class HostIdentity {
 public:
  virtual ~HostIdentity() = default;
  // Every object the query "SELECT * FROM Win32_ComputerSystem" yields, in
  // order; nullopt when the query could not be run at all.
  virtual std::optional<std::vector<ComputerSystemInfo>> QueryComputerSystems() = 0;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_HOST_IDENTITY_H_
