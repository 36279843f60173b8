#include "service/ztrm_service.h"

#include "enumeration/run_log.h"
#include "enumeration/system_paths.h"
#include "enumeration/worker.h"
#include "service/service_error.h"

namespace ztrm {

CZTRMService::CZTRMService(Platform& platform, ServicePlatform& service_platform, RunContext& ctx,
                           const char16_t* service_name)
    : CServiceBase(platform, service_platform, service_name),
      ctx_(ctx),
      device_events_(platform, ctx, NotifyCompanionDir) {
  const std::uint32_t error = service_platform.threads.CreateManualResetEvent(WorkerDoneEvent);
  if (error != 0 || !WorkerDoneEvent) throw ServiceError(error);
  DeviceEvents = &device_events_;
}

// Closes WorkerDoneEvent.
CZTRMService::~CZTRMService() = default;

void CZTRMService::OnStart(const std::vector<WString>&) {
  ctx_.StartRequest = 1;
  LogEvent(u"CZTRMService in OnStart", kEventInformation);
  const std::uint32_t error = service_platform_.threads.QueueLongWorkItem([this] {
    EnumerationWorker worker(ctx_);
    worker.Run(StopFlag);
    WorkerDoneEvent->Set();
  });
  if (error != 0) throw ServiceError(error);
}

void CZTRMService::OnStop() {
  LogEvent(u"ZTRMService in OnStop", kEventInformation);
  ctx_.StartRequest = 0;
  AppendStopLine(platform_.files, ctx_.locale, WindowsFolderFile(platform_.shell, kRunLogName).view());
  StopFlag = 1;
  const std::uint32_t error = WorkerDoneEvent->Wait();
  if (error != 0) throw ServiceError(error);
}

}  // namespace ztrm
