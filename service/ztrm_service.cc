#include "service/ztrm_service.h"

#include "enumeration/run_log.h"
#include "enumeration/system_paths.h"
#include "enumeration/worker.h"
#include "service/service_error.h"

namespace ztrm {

std::shared_ptr<CZTRMService> CZTRMService::Create(Platform& platform,
                                                   ServicePlatform& service_platform,
                                                   std::shared_ptr<RunContext> ctx,
                                                   const char16_t* service_name) {
  return std::shared_ptr<CZTRMService>(
      new CZTRMService(platform, service_platform, std::move(ctx), service_name));
}

CZTRMService::CZTRMService(Platform& platform, ServicePlatform& service_platform,
                           std::shared_ptr<RunContext> ctx, const char16_t* service_name)
    : CServiceBase(platform, service_platform, service_name),
      ctx_(std::move(ctx)),
      device_events_(platform, *ctx_, NotifyCompanionDir) {
  const std::uint32_t error = service_platform.threads.CreateManualResetEvent(WorkerDoneEvent);
  if (error != 0 || !WorkerDoneEvent) throw ServiceError(error);
  DeviceEvents = &device_events_;
}

// Closes WorkerDoneEvent.
CZTRMService::~CZTRMService() = default;

void CZTRMService::OnStart(const std::vector<WString>&) {
  ctx_->StartRequest = 1;
  LogEvent(u"CZTRMService in OnStart", kEventInformation);
  // The work item's share keeps the service and its run context alive for as
  // long as the worker runs, whenever the dispatcher returns.
  std::shared_ptr<CZTRMService> self = std::static_pointer_cast<CZTRMService>(shared_from_this());
  const std::uint32_t error = service_platform_.threads.QueueLongWorkItem([self] {
    EnumerationWorker worker(*self->ctx_);
    worker.Run(self->StopFlag);
    self->WorkerDoneEvent->Set();
  });
  if (error != 0) throw ServiceError(error);
}

void CZTRMService::OnStop() {
  LogEvent(u"ZTRMService in OnStop", kEventInformation);
  ctx_->StartRequest = 0;
  AppendStopLine(platform_.files, ctx_->locale, WindowsFolderFile(platform_.shell, kRunLogName).view());
  StopFlag = 1;
  const std::uint32_t error = WorkerDoneEvent->Wait();
  if (error != 0) throw ServiceError(error);
}

}  // namespace ztrm
