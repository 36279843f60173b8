#include "service/ztrm_service.h"

#include <gtest/gtest.h>

#include "service/service_error.h"
#include "tests/service_test_support.h"

namespace ztrm {
namespace {

constexpr char kLog[] = "drive_c/windows/pxirms.log";
constexpr char kStopLine[] = "SERVICE STOPED\r\r\n";

int Occurrences(const std::string& text, const std::string& needle) {
  int n = 0;
  for (std::size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++n;
  return n;
}

struct ZtrmServiceFixture : testing::Test {
  // The companion installed and `manager` configured; failures of the
  // service platform are set up between BootMachine and MakeService.
  void BootMachine(const char* manager = nullptr) {
    MakeCompanionImage(machine.image());
    if (manager) ConfigureResourceManager(machine.image(), manager);
    machine.Boot();
  }
  void MakeService() {
    ctx = std::make_shared<RunContext>(machine.platform());
    service = CZTRMService::Create(machine.platform(), machine.service_platform(), ctx, kServiceName);
    PublishServiceInstance(service);
  }
  void TearDown() override {
    // A test that failed before its stop must not leave the worker polling.
    if (service) {
      service->StopFlag = 1;
      machine.service().threads().JoinAll();
    }
    PublishServiceInstance(nullptr);
  }
  NativeServiceRuntime& runtime() { return machine.service().runtime(); }
  std::vector<NativeEventEntry> events() { return machine.service().events().Entries(); }

  ServiceTestMachine machine;
  std::shared_ptr<RunContext> ctx;
  std::shared_ptr<CZTRMService> service;
};

TEST_F(ZtrmServiceFixture, StartAndStopLeaveTheirEntriesAndTheStopLine) {
  BootMachine("Another Vendor");  // no run to wait for
  MakeService();
  service->ServiceMain({u"ZTLRMService"});
  EXPECT_EQ(ctx->StartRequest.load(), 1);
  EXPECT_EQ(machine.service().threads().WorkItemsQueued(), 1);
  runtime().DeliverControl(kControlStop);

  EXPECT_EQ(ctx->StartRequest.load(), 0);
  EXPECT_EQ(service->StopFlag.load(), 1u);
  const std::vector<NativeEventEntry> entries = events();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].type, kEventInformation);
  EXPECT_EQ(entries[0].strings, (std::vector<WString>{u"ZTLRMService", u"CZTRMService in OnStart"}));
  EXPECT_EQ(entries[1].type, kEventInformation);
  EXPECT_EQ(entries[1].strings, (std::vector<WString>{u"ZTLRMService", u"ZTRMService in OnStop"}));
  EXPECT_EQ(machine.image().Read(kLog), kStopLine);
  EXPECT_EQ(runtime().ReportedStates(),
            (std::vector<std::uint32_t>{kServiceStartPending, kServiceRunning, kServiceStopPending,
                                        kServiceStopped}));
}

// A refused work item ends the start stopped with its code, or with one of
// its own when the refusal gave none.
struct Refusal {
  std::uint32_t code, exit_code;
  const char16_t* event;
};
class RefusedWorkItemTest : public ZtrmServiceFixture, public testing::WithParamInterface<Refusal> {};
INSTANTIATE_TEST_SUITE_P(Codes, RefusedWorkItemTest,
                         testing::Values(Refusal{1816, 1816, u"Service Start failed w/err 0x00000718"},
                                         Refusal{0, kWorkItemRefusedWithoutCode,
                                                 u"Service Start failed w/err 0x00000008"}));

TEST_P(RefusedWorkItemTest, EndsTheStartStoppedWithItsCode) {
  BootMachine();
  machine.service().threads().RefuseWorkItems(GetParam().code);
  MakeService();
  service->ServiceMain({});
  const std::vector<ServiceStatusRecord> reports = runtime().StatusReports();
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0].dwCurrentState, kServiceStartPending);
  EXPECT_EQ(reports[1].dwCurrentState, kServiceStopped);
  EXPECT_EQ(reports[1].dwWin32ExitCode, GetParam().exit_code);
  EXPECT_EQ(reports[1].dwCheckPoint, 0u);
  const std::vector<NativeEventEntry> entries = events();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].type, kEventError);
  EXPECT_EQ(entries[1].strings, (std::vector<WString>{u"ZTLRMService", GetParam().event}));
  // The start ended before the pause: no companion reload, controls stay off.
  EXPECT_EQ(service->ControlsEnabled.load(), 0);
  EXPECT_EQ(machine.Launches(), "");
  EXPECT_EQ(machine.service().threads().WorkItemsQueued(), 0);
}

// The whole life through the dispatcher: one run, then a stop asked for while
// the worker waits for its next poll.
TEST_F(ZtrmServiceFixture, OneRunThenTheStopLine) {
  BootMachine();
  bool posted = false;
  machine.native().clock().SetSleepHook([&](std::uint32_t ms) {
    if (ms == 2000 && !posted) {  // the worker's first wait, after its first poll
      posted = true;
      runtime().PostControl(kControlStop);
    }
  });
  MakeService();
  runtime().SetStartArguments({u"ZTLRMService", u"startonce"});
  EXPECT_EQ(runtime().RunDispatcher(kServiceName, &CServiceBase::ServiceMain), 0u);

  const std::string log = machine.image().Read(kLog);
  EXPECT_EQ(log.rfind("Initialization global parameter.\r\r\nCreate Log File Success.\r\r\n", 0), 0u) << log;
  EXPECT_EQ(Occurrences(log, "SERVICE START\r\r\n"), 1);
  EXPECT_EQ(Occurrences(log, "SERVICE STOPED"), 1);
  EXPECT_EQ(log.substr(log.size() - std::string(kStopLine).size()), kStopLine);
  EXPECT_EQ(runtime().ReportedStates().back(), kServiceStopped);
  // Worker start, the end of the run and the end of the service's start.
  EXPECT_EQ(Occurrences(machine.Launches(), "ORB.exe|reload|C:\\ZELTRO\\ORB\n"), 3);
}

TEST_F(ZtrmServiceFixture, FailedWaitForTheWorkerIsAFailedStop) {
  BootMachine();
  machine.service().threads().FailWaits(6);
  MakeService();
  service->ServiceMain({});
  runtime().DeliverControl(kControlStop);
  EXPECT_EQ(runtime().ReportedStates().back(), kServiceRunning);
  const std::vector<NativeEventEntry> entries = events();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[2].type, kEventError);
  EXPECT_EQ(entries[2].strings[1], u"Service Stop failed w/err 0x00000006");
}

}  // namespace
}  // namespace ztrm
