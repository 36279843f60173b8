#include "output/root_bus_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/stage_bench.h"

namespace ztrm {
namespace {

// The table is zeroed before the request: one left full of ones and a driver
// that reports nothing give the section line and a count of 0 only.
TEST(RootBusListTest, FileCases) {
  StageBench bench(DriverRegistry({}));
  bench.Context().RootBusList.bytes.assign(bench.Context().RootBusList.bytes.size(), 1);
  EXPECT_EQ(mf_WriteRootBusList(bench.Context()), 0);
  EXPECT_EQ(bench.WindowsFile("ztbuslist.dat"), "[RootBusList]\r\nCount=\"0\"\r\n");
}

TEST(RootBusListTest, EveryEntrySetGivesEveryItem) {
  std::string list;
  for (int row = 0; row < 255; ++row) {
    for (int col = 0; col < 255; ++col) list += std::to_string(row) + "," + std::to_string(col) + ";";
  }
  StageBench bench(DriverRegistry({"\"RootBusList\"=\"" + list + "\"", "\"RootBusCount\"=dword:ff"}));
  EXPECT_EQ(mf_WriteRootBusList(bench.Context()), 0);
  std::string expected = "[RootBusList]\r\nCount=\"255\"\r\n";
  int k = 0;
  for (int row = 0; row < 255; ++row) {
    for (int col = 0; col < 255; ++col) {
      expected += "Item" + std::to_string(++k) + "=\"" + std::to_string(row) + "," +
                  std::to_string(col) + "\"\r\n";
    }
  }
  EXPECT_EQ(bench.WindowsFile("ztbuslist.dat"), expected);
}

}  // namespace
}  // namespace ztrm
