#include "output/root_bus_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "enumeration/worker.h"
#include "tests/output_test_support.h"

namespace ztrm {
namespace {

struct ListCase {
  const char* what;
  std::vector<std::string> parameters;
  int result;
  const char* file;  // expected bytes; nullptr: no file
};

TEST(RootBusListTest, FileCases) {
  const ListCase cases[] = {
      {"count 1 with only (0,0)",
       {"\"RootBusList\"=\"0,0\"", "\"RootBusCount\"=dword:1"},
       0,
       "[RootBusList]\r\nCount=\"1\"\r\nItem1=\"0,0\"\r\n"},
      {"all zeros with count 0", {}, 0, "[RootBusList]\r\nCount=\"0\"\r\n"},
      {"row-major order, count differing from the items",
       {"\"RootBusList\"=\"3,1 0,200 3,0 254,254\"", "\"RootBusCount\"=dword:7"},
       0,
       "[RootBusList]\r\nCount=\"7\"\r\nItem1=\"0,200\"\r\nItem2=\"3,0\"\r\nItem3=\"3,1\"\r\n"
       "Item4=\"254,254\"\r\n"},
      {"the request fails: no file", {"\"RootBusList\"=\"0,zero\""}, 2, nullptr},
  };
  for (const ListCase& c : cases) {
    SCOPED_TRACE(c.what);
    OutputBench bench(DriverRegistry(c.parameters));
    EXPECT_EQ(mf_WriteRootBusList(bench.ctx()), c.result);
    if (c.file) {
      EXPECT_EQ(bench.WindowsFile("ztbuslist.dat"), c.file);
    } else {
      EXPECT_FALSE(bench.WindowsFileExists("ztbuslist.dat"));
    }
  }
}

TEST(RootBusListTest, NoDriverNoFileAndAnOlderFileStays) {
  OutputBench bench;
  bench.image.Write("drive_c/windows/ztbuslist.dat", "older");
  EXPECT_EQ(mf_WriteRootBusList(bench.ctx()), 1);
  EXPECT_EQ(bench.WindowsFile("ztbuslist.dat"), "older");
  EXPECT_EQ(bench.driver().codes.size(), 0u);
}

TEST(RootBusListTest, FailedRequestKeepsAnOlderFile) {
  OutputBench bench(DriverRegistry({"\"RootBusList\"=\"0,0\""}));
  bench.image.Write("drive_c/windows/ztbuslist.dat", "older");
  bench.driver().fail_from = 0;
  EXPECT_EQ(mf_WriteRootBusList(bench.ctx()), 2);
  EXPECT_EQ(bench.WindowsFile("ztbuslist.dat"), "older");
}

TEST(RootBusListTest, ReplacesAnOlderFileAndZeroesTheTableFirst) {
  OutputBench bench(DriverRegistry({"\"RootBusList\"=\"1,2\"", "\"RootBusCount\"=dword:1"}));
  bench.image.Write("drive_c/windows/ztbuslist.dat", "a much longer older file\r\n\r\n\r\n");
  bench.ctx().RootBusList.bytes.assign(bench.ctx().RootBusList.bytes.size(), 1);
  EXPECT_EQ(mf_WriteRootBusList(bench.ctx()), 0);
  EXPECT_EQ(bench.WindowsFile("ztbuslist.dat"), "[RootBusList]\r\nCount=\"1\"\r\nItem1=\"1,2\"\r\n");
  ASSERT_EQ(bench.driver().codes, std::vector<std::uint32_t>{0x223504});
}

TEST(RootBusListTest, EveryEntrySetGivesEveryItem) {
  std::string list;
  for (int row = 0; row < 255; ++row) {
    for (int col = 0; col < 255; ++col) list += std::to_string(row) + "," + std::to_string(col) + ";";
  }
  OutputBench bench(DriverRegistry({"\"RootBusList\"=\"" + list + "\"", "\"RootBusCount\"=dword:ff"}));
  EXPECT_EQ(mf_WriteRootBusList(bench.ctx()), 0);
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

TEST(RootBusListTest, WrittenOncePerWorkerStartNotPerRun) {
  OutputBench bench(DriverRegistry({"\"RootBusList\"=\"0,0\"", "\"RootBusCount\"=dword:1"}) +
                    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\ZELTRO\\ORB]\n\"Path\"=\"C:\\\\ZELTRO\\\\ORB\"\n");
  bench.image.Write("drive_c/ProgramData/PXISA/configuration.ini",
                    "[ResourceManager]\r\nName = \"ZELTRO Technology\"\r\n");
  {
    EnumerationWorker worker(bench.ctx());
    worker.Start();
    EXPECT_EQ(bench.WindowsFile("ztbuslist.dat"), "[RootBusList]\r\nCount=\"1\"\r\nItem1=\"0,0\"\r\n");
    bench.image.Write("drive_c/windows/ztbuslist.dat", "kept");
    worker.Poll();  // the first poll that sees this system runs
    bench.ctx().StartRequest = 1;
    worker.Poll();
    EXPECT_TRUE(bench.WindowsFileExists("pxisys.ini"));
    EXPECT_EQ(bench.WindowsFile("ztbuslist.dat"), "kept");
  }
  EnumerationWorker restarted(bench.ctx());
  restarted.Start();
  EXPECT_EQ(bench.WindowsFile("ztbuslist.dat"), "[RootBusList]\r\nCount=\"1\"\r\nItem1=\"0,0\"\r\n");
  // One root bus list request per start, and the handle of the first open reused.
  int root_requests = 0;
  for (std::uint32_t code : bench.driver().codes) root_requests += code == 0x223504;
  EXPECT_EQ(root_requests, 2);
  EXPECT_EQ(bench.driver().opens, 1);
}

}  // namespace
}  // namespace ztrm
