// CZTRMService: the resource manager as a service. Its start hands the
// enumeration worker to the system thread pool; its stop asks the worker to
// end and waits until it has (a run in progress is always completed).
#ifndef ZTRM_SERVICE_ZTRM_SERVICE_H_
#define ZTRM_SERVICE_ZTRM_SERVICE_H_

#include <atomic>
#include <cstdint>
#include <memory>

#include "enumeration/run_context.h"
#include "service/device_events.h"
#include "service/service_base.h"

namespace ztrm {

inline constexpr char16_t kServiceName[] = u"ZTLRMService";

class CZTRMService : public CServiceBase {
 public:
  // Throws ServiceError with the platform's code when WorkerDoneEvent cannot
  // be created.
  CZTRMService(Platform& platform, ServicePlatform& service_platform, RunContext& ctx,
               const char16_t* service_name);
  ~CZTRMService() override;

  // Set by OnStop; the worker looks at it before each poll.
  std::atomic<std::uint32_t> StopFlag{0};
  // Signalled by the worker's work item when the worker has ended.
  std::unique_ptr<ManualResetEvent> WorkerDoneEvent;

 protected:
  void OnStart(const std::vector<WString>& arguments) override;
  void OnStop() override;

 private:
  RunContext& ctx_;
  DeviceEventHandler device_events_;
};

}  // namespace ztrm

#endif  // ZTRM_SERVICE_ZTRM_SERVICE_H_
