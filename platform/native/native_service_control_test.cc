#include "platform/native/native_service_control.h"

#include <gtest/gtest.h>

namespace ztrm {
namespace {

ServiceEntryConfig Config(std::uint32_t access) {
  ServiceEntryConfig config;
  config.service_name = u"Svc";
  config.desired_access = access;
  config.service_type = kServiceWin32OwnProcess;
  return config;
}

// A manager with full access and a new entry "Svc" that takes `stop_ms` to
// stop, its stops counted.
struct Bench {
  explicit Bench(std::uint64_t stop_ms) {
    NativeServiceBehaviour behaviour;
    behaviour.stop_duration_ms = stop_ms;
    behaviour.on_stopped = [this] { ++stopped_calls; };
    scm.SetBehaviour(u"svc", behaviour);
    EXPECT_EQ(scm.Connect(kScManagerAllAccess, manager), 0u);
    EXPECT_EQ(manager->CreateEntry(Config(kServiceAllAccess), service), 0u);
  }
  NativeClock clock;
  NativeServiceControlManager scm{clock};
  int stopped_calls = 0;
  std::unique_ptr<ServiceManager> manager;
  std::unique_ptr<ServiceEntry> service;
};

TEST(NativeServiceControlTest, AccessRightsAreChecked) {
  NativeClock clock;
  NativeServiceControlManager scm(clock);
  std::unique_ptr<ServiceManager> connect_only;
  ASSERT_EQ(scm.Connect(kScManagerConnect, connect_only), 0u);
  std::unique_ptr<ServiceEntry> service;
  EXPECT_EQ(connect_only->CreateEntry(Config(kServiceAllAccess), service), kErrorAccessDenied);

  std::unique_ptr<ServiceManager> full;
  ASSERT_EQ(scm.Connect(kScManagerAllAccess, full), 0u);
  ASSERT_EQ(full->CreateEntry(Config(kServiceQueryStatus), service), 0u);
  ServiceStatusRecord status;
  EXPECT_EQ(service->QueryStatus(status), 0u);
  EXPECT_EQ(service->Start(u""), kErrorAccessDenied);
  EXPECT_EQ(service->Stop(), kErrorAccessDenied);
  EXPECT_EQ(service->Delete(), kErrorAccessDenied);

  std::unique_ptr<ServiceEntry> stopper;
  ASSERT_EQ(connect_only->OpenEntry(u"SVC", kServiceStop | kServiceQueryStatus, stopper), 0u);
  EXPECT_EQ(stopper->Stop(), kErrorServiceNotActive);
  EXPECT_EQ(stopper->Delete(), kErrorAccessDenied);
  EXPECT_EQ(scm.OpenHandles(), 4);
  service.reset();
  stopper.reset();
  connect_only.reset();
  full.reset();
  EXPECT_EQ(scm.OpenHandles(), 0);
}

TEST(NativeServiceControlTest, StatesFollowStartStopAndTime) {
  Bench b(1500);
  ServiceStatusRecord status;

  EXPECT_EQ(b.service->Start(u"x"), 0u);
  EXPECT_EQ(b.service->Start(u"x"), kErrorServiceAlreadyRunning);
  b.service->QueryStatus(status);
  EXPECT_EQ(status.dwCurrentState, kServiceRunning);
  EXPECT_EQ(b.service->Stop(), 0u);
  EXPECT_EQ(b.service->Stop(), kErrorServiceCannotAcceptControl);
  b.clock.Sleep(1000);
  b.service->QueryStatus(status);
  EXPECT_EQ(status.dwCurrentState, kServiceStopPending);
  b.clock.Sleep(500);
  b.service->QueryStatus(status);
  EXPECT_EQ(status.dwCurrentState, kServiceStopped);
  EXPECT_EQ(b.stopped_calls, 1);

  // Deleted: gone once stopped and the last handle is closed.
  EXPECT_EQ(b.service->Delete(), 0u);
  EXPECT_EQ(b.service->Delete(), kErrorServiceMarkedForDelete);
  EXPECT_EQ(b.service->Start(u""), kErrorServiceMarkedForDelete);
  EXPECT_TRUE(b.scm.Find(u"Svc"));
  std::unique_ptr<ServiceEntry> again;
  EXPECT_EQ(b.manager->CreateEntry(Config(kServiceAllAccess), again), kErrorServiceMarkedForDelete);
  b.service.reset();
  EXPECT_FALSE(b.scm.Find(u"Svc"));
  EXPECT_EQ(b.manager->OpenEntry(u"Svc", kServiceAllAccess, again), kErrorServiceDoesNotExist);
  EXPECT_EQ(b.manager->CreateEntry(Config(kServiceAllAccess), again), 0u);
  EXPECT_EQ(b.manager->CreateEntry(Config(kServiceAllAccess), b.service), kErrorServiceExists);
}

TEST(NativeServiceControlTest, StopThatEndsInsideALaterStopCallStillCallsBack) {
  Bench b(1000);
  ASSERT_EQ(b.service->Start(u""), 0u);
  ASSERT_EQ(b.service->Stop(), 0u);
  b.clock.Sleep(1000);
  // The first stop completes inside this call, which then finds it stopped.
  EXPECT_EQ(b.service->Stop(), kErrorServiceNotActive);
  EXPECT_EQ(b.stopped_calls, 1);
  EXPECT_EQ(b.scm.Find(u"Svc")->state, kServiceStopped);
}

TEST(NativeServiceControlTest, ModuleFileNameIsCutToTheBuffer) {
  NativeClock clock;
  NativeServiceControlManager scm(clock);
  scm.SetModuleFileName(u"C:\\" + WString(300, u'x'));
  WString path;
  ASSERT_EQ(scm.ModuleFileName(path), 0u);
  EXPECT_EQ(path.size(), 259u);
  scm.FailModuleFileName(122);
  EXPECT_EQ(scm.ModuleFileName(path), 122u);
}

}  // namespace
}  // namespace ztrm
