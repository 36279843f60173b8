#include "chassis/chassis_mapping.h"

#include <gtest/gtest.h>

#include "chassis/description_discovery.h"
#include "tests/chassis_test_support.h"
#include "tests/output_test_files.h"

namespace ztrm {
namespace {

// A listed file whose raw lines are given; the file on disk is the same
// description with `segments` PCI bus segments named 1..n.
stChassisDescFile Listed(StageBench& bench, const std::string& name, const std::string& vendor_line,
                         const std::string& model_line, int segments) {
  std::string list;
  std::string sections;
  for (int i = 1; i <= segments; ++i) {
    list += (i > 1 ? "," : "") + std::to_string(i);
    sections += "[PCIBusSegment" + std::to_string(i) + "]\r\nSlotList = " + std::to_string(i) + "\r\n";
  }
  bench.WriteC("Desc/" + name, "[Chassis]\r\nVendor = \"From " + name + "\"\r\nPCIBusSegmentList = " + list +
                                   "\r\nPXI1BusSegmentList = 7\r\n" + sections);
  return ListedFile(name, vendor_line, model_line, static_cast<std::uint32_t>(segments));
}

// ---- Which vendor lines match ------------------------------------------------

TEST(ChassisMatchTest, ComparesWholeLinesUnitByUnit) {
  const struct {
    const char* vendor_line;
    const char* model_line;
    bool matches;
  } cases[] = {{"Vendor = \"Acme\"\n", "Model = \"M1\"\n", true},
               {"Vendor=\"Acme\"\n", "Model = \"M1\"\n", false},
               {"Vendor = \"Acme\" \n", "Model = \"M1\"\n", false},
               {"Vendor = \"Acme\"\n", "Model = \"M1\"", false}};
  for (const auto& c : cases) {
    StageBench bench;
    RunContext& ctx = bench.Context();
    ctx.vecChassisDescFile.push_back(Listed(bench, "a.ini", c.vendor_line, c.model_line, 1));
    EXPECT_EQ(MapPXIeChassis(ctx, u"Acme", u"M1"), c.matches ? 1u : 0u) << c.vendor_line << c.model_line;
    EXPECT_EQ(ctx.vecPXISys.size(), c.matches ? 1u : 0u);
  }
}

// ---- The PXI Express path --------------------------------------------------------

// The first match in listing order wins.
TEST(MapPXIeChassis, AppendsTheParsedRecordMarkedAsPXIe) {
  StageBench bench;
  RunContext& ctx = bench.Context();
  ctx.vecChassisDescFile.push_back(Listed(bench, "other.ini", "Vendor = \"Other\"\n", "Model = \"M1\"\n", 1));
  ctx.vecChassisDescFile.push_back(Listed(bench, "acme.ini", "Vendor = \"Acme\"\n", "Model = \"M1\"\n", 3));
  ctx.vecChassisDescFile.push_back(Listed(bench, "second.ini", "Vendor = \"Acme\"\n", "Model = \"M1\"\n", 4));
  EXPECT_EQ(MapPXIeChassis(ctx, u"Acme", u"M1"), 3u);
  EXPECT_EQ(bench.Log(), CrLf("ChassisModule_Mapping_File = SUCCESS(C:\\Desc\\acme.ini)\r\n"
                              "ChassisModule_PCIBusRootCount = 3\r\n"));
  ASSERT_EQ(ctx.vecPXISys.size(), 1u);
  const stPXISys& sys = ctx.vecPXISys[0];
  EXPECT_EQ(sys.Vendor.str(), u"From acme.ini");
  EXPECT_EQ(sys.szDescriptionFile.str(), u"acme.ini");
  EXPECT_EQ(sys.bPXIe, 1);
  EXPECT_EQ(sys.bPXI1, 0);
  // Chassis ID, index and bus numbers come later, from bus-range assignment.
  EXPECT_EQ(sys.usChassisID, 0);
  EXPECT_EQ(sys.dwChassisIndex, 0u);
  ASSERT_EQ(sys.vecPCIBusSegment.size(), 3u);
  for (const stPCIBusSegment& segment : sys.vecPCIBusSegment) EXPECT_EQ(segment.usRootBusNumber, 0);
}

TEST(ChassisMapping, NoMatchChangesNothingAndLogsNothing) {
  StageBench bench;
  RunContext& ctx = bench.Context();
  ctx.vecChassisDescFile.push_back(Listed(bench, "a.ini", "Vendor = \"Acme\"\n", "Model = \"M1\"\n", 2));
  ctx.vecPXISys.emplace_back();
  EXPECT_EQ(MapPXIeChassis(ctx, u"Acme", u"M9"), 0u);
  EXPECT_EQ(MapPXI1Chassis(ctx, u"Acme", u"Other", 1, 1), 0u);
  EXPECT_EQ(ctx.vecPXISys.size(), 1u);
  EXPECT_EQ(bench.Log(), "");
  EXPECT_TRUE(bench.profiles().calls.empty());
}

TEST(MapPXIeChassis, AnUnreadableMatchStillAppendsAnEmptyRecord) {
  StageBench bench;
  RunContext& ctx = bench.Context();
  ctx.vecChassisDescFile.push_back(ListedFile("gone.ini", "Vendor = \"Acme\"\n", "Model = \"M1\"\n", 2));
  EXPECT_EQ(MapPXIeChassis(ctx, u"Acme", u"M1"), 2u);
  ASSERT_EQ(ctx.vecPXISys.size(), 1u);
  stPXISys expected;
  expected.szDescriptionFile = u"gone.ini";
  expected.bPXIe = 1;
  EXPECT_EQ(Render(ctx.vecPXISys[0]), Render(expected));
}

// ---- The PXI-1 path ---------------------------------------------------------------

TEST(MapPXI1Chassis, NumbersThePCISegmentsFromTheRootBus) {
  StageBench bench;
  RunContext& ctx = bench.Context();
  ctx.vecChassisDescFile.push_back(Listed(bench, "zt.ini", "Vendor = \"ZELTRO\"\n", "Model = \"ZT-1018\"\n", 3));
  EXPECT_EQ(MapPXI1Chassis(ctx, u"ZELTRO", u"ZT-1018", 5, 2), 3u);
  ASSERT_EQ(ctx.vecPXISys.size(), 1u);
  const stPXISys& sys = ctx.vecPXISys[0];
  ASSERT_EQ(sys.vecPCIBusSegment.size(), 3u);
  EXPECT_EQ(sys.vecPCIBusSegment[0].usRootBusNumber, 5);
  EXPECT_EQ(sys.vecPCIBusSegment[1].usRootBusNumber, 6);
  EXPECT_EQ(sys.vecPCIBusSegment[2].usRootBusNumber, 7);
  // PXI-1 bus segment sections are left as parsed.
  ASSERT_EQ(sys.vecPXI1BusSegment.size(), 1u);
  EXPECT_EQ(sys.vecPXI1BusSegment[0].usRootBusNumber, 0);
  EXPECT_EQ(sys.usChassisID, 2);
  EXPECT_EQ(sys.dwChassisIndex, 1u);
  EXPECT_EQ(sys.szDescriptionFile.str(), u"zt.ini");
  EXPECT_EQ(sys.bPXIe, 0);
  EXPECT_EQ(sys.bPXI1, 1);
  EXPECT_EQ(bench.Log(), CrLf("ChassisModule_Mapping_File = SUCCESS(C:\\Desc\\zt.ini)\r\n"
                              "ChassisModule_PCIBusRootCount = 3\r\n"));
  // The numbers keep their low 16 bits: 65535 is followed by 0.
  ctx.vecChassisDescFile.push_back(Listed(bench, "two.ini", "Vendor = \"Z\"\n", "Model = \"M\"\n", 2));
  MapPXI1Chassis(ctx, u"Z", u"M", 65535, 3);
  ASSERT_EQ(ctx.vecPXISys.size(), 2u);
  EXPECT_EQ(ctx.vecPXISys[1].vecPCIBusSegment.at(0).usRootBusNumber, 65535);
  EXPECT_EQ(ctx.vecPXISys[1].vecPCIBusSegment.at(1).usRootBusNumber, 0);
}

TEST(MapPXI1Chassis, AfterThreePXIeRecordsTheIndexIs4) {
  StageBench bench;
  RunContext& ctx = bench.Context();
  ctx.vecChassisDescFile.push_back(Listed(bench, "e.ini", "Vendor = \"E\"\n", "Model = \"X\"\n", 1));
  ctx.vecChassisDescFile.push_back(Listed(bench, "p.ini", "Vendor = \"P\"\n", "Model = \"1\"\n", 1));
  for (int i = 0; i < 3; ++i) MapPXIeChassis(ctx, u"E", u"X");
  MapPXI1Chassis(ctx, u"P", u"1", 9, 7);
  ASSERT_EQ(ctx.vecPXISys.size(), 4u);
  EXPECT_EQ(ctx.vecPXISys[3].dwChassisIndex, 4u);
  EXPECT_EQ(ctx.vecPXISys[3].bPXI1, 1);
  EXPECT_EQ(ctx.vecPXISys[2].bPXIe, 1);
  EXPECT_EQ(ctx.vecPXISys[2].dwChassisIndex, 0u);
}

// ---- From the folder to the record ---------------------------------------------

// Two files with the same vendor and model whose names differ in the case of
// a letter beyond Latin-1: the listing folds "\u0105" (a with ogonek) and
// "\u0104" alike, so "\u0105a.ini" comes before "\u0104b.ini" and is chosen, as
// under Wine 8.0 (tests/e2e/images/unicode_names checks the same run there).
// The log line shows '?' for the letter the code page lacks.
TEST(ChassisMapping, ListingOrderFoldsLettersOfEveryScript) {
  StageBench bench;
  bench.RegisterDescriptionFolder("C:\\Desc");
  const std::string head = "[Chassis]\r\nVendor = \"ZELTRO Technology\"\r\nModel = \"ZT-1018\"\r\n";
  bench.WriteC("Desc/\xC4\x84" "b.ini", head + "[PCIBusSegment1]\r\n");        // U+0104 'b'
  bench.WriteC("Desc/\xC4\x85" "a.ini", head + "[PCIBusSegment1]\r\n[PCIBusSegment2]\r\n[PCIBusSegment3]\r\n");    // U+0105 'a'
  RunContext& ctx = bench.Context();
  FindChassisDescriptionFiles(ctx);
  ASSERT_EQ(ctx.vecChassisDescFile.size(), 2u);
  EXPECT_EQ(ctx.vecChassisDescFile[0].szFileName.str(), u"\u0105a.ini");
  EXPECT_EQ(ctx.vecChassisDescFile[1].szFileName.str(), u"\u0104b.ini");
  EXPECT_EQ(MapPXI1Chassis(ctx, u"ZELTRO Technology", u"ZT-1018", 5, 1), 3u);
  ASSERT_EQ(ctx.vecPXISys.size(), 1u);
  EXPECT_EQ(ctx.vecPXISys[0].szDescriptionFile.str(), u"\u0105a.ini");
  EXPECT_EQ(bench.Log(), CrLf("ChassisModue_INI_Path = C:\\Desc\r\n"
                                 "ChassisModule_Mapping_File = SUCCESS(C:\\Desc\\?a.ini)\r\n"
                                 "ChassisModule_PCIBusRootCount = 3\r\n"));
}

}  // namespace
}  // namespace ztrm
