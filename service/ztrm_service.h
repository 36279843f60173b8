// CZTRMService: the resource manager as a service. Its start hands the
// enumeration worker to the system thread pool; its stop asks the worker to
// end and waits until it has (a run in progress is always completed).
//
// Lifetime: the object and its run context are owned jointly (see
// service_base.h). Create makes the object under a shared_ptr; the worker's
// work item holds a share of it, and so of the run context, until the work
// item has ended. A worker left running when the dispatcher returns (after a
// shutdown, which stops no worker) thus keeps what it touches until the
// process exits and ends it.
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
  static std::shared_ptr<CZTRMService> Create(Platform& platform, ServicePlatform& service_platform,
                                              std::shared_ptr<RunContext> ctx,
                                              const char16_t* service_name);
  ~CZTRMService() override;

  // Set by OnStop; the worker looks at it before each poll.
  std::atomic<std::uint32_t> StopFlag{0};
  // Signalled by the worker's work item when the worker has ended.
  std::unique_ptr<ManualResetEvent> WorkerDoneEvent;

  RunContext& Context() { return *ctx_; }

 protected:
  void OnStart(const std::vector<WString>& arguments) override;
  void OnStop() override;

 private:
  CZTRMService(Platform& platform, ServicePlatform& service_platform, std::shared_ptr<RunContext> ctx,
               const char16_t* service_name);

  const std::shared_ptr<RunContext> ctx_;
  DeviceEventHandler device_events_;
};

}  // namespace ztrm

#endif  // ZTRM_SERVICE_ZTRM_SERVICE_H_
