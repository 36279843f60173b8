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

TEST(ChassisIdTable, ReadsAllSlotsFromTheConfiguredPath) {
  StageBench bench;
  bench.image.MakeFolder(kTableFolder);
  // Chassis4=0 and Chassis5=abc leave what the slots held before.
  std::string file = TableFile({{1, 2}, {2, 70000}, {255, 17}});
  file.replace(file.find("Chassis5=0"), 10, "Chassis5=abc");
  bench.image.Write("drive_c/Elsewhere/ids.ini", file);
  RunContext& ctx = bench.Context();
  ctx.ChassisMappingPath = u"C:\\Elsewhere\\ids.ini";
  ctx.usChassisMappingID[4] = 9;
  ctx.usChassisMappingID[5] = 8;
  ReadChassisMappingIDs(ctx);
  EXPECT_EQ(ctx.usChassisMappingID, Slots({{1, 2}, {2, 4464}, {4, 9}, {5, 8}, {255, 17}}));
  ASSERT_EQ(bench.profiles().calls.size(), 255u);
  for (int i = 1; i <= 255; ++i) {
    const RecordingProfiles::Call& call = bench.profiles().calls[i - 1];
    EXPECT_EQ(call.file, u"C:\\Elsewhere\\ids.ini");
    EXPECT_EQ(call.section, u"ChassisMappingID");
    EXPECT_EQ(call.key, W("Chassis" + std::to_string(i)));
  }
}

// ---- Choosing -----------------------------------------------------------------------

// Slots set before (from an earlier run of the process), the file read, then
// IDs asked for mapping indexes in turn.
TEST(ChassisIdTable, ChoosesTheSmallestFreeIdAndWritesTheTable) {
  std::map<int, int> full;  // slots 1..254 hold IDs 254..1
  for (int i = 1; i <= 254; ++i) full[i] = 255 - i;
  std::map<int, int> full_and_255 = full;
  full_and_255[255] = 255;
  std::string others = "; IDs\r\n[Other]\r\nKeep=yes\r\n[ChassisMappingID]\r\nChassis2=5\r\nChassis1=1\r\n";
  for (int i = 3; i <= 255; ++i) others += "Chassis" + std::to_string(i) + "=0\r\n";
  const struct {
    const char* name;
    std::map<int, int> before;
    const char* file;         // the table file before; null when missing
    const char16_t* path;     // the table's path when not the standard one
    std::vector<std::pair<std::uint16_t, std::uint16_t>> asks;  // mapping index, ID
    std::map<int, int> after;
    std::string file_after;   // "" when there is none
  } cases[] = {
      {"first run without a file", {}, nullptr, nullptr, {{3, 1}}, {{3, 1}}, TableFile({{3, 1}})},
      {"slots survive a missing file", {{1, 4}, {200, 5}}, nullptr, nullptr, {}, {{1, 4}, {200, 5}}, ""},
      {"the smallest free ID", {}, "[ChassisMappingID]\r\nChassis1=2\r\n", nullptr, {{2, 1}, {5, 3}},
       {{1, 2}, {2, 1}, {5, 3}}, TableFile({{1, 2}, {2, 1}, {5, 3}})},
      {"an existing ID without a write", {}, "[ChassisMappingID]\r\nChassis6=7\r\n", nullptr, {{6, 7}},
       {{6, 7}}, "[ChassisMappingID]\r\nChassis6=7\r\n"},
      {"a slot holding 300 gets a new ID", {}, "[ChassisMappingID]\r\nChassis1=300\r\nChassis2=1\r\n",
       nullptr, {{1, 2}}, {{1, 2}, {2, 1}}, TableFile({{1, 2}, {2, 1}})},
      {"the last free ID is 255", full, nullptr, nullptr, {{255, 255}}, full_and_255, TableFile(full_and_255)},
      {"slot 0 is not looked at", {{0, 1}}, nullptr, nullptr, {{8, 1}}, {{0, 1}, {8, 1}},
       TableFile({{8, 1}})},
      {"gaps are filled first", {{1, 1}, {2, 2}, {3, 4}, {4, 3}, {5, 6}}, nullptr, nullptr, {{9, 5}, {10, 7}},
       {{1, 1}, {2, 2}, {3, 4}, {4, 3}, {5, 6}, {9, 5}, {10, 7}},
       TableFile({{1, 1}, {2, 2}, {3, 4}, {4, 3}, {5, 6}, {9, 5}, {10, 7}})},
      {"mapping indexes without a slot are refused", {{1, 3}}, nullptr, nullptr, {{0, 0}, {256, 0}, {65535, 0}},
       {{1, 3}}, ""},
      {"a failed write keeps the choice in memory", {}, nullptr, u"C:\\No\\Such\\Folder\\ChassisMappingID.ini",
       {{4, 1}, {4, 1}, {5, 2}}, {{4, 1}, {5, 2}}, ""},
      // Chassis2 keeps its place; the keys the section lacked follow it.
      {"other content of the file is kept", {}, "; IDs\r\n[Other]\r\nKeep=yes\r\n[ChassisMappingID]\r\nChassis2=5\r\n",
       nullptr, {{1, 1}}, {{1, 1}, {2, 5}}, others},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StageBench bench;
    bench.image.MakeFolder(kTableFolder);
    if (c.file) bench.image.Write(kTableFile, c.file);
    RunContext& ctx = bench.Context();
    if (c.path) ctx.ChassisMappingPath = c.path;
    ctx.usChassisMappingID = Slots(c.before);
    ReadChassisMappingIDs(ctx);
    for (const auto& [index, id] : c.asks) EXPECT_EQ(mf_GetComfortablyChassisID(ctx, index), id) << index;
    EXPECT_EQ(ctx.usChassisMappingID, Slots(c.after));
    EXPECT_EQ(bench.image.Exists(kTableFile), !c.file_after.empty());
    EXPECT_EQ(bench.image.Read(kTableFile), c.file_after);
    // A file left as it was was not written at all, nor was a missing one.
    if (c.file_after.empty() ? !c.path : c.file_after == (c.file ? c.file : "")) {
      for (const RecordingProfiles::Call& call : bench.profiles().calls) EXPECT_FALSE(call.write);
    }
  }
}

}  // namespace
}  // namespace ztrm
