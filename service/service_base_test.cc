#include "service/service_base.h"

#include <gtest/gtest.h>

#include "service/service_error.h"
#include "tests/service_test_support.h"

namespace ztrm {
namespace {

enum class Failure { kNone, kErrorCode, kOther };

// A service whose On... operations record their calls and fail as told.
class ScriptedService : public CServiceBase {
 public:
  ScriptedService(Platform& platform, ServicePlatform& service_platform)
      : CServiceBase(platform, service_platform, u"ZTLRMService") {}

  Failure start_failure = Failure::kNone, stop_failure = Failure::kNone,
          pause_failure = Failure::kNone, continue_failure = Failure::kNone,
          shutdown_failure = Failure::kNone;
  std::uint32_t code = 0x1234;
  std::vector<std::string> calls;
  std::function<void()> during_start;

 protected:
  void OnStart(const std::vector<WString>& arguments) override {
    calls.push_back("OnStart(" + std::to_string(arguments.size()) + ")");
    if (during_start) during_start();
    Fail(start_failure);
  }
  void OnStop() override { Call("OnStop", stop_failure); }
  void OnPause() override { Call("OnPause", pause_failure); }
  void OnContinue() override { Call("OnContinue", continue_failure); }
  void OnShutdown() override { Call("OnShutdown", shutdown_failure); }

 private:
  void Call(const char* name, Failure failure) {
    calls.push_back(name);
    Fail(failure);
  }
  void Fail(Failure failure) {
    if (failure == Failure::kErrorCode) throw ServiceError(code);
    if (failure == Failure::kOther) throw std::runtime_error("not a platform error");
  }
};

std::vector<std::uint32_t> CheckPoints(const std::vector<ServiceStatusRecord>& reports) {
  std::vector<std::uint32_t> check_points;
  for (const ServiceStatusRecord& report : reports) check_points.push_back(report.dwCheckPoint);
  return check_points;
}

struct BaseFixture : testing::Test {
  void SetUp() override {
    MakeCompanionImage(machine.image());
    machine.Boot();
    service = std::make_shared<ScriptedService>(machine.platform(), machine.service_platform());
    PublishServiceInstance(service);
  }
  void TearDown() override { PublishServiceInstance(nullptr); }

  NativeServiceRuntime& runtime() { return machine.service().runtime(); }
  std::vector<NativeEventEntry> events() { return machine.service().events().Entries(); }

  ServiceTestMachine machine;
  std::shared_ptr<ScriptedService> service;
};

TEST_F(BaseFixture, CleanStartAndStopReportEveryStateWithRisingCheckPoints) {
  const ServiceStatusRecord& made = service->Status;  // before anything is reported
  EXPECT_EQ((std::vector<std::uint32_t>{made.dwServiceType, made.dwCurrentState, made.dwControlsAccepted,
                                        made.dwWin32ExitCode, made.dwServiceSpecificExitCode,
                                        made.dwCheckPoint, made.dwWaitHint,
                                        static_cast<std::uint32_t>(service->StatusHandle.load())}),
            (std::vector<std::uint32_t>{0x10, kServiceStartPending, 5, 0, 0, 0, 0, 0}));
  service->ServiceMain({u"ZTLRMService"});
  runtime().DeliverControl(kControlStop);

  EXPECT_EQ(runtime().ReportedStates(),
            (std::vector<std::uint32_t>{kServiceStartPending, kServiceRunning, kServiceStopPending, kServiceStopped}));
  EXPECT_EQ(CheckPoints(runtime().StatusReports()), (std::vector<std::uint32_t>{1, 0, 2, 0}));
  for (const ServiceStatusRecord& report : runtime().StatusReports()) EXPECT_EQ(report.dwWaitHint, 0u);
  EXPECT_EQ(service->calls, (std::vector<std::string>{"OnStart(1)", "OnStop"}));
  EXPECT_TRUE(events().empty());  // the base class itself logs nothing on success
}

// What each life cycle operation reports and logs, with and without failure,
// from the state the control finds the service in. The controls go through
// the plain handler, which takes pause and continue although they are never
// accepted.
TEST_F(BaseFixture, LifeCycleOperationsFollowTheFailureTable) {
  constexpr std::uint32_t kStart = ~0u;  // not a control: Start itself
  constexpr std::uint32_t kSP = kServiceStartPending, kR = kServiceRunning, kS = kServiceStopped,
                          kP = kServicePaused;
  const struct {
    const char* what;
    std::uint32_t control;
    Failure failure;
    std::vector<std::uint32_t> states;
    std::uint32_t last_exit_code;
    const char16_t* event;  // null: no entry
    std::uint32_t from = kServiceRunning;
    bool event_log_fails = false;
  } kCases[] = {
      {"start", kStart, Failure::kNone, {kSP, kR}, 0, nullptr},
      {"start, error code", kStart, Failure::kErrorCode, {kSP, kS}, 0x1234, u"Service Start failed w/err 0x00001234"},
      {"start, other", kStart, Failure::kOther, {kSP, kS}, 0, u"Service failed to start."},
      // An event log that cannot be opened is ignored.
      {"start, error code, no event log", kStart, Failure::kErrorCode, {kSP, kS}, 0x1234, nullptr, kR, true},
      {"stop", kControlStop, Failure::kNone, {kServiceStopPending, kS}, 0, nullptr},
      {"stop, error code", kControlStop, Failure::kErrorCode, {kServiceStopPending, kR}, 0, u"Service Stop failed w/err 0x00001234"},
      {"stop, other", kControlStop, Failure::kOther, {kServiceStopPending, kR}, 0, u"Service failed to stop."},
      // A failed stop restores the state it found.
      {"stop of a paused service, error code", kControlStop, Failure::kErrorCode, {kServiceStopPending, kP}, 0,
       u"Service Stop failed w/err 0x00001234", kP},
      {"pause", kControlPause, Failure::kNone, {kServicePausePending, kP}, 0, nullptr},
      {"pause, error code", kControlPause, Failure::kErrorCode, {kServicePausePending, kR}, 0, u"Service Pause failed w/err 0x00001234"},
      {"pause, other", kControlPause, Failure::kOther, {kServicePausePending, kR}, 0, u"Service failed to pause."},
      {"continue", kControlContinue, Failure::kNone, {kServiceContinuePending, kR}, 0, nullptr},
      {"continue, error code", kControlContinue, Failure::kErrorCode, {kServiceContinuePending, kP}, 0,
       u"Service Continue failed w/err 0x00001234"},
      {"continue, other", kControlContinue, Failure::kOther, {kServiceContinuePending, kP}, 0, u"Service failed to resume."},
      {"shutdown", kControlShutdown, Failure::kNone, {kS}, 0, nullptr},
      {"shutdown, error code", kControlShutdown, Failure::kErrorCode, {}, 0, u"Service Shutdown failed w/err 0x00001234"},
      {"shutdown, other", kControlShutdown, Failure::kOther, {}, 0, u"Service failed to shut down."},
      {"interrogate and an unknown control, through either handler", kControlInterrogate, Failure::kNone, {}, 0,
       nullptr},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    ServiceTestMachine m;
    m.Boot();
    if (c.event_log_fails) m.service().events().FailRegistration();
    const auto shared = std::make_shared<ScriptedService>(m.platform(), m.service_platform());
    ScriptedService& s = *shared;
    PublishServiceInstance(shared);
    s.StatusHandle = NativeServiceRuntime::kStatusHandle;
    s.SetStatus(c.from);
    NativeServiceRuntime& rt = m.service().runtime();
    const std::size_t before = rt.StatusReports().size();
    s.start_failure = s.stop_failure = s.pause_failure = s.continue_failure = s.shutdown_failure = c.failure;
    if (c.control == kStart) {
      s.Start({});
    } else if (c.control == kControlInterrogate) {
      s.ControlsEnabled = 1;
      for (std::uint32_t control : {kControlInterrogate, 0x80u}) {
        CServiceBase::Handler(control);
        EXPECT_EQ(CServiceBase::HandlerEx(control, 0, nullptr), 0u);
      }
    } else {
      CServiceBase::Handler(c.control);
    }
    std::vector<ServiceStatusRecord> reports = rt.StatusReports();
    reports.erase(reports.begin(), reports.begin() + static_cast<std::ptrdiff_t>(before));
    std::vector<std::uint32_t> states;
    for (const ServiceStatusRecord& r : reports) states.push_back(r.dwCurrentState);
    EXPECT_EQ(states, c.states);
    if (!reports.empty()) {
      EXPECT_EQ(reports.back().dwWin32ExitCode, c.last_exit_code);
    }
    const std::vector<NativeEventEntry> entries = m.service().events().Entries();
    if (c.event == nullptr) {
      EXPECT_TRUE(entries.empty());
    } else {
      ASSERT_EQ(entries.size(), 1u);
      EXPECT_EQ(entries[0].source, u"ZTLRMService");
      EXPECT_EQ(entries[0].type, kEventError);
      EXPECT_EQ(entries[0].category, 0);
      EXPECT_EQ(entries[0].event_id, 0u);
      EXPECT_EQ(entries[0].strings, (std::vector<WString>{u"ZTLRMService", c.event}));
    }
    EXPECT_EQ(m.service().events().OpenSources(), 0);
    PublishServiceInstance(nullptr);
  }
}

// A stop at one moment of the start: during OnStart, during the three
// seconds before ControlsEnabled, or after a start that failed.
struct StopCase {
  const char* name;
  bool during_start;
  int stops_in_pause;
  bool after_start;
  Failure start_failure, stop_failure;
  bool no_extended_handler;
  std::uint32_t state_in_pause;  // 0: no pause
  std::vector<std::string> calls_in_pause;
  std::vector<std::uint32_t> states;
  std::vector<std::string> calls;
  std::uint32_t last_exit_code;
  const char16_t* event;  // null: no entry
  std::size_t unregistrations;
};

class StopTimingTest : public BaseFixture, public testing::WithParamInterface<StopCase> {};

constexpr std::uint32_t kSP = kServiceStartPending, kR = kServiceRunning, kStopP = kServiceStopPending,
                        kS = kServiceStopped;
const std::vector<std::string> kStartOnly = {"OnStart(0)"}, kStartStop = {"OnStart(0)", "OnStop"};

INSTANTIATE_TEST_SUITE_P(
    Stops, StopTimingTest,
    testing::Values(
        // Reported as stopping at once, carried out when the start has
        // finished (after its companion reload); a second stop changes nothing.
        StopCase{"TwiceInThePause", false, 2, false, Failure::kNone, Failure::kNone, false, kStopP, kStartOnly,
                 {kSP, kR, kStopP, kStopP, kS}, kStartStop, 0, nullptr, 1},
        // Stays reported as stopping through the rest of the start.
        StopCase{"DuringOnStart", true, 0, false, Failure::kNone, Failure::kNone, false, kStopP, kStartOnly,
                 {kSP, kStopP, kR, kStopP, kStopP, kS}, kStartStop, 0, nullptr, 1},
        StopCase{"DuringAFailedStart", true, 0, false, Failure::kErrorCode, Failure::kNone, false, 0, {},
                 {kSP, kStopP, kS, kS}, kStartOnly, 0x1234, u"Service Start failed w/err 0x00001234", 0},
        StopCase{"AfterAFailedStart", false, 0, true, Failure::kErrorCode, Failure::kNone, false, 0, {},
                 {kSP, kS}, kStartOnly, 0x1234, u"Service Start failed w/err 0x00001234", 0},
        // A deferred stop that fails returns the service to running.
        StopCase{"DeferredAndFailing", false, 1, false, Failure::kNone, Failure::kErrorCode, false, kStopP,
                 kStartOnly, {kSP, kR, kStopP, kStopP, kR}, kStartStop, 0, u"Service Stop failed w/err 0x00001234", 1},
        // Without the extended handler the plain one takes every control at once.
        StopCase{"WithoutTheExtendedHandler", false, 1, false, Failure::kNone, Failure::kNone, true, kS, kStartStop,
                 {kSP, kR, kStopP, kS}, kStartStop, 0, nullptr, 0}),
    [](const testing::TestParamInfo<StopCase>& info) { return std::string(info.param.name); });

TEST_P(StopTimingTest, StateCallsAndLogFollowTheMomentOfTheStop) {
  const StopCase& c = GetParam();
  if (c.no_extended_handler) runtime().FailExtendedHandlerRegistration();
  service->start_failure = c.start_failure;
  service->stop_failure = c.stop_failure;
  if (c.during_start) service->during_start = [&] { runtime().DeliverControl(kControlStop); };
  std::uint32_t state_in_pause = 0;
  std::vector<std::string> calls_in_pause;
  machine.native().clock().SetSleepHook([&](std::uint32_t) {
    // Until the start has finished the extended handler ignores every
    // control but the stop.
    if (!c.no_extended_handler) {
      for (std::uint32_t control : {kControlPause, kControlContinue, kControlShutdown, kControlInterrogate,
                                    kControlDeviceEvent, 0x80u}) {
        EXPECT_EQ(runtime().DeliverControl(control), 0u);
      }
    }
    for (int i = 0; i < c.stops_in_pause; ++i) runtime().DeliverControl(kControlStop);
    state_in_pause = runtime().ReportedStates().back();
    calls_in_pause = service->calls;
    EXPECT_TRUE(runtime().Unregistrations().empty());
  });
  service->ServiceMain({});
  if (c.after_start) runtime().DeliverControl(kControlStop);

  EXPECT_EQ(state_in_pause, c.state_in_pause);
  EXPECT_EQ(calls_in_pause, c.calls_in_pause);
  const std::vector<ServiceStatusRecord> reports = runtime().StatusReports();
  EXPECT_EQ(runtime().ReportedStates(), c.states);
  // Check points rise through every pending state; running and stopped report 0.
  std::vector<std::uint32_t> check_points;
  std::uint32_t counter = 1;
  for (std::uint32_t state : c.states) check_points.push_back(state == kR || state == kS ? 0 : counter++);
  EXPECT_EQ(CheckPoints(reports), check_points);
  ASSERT_FALSE(reports.empty());
  EXPECT_EQ(reports.back().dwWin32ExitCode, c.last_exit_code);
  EXPECT_EQ(service->calls, c.calls);
  EXPECT_EQ(events().size(), c.event ? 1u : 0u);
  if (c.event) {
    EXPECT_EQ(events()[0].strings[1], c.event);
  }
  EXPECT_EQ(runtime().Unregistrations().size(), c.unregistrations);
  EXPECT_EQ(runtime().DeviceRegistrationMade().has_value(), !c.no_extended_handler);
  EXPECT_EQ(machine.Launches(), c.start_failure == Failure::kNone ? "ORB.exe|reload|C:\\ZELTRO\\ORB\n" : "");
}

TEST_F(BaseFixture, ServiceMainRegistersBothHandlersAndTheDeviceNotification) {
  service->ServiceMain({u"ZTLRMService", u"startonce"});
  EXPECT_EQ(runtime().PlainHandlerName(), u"ZTLRMService");
  EXPECT_EQ(runtime().ExtendedHandlerName(), u"ZTUSBHook");
  std::optional<NativeServiceRuntime::DeviceRegistration> registration = runtime().DeviceRegistrationMade();
  ASSERT_TRUE(registration);
  EXPECT_EQ(registration->recipient, NativeServiceRuntime::kStatusHandle);
  EXPECT_EQ(registration->flags, 5u);
  EXPECT_EQ(registration->filter.size, 32u);
  EXPECT_EQ(registration->filter.device_type, 5u);
  EXPECT_EQ(registration->filter.reserved, 0u);
  const std::array<std::uint8_t, 16> kUsbClass = {0x60, 0x9E, 0xFC, 0x36, 0x65, 0xC4, 0xCF, 0x11,
                                                  0x80, 0x56, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00};
  EXPECT_EQ(registration->filter.class_guid, kUsbClass);
  EXPECT_EQ(service->DeviceNotifyHandle.load(), NativeServiceRuntime::kNotificationHandle);
  EXPECT_EQ(service->calls, std::vector<std::string>{"OnStart(2)"});
}

TEST_F(BaseFixture, DeviceNotificationThatFailsLeavesTheServiceRunning) {
  runtime().FailDeviceRegistration();
  service->ServiceMain({});
  EXPECT_EQ(service->DeviceNotifyHandle.load(), 0u);
  EXPECT_EQ(runtime().ReportedStates().back(), kServiceRunning);
  runtime().DeliverControl(kControlStop);
  EXPECT_EQ(runtime().ReportedStates().back(), kServiceStopped);
}

}  // namespace
}  // namespace ztrm
