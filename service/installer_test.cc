#include "service/installer.h"

#include <gtest/gtest.h>

#include "service/ztrm_service.h"
#include "tests/service_test_support.h"

namespace ztrm {
namespace {

std::string Repeat(const std::string& line, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += line;
  return text;
}

// The service entry as -install makes it, in `state`.
void AddService(ServiceTestMachine& machine, std::uint32_t state) {
  ServiceInstaller(machine.platform(), machine.service_platform().scm).CreateServiceEntry(kInstallDisplayName);
  machine.TakeConsole();
  machine.service().scm().SetState(kServiceName, state);
}

struct InstallerFixture : testing::Test {
  void SetUp() override {
    machine.Boot();
    installer = std::make_unique<ServiceInstaller>(machine.platform(), machine.service_platform().scm);
  }
  void TearDown() override { EXPECT_EQ(scm().OpenHandles(), 0) << "a handle was left open"; }

  NativeServiceControlManager& scm() { return machine.service().scm(); }
  NativeClock& clock() { return machine.native().clock(); }
  std::string Console() { return machine.TakeConsole(); }

  ServiceTestMachine machine;
  std::unique_ptr<ServiceInstaller> installer;
};

TEST_F(InstallerFixture, EveryCommandReportsAMissingServiceOrAFailedConnection) {
  auto every_command = [&](const std::string& message) {
    installer->StartInstalledService();
    EXPECT_EQ(Console(), message);
    installer->StopInstalledService();
    EXPECT_EQ(Console(), message);
    installer->DeleteServiceEntry();
    EXPECT_EQ(Console(), message);
    EXPECT_EQ(installer->QueryServiceState(), 0u);
    EXPECT_EQ(Console(), message);
  };
  every_command(ExpectedConsole("open_missing.txt"));
  scm().FailConnect(5);
  every_command("OpenSCManager failed w/err 0x00000005\n");
  installer->CreateServiceEntry(kInstallDisplayName);
  EXPECT_EQ(Console(), "OpenSCManager failed w/err 0x00000005\n");
}

TEST(InstallerTest, CommandsOnAnInstalledServiceSayWhatHappened) {
  enum class Command { kStart, kStop, kRemove };
  const struct {
    const char* what;
    std::uint32_t state;
    std::uint64_t stop_ms;
    bool stop_fails;
    Command command;
    std::string console;
    bool still_there;
  } kCases[] = {
      {"start of a running service", kServiceRunning, 0, false, Command::kStart, ExpectedConsole("start_running.txt"), true},
      {"stop of a stopped service", kServiceStopped, 0, false, Command::kStop, "", true},
      {"stop that does not take", kServiceRunning, 1500, true, Command::kStop,
       "Stopping ZTLRMService..\nZTLRMService failed to stop.\n", true},
      {"remove of a running service stops it first", kServiceRunning, 1500, false, Command::kRemove,
       ExpectedConsole("remove_running.txt"), false},
      {"remove of a stopped service only removes", kServiceStopped, 0, false, Command::kRemove,
       ExpectedConsole("remove_stopped.txt"), false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    ServiceTestMachine machine;
    machine.Boot();
    NativeServiceControlManager& scm = machine.service().scm();
    ServiceInstaller installer(machine.platform(), machine.service_platform().scm);
    NativeServiceBehaviour behaviour;
    behaviour.stop_duration_ms = c.stop_ms;
    behaviour.stop_fails = c.stop_fails;
    scm.SetBehaviour(kServiceName, behaviour);
    AddService(machine, c.state);
    switch (c.command) {
      case Command::kStart: installer.StartInstalledService(); break;
      case Command::kStop: installer.StopInstalledService(); break;
      case Command::kRemove: installer.DeleteServiceEntry(); break;
    }
    EXPECT_EQ(machine.TakeConsole(), c.console);
    EXPECT_EQ(scm.Find(kServiceName).has_value(), c.still_there);
    EXPECT_EQ(scm.OpenHandles(), 0);
  }
}

// The service process of a one-shot run, played: on its start it holds the
// three output files as a run does, for `run_ms`, and it takes `stop_ms` to
// stop once asked.
struct PlayedService {
  PlayedService(ServiceTestMachine& machine, std::uint64_t run_ms, std::uint64_t stop_ms)
      : machine_(machine) {
    NativeServiceBehaviour behaviour;
    behaviour.stop_duration_ms = stop_ms;
    behaviour.on_start = [this, run_ms](WStringView) {
      if (run_ms == 0) return;
      for (const char16_t* path : {u"C:\\windows\\pxirms.log", u"C:\\windows\\pxisys.ini", u"C:\\windows\\pxiesys.ini"}) {
        held_.push_back(machine_.platform().files.OpenOutput(path, OutputMode::kReplace));
      }
      release_at_ = machine_.native().clock().TotalSleptMilliseconds() + run_ms;
    };
    machine.service().scm().SetBehaviour(kServiceName, behaviour);
    machine.native().clock().SetSleepHook([this](std::uint32_t) {
      if (!held_.empty() && machine_.native().clock().TotalSleptMilliseconds() >= release_at_) held_.clear();
    });
  }

  ServiceTestMachine& machine_;
  std::vector<std::unique_ptr<OutputFile>> held_;
  std::uint64_t release_at_ = 0;
};

TEST_F(InstallerFixture, RunOnceWithoutARunStopsTheServiceAtTheFirstProbe) {
  PlayedService played(machine, 0, 2500);
  installer->RunOnce();
  EXPECT_EQ(Console(), ExpectedConsole("startonce_other.txt"));
  EXPECT_FALSE(scm().Find(kServiceName));
  // The probe's append mode makes the missing files.
  for (const char* file : {"pxirms.log", "pxisys.ini", "pxiesys.ini"}) {
    EXPECT_TRUE(machine.image().Exists(std::string("drive_c/windows/") + file)) << file;
  }
}

const std::string kRunOnceStart =
    "Install Service\nZTLRMService is installed.\nStart Service...\nStarting ZTLRMService.\n";
const std::string kRunOnceEnd =
    "Stop and Remove Service...\nStopping ZTLRMService.\nZTLRMService is stopped.\nZTLRMService is removed.\nDone.\n";

TEST_F(InstallerFixture, RunOnceKeepsLoggingWhileARunHoldsTheFiles) {
  PlayedService played(machine, 2500, 0);
  installer->RunOnce();
  EXPECT_EQ(Console(), kRunOnceStart + Repeat("Logging...\n", 3) + kRunOnceEnd);
}

TEST_F(InstallerFixture, RunOnceWaitsForARunningServiceToStop) {
  AddService(machine, kServiceRunning);
  clock().SetSleepHook([&](std::uint32_t) {
    if (clock().TotalSleptMilliseconds() == 5000) scm().SetState(kServiceName, kServiceStopped);
  });
  installer->RunOnce();
  const std::string console = Console();
  EXPECT_EQ(console.substr(0, 54 + 5 * 16),
            "Install Service\nCreateService failed w/err 0x00000431\n" + Repeat("Installation...\n", 5));
  EXPECT_NE(console.find("Start Service...\n"), std::string::npos);
  EXPECT_FALSE(scm().Find(kServiceName));
}

TEST_F(InstallerFixture, RunOnceGivesUpOnAServiceThatStaysRunning) {
  AddService(machine, kServiceRunning);
  installer->RunOnce();
  EXPECT_EQ(Console(), ExpectedConsole("startonce_running.txt"));
  EXPECT_EQ(clock().TotalSleptMilliseconds(), 30000u);
  // Not ours to take: still there, still running, never started again.
  ASSERT_TRUE(scm().Find(kServiceName));
  EXPECT_EQ(scm().Find(kServiceName)->state, kServiceRunning);
  EXPECT_FALSE(scm().Find(kServiceName)->marked_for_delete);
  EXPECT_TRUE(scm().Find(kServiceName)->start_arguments.empty());
}

TEST_F(InstallerFixture, RunOnceWithoutTheServiceControlManagerGivesUpToo) {
  scm().FailConnect(5);
  installer->RunOnce();
  const std::string kFailed = "OpenSCManager failed w/err 0x00000005\n";
  EXPECT_EQ(Console(), "Install Service\n" + kFailed + Repeat(kFailed + "Installation...\n", 30) + kFailed +
                           "ZTLRMService did not stop within 30 seconds; nothing was started.\n");
}

TEST_F(InstallerFixture, InstallCreatesTheEntryAsTheServiceNeedsIt) {
  scm().SetModuleFileName(u"C:\\Program Files\\ZELTRO\\ZTRMService.exe");
  installer->CreateServiceEntry(kInstallDisplayName);
  EXPECT_EQ(Console(), ExpectedConsole("install.txt"));
  std::optional<NativeServiceRecord> record = scm().Find(u"ZTLRMService");
  ASSERT_TRUE(record);
  const ServiceEntryConfig& config = record->config;
  EXPECT_EQ(config.service_name, u"ZTLRMService");
  EXPECT_EQ(config.display_name, u"ZELTRO PXI Software Service Enumerator");
  EXPECT_EQ(config.desired_access, 0xF01FFu);
  EXPECT_EQ(config.service_type, 0x10u);
  EXPECT_EQ(config.start_type, 2u);
  EXPECT_EQ(config.error_control, 1u);
  EXPECT_EQ(config.image_path, u"C:\\Program Files\\ZELTRO\\ZTRMService.exe");
  EXPECT_EQ(config.account, u"Localsystem");
  EXPECT_EQ(record->state, kServiceStopped);
}

}  // namespace
}  // namespace ztrm
