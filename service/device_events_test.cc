#include "service/device_events.h"

#include <gtest/gtest.h>

#include <string>

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

TEST(DeviceEventsTest, LinkNameIsSplitAtFixedPositions) {
  std::optional<LinkNameParts> parts = SplitLinkName(u"\\\\?\\USB#VID_2C91&PID_0001#5&1a2b#{a5dcbf10}");
  ASSERT_TRUE(parts);
  EXPECT_EQ(parts->bus, u"USB");
  EXPECT_EQ(parts->id, u"VID_2C91");
  // Sixteen units are just enough; fifteen are not.
  parts = SplitLinkName(u"\\\\?\\PCI#VEN_10B5");
  ASSERT_TRUE(parts);
  EXPECT_EQ(parts->id, u"VEN_10B5");
  EXPECT_FALSE(SplitLinkName(u"\\\\?\\PCI#VEN_10B"));
  EXPECT_FALSE(SplitLinkName(u""));
}

}  // namespace
}  // namespace ztrm
