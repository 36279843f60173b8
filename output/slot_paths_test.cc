#include "output/slot_paths.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/output_test_support.h"

namespace ztrm {
namespace {

struct WalkCase {
  const char* what;
  std::vector<std::string> parameters;  // nullptr-like: no driver when `driver` is false
  bool driver;
  std::uint16_t bus;
  bool pxi1;
  int result;
  const char16_t* path;     // expected szPCIPath ("old" when unchanged)
  const char16_t* root;     // expected szBusNumber
  std::vector<int> asked;   // buses asked, in order
};

std::vector<WalkCase> WalkCases() {
  return {
      {"bus 0xFF: nothing to do", {"\"Bus255\"=\"1,1,1,255\""}, true, 0xFF, false, 0, u"old",
       u"old", {}},
      {"only the low 8 bits count: 0x1FF is 0xFF", {}, true, 0x1FF, true, 0, u"old", u"old", {}},
      {"segment on a root bus", {"\"Bus7\"=\"7,0,0,255\""}, true, 7, false, 0, u"", u"7", {7}},
      {"bus 5 behind one bridge, PCI", {"\"Bus5\"=\"3,3,0,0\"", "\"Bus3\"=\"0,1,0,255\""}, true, 5,
       false, 0, u",18", u"0", {5, 3}},
      {"bus 5 behind one bridge, PXI-1", {"\"Bus5\"=\"3,3,0,0\"", "\"Bus3\"=\"0,1,0,255\""}, true, 5,
       true, 0, u",18", u"0", {5, 3}},
      {"two bridges nearest first", {"\"Bus9\"=\"4,3,1,0\"", "\"Bus4\"=\"2,28,0,0\"",
                                     "\"Bus2\"=\"2,0,0,255\""},
       true, 9, false, 0, u",19,E0", u"2", {9, 4, 2}},
      {"PXI-1: [0,0,0,0] ends at once", {"\"Bus4\"=\"0,0,0,0\""}, true, 4, true, 0, u"", u"0", {4}},
      {"PCI: [0,0,0,0] walks on to bus 0", {"\"Bus4\"=\"0,0,0,0\"", "\"Bus0\"=\"0,0,0,255\""}, true,
       4, false, 0, u",00", u"0", {4, 0}},
      {"PXI-1: [0,0,1,0] is a bridge", {"\"Bus4\"=\"0,0,1,0\"", "\"Bus0\"=\"0,0,0,255\""}, true, 4,
       true, 0, u",01", u"0", {4, 0}},
      {"device 255 function 7 gives three digits", {"\"Bus9\"=\"0,255,7,0\"",
                                                    "\"Bus0\"=\"0,0,0,255\""},
       true, 9, false, 0, u",7FF", u"0", {9, 0}},
      {"root bus 255", {"\"Bus5\"=\"255,1,0,0\"", "\"Bus255\"=\"255,0,0,255\""}, true, 5, false, 0,
       u",08", u"255", {5, 255}},
      {"request failing midway keeps the old texts", {"\"Bus5\"=\"3,3,0,0\""}, true, 5, false, 2,
       u"old", u"old", {5, 3}},
      {"first request failing", {}, true, 5, true, 2, u"old", u"old", {5}},
      {"no driver", {}, false, 5, false, 1, u"old", u"old", {}},
      {"a bus pointing at itself is given up", {"\"Bus5\"=\"5,3,0,0\""}, true, 5, false, 2, u"old",
       u"old", {5}},
      {"two buses pointing at each other", {"\"Bus5\"=\"6,1,0,0\"", "\"Bus6\"=\"5,2,0,0\""}, true,
       5, false, 2, u"old", u"old", {5, 6}},
  };
}

TEST(SlotPathsTest, SegmentWalkCases) {
  for (const WalkCase& c : WalkCases()) {
    SCOPED_TRACE(c.what);
    OutputBench bench(c.driver ? DriverRegistry(c.parameters) : "");
    std::vector<int> asked;
    WideText path, root;
    int result;
    if (c.pxi1) {
      stPXI1BusSegment seg;
      seg.usRootBusNumber = c.bus;
      seg.szPCIPath = u"old";
      seg.szBusNumber = u"old";
      result = mf_GetPXI1BusSegmentPath(bench.ctx(), seg);
      path = seg.szPCIPath;
      root = seg.szBusNumber;
    } else {
      stPCIBusSegment seg;
      seg.usRootBusNumber = c.bus;
      seg.szPCIPath = u"old";
      seg.szBusNumber = u"old";
      result = mf_GetPCIBusSegmentPath(bench.ctx(), seg);
      path = seg.szPCIPath;
      root = seg.szBusNumber;
    }
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(path, WStringView(c.path));
    EXPECT_EQ(root, WStringView(c.root));
    EXPECT_EQ(bench.driver().upstream_buses, c.asked);
  }
}

// A chain of `bridges` buses 1, 2, ... each behind a bridge at device 28 on
// the next, the last one's upstream bus being root bus 200.
std::vector<std::string> Chain(int bridges) {
  std::vector<std::string> lines;
  for (int bus = 1; bus <= bridges; ++bus) {
    int next = bus == bridges ? 200 : bus + 1;
    lines.push_back("\"Bus" + std::to_string(bus) + "\"=\"" + std::to_string(next) + ",28,0,0\"");
  }
  lines.push_back("\"Bus200\"=\"200,0,0,255\"");
  return lines;
}

TEST(SlotPathsTest, BridgeChainFillsThePathUpTo259Characters) {
  OutputBench bench(DriverRegistry(Chain(86)));
  stPCIBusSegment seg;
  seg.usRootBusNumber = 1;
  EXPECT_EQ(mf_GetPCIBusSegmentPath(bench.ctx(), seg), 0);
  WString expected;
  for (int i = 0; i < 86; ++i) expected += u",E0";
  EXPECT_EQ(seg.szPCIPath, WStringView(expected));  // 258 characters
  EXPECT_EQ(seg.szBusNumber, WStringView(u"200"));
}

TEST(SlotPathsTest, BridgeChainTooLongForThePathIsGivenUp) {
  for (int bridges : {87, 100}) {
    SCOPED_TRACE(bridges);
    OutputBench bench(DriverRegistry(Chain(bridges)));
    stPXI1BusSegment seg;
    seg.usRootBusNumber = 1;
    EXPECT_EQ(mf_GetPXI1BusSegmentPath(bench.ctx(), seg), 2);
    EXPECT_EQ(seg.szPCIPath, WStringView(u""));
    EXPECT_EQ(seg.szBusNumber, WStringView(u""));
    EXPECT_EQ(bench.driver().upstream_buses.size(), 87u);  // stopped before asking bus 88
  }
}

// Without a driver every query tries to open it again and nothing is shared.
TEST(SlotPathsTest, TheFirstOpenIsKeptAndSharedWithTheDeviceHandler) {
  for (bool driver : {true, false}) {
    SCOPED_TRACE(driver ? "driver" : "no driver");
    OutputBench bench(driver ? DriverRegistry({"\"Bus7\"=\"7,0,0,255\""}) : "");
    stPCIBusSegment seg;
    seg.usRootBusNumber = 7;
    EXPECT_EQ(bench.ctx().SharedDriverHandle.load(), 0u);
    EXPECT_EQ(mf_GetPCIBusSegmentPath(bench.ctx(), seg), driver ? 0 : 1);
    const DriverHandle first = bench.ctx().SharedDriverHandle.load();
    EXPECT_EQ(first != 0, driver);
    EXPECT_EQ(mf_GetPCIBusSegmentPath(bench.ctx(), seg), driver ? 0 : 1);
    EXPECT_EQ(bench.ctx().SharedDriverHandle.load(), first);
    EXPECT_EQ(bench.driver().opens, driver ? 1 : 2);
  }
}

// A chassis with PCI segments and, optionally, PXI-1 segments.
stPXISys Chassis(bool with_pxi1) {
  stPXISys sys;
  stPCIBusSegment pci0;
  pci0.vecIDSELName = {u"31", u"30"};
  pci0.vecIDSELValue = {u"Slot2", u"Slot3"};
  stPCIBusSegment pci1;
  pci1.vecIDSELName = {u"abc", u"-5", u"99999", u"16", u"29"};
  pci1.vecIDSELValue = {u"Slot4", u"Slot5", u"Slot6", u"Slot7", u"slot8"};
  sys.vecPCIBusSegment = {pci0, pci1};
  if (with_pxi1) {
    stPXI1BusSegment a;
    a.vecIDSELName = {u"20"};
    a.vecIDSELValue = {u""};
    stPXI1BusSegment b;
    b.vecIDSELName = {u"25", u" +27x", u"26"};
    b.vecIDSELValue = {u"Slot3", u"Slot9", u"Slot3"};
    sys.vecPXI1BusSegment = {a, b};
  }
  for (const char16_t* name : {u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9"}) {
    stSlot slot;
    slot.szName = name;
    sys.vecSlot.push_back(slot);
  }
  return sys;
}

struct SlotCase {
  bool with_pxi1;
  const char16_t* slot;
  std::uint16_t device;   // 0xBEEF: unchanged
  std::uint16_t segment;  // 0xBEEF: unchanged
};

TEST(SlotPathsTest, SlotSearchCases) {
  const SlotCase cases[] = {
      {false, u"2", 15, 0},          {false, u"3", 14, 0},
      {false, u"4", 65520, 1},       // "abc" reads as 0
      {false, u"5", 65515, 1},       // -5 - 16
      {false, u"6", 34447, 1},       // 99999 - 16, cut to 16 bits
      {false, u"7", 0, 1},           {false, u"8", 0xBEEF, 0xBEEF},  // "slot8": case matters
      {false, u"1", 0xBEEF, 0xBEEF}, {false, u"9", 0xBEEF, 0xBEEF},
      // With PXI-1 segments only they are searched; the first match decides.
      {true, u"3", 9, 1},            {true, u"9", 11, 1},
      {true, u"2", 0xBEEF, 0xBEEF},
  };
  for (const SlotCase& c : cases) {
    SCOPED_TRACE(ToUtf8(c.slot) + (c.with_pxi1 ? " with PXI-1" : ""));
    OutputBench bench;
    bench.ctx().vecPXISys = {stPXISys(), Chassis(c.with_pxi1)};
    stSlot slot;
    slot.szName = c.slot;
    std::uint16_t device = 0xBEEF, segment = 0xBEEF;
    mf_GetSlotDeviceNumber(bench.ctx(), 1, slot, device);
    mf_GetSlotBusSegment(bench.ctx(), 1, slot, segment);
    EXPECT_EQ(device, c.device);
    EXPECT_EQ(segment, c.segment);
    // Another chassis position does not see these segments.
    std::uint16_t other = 0xBEEF;
    mf_GetSlotDeviceNumber(bench.ctx(), 0, slot, other);
    mf_GetSlotDeviceNumber(bench.ctx(), 2, slot, other);
    EXPECT_EQ(other, 0xBEEF);
  }
}

TEST(SlotPathsTest, MarkingUsesTheKindInUseAndNeverClears) {
  OutputBench bench;
  bench.ctx().vecPXISys = {Chassis(false), Chassis(true)};
  bench.ctx().vecPXISys[1].vecSlot[0].bSlotMapped = 1;  // set before: stays
  mf_MarkMappedSlots(bench.ctx(), 0);
  mf_MarkMappedSlots(bench.ctx(), 1);
  mf_MarkMappedSlots(bench.ctx(), 2);
  std::string pci, pxi1;
  for (const stSlot& s : bench.ctx().vecPXISys[0].vecSlot) pci += s.bSlotMapped ? '1' : '0';
  for (const stSlot& s : bench.ctx().vecPXISys[1].vecSlot) pxi1 += s.bSlotMapped ? '1' : '0';
  EXPECT_EQ(pci, "011111100");   // slots 2..7; "slot8" does not name slot 8
  EXPECT_EQ(pxi1, "101000001");  // slot 1 kept; slots 3 and 9 of the PXI-1 segments
}

}  // namespace
}  // namespace ztrm
