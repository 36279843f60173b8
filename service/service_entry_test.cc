#include "service/service_entry.h"

#include <gtest/gtest.h>

#include "service/service_base.h"
#include "service/ztrm_service.h"
#include "tests/service_test_support.h"

namespace ztrm {
namespace {

std::string Expected(const char* name) { return ReadSourceFile(std::string("tests/expected/console/") + name); }

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

TEST_F(EntryFixture, StartedByHandPrintsTheUsageAndTheDispatcherError) {
  machine.service().runtime().FailDispatcher(kErrorFailedServiceControllerConnect);
  EXPECT_EQ(Run({}), 0);
  EXPECT_EQ(machine.TakeConsole(), Expected("by_hand.txt"));
  EXPECT_EQ(ServiceInstance, nullptr);
}

TEST_F(EntryFixture, ArgumentWithoutOptionSignAlsoRunsAsTheService) {
  machine.service().runtime().FailDispatcher(kErrorFailedServiceControllerConnect);
  EXPECT_EQ(Run({u"install"}), 0);
  EXPECT_EQ(machine.TakeConsole(), Expected("by_hand.txt"));
}

TEST_F(EntryFixture, StartedByTheServiceControlManagerRunsTheServiceUntilItStops) {
  NativeServiceRuntime& runtime = machine.service().runtime();
  runtime.PostControl(kControlStop);  // arrives during the start: deferred
  EXPECT_EQ(Run({}), 0);
  EXPECT_EQ(machine.TakeConsole(), Expected("usage.txt"));
  EXPECT_EQ(runtime.DispatcherServiceName(), u"ZTLRMService");
  EXPECT_EQ(runtime.ReportedStates().back(), kServiceStopped);
  EXPECT_EQ(machine.image().Read("drive_c/windows/pxirms.log"), "SERVICE STOPED\r\r\n");
  EXPECT_EQ(ServiceInstance, nullptr);
}

TEST_F(EntryFixture, ServiceWithoutItsEventDoesNotRun) {
  machine.service().threads().FailEventCreation(1450);
  EXPECT_EQ(Run({}), 0);
  EXPECT_EQ(machine.TakeConsole(), Expected("usage.txt"));
  EXPECT_EQ(machine.service().runtime().DispatcherServiceName(), u"");
}

TEST_F(EntryFixture, OptionsRunTheirCommandsAndPrintNothingElse) {
  const struct {
    std::vector<WString> arguments;
    std::string expected;
  } kSteps[] = {
      {{u"/InStAlL"}, Expected("install.txt")},
      {{u"-install", u"-remove"}, Expected("install_exists.txt")},
      {{u"-bogus"}, ""},
      {{u"-stop"}, ""},
      {{u"-START"}, Expected("start.txt")},
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
}

TEST_F(EntryFixture, StartOnceFlagIsClearedAtEveryEntry) {
  Run({u"-install"});
  Run({u"-start"});
  EXPECT_EQ(machine.service().scm().Find(kServiceName)->start_arguments, std::vector<WString>{u""});
}

TEST_F(EntryFixture, LogFolderIsMadeAtEveryStartAndMayExist) {
  Run({u"-bogus"});
  EXPECT_TRUE(machine.image().Exists("drive_c/ZTLOG"));
  Run({u"-bogus"});
  EXPECT_TRUE(machine.image().Exists("drive_c/ZTLOG"));
  EXPECT_EQ(machine.TakeConsole(), "");
}

}  // namespace
}  // namespace ztrm
