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

TextList Texts(std::initializer_list<const char*> items) {
  TextList out;
  for (const char* item : items) out.emplace_back(W(item));
  return out;
}

const stPXISys& ParseOne(ChassisBench& bench, const std::string& bytes) {
  bench.WriteC(kFile, bytes);
  ParseChassisDescription(bench.Context(), kPath);
  EXPECT_EQ(bench.Context().vecPXISys.size(), 1u);
  return bench.Context().vecPXISys.back();
}

// ---- A whole description, field by field -------------------------------------

const std::vector<std::string> kFullDescription = {
    "[Version]",
    "Specification = \"PXI-2\"",
    "Major = 2",
    "Minor = 3",
    "",
    "[Chassis]",
    "Vendor = \"ZELTRO Technology\"",
    "Model = \"ZT-1018\"",
    "PCIBusSegmentList = 1,2",
    "TriggerBusList = 1,2",
    "TriggerBridgeList = 1",
    "LineMappingSpecList = 1",
    "StarSystemTimingSetList = A",
    "StarTriggerList = 1",
    "SlotList = 1,2,3,4",
    "PXI1BusSegmentList = 9",
    "",
    "[PCIBusSegment1]",
    "SlotList = 1,2",
    "BridgeList = 0",
    "IDSELList = 1,2",
    "IDSEL1 = AD31",
    "IDSEL2 = AD30",
    "",
    "[PCIBusSegment2]",
    "SlotList = 3,4",
    "BridgeList = 1",
    "IDSELList = 3,4,5",
    "IDSEL3 = AD29",
    "IDSEL5 = \"AD27\"",
    "",
    "[PXI1BusSegment9]",
    "SlotList = 4",
    "IDSELList = 4",
    "IDSEL4 = AD28",
    "",
    "[TriggerBus1]",
    "SlotList = 1,2",
    "[TriggerBus2]",
    "SlotList = 3,,4,",
    "",
    "[TriggerBridge1]",
    "SourceTriggerBus = 1",
    "DestinationTriggerBus = 2",
    "LineMappingSpec = 1",
    "",
    "[LineMappingSpec1]",
    "PXI_TRIG0 = 0",
    "PXI_TRIG3 =",
    "PXI_TRIG7 = 7",
    "PXI_TRIG8 = 8",
    "",
    "[StarSystemTimingSetsA]",
    "SystemTimingSlot = 2",
    "StarSystemTimingSet0 = 3,4",
    "StarSystemTimingSet15 = 4",
    "StarSystemTimingSet16 = 5",
    "",
    "[StarTrigger1]",
    "SystemTimingSlot = 2",
    "ControllerSlot = 1",
    "PXI_STAR0 = 3",
    "PXI_STAR5 = 4",
    "PXI_STAR16 = 9",
    "PXI_STAR17 = 10",
    "",
    "[Slot1]",
    "IDSEL = AD31",
    "LocalBusLeft = None",
    "LocalBusRight = 2",
    "ExternalBackplaneInterface = None",
    "[Slot2]",
    "IDSEL = AD30",
    "LocalBusLeft = 1",
    "LocalBusRight = 3",
    "[Slot4]",
    "IDSEL = AD28",
};

stPXISys ExpectedFullRecord() {
  stPXISys s;
  s.Specification = u"PXI-2";
  s.Major = u"2";
  s.Minor = u"3";
  s.Vendor = u"ZELTRO Technology";
  s.Model = u"ZT-1018";
  s.PCIBusSegmentList = u"1,2";
  s.SlotList = u"1,2,3,4";
  s.TriggerBusList = u"1,2";
  s.StarTriggerList = u"1";
  s.TriggerBridgeList = u"1";
  s.LineMappingSpecList = u"1";
  s.StarSystemTimingSetList = u"A";
  s.PXI1BusSegmentList = u"9";

  stPCIBusSegment seg1;
  seg1.szName = u"1";
  seg1.SlotList = u"1,2";
  seg1.BridgeList = u"0";
  seg1.IDSELList = u"1,2";
  seg1.vecIDSELName = Texts({"1", "2"});
  seg1.vecIDSELValue = Texts({"AD31", "AD30"});
  stPCIBusSegment seg2;
  seg2.szName = u"2";
  seg2.SlotList = u"3,4";
  seg2.BridgeList = u"1";
  seg2.IDSELList = u"3,4,5";
  seg2.vecIDSELName = Texts({"3", "4", "5"});
  seg2.vecIDSELValue = Texts({"AD29", "", "AD27"});  // IDSEL4 is missing
  s.vecPCIBusSegment = {seg1, seg2};

  stTriggerBridge bridge;
  bridge.szName = u"1";
  bridge.SourceTriggerBus = u"1";
  bridge.DestinationTriggerBus = u"2";
  bridge.LineMappingSpec = u"1";
  s.vecTriggerBridge = {bridge};

  stTriggerBus bus1;
  bus1.szName = u"1";
  bus1.SlotList = u"1,2";
  bus1.vecSlotName = Texts({"1", "2"});
  stTriggerBus bus2;
  bus2.szName = u"2";
  bus2.SlotList = u"3,,4,";
  bus2.vecSlotName = Texts({"3", "4"});
  s.vecTriggerBus = {bus1, bus2};

  stSlot slot1;
  slot1.szName = u"1";
  slot1.IDSEL = u"AD31";
  slot1.LocalBusLeft = u"None";
  slot1.LocalBusRight = u"2";
  slot1.ExternalBackplaneInterface = u"None";
  stSlot slot2;
  slot2.szName = u"2";
  slot2.IDSEL = u"AD30";
  slot2.LocalBusLeft = u"1";
  slot2.LocalBusRight = u"3";
  stSlot slot3;  // no [Slot3] section
  slot3.szName = u"3";
  stSlot slot4;
  slot4.szName = u"4";
  slot4.IDSEL = u"AD28";
  s.vecSlot = {slot1, slot2, slot3, slot4};

  stStarSystemTimingSet set;
  set.szName = u"A";
  set.SystemTimingSlot = u"2";
  set.vecSetNumber = Texts({"0", "15"});
  set.vecSetValue = Texts({"3,4", "4"});
  s.vecStarSystemTimingSet = {set};

  stStarTrigger star;
  star.szName = u"1";
  star.SystemTimingSlot = u"2";
  star.ControllerSlot = u"1";
  star.vecStarLine = Texts({"0", "5", "16"});
  star.vecStarSlot = Texts({"3", "4", "9"});
  s.vecStarTrigger = {star};

  stPXI1BusSegment pxi1;
  pxi1.szName = u"9";
  pxi1.SlotList = u"4";
  pxi1.IDSELList = u"4";
  pxi1.vecIDSELName = Texts({"4"});
  pxi1.vecIDSELValue = Texts({"AD28"});
  s.vecPXI1BusSegment = {pxi1};

  stLineMappingSpec mapping;
  mapping.szName = u"1";
  mapping.vecTrigLine = Texts({"0", "7"});
  mapping.vecTrigMapping = Texts({"0", "7"});
  s.vecLineMappingSpec = {mapping};
  return s;
}

TEST(ParseChassisDescription, ReadsAWholeDescription) {
  ChassisBench bench;
  const stPXISys& got = ParseOne(bench, Crlf(kFullDescription));
  EXPECT_EQ(Render(got), Render(ExpectedFullRecord()));
}

TEST(ParseChassisDescription, LogsNothing) {
  ChassisBench bench;
  ParseOne(bench, Crlf(kFullDescription));
  ParseChassisDescription(bench.Context(), u"C:\\Desc\\missing.ini");
  EXPECT_EQ(bench.Log(), "");
}

// ---- Read order: one profile read per key, in the order of the steps --------

std::vector<std::string> Numbered(const std::string& section, const std::string& prefix, int count) {
  std::vector<std::string> keys;
  for (int n = 0; n < count; ++n) keys.push_back(section + "|" + prefix + std::to_string(n));
  return keys;
}

TEST(ParseChassisDescription, ReadsEachKeyOnceInStepOrder) {
  ChassisBench bench;
  ParseOne(bench, Crlf({"[Chassis]", "PCIBusSegmentList = 1", "TriggerBusList = 1,2",
                        "TriggerBridgeList = 1", "LineMappingSpecList = 1",
                        "StarSystemTimingSetList = 1", "StarTriggerList = 1", "SlotList = 1",
                        "PXI1BusSegmentList = 1", "[PCIBusSegment1]", "IDSELList = 1",
                        "[PXI1BusSegment1]", "IDSELList = 2"}));
  std::vector<std::string> expected = {
      "Version|Specification", "Version|Major", "Version|Minor",
      "Chassis|Model", "Chassis|Vendor", "Chassis|PCIBusSegmentList", "Chassis|TriggerBusList",
      "Chassis|TriggerBridgeList", "Chassis|LineMappingSpecList",
      "Chassis|StarSystemTimingSetList", "Chassis|StarTriggerList", "Chassis|SlotList",
      "Chassis|PXI1BusSegmentList",
      "PCIBusSegment1|SlotList", "PCIBusSegment1|BridgeList", "PCIBusSegment1|IDSELList",
      "PCIBusSegment1|IDSEL1",
      "TriggerBus1|SlotList", "TriggerBus2|SlotList",
      "StarSystemTimingSets1|SystemTimingSlot"};
  for (const std::string& key : Numbered("StarSystemTimingSets1", "StarSystemTimingSet", 16)) expected.push_back(key);
  expected.push_back("StarTrigger1|SystemTimingSlot");
  expected.push_back("StarTrigger1|ControllerSlot");
  for (const std::string& key : Numbered("StarTrigger1", "PXI_STAR", 17)) expected.push_back(key);
  for (const char* key : {"PXI1BusSegment1|SlotList", "PXI1BusSegment1|IDSELList", "PXI1BusSegment1|IDSEL2",
                          "Slot1|IDSEL", "Slot1|LocalBusLeft", "Slot1|LocalBusRight",
                          "Slot1|ExternalBackplaneInterface", "TriggerBridge1|SourceTriggerBus",
                          "TriggerBridge1|DestinationTriggerBus", "TriggerBridge1|LineMappingSpec"}) {
    expected.push_back(key);
  }
  for (const std::string& key : Numbered("LineMappingSpec1", "PXI_TRIG", 8)) expected.push_back(key);
  EXPECT_EQ(bench.profiles().ReadKeys(), expected);
  for (const RecordingProfiles::Call& call : bench.profiles().calls) {
    EXPECT_EQ(call.file, kPath);
    EXPECT_FALSE(call.write);
  }
}

TEST(ParseChassisDescription, EmptyListsReadOnlyTheChassisKeys) {
  ChassisBench bench;
  ParseOne(bench, Crlf({"[Version]", "Specification = \"S\"", "Major = 1", "Minor = 0", "[Chassis]",
                        "Vendor = \"V\"", "Model = \"M\""}));
  EXPECT_EQ(bench.profiles().ReadKeys().size(), 13u);
  stPXISys expected;
  expected.Specification = u"S";
  expected.Major = u"1";
  expected.Minor = u"0";
  expected.Vendor = u"V";
  expected.Model = u"M";
  EXPECT_EQ(Render(bench.Context().vecPXISys.back()), Render(expected));
}

// ---- Name lists and the sections they select -------------------------------

TEST(ParseChassisDescription, ABlankAfterTheCommaIsPartOfTheName) {
  ChassisBench bench;
  const stPXISys& got =
      ParseOne(bench, Crlf({"[Chassis]", "PCIBusSegmentList = 1, 2", "[PCIBusSegment1]", "SlotList = a",
                            "[PCIBusSegment 2]", "SlotList = b", "[PCIBusSegment2]", "SlotList = wrong"}));
  EXPECT_EQ(got.PCIBusSegmentList.str(), u"1, 2");
  ASSERT_EQ(got.vecPCIBusSegment.size(), 2u);
  EXPECT_EQ(got.vecPCIBusSegment[0].szName.str(), u"1");
  EXPECT_EQ(got.vecPCIBusSegment[0].SlotList.str(), u"a");
  EXPECT_EQ(got.vecPCIBusSegment[1].szName.str(), u" 2");
  EXPECT_EQ(got.vecPCIBusSegment[1].SlotList.str(), u"b");
}

TEST(ParseChassisDescription, EmptyNamesAreSkipped) {
  ChassisBench bench;
  const stPXISys& got = ParseOne(bench, Crlf({"[Chassis]", "SlotList = 1,,2,", "[Slot2]", "IDSEL = AD30"}));
  EXPECT_EQ(got.SlotList.str(), u"1,,2,");
  ASSERT_EQ(got.vecSlot.size(), 2u);
  EXPECT_EQ(got.vecSlot[0].szName.str(), u"1");
  EXPECT_EQ(got.vecSlot[0].IDSEL.str(), u"");
  EXPECT_EQ(got.vecSlot[1].szName.str(), u"2");
  EXPECT_EQ(got.vecSlot[1].IDSEL.str(), u"AD30");
}

TEST(ParseChassisDescription, NamesAreNotCheckedAgainstEachOther) {
  ChassisBench bench;
  const stPXISys& got = ParseOne(bench, Crlf({"[Chassis]", "TriggerBridgeList = 7", "[TriggerBridge7]",
                                              "SourceTriggerBus = 42", "LineMappingSpec = nowhere"}));
  ASSERT_EQ(got.vecTriggerBridge.size(), 1u);
  EXPECT_EQ(got.vecTriggerBridge[0].SourceTriggerBus.str(), u"42");
  EXPECT_EQ(got.vecTriggerBridge[0].LineMappingSpec.str(), u"nowhere");
  EXPECT_TRUE(got.vecTriggerBus.empty());
  EXPECT_TRUE(got.vecLineMappingSpec.empty());
}

// ---- Numbered keys ------------------------------------------------------------

TEST(ParseChassisDescription, StarLinesTakeOnlyValuedKeysOf0To16) {
  ChassisBench bench;
  const stPXISys& got = ParseOne(
      bench, Crlf({"[Chassis]", "StarTriggerList = 1", "[StarTrigger1]", "PXI_STAR0 = 3", "PXI_STAR5 = 8",
                   "PXI_STAR17 = 99", "PXI_STAR05 = 77", "PXI_STAR-1 = 66"}));
  ASSERT_EQ(got.vecStarTrigger.size(), 1u);
  EXPECT_EQ(got.vecStarTrigger[0].vecStarLine, Texts({"0", "5"}));
  EXPECT_EQ(got.vecStarTrigger[0].vecStarSlot, Texts({"3", "8"}));
}

TEST(ParseChassisDescription, AnEmptyTriggerMappingIsSkipped) {
  ChassisBench bench;
  const stPXISys& got = ParseOne(bench, Crlf({"[Chassis]", "LineMappingSpecList = 1", "[LineMappingSpec1]",
                                              "PXI_TRIG1 = 2", "PXI_TRIG3 =", "PXI_TRIG4 = \"\"",
                                              "PXI_TRIG6 = 5"}));
  ASSERT_EQ(got.vecLineMappingSpec.size(), 1u);
  EXPECT_EQ(got.vecLineMappingSpec[0].vecTrigLine, Texts({"1", "6"}));
  EXPECT_EQ(got.vecLineMappingSpec[0].vecTrigMapping, Texts({"2", "5"}));
}

TEST(ParseChassisDescription, AMissingIdselKeyKeepsTheListsParallel) {
  ChassisBench bench;
  const stPXISys& got = ParseOne(bench, Crlf({"[Chassis]", "PXI1BusSegmentList = 1", "[PXI1BusSegment1]",
                                              "IDSELList = 1,2,3", "IDSEL1 = AD31", "IDSEL3 = AD29"}));
  ASSERT_EQ(got.vecPXI1BusSegment.size(), 1u);
  EXPECT_EQ(got.vecPXI1BusSegment[0].vecIDSELName, Texts({"1", "2", "3"}));
  EXPECT_EQ(got.vecPXI1BusSegment[0].vecIDSELValue, Texts({"AD31", "", "AD29"}));
}

// ---- Files that give nothing ------------------------------------------------

TEST(ParseChassisDescription, AMissingFileAppendsAnEmptyRecord) {
  ChassisBench bench;
  ParseChassisDescription(bench.Context(), u"C:\\Desc\\missing.ini");
  ASSERT_EQ(bench.Context().vecPXISys.size(), 1u);
  EXPECT_EQ(Render(bench.Context().vecPXISys[0]), Render(stPXISys()));
}

TEST(ParseChassisDescription, AFolderAppendsAnEmptyRecord) {
  ChassisBench bench;
  bench.image.MakeFolder("drive_c/Desc/folder.ini");
  ParseChassisDescription(bench.Context(), u"C:\\Desc\\folder.ini");
  ASSERT_EQ(bench.Context().vecPXISys.size(), 1u);
  EXPECT_EQ(Render(bench.Context().vecPXISys[0]), Render(stPXISys()));
}

TEST(ParseChassisDescription, EachCallAppendsExactlyOneRecord) {
  ChassisBench bench;
  bench.WriteC(kFile, Crlf({"[Chassis]", "Model = \"first\""}));
  ParseChassisDescription(bench.Context(), kPath);
  ParseChassisDescription(bench.Context(), u"C:\\Desc\\missing.ini");
  ParseChassisDescription(bench.Context(), kPath);
  ASSERT_EQ(bench.Context().vecPXISys.size(), 3u);
  EXPECT_EQ(bench.Context().vecPXISys[0].Model.str(), u"first");
  EXPECT_EQ(bench.Context().vecPXISys[1].Model.str(), u"");
  EXPECT_EQ(bench.Context().vecPXISys[2].Model.str(), u"first");
}

// ---- Bad input ----------------------------------------------------------------

TEST(ParseChassisDescription, ValuesAreCutTo259Units) {
  ChassisBench bench;
  std::string list = std::string(300, 'x');
  const stPXISys& got = ParseOne(bench, Crlf({"[Chassis]", "Vendor = " + std::string(400, 'v'), "SlotList = " + list}));
  EXPECT_EQ(got.Vendor.str(), WString(259, u'v'));
  EXPECT_EQ(got.SlotList.str(), WString(259, u'x'));
  ASSERT_EQ(got.vecSlot.size(), 1u);
  EXPECT_EQ(got.vecSlot[0].szName.str(), WString(259, u'x'));
}

TEST(ParseChassisDescription, AUtf16DescriptionIsReadLikeAnother) {
  std::string text = Crlf({"[Chassis]", "Vendor = \"ZELTRO Technology\"", "SlotList = 1", "[Slot1]", "IDSEL = AD31"});
  std::string bytes = "\xff\xfe";
  for (char c : text) {
    bytes.push_back(c);
    bytes.push_back('\0');
  }
  ChassisBench bench;
  const stPXISys& got = ParseOne(bench, bytes);
  EXPECT_EQ(got.Vendor.str(), u"ZELTRO Technology");
  ASSERT_EQ(got.vecSlot.size(), 1u);
  EXPECT_EQ(got.vecSlot[0].IDSEL.str(), u"AD31");
}

TEST(ParseChassisDescription, BinaryJunkGivesARecordAllTheSame) {
  std::string bytes;
  unsigned state = 777;
  for (int i = 0; i < 100000; ++i) {
    state = state * 1103515245u + 12345u;
    bytes.push_back(static_cast<char>(state >> 16));
  }
  bytes += "\r\n[Chassis]\r\nModel = \"after junk\"\r\n";
  ChassisBench bench;
  const stPXISys& got = ParseOne(bench, bytes);
  EXPECT_EQ(got.Model.str(), u"after junk");
}

TEST(ParseChassisDescription, TenThousandSectionsAndAMegabyteLine) {
  std::string bytes = std::string(1 << 20, 'j') + "\r\n[Chassis]\r\nSlotList = 9999\r\n";
  for (int i = 0; i < 10000; ++i) bytes += "[Slot" + std::to_string(i) + "]\r\nIDSEL = AD" + std::to_string(i) + "\r\n";
  ChassisBench bench;
  const stPXISys& got = ParseOne(bench, bytes);
  ASSERT_EQ(got.vecSlot.size(), 1u);
  EXPECT_EQ(got.vecSlot[0].IDSEL.str(), u"AD9999");
}

// ---- Records are values ---------------------------------------------------------

TEST(ChassisRecords, CopyingARecordCopiesItsLists) {
  stPXISys original = ExpectedFullRecord();
  stPXISys copy = original;
  copy.vecPCIBusSegment[1].vecIDSELValue[1] = u"changed";
  copy.vecSlot.clear();
  EXPECT_EQ(original.vecPCIBusSegment[1].vecIDSELValue[1].str(), u"");
  EXPECT_EQ(original.vecSlot.size(), 4u);
  EXPECT_EQ(Render(original), Render(ExpectedFullRecord()));
}

}  // namespace
}  // namespace ztrm
