#include "chassis/description_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/chassis_test_support.h"

namespace ztrm {
namespace {

constexpr char16_t kPath[] = u"C:\\Desc\\zt1018.ini";
constexpr char kFile[] = "Desc/zt1018.ini";

std::string Crlf(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += line + "\r\n";
  return out;
}

const stPXISys& ParseOne(StageBench& bench, const std::string& bytes) {
  bench.WriteC(kFile, bytes);
  ParseChassisDescription(bench.Context(), kPath);
  EXPECT_EQ(bench.Context().vecPXISys.size(), 1u);
  return bench.Context().vecPXISys.back();
}

// A whole description. Among its oddities: a blank after a list comma is part
// of the name (section "PCIBusSegment 2"), empty names are skipped, missing
// IDSEL keys keep the lists parallel, numbered keys beyond their range or
// without a value are left out, and names are not checked against each other
// (the bridge names a line mapping that does not exist).
const std::vector<std::string> kFullDescription = {
    "[Version]", "Specification = \"PXI-2\"", "Major = 2", "Minor = 3",
    "[Chassis]", "Vendor = \"ZELTRO Technology\"", "Model = \"ZT-1018\"",
    "PCIBusSegmentList = 1, 2", "TriggerBusList = 1,2", "TriggerBridgeList = 1",
    "LineMappingSpecList = 1", "StarSystemTimingSetList = A", "StarTriggerList = 1",
    "SlotList = 1,2,3,4", "PXI1BusSegmentList = 9",
    "[PCIBusSegment1]", "SlotList = 1,2", "BridgeList = 0", "IDSELList = 1,2", "IDSEL1 = AD31",
    "IDSEL2 = AD30",
    "[PCIBusSegment 2]", "SlotList = 3,4", "BridgeList = 1", "IDSELList = 3,4,5", "IDSEL3 = AD29",
    "IDSEL5 = \"AD27\"",
    "[PXI1BusSegment9]", "SlotList = 4", "IDSELList = 4,6", "IDSEL4 = AD28",
    "[TriggerBus1]", "SlotList = 1,2", "[TriggerBus2]", "SlotList = 3,,4,",
    "[TriggerBridge1]", "SourceTriggerBus = 1", "DestinationTriggerBus = 2", "LineMappingSpec = 7",
    "[LineMappingSpec1]", "PXI_TRIG0 = 0", "PXI_TRIG3 =", "PXI_TRIG7 = 7", "PXI_TRIG8 = 8",
    "[StarSystemTimingSetsA]", "SystemTimingSlot = 2", "StarSystemTimingSet0 = 3,4",
    "StarSystemTimingSet15 = 4", "StarSystemTimingSet16 = 5",
    "[StarTrigger1]", "SystemTimingSlot = 2", "ControllerSlot = 1", "PXI_STAR0 = 3", "PXI_STAR5 = 4",
    "PXI_STAR16 = 9", "PXI_STAR17 = 10",
    "[Slot1]", "IDSEL = AD31", "LocalBusLeft = None", "LocalBusRight = 2",
    "ExternalBackplaneInterface = None",
    "[Slot2]", "IDSEL = AD30", "LocalBusLeft = 1", "LocalBusRight = 3",
    "[Slot4]", "IDSEL = AD28",
};

stPXISys ExpectedFullRecord() {
  stPXISys s;
  s.Specification = u"PXI-2";
  s.Major = u"2";
  s.Minor = u"3";
  s.Vendor = u"ZELTRO Technology";
  s.Model = u"ZT-1018";
  s.PCIBusSegmentList = u"1, 2";
  s.SlotList = u"1,2,3,4";
  s.TriggerBusList = u"1,2";
  s.StarTriggerList = u"1";
  s.TriggerBridgeList = u"1";
  s.LineMappingSpecList = u"1";
  s.StarSystemTimingSetList = u"A";
  s.PXI1BusSegmentList = u"9";
  s.vecPCIBusSegment = {
      stPCIBusSegment{u"1", u"1,2", u"0", u"1,2", {u"1", u"2"}, {u"AD31", u"AD30"}, 0, {}, {}},
      stPCIBusSegment{u" 2", u"3,4", u"1", u"3,4,5", {u"3", u"4", u"5"}, {u"AD29", u"", u"AD27"}, 0, {}, {}}};
  s.vecTriggerBridge = {stTriggerBridge{u"1", u"1", u"2", u"7"}};
  s.vecTriggerBus = {stTriggerBus{u"1", u"1,2", {u"1", u"2"}}, stTriggerBus{u"2", u"3,,4,", {u"3", u"4"}}};
  s.vecSlot = {stSlot{u"1", u"AD31", u"None", u"2", u"None", 0}, stSlot{u"2", u"AD30", u"1", u"3", {}, 0},
               stSlot{u"3", {}, {}, {}, {}, 0}, stSlot{u"4", u"AD28", {}, {}, {}, 0}};
  s.vecStarSystemTimingSet = {stStarSystemTimingSet{u"A", u"2", {u"0", u"15"}, {u"3,4", u"4"}}};
  s.vecStarTrigger = {stStarTrigger{u"1", u"2", u"1", {u"0", u"5", u"16"}, {u"3", u"4", u"9"}}};
  s.vecPXI1BusSegment = {stPXI1BusSegment{u"9", u"4", u"4,6", {u"4", u"6"}, {u"AD28", u""}, 0, {}, {}}};
  s.vecLineMappingSpec = {stLineMappingSpec{u"1", {u"0", u"7"}, {u"0", u"7"}}};
  return s;
}

TEST(ParseChassisDescription, ReadsAWholeDescription) {
  StageBench bench;
  const stPXISys& got = ParseOne(bench, Crlf(kFullDescription));
  EXPECT_EQ(Render(got), Render(ExpectedFullRecord()));
}

TEST(ParseChassisDescription, EmptyListsReadOnlyTheChassisKeys) {
  StageBench bench;
  const stPXISys& got = ParseOne(bench, Crlf({"[Version]", "Specification = \"S\"", "Major = 1", "Minor = 0",
                                              "[Chassis]", "Vendor = \"V\"", "Model = \"M\""}));
  EXPECT_EQ(bench.profiles().calls.size(), 13u);  // reads only: parsing writes nothing
  stPXISys expected;
  expected.Specification = u"S";
  expected.Major = u"1";
  expected.Minor = u"0";
  expected.Vendor = u"V";
  expected.Model = u"M";
  EXPECT_EQ(Render(got), Render(expected));
}

std::string Junk() {
  std::string bytes;
  unsigned state = 777;
  for (int i = 0; i < 100000; ++i) {
    state = state * 1103515245u + 12345u;
    bytes.push_back(static_cast<char>(state >> 16));
  }
  return bytes;
}

std::string TenThousandSlotSections() {
  std::string bytes = std::string(1 << 20, 'j') + "\r\n[Chassis]\r\nModel = \"M\"\r\nSlotList = 9999\r\n";
  for (int i = 0; i < 10000; ++i) bytes += "[Slot" + std::to_string(i) + "]\r\nIDSEL = AD" + std::to_string(i) + "\r\n";
  return bytes;
}

TEST(ParseChassisDescription, OddFilesAreReadLikeAnother) {
  const std::string text = "[Chassis]\r\nModel = \"M\"\r\nSlotList = 1\r\n[Slot1]\r\nIDSEL = AD31\r\n";
  const struct {
    const char* name;
    std::string bytes;
    const char16_t* idsel;  // of the only slot
  } cases[] = {
      {"UTF-16", Utf16Le(text), u"AD31"},
      {"binary junk before the lines", Junk() + "\r\n" + text, u"AD31"},
      {"a megabyte line and ten thousand sections", TenThousandSlotSections(), u"AD9999"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StageBench bench;
    const stPXISys& got = ParseOne(bench, c.bytes);
    EXPECT_EQ(got.Model.str(), u"M");
    ASSERT_EQ(got.vecSlot.size(), 1u);
    EXPECT_EQ(got.vecSlot[0].IDSEL.str(), c.idsel);
  }
}

}  // namespace
}  // namespace ztrm
