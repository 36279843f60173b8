// The service process's side of the service control manager through advapi32
// and user32: the dispatcher, the handlers, status reports and device
// notifications. The callbacks are kept process-wide, as the platform's
// function pointers take no object.
#ifndef ZTRM_PLATFORM_WIN32_WIN32_SERVICE_RUNTIME_H_
#define ZTRM_PLATFORM_WIN32_WIN32_SERVICE_RUNTIME_H_

#include "platform/service_runtime.h"

namespace ztrm {

class Win32ServiceRuntime : public ServiceRuntime {
 public:
  std::uint32_t RunDispatcher(WStringView service_name, ServiceMainFunction main) override;
  ServiceStatusHandle RegisterHandler(WStringView service_name, ControlHandler handler) override;
  ServiceStatusHandle RegisterHandlerEx(WStringView name, ControlHandlerEx handler) override;
  bool SetStatus(ServiceStatusHandle handle, const ServiceStatusRecord& status) override;
  DeviceNotificationHandle RegisterDeviceEvents(ServiceStatusHandle recipient,
                                                const DeviceInterfaceFilter& filter,
                                                std::uint32_t flags) override;
  bool UnregisterDeviceEvents(DeviceNotificationHandle handle) override;
};

}  // namespace ztrm

#endif  // ZTRM_PLATFORM_WIN32_WIN32_SERVICE_RUNTIME_H_
