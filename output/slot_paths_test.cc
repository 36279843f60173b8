#include "output/slot_paths.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "tests/stage_bench.h"

namespace ztrm {
namespace {

struct WalkCase {
  const char* what;
  std::vector<std::string> parameters;  // the simulated driver's answers
  std::uint16_t bus;
  bool pxi1;
  int result;
  const char16_t* path;     // expected szPCIPath ("old" when unchanged)
  const char16_t* root;     // expected szBusNumber
  std::vector<int> asked;   // buses asked, in order
};

std::vector<WalkCase> WalkCases() {
  return {
      {"bus 0xFF: nothing to do", {"\"Bus255\"=\"1,1,1,255\""}, 0xFF, false, 0, u"old",
       u"old", {}},
      {"segment on a root bus", {"\"Bus7\"=\"7,0,0,255\""}, 7, false, 0, u"", u"7", {7}},
      {"bus 5 behind one bridge, PCI", {"\"Bus5\"=\"3,3,0,0\"", "\"Bus3\"=\"0,1,0,255\""}, 5,
       false, 0, u",18", u"0", {5, 3}},
      {"PXI-1: [0,0,0,0] ends at once", {"\"Bus4\"=\"0,0,0,0\""}, 4, true, 0, u"", u"0", {4}},
      {"a bus pointing at itself is given up", {"\"Bus5\"=\"5,3,0,0\""}, 5, false, 2, u"old",
       u"old", {5}},
      {"two buses pointing at each other", {"\"Bus5\"=\"6,1,0,0\"", "\"Bus6\"=\"5,2,0,0\""},
       5, false, 2, u"old", u"old", {5, 6}},
  };
}

TEST(SlotPathsTest, SegmentWalkCases) {
  for (const WalkCase& c : WalkCases()) {
    SCOPED_TRACE(c.what);
    StageBench bench(DriverRegistry(c.parameters));
    auto walk = [&](auto seg, auto get) {
      seg.usRootBusNumber = c.bus;
      seg.szPCIPath = u"old";
      seg.szBusNumber = u"old";
      const int result = get(bench.Context(), seg, nullptr);
      return std::tuple{result, seg.szPCIPath.str(), seg.szBusNumber.str()};
    };
    const auto [result, path, root] = c.pxi1 ? walk(stPXI1BusSegment{}, mf_GetPXI1BusSegmentPath)
                                             : walk(stPCIBusSegment{}, mf_GetPCIBusSegmentPath);
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(path, c.path);
    EXPECT_EQ(root, c.root);
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

// 86 bridges give a path of 258 characters; one more would pass 259.
TEST(SlotPathsTest, BridgeChainsFitThePathUpTo86Bridges) {
  WString path;
  for (int i = 0; i < 86; ++i) path += u",E0";
  for (int bridges : {86, 87}) {
    SCOPED_TRACE(bridges);
    const bool fits = bridges == 86;
    StageBench bench(DriverRegistry(Chain(bridges)));
    stPXI1BusSegment seg;
    seg.usRootBusNumber = 1;
    EXPECT_EQ(mf_GetPXI1BusSegmentPath(bench.Context(), seg), fits ? 0 : 2);
    EXPECT_EQ(seg.szPCIPath, WStringView(fits ? path : WString()));
    EXPECT_EQ(seg.szBusNumber, WStringView(fits ? u"200" : u""));
    EXPECT_EQ(bench.driver().upstream_buses.size(), 87u);  // 87 bridges: bus 88 is not asked
  }
}

// Without a driver every query tries to open it again and nothing is shared.
TEST(SlotPathsTest, TheFirstOpenIsKeptAndSharedWithTheDeviceHandler) {
  for (bool driver : {true, false}) {
    SCOPED_TRACE(driver ? "driver" : "no driver");
    StageBench bench(driver ? DriverRegistry({"\"Bus7\"=\"7,0,0,255\""}) : "");
    stPCIBusSegment seg;
    seg.usRootBusNumber = 7;
    EXPECT_EQ(bench.Context().SharedDriverHandle.load(), 0u);
    EXPECT_EQ(mf_GetPCIBusSegmentPath(bench.Context(), seg), driver ? 0 : 1);
    const DriverHandle first = bench.Context().SharedDriverHandle.load();
    EXPECT_EQ(first != 0, driver);
    EXPECT_EQ(mf_GetPCIBusSegmentPath(bench.Context(), seg), driver ? 0 : 1);
    EXPECT_EQ(bench.Context().SharedDriverHandle.load(), first);
    EXPECT_EQ(bench.driver().opens, driver ? 1 : 2);
  }
}

// IDSEL values name slots with case: "slot8" is not slot 8.
TEST(SlotPathsTest, SlotSearchCases) {
  stPXISys sys;
  stPCIBusSegment segment;
  segment.vecIDSELName = {u"31", u"29"};
  segment.vecIDSELValue = {u"Slot2", u"slot8"};
  sys.vecPCIBusSegment = {segment};
  for (const auto& [name, device, found] : {std::tuple{u"2", 15, 0}, std::tuple{u"8", 0xBEEF, 0xBEEF}}) {
    SCOPED_TRACE(ToUtf8(name));
    StageBench bench;
    bench.Context().vecPXISys = {sys};
    stSlot slot;
    slot.szName = name;
    std::uint16_t got_device = 0xBEEF, got_segment = 0xBEEF;
    mf_GetSlotDeviceNumber(bench.Context(), 0, slot, got_device);
    mf_GetSlotBusSegment(bench.Context(), 0, slot, got_segment);
    EXPECT_EQ(got_device, device);
    EXPECT_EQ(got_segment, found);
  }
}

}  // namespace
}  // namespace ztrm
