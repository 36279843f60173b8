#include "service/service_entry.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "service/service_base.h"
#include "service/ztrm_service.h"
#include "tests/service_test_support.h"

namespace ztrm {
namespace {

struct EntryFixture : testing::Test {
  void SetUp() override {
    MakeCompanionImage(machine.image());
    ConfigureResourceManager(machine.image(), "Another Vendor");
    machine.Boot();
  }
  int Run(std::vector<WString> arguments) {
    return RunServiceEntry(machine.platform(), machine.service_platform(), arguments);
  }
  ServiceTestMachine machine;
};

// An argument without an option sign also runs as the service.
TEST_F(EntryFixture, StartedByHandPrintsTheUsageAndTheDispatcherError) {
  machine.service().runtime().FailDispatcher(kErrorFailedServiceControllerConnect);
  for (const std::vector<WString>& arguments : {std::vector<WString>{}, std::vector<WString>{u"install"}}) {
    EXPECT_EQ(Run(arguments), 0);
    EXPECT_EQ(machine.TakeConsole(), ExpectedConsole("by_hand.txt"));
    EXPECT_EQ(CurrentServiceInstance(), nullptr);
  }
}

TEST_F(EntryFixture, StartedByTheServiceControlManagerRunsTheServiceUntilItStops) {
  NativeServiceRuntime& runtime = machine.service().runtime();
  std::weak_ptr<CServiceBase> service;
  machine.native().clock().SetSleepHook([&](std::uint32_t ms) {
    if (ms == kControlsEnableDelayMs) service = CurrentServiceInstance();
  });
  runtime.PostControl(kControlStop);  // arrives during the start: deferred
  EXPECT_EQ(Run({}), 0);
  EXPECT_EQ(machine.TakeConsole(), ExpectedConsole("usage.txt"));
  EXPECT_EQ(runtime.DispatcherServiceName(), u"ZTLRMService");
  EXPECT_EQ(runtime.ReportedStates().back(), kServiceStopped);
  EXPECT_EQ(machine.image().Read("drive_c/windows/pxirms.log"), "SERVICE STOPED\r\r\n");
  EXPECT_EQ(CurrentServiceInstance(), nullptr);
  // The dispatcher returned on SERVICE_STOPPED, perhaps before the service
  // thread left ServiceMain; the last of them to let go destroyed the service.
  runtime.JoinServiceThread();
  machine.service().threads().JoinAll();
  EXPECT_TRUE(service.expired());
}

// A shutdown reports SERVICE_STOPPED at once and stops no worker, so the
// dispatcher returns and the entry lets go of the service while the worker is
// still in a run. The run must finish on a live service and run context.
TEST(EntryLifetimeTest, ShutdownDuringARunLeavesTheWorkerWhatItUses) {
  ServiceTestMachine machine;
  MakeCompanionImage(machine.image());  // this system configured: a run starts
  machine.Boot();
  NativeServiceRuntime& runtime = machine.service().runtime();
  std::weak_ptr<CServiceBase> service;
  std::atomic<bool> entry_returned{false};
  std::atomic<bool> alive_after_entry{false};
  std::atomic<bool> hook_done{false};
  bool first = true;
  // The run's time stamp, on the worker's thread, early in its first run.
  machine.native().clock().SetNowHook([&] {
    if (!first) return;
    first = false;
    std::shared_ptr<CServiceBase> current = CurrentServiceInstance();
    if (current == nullptr) return;
    service = current;
    while (current->ControlsEnabled.load() == 0) std::this_thread::yield();
    current.reset();
    runtime.PostControl(kControlShutdown);
    while (!entry_returned.load()) std::this_thread::yield();
    alive_after_entry = !service.expired();
    hook_done = true;
  });

  EXPECT_EQ(RunServiceEntry(machine.platform(), machine.service_platform(), {}), 0);
  entry_returned = true;
  EXPECT_EQ(runtime.ReportedStates(),
            (std::vector<std::uint32_t>{kServiceStartPending, kServiceRunning, kServiceStopped}));
  EXPECT_EQ(CurrentServiceInstance(), nullptr);

  while (!hook_done.load()) std::this_thread::yield();
  // The worker goes on polling (the process exit would end it); stop it.
  std::shared_ptr<CServiceBase> live = service.lock();
  ASSERT_NE(live, nullptr) << "the service was destroyed under its worker";
  static_cast<CZTRMService&>(*live).StopFlag = 1;
  live.reset();
  machine.service().threads().JoinAll();
  runtime.JoinServiceThread();
  EXPECT_TRUE(alive_after_entry.load());
  EXPECT_TRUE(service.expired());
  const std::string log = machine.image().Read("drive_c/windows/pxirms.log");
  const std::string end = "Query Finished.\r\r\n";
  ASSERT_GE(log.size(), end.size());
  EXPECT_EQ(log.substr(log.size() - end.size()), end) << log;  // the run completed, no stop line
}

TEST_F(EntryFixture, OptionsRunTheirCommandsAndPrintNothingElse) {
  const struct {
    std::vector<WString> arguments;
    std::string expected;
  } kSteps[] = {
      {{u"/InStAlL"}, ExpectedConsole("install.txt")},
      {{u"-install", u"-remove"}, ExpectedConsole("install_exists.txt")},
      {{u"-bogus"}, ""},
      {{u"-stop"}, ""},
      {{u"-START"}, ExpectedConsole("start.txt")},
      {{u"/remove"}, "Stopping ZTLRMService.\nZTLRMService is stopped.\nZTLRMService is removed.\n"},
      {{u"-remove"}, "OpenService failed w/err 0x00000424\n"},
  };
  for (const auto& step : kSteps) {
    SCOPED_TRACE(ToUtf8(step.arguments[0]));
    EXPECT_EQ(Run(step.arguments), 0);
    EXPECT_EQ(machine.TakeConsole(), step.expected);
  }
  EXPECT_EQ(machine.service().runtime().DispatcherServiceName(), u"");
  EXPECT_EQ(machine.service().scm().OpenHandles(), 0);
  // The log folder is made at every start, and may exist already.
  EXPECT_TRUE(machine.image().Exists("drive_c/ZTLOG"));
}

}  // namespace
}  // namespace ztrm
