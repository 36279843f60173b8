// The service control manager through advapi32, for the installer commands.
#ifndef ZTRM_PLATFORM_WIN32_WIN32_SERVICE_CONTROL_H_
#define ZTRM_PLATFORM_WIN32_WIN32_SERVICE_CONTROL_H_

#include "platform/service_control.h"

namespace ztrm {

class Win32ServiceControlManager : public ServiceControlManager {
 public:
  std::uint32_t Connect(std::uint32_t desired_access, std::unique_ptr<ServiceManager>& manager) override;
  std::uint32_t ModuleFileName(WString& path) override;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_WIN32_WIN32_SERVICE_CONTROL_H_
