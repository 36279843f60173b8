#include "service/ztrm_service.h"

#include <gtest/gtest.h>

#include "service/service_error.h"
#include "tests/service_test_support.h"

namespace ztrm {
namespace {

constexpr char kLog[] = "drive_c/windows/pxirms.log";
constexpr char kStopLine[] = "SERVICE STOPED\r\r\n";

struct ZtrmServiceFixture : testing::Test {
  // Failures of the service platform are set up between SetUp and MakeService.
  void SetUp() override {
    MakeCompanionImage(machine.image());
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
  machine.service().threads().RefuseWorkItems(GetParam().code);
  MakeService();
  service->ServiceMain({});
  EXPECT_EQ(runtime().ReportedStates(), (std::vector<std::uint32_t>{kServiceStartPending, kServiceStopped}));
  EXPECT_EQ(runtime().StatusReports().back().dwWin32ExitCode, GetParam().exit_code);
  EXPECT_EQ(runtime().StatusReports().back().dwCheckPoint, 0u);
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
  const std::vector<NativeEventEntry> entries = events();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].type, kEventInformation);
  EXPECT_EQ(entries[0].strings, (std::vector<WString>{u"ZTLRMService", u"CZTRMService in OnStart"}));
  EXPECT_EQ(entries[1].type, kEventInformation);
  EXPECT_EQ(entries[1].strings, (std::vector<WString>{u"ZTLRMService", u"ZTRMService in OnStop"}));
}

TEST_F(ZtrmServiceFixture, FailedWaitForTheWorkerIsAFailedStop) {
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
