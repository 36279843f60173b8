#include "chassis/chassis_id_table.h"

#include <gtest/gtest.h>

#include <array>
#include <map>

#include "tests/chassis_test_support.h"

namespace ztrm {
namespace {

// The folder exists, as on a machine with the companion installed: the
// profile writing creates a missing file but not a missing folder.
constexpr char kTableFolder[] = "drive_c/ZELTRO/PXI";
constexpr char kTableFile[] = "drive_c/ZELTRO/PXI/ChassisMappingID.ini";

// The file as the profile writing leaves it when it creates it: the section,
// then all 255 keys in order, CR LF line ends.
std::string TableFile(const std::map<int, int>& slots) {
  std::string out = "[ChassisMappingID]\r\n";
  for (int i = 1; i <= 255; ++i) {
    auto it = slots.find(i);
    out += "Chassis" + std::to_string(i) + "=" + std::to_string(it == slots.end() ? 0 : it->second) + "\r\n";
  }
  return out;
}

std::array<std::uint16_t, 256> Slots(const std::map<int, int>& values) {
  std::array<std::uint16_t, 256> slots{};
  for (const auto& [i, v] : values) slots[i] = static_cast<std::uint16_t>(v);
  return slots;
}

TEST(ChassisIdTable, FirstRunWithoutAFile) {
  ChassisBench bench;
  bench.image.MakeFolder(kTableFolder);
  RunContext& ctx = bench.Context();
  ReadChassisMappingIDs(ctx);
  EXPECT_EQ(ctx.usChassisMappingID, Slots({}));
  EXPECT_EQ(mf_GetComfortablyChassisID(ctx, 3), 1);
  EXPECT_EQ(ctx.usChassisMappingID, Slots({{3, 1}}));
  EXPECT_EQ(bench.image.Read(kTableFile), TableFile({{3, 1}}));
}

TEST(ChassisIdTable, TheSmallestFreeIdIsChosen) {
  ChassisBench bench;
  bench.image.MakeFolder(kTableFolder);
  bench.image.Write(kTableFile, "[ChassisMappingID]\r\nChassis1=2\r\n");
  RunContext& ctx = bench.Context();
  ReadChassisMappingIDs(ctx);
  EXPECT_EQ(mf_GetComfortablyChassisID(ctx, 2), 1);
  EXPECT_EQ(mf_GetComfortablyChassisID(ctx, 5), 3);
  EXPECT_EQ(ctx.usChassisMappingID, Slots({{1, 2}, {2, 1}, {5, 3}}));
  EXPECT_EQ(bench.image.Read(kTableFile), TableFile({{1, 2}, {2, 1}, {5, 3}}));
}

TEST(ChassisIdTable, AnExistingIdIsReturnedWithoutAWrite) {
  ChassisBench bench;
  bench.image.MakeFolder(kTableFolder);
  bench.image.Write(kTableFile, "[ChassisMappingID]\r\nChassis6=7\r\n");
  RunContext& ctx = bench.Context();
  ReadChassisMappingIDs(ctx);
  EXPECT_EQ(mf_GetComfortablyChassisID(ctx, 6), 7);
  EXPECT_EQ(bench.profiles().WriteCount(), 0u);
  EXPECT_EQ(bench.image.Read(kTableFile), "[ChassisMappingID]\r\nChassis6=7\r\n");
}

// ---- Reading: what counts as a stored ID ------------------------------------------

struct ReadCase {
  const char* value_line;  // the Chassis4 line
  std::uint16_t slot4;     // slot 4 after reading; it held 9 before
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.value_line; }

class ChassisIdReadTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ChassisIdReadTest, TakesPositiveNumbersOnly) {
  const ReadCase& c = GetParam();
  ChassisBench bench;
  bench.image.MakeFolder(kTableFolder);
  bench.image.Write(kTableFile, std::string("[ChassisMappingID]\r\n") + c.value_line + "\r\n");
  RunContext& ctx = bench.Context();
  ctx.usChassisMappingID[4] = 9;  // from an earlier run of the process
  ReadChassisMappingIDs(ctx);
  EXPECT_EQ(ctx.usChassisMappingID, Slots({{4, c.slot4}})) << c.value_line;
}

// 65536 is above 0, so it counts, and its low 16 bits clear the slot.
INSTANTIATE_TEST_SUITE_P(Cases, ChassisIdReadTest,
                         testing::Values(ReadCase{"Chassis4=5", 5}, ReadCase{"Chassis4=0", 9},
                                         ReadCase{"Chassis4=abc", 9}, ReadCase{"Chassis4=", 9},
                                         ReadCase{"Chassis4=-3", 9}, ReadCase{"Other=5", 9},
                                         ReadCase{"Chassis4=70000", 4464}, ReadCase{"Chassis4=65536", 0},
                                         ReadCase{"Chassis4 = \" 12abc\"", 12}, ReadCase{"chassis4=+8", 8},
                                         ReadCase{"Chassis4=99999999999", 65535},
                                         ReadCase{"Chassis4=300", 300}));

TEST(ChassisIdTable, ReadsAllSlotsFromTheConfiguredPath) {
  ChassisBench bench;
  bench.image.MakeFolder(kTableFolder);
  bench.image.Write("drive_c/Elsewhere/ids.ini", TableFile({{1, 2}, {2, 70000}, {255, 17}}));
  RunContext& ctx = bench.Context();
  ctx.ChassisMappingPath = u"C:\\Elsewhere\\ids.ini";
  ReadChassisMappingIDs(ctx);
  EXPECT_EQ(ctx.usChassisMappingID, Slots({{1, 2}, {2, 4464}, {255, 17}}));
  ASSERT_EQ(bench.profiles().calls.size(), 255u);
  for (int i = 1; i <= 255; ++i) {
    const RecordingProfiles::Call& call = bench.profiles().calls[i - 1];
    EXPECT_EQ(call.file, u"C:\\Elsewhere\\ids.ini");
    EXPECT_EQ(call.section, u"ChassisMappingID");
    EXPECT_EQ(call.key, W("Chassis" + std::to_string(i)));
  }
}

TEST(ChassisIdTable, SlotsSurviveAMissingFile) {
  ChassisBench bench;
  bench.image.MakeFolder(kTableFolder);
  RunContext& ctx = bench.Context();
  ctx.usChassisMappingID = Slots({{1, 4}, {200, 5}});
  ReadChassisMappingIDs(ctx);
  EXPECT_EQ(ctx.usChassisMappingID, Slots({{1, 4}, {200, 5}}));
}

// ---- Choosing -----------------------------------------------------------------------

TEST(ChassisIdTable, ASlotHolding300GetsANewId) {
  ChassisBench bench;
  bench.image.MakeFolder(kTableFolder);
  bench.image.Write(kTableFile, "[ChassisMappingID]\r\nChassis1=300\r\nChassis2=1\r\n");
  RunContext& ctx = bench.Context();
  ReadChassisMappingIDs(ctx);
  EXPECT_EQ(mf_GetComfortablyChassisID(ctx, 1), 2);
  EXPECT_EQ(bench.image.Read(kTableFile), TableFile({{1, 2}, {2, 1}}));
}

TEST(ChassisIdTable, TheLastFreeIdIs255) {
  ChassisBench bench;
  bench.image.MakeFolder(kTableFolder);
  RunContext& ctx = bench.Context();
  for (int i = 1; i <= 254; ++i) ctx.usChassisMappingID[i] = static_cast<std::uint16_t>(255 - i);  // 254..1
  EXPECT_EQ(mf_GetComfortablyChassisID(ctx, 255), 255);
  EXPECT_EQ(ctx.usChassisMappingID[255], 255);
}

TEST(ChassisIdTable, SlotZeroIsNotLookedAt) {
  ChassisBench bench;
  bench.image.MakeFolder(kTableFolder);
  RunContext& ctx = bench.Context();
  ctx.usChassisMappingID[0] = 1;
  EXPECT_EQ(mf_GetComfortablyChassisID(ctx, 8), 1);
}

TEST(ChassisIdTable, GapsAreFilledFirst) {
  ChassisBench bench;
  bench.image.MakeFolder(kTableFolder);
  RunContext& ctx = bench.Context();
  ctx.usChassisMappingID = Slots({{1, 1}, {2, 2}, {3, 4}, {4, 3}, {5, 6}});
  EXPECT_EQ(mf_GetComfortablyChassisID(ctx, 9), 5);
  EXPECT_EQ(mf_GetComfortablyChassisID(ctx, 10), 7);
}

TEST(ChassisIdTable, MappingIndexesWithoutASlotAreRefused) {
  ChassisBench bench;
  bench.image.MakeFolder(kTableFolder);
  RunContext& ctx = bench.Context();
  ctx.usChassisMappingID[1] = 3;
  for (std::uint16_t index : {std::uint16_t{0}, std::uint16_t{256}, std::uint16_t{65535}}) {
    EXPECT_EQ(mf_GetComfortablyChassisID(ctx, index), 0) << index;
  }
  EXPECT_EQ(ctx.usChassisMappingID, Slots({{1, 3}}));
  EXPECT_EQ(bench.profiles().WriteCount(), 0u);
  EXPECT_FALSE(bench.image.Exists(kTableFile));
}

// ---- Writing -----------------------------------------------------------------------

TEST(ChassisIdTable, WritesAll255KeysInOrder) {
  ChassisBench bench;
  bench.image.MakeFolder(kTableFolder);
  RunContext& ctx = bench.Context();
  ctx.usChassisMappingID = Slots({{0, 99}, {7, 65535}});
  WriteChassisMappingIDs(ctx);
  ASSERT_EQ(bench.profiles().calls.size(), 255u);
  for (int i = 1; i <= 255; ++i) {
    const RecordingProfiles::Call& call = bench.profiles().calls[i - 1];
    EXPECT_TRUE(call.write);
    EXPECT_EQ(call.file, u"C:\\ZELTRO\\PXI\\ChassisMappingID.ini");
    EXPECT_EQ(call.section, u"ChassisMappingID");
    EXPECT_EQ(call.key, W("Chassis" + std::to_string(i)));
    EXPECT_EQ(call.value, i == 7 ? u"65535" : u"0");
  }
  EXPECT_EQ(bench.image.Read(kTableFile), TableFile({{7, 65535}}));
}

TEST(ChassisIdTable, OtherContentOfTheFileIsKept) {
  ChassisBench bench;
  bench.image.MakeFolder(kTableFolder);
  bench.image.Write(kTableFile, "; IDs\r\n[Other]\r\nKeep=yes\r\n[ChassisMappingID]\r\nChassis2=5\r\n");
  RunContext& ctx = bench.Context();
  ReadChassisMappingIDs(ctx);
  EXPECT_EQ(mf_GetComfortablyChassisID(ctx, 1), 1);
  // Chassis2 keeps its place; the keys the section lacked follow it.
  std::string expected = "; IDs\r\n[Other]\r\nKeep=yes\r\n[ChassisMappingID]\r\nChassis2=5\r\nChassis1=1\r\n";
  for (int i = 3; i <= 255; ++i) expected += "Chassis" + std::to_string(i) + "=0\r\n";
  EXPECT_EQ(bench.image.Read(kTableFile), expected);
}

TEST(ChassisIdTable, AFailedWriteKeepsTheChoiceInMemory) {
  ChassisBench bench;
  bench.image.MakeFolder(kTableFolder);
  RunContext& ctx = bench.Context();
  ctx.ChassisMappingPath = u"C:\\No\\Such\\Folder\\ChassisMappingID.ini";
  EXPECT_EQ(mf_GetComfortablyChassisID(ctx, 4), 1);
  EXPECT_EQ(mf_GetComfortablyChassisID(ctx, 4), 1);
  EXPECT_EQ(mf_GetComfortablyChassisID(ctx, 5), 2);
  EXPECT_EQ(ctx.usChassisMappingID, Slots({{4, 1}, {5, 2}}));
}

}  // namespace
}  // namespace ztrm
