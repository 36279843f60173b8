#include "service/device_events.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "enumeration/worker.h"
#include "tests/service_test_support.h"

namespace ztrm {
namespace {

// The outcome of one device event: the re-enumeration request, the companion
// launches, and how many questions the driver was asked.
enum Companion { kNoCompanion, kCompanion, kCompanionNamedButMissing };
struct EventCase {
  const char* what;
  Companion companion;
  bool driver_open;       // the shared driver handle is set
  bool driver_succeeds;
  std::uint8_t driver_answer;  // byte [1] of the answer
  std::uint32_t event_type;
  bool has_data;
  std::uint32_t device_type;
  const char16_t* link_name;
  bool expect_request;
  const char* expect_launches;
  std::size_t expect_driver_calls;
  bool request_before = false;
};

constexpr char16_t kOwnUsb[] = u"\\\\?\\USB#VID_2C91&PID_0001#0001#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
constexpr char16_t kPlxPci[] = u"\\\\?\\PCI#VEN_10B5&DEV_8733&SUBSYS_873310B5&REV_CA#4&1#{x}";
constexpr char16_t kOtherUsb[] = u"\\\\?\\USB#VID_046D&PID_C52B#0001#{x}";
constexpr char kReload[] = "ORB.exe|reload|C:\\ZELTRO\\ORB\n";
constexpr char kUpdate[] = "ORB.exe|update|C:\\ZELTRO\\ORB\n";
constexpr std::uint32_t kInterface = kDeviceTypeDeviceInterface;

const EventCase kEventCases[] = {
    {"arrival of an own USB device", kCompanion, false, true, 0, kDeviceArrival, true, kInterface, kOwnUsb, true, kReload, 0},
    {"removal of a PLX PCI bridge", kCompanion, false, true, 0, kDeviceRemoveComplete, true, kInterface, kPlxPci, true, kUpdate, 0},
    {"query-remove of an own device: request, no launch", kCompanion, false, true, 0, kDeviceQueryRemove, true, kInterface,
     kOwnUsb, true, "", 0},
    {"remove-pending of an own device: request, no launch", kCompanion, false, true, 0, kDeviceRemovePending, true,
     kInterface, kPlxPci, true, "", 0},
    {"own device without a companion folder: request only", kNoCompanion, false, true, 0, kDeviceArrival, true, kInterface,
     kOwnUsb, true, "", 0},
    {"own device, the companion folder named but not on the disk", kCompanionNamedButMissing, false, true, 0,
     kDeviceArrival, true, kInterface, kOwnUsb, true, "", 0},
    {"other vendor, no driver: nothing", kCompanion, false, true, 0, kDeviceArrival, true, kInterface, kOtherUsb, false, "", 0},
    {"other vendor, driver says changed", kCompanion, true, true, 1, kDeviceArrival, true, kInterface, kOtherUsb, true, "", 1},
    {"other vendor, driver says unchanged", kCompanion, true, true, 0, kDeviceArrival, true, kInterface, kOtherUsb, false, "", 1},
    {"a request already set stays set", kCompanion, true, true, 0, kDeviceArrival, true, kInterface, kOtherUsb, true, "", 1,
     true},
    {"other vendor, driver answers 2", kCompanion, true, true, 2, kDeviceArrival, true, kInterface, kOtherUsb, false, "", 1},
    {"other vendor, driver request fails", kCompanion, true, false, 1, kDeviceArrival, true, kInterface, kOtherUsb, false, "", 1},
    {"own device with the driver open: both", kCompanion, true, true, 0, kDeviceArrival, true, kInterface, kOwnUsb, true,
     kReload, 1},
    {"lower-case link name matches nothing", kCompanion, false, true, 0, kDeviceArrival, true, kInterface,
     u"\\\\?\\usb#vid_1d7e&pid_0001#0001#{x}", false, "", 0},
    {"short link name: no match, the driver is still asked", kCompanion, true, true, 1, kDeviceArrival, true, kInterface,
     u"\\\\?\\USB#VID_1D", true, "", 1},
    {"an event without data: nothing", kCompanion, true, true, 1, kDeviceArrival, false, 0, u"", false, "", 0},
    {"a volume event: nothing", kCompanion, true, true, 1, kDeviceArrival, true, kDeviceTypeVolume, kOwnUsb, false, "", 0},
};

TEST(DeviceEventsTest, EveryEventCaseLeadsToItsOutcome) {
  for (const EventCase& c : kEventCases) {
    SCOPED_TRACE(c.what);
    ServiceTestMachine machine;
    if (c.companion == kCompanion) MakeCompanionImage(machine.image());
    machine.Boot();
    machine.driver().succeed = c.driver_succeeds;
    machine.driver().answer = {0xAA, c.driver_answer};
    RunContext ctx(machine.platform());
    if (c.driver_open) ctx.SharedDriverHandle = machine.driver().Open();
    ctx.ReenumerationRequest = c.request_before ? 1 : 0;
    const WideText companion_dir = c.companion == kNoCompanion ? WideText() : WideText(u"C:\\ZELTRO\\ORB");
    DeviceEventHandler handler(machine.platform(), ctx, companion_dir);

    DeviceEventRecord record{c.device_type, c.link_name};
    handler.OnDeviceEvent(c.event_type, c.has_data ? &record : nullptr);

    EXPECT_EQ(ctx.ReenumerationRequest.load(), c.expect_request ? 1 : 0);
    EXPECT_EQ(machine.Launches(), c.expect_launches);
    ASSERT_EQ(machine.driver().calls.size(), c.expect_driver_calls);
    for (const ScriptedDriver::Call& call : machine.driver().calls) {
      EXPECT_EQ(call.handle, 0x77u);
      EXPECT_EQ(call.code, 0x2234E0u);
      EXPECT_EQ(call.in, std::vector<std::uint8_t>{0});
      EXPECT_EQ(call.out_before, (std::vector<std::uint8_t>{0, 0}));  // zeroed before the call
    }
  }
}

// A flood of device events: 100 within one poll interval, half of them while
// a run is under way, sent from a thread of their own as the control handler
// would. The request flag coalesces them: one run for those that came
// between two polls, one more for those that came during a run, then quiet.
TEST(DeviceEventsTest, FloodOfEventsLeadsToABoundedNumberOfRuns) {
  ServiceTestMachine machine;
  MakeCompanionImage(machine.image());
  machine.Boot();
  RunContext ctx(machine.platform());
  const WideText companion_dir(u"C:\\ZELTRO\\ORB");
  DeviceEventHandler handler(machine.platform(), ctx, companion_dir);
  EnumerationWorker worker(ctx);

  // Even events: query-remove of an own USB device (request only); odd
  // events: removal of a PLX bridge (request and a companion update).
  auto flood = [&](int first, int count) {
    std::thread control([&] {
      for (int i = first; i < first + count; ++i) {
        DeviceEventRecord record{kDeviceTypeDeviceInterface, i % 2 ? kPlxPci : kOwnUsb};
        handler.OnDeviceEvent(i % 2 ? kDeviceRemoveComplete : kDeviceQueryRemove, &record);
      }
    });
    control.join();
  };
  int sleeps = 0;
  bool second_half_sent = false;
  std::atomic<std::uint32_t> stop{0};
  // The first clock reading after the first half is the banner of the run it
  // caused, taken once that run has cleared the flags.
  machine.native().clock().SetNowHook([&] {
    if (sleeps >= 3 && !second_half_sent) {
      second_half_sent = true;
      flood(50, 50);
    }
  });
  machine.native().clock().SetSleepHook([&](std::uint32_t) {
    if (++sleeps == 3) flood(0, 50);
    if (sleeps == 20) stop = 1;
  });
  worker.Run(stop);

  ASSERT_TRUE(second_half_sent);
  const std::string launches = machine.Launches();
  // The worker start's reload, then one per run: the first sight of this
  // system, the first half, the second half.
  EXPECT_EQ(Occurrences(launches, kReload), 4) << launches;
  EXPECT_EQ(Occurrences(launches, kUpdate), 50);  // every removal tells the companion
  EXPECT_EQ(ctx.ReenumerationRequest.load(), 0);
}

}  // namespace
}  // namespace ztrm
