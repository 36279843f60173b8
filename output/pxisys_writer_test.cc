#include "output/pxisys_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/output_test_files.h"
#include "tests/stage_bench.h"

namespace ztrm {
namespace {

stSlot Slot(const char16_t* name, const char16_t* left = u"", const char16_t* right = u"",
            const char16_t* external = u"") {
  stSlot slot;
  slot.szName = name;
  slot.LocalBusLeft = left;
  slot.LocalBusRight = right;
  slot.ExternalBackplaneInterface = external;
  return slot;
}

template <typename Segment>
Segment MakeSegment(const char16_t* name, const char16_t* slots, std::uint16_t bus,
                    TextList idsel_names, TextList idsel_values) {
  Segment seg;
  seg.szName = name;
  seg.SlotList = slots;
  seg.usRootBusNumber = bus;
  seg.vecIDSELName = std::move(idsel_names);
  seg.vecIDSELValue = std::move(idsel_values);
  return seg;
}

// A PXI Express chassis record with PCI and PXI-1 segments (the PXI-1 ones in
// use), ID 5, index 1.
stPXISys ExpressChassis() {
  stPXISys sys;
  sys.Vendor = u"ZELTRO";
  sys.Model = u"ZT1018";
  sys.PCIBusSegmentList = u"1,2";
  sys.PXI1BusSegmentList = u"1";
  sys.vecPCIBusSegment = {
      MakeSegment<stPCIBusSegment>(u"1", u"5", 99, {u"25"}, {u"Slot5"}),
      MakeSegment<stPCIBusSegment>(u"2", u"", 98, {}, {})};
  sys.vecPXI1BusSegment = {MakeSegment<stPXI1BusSegment>(u"1", u"2,3,4", 5, {u"31", u"16", u"29"},
                                                         {u"Slot2", u"Slot3", u"Slot4"})};
  sys.vecSlot = {Slot(u"1", u"x", u"2", u"y"), Slot(u"2", u"", u"3"), Slot(u"3"), Slot(u"4"),
                 Slot(u"5", u"4")};
  sys.TriggerBusList = u"0,1";
  sys.vecTriggerBus = {stTriggerBus{u"0", {}, {u"1", u"2", u"3", u"5", u"9"}},
                       stTriggerBus{u"1", {}, {u"4", u"4"}}};
  // A bridge record without the list: no section.
  sys.vecTriggerBridge = {stTriggerBridge{u"0", u"0", u"1", u"A"}};
  sys.LineMappingSpecList = u"A";
  sys.vecLineMappingSpec = {stLineMappingSpec{u"A", {u"0", u"7"}, {u"1", u"0"}}};
  sys.StarTriggerList = u"1,2";
  // Name, system timing slot, controller slot, star lines and their slots.
  sys.vecStarTrigger = {stStarTrigger{u"1", {}, u"2", {u"0", u"1"}, {u"3", u"5"}},
                        stStarTrigger{u"2", u"2", u"9", {u"0", u"1", u"2"}, {u"3", u"5", u"4"}}};
  sys.usChassisID = 5;
  sys.dwChassisIndex = 1;
  sys.szDescriptionFile = u"ZT1018.ini";
  sys.bPXIe = 1;
  return sys;
}

// A PXI-1 chassis behind bridges: ID 3, index 2; its second segment's bus is
// unknown to the driver.
stPXISys Pxi1Chassis() {
  stPXISys sys;
  sys.Vendor = u"ZELTRO";
  sys.Model = u"ZT1008";
  sys.PCIBusSegmentList = u"1,2";
  sys.vecPCIBusSegment = {
      MakeSegment<stPCIBusSegment>(u"1", u"2,3", 20, {u"31", u"30"}, {u"Slot2", u"Slot3"}),
      MakeSegment<stPCIBusSegment>(u"2", u"4", 40, {u"28", u"27"}, {u"Slot4", u"Slot9"})};
  sys.vecSlot = {Slot(u"1"), Slot(u"2"), Slot(u"3", u"2", u"4"), Slot(u"4", u"", u"", u"ExpressCard")};
  sys.TriggerBusList = u"0";
  sys.vecTriggerBus = {stTriggerBus{u"0", {}, {u"1", u"2", u"3", u"4"}}};
  sys.TriggerBridgeList = u"0";
  sys.vecTriggerBridge = {stTriggerBridge{u"0", u"0", u"1", u"A"}};
  // A line mapping record without its list: no section.
  sys.vecLineMappingSpec = {stLineMappingSpec{u"A", {u"0"}, {u"1"}}};
  sys.usChassisID = 3;
  sys.dwChassisIndex = 2;
  sys.szDescriptionFile = u"ZT1008.ini";
  sys.bPXI1 = 1;
  return sys;
}

// One slot, no segments: ID 7, index 3.
stPXISys BareChassis() {
  stPXISys sys;
  sys.Vendor = u"V";
  sys.Model = u"M";
  sys.vecSlot = {Slot(u"1", u"a", u"b", u"c")};
  sys.StarTriggerList = u"1";
  sys.vecStarTrigger = {stStarTrigger{u"1", u"1", {}, {u"0"}, {u"1"}}};
  sys.usChassisID = 7;
  sys.dwChassisIndex = 3;
  sys.szDescriptionFile = u"m.ini";
  return sys;
}

void Prepare(StageBench& bench) {
  bench.native().clock().Pin({2026, 12, 3, 22, 44, 19, 500});
  bench.Context().FileVersionText = u"1.0.0.0";
  bench.Context().PxiSysStream = OpenTextStream(bench.Context().platform.files, u"C:\\windows\\pxisys.ini",
                                            OutputMode::kReplace, bench.Context().locale);
  ASSERT_NE(bench.Context().PxiSysStream, nullptr);
}

std::string Finish(StageBench& bench) {
  bench.Context().PxiSysStream.reset();
  return bench.WindowsFile("pxisys.ini");
}

TEST(PxiSysWriterTest, NoChassis) {
  StageBench bench;
  Prepare(bench);
  mf_WritePXISys(bench.Context());
  EXPECT_EQ(Finish(bench), ExpectedCrlfFile("output/pxisys_no_chassis.ini"));
  EXPECT_TRUE(bench.Context().locale.IsUserDefault());
}

TEST(PxiSysWriterTest, ChassisInIndexOrderWithBothSegmentKinds) {
  StageBench bench(DriverRegistry({"\"Bus5\"=\"3,3,0,0\"", "\"Bus3\"=\"0,1,0,255\"",
                                    "\"Bus20\"=\"16,28,0,0\"", "\"Bus16\"=\"0,1,0,0\"",
                                    "\"Bus0\"=\"0,0,0,255\"", "\"Bus99\"=\"0,0,0,255\""}));
  Prepare(bench);
  stPXISys unnumbered = BareChassis();
  unnumbered.usChassisID = 9;
  unnumbered.dwChassisIndex = 0;
  stPXISys undiscovered = BareChassis();
  undiscovered.usChassisID = 10;
  undiscovered.dwChassisIndex = 0xFF;
  bench.Context().vecPXISys = {Pxi1Chassis(), ExpressChassis(), unnumbered, undiscovered, BareChassis()};
  mf_WritePXISys(bench.Context());
  EXPECT_EQ(Finish(bench), ExpectedCrlfFile("output/pxisys_three_chassis.ini"));
  // Segments in use only were resolved, and the walk stopped at the unknown bus 40.
  EXPECT_EQ(bench.driver().upstream_buses, (std::vector<int>{5, 3, 20, 16, 0, 40}));
  EXPECT_EQ(bench.Context().vecPXISys[1].vecPCIBusSegment[0].szPCIPath, WStringView(u""));
  EXPECT_EQ(bench.Context().vecPXISys[1].vecPXI1BusSegment[0].szBusNumber, WStringView(u"0"));
}

TEST(PxiSysWriterTest, WithoutTheDriverTheSegmentLoopEndsAfterTheFirst) {
  StageBench bench;
  Prepare(bench);
  stPXISys sys = Pxi1Chassis();
  sys.vecSlot = {Slot(u"1"), Slot(u"2"), Slot(u"3")};
  sys.vecPCIBusSegment = {
      MakeSegment<stPCIBusSegment>(u"1", u"2", 20, {u"31"}, {u"Slot2"}),
      MakeSegment<stPCIBusSegment>(u"2", u"3", 40, {u"30"}, {u"Slot3"})};
  sys.TriggerBusList = u"";
  sys.vecTriggerBus.clear();
  sys.TriggerBridgeList = u"";
  sys.usChassisID = 1;
  sys.dwChassisIndex = 1;
  bench.Context().vecPXISys = {sys};
  mf_WritePXISys(bench.Context());
  EXPECT_EQ(Finish(bench), ExpectedCrlfFile("output/pxisys_no_driver.ini"));
  EXPECT_EQ(bench.driver().opens, 1);
}

TEST(PxiSysWriterTest, IdselNamesThatAreNoDeviceNumbers) {
  StageBench bench(DriverRegistry({"\"Bus7\"=\"7,0,0,255\""}));
  Prepare(bench);
  stPXISys sys = Pxi1Chassis();
  sys.PCIBusSegmentList = u"1";
  sys.vecPCIBusSegment = {MakeSegment<stPCIBusSegment>(u"1", u"2,3,4", 7, {u"abc", u"-5", u"99999"},
                                                       {u"Slot2", u"Slot3", u"Slot4"})};
  sys.vecSlot = {Slot(u"1"), Slot(u"2"), Slot(u"3"), Slot(u"4")};
  sys.TriggerBusList = u"";
  sys.vecTriggerBus.clear();
  sys.TriggerBridgeList = u"";
  sys.usChassisID = 1;
  sys.dwChassisIndex = 1;
  bench.Context().vecPXISys = {sys};
  mf_WritePXISys(bench.Context());
  EXPECT_EQ(Finish(bench), ExpectedCrlfFile("output/pxisys_bad_idsel.ini"));
}

}  // namespace
}  // namespace ztrm
