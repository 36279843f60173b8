#include "output/root_bus_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "enumeration/worker.h"
#include "tests/output_test_support.h"

namespace ztrm {
namespace {

// Every case starts from a table left full of ones: it is zeroed first.
TEST(RootBusListTest, FileCases) {
  const struct {
    const char* what;
    bool driver;
    std::vector<std::string> parameters;
    const char* older;  // the file before; nullptr: none
    int fail_from;      // CountingDriver::fail_from
    int result;
    const char* file;   // expected bytes; nullptr: the older file stays (or none)
  } cases[] = {
      {"count 1 with only (0,0)", true, {"\"RootBusList\"=\"0,0\"", "\"RootBusCount\"=dword:1"}, nullptr, -1, 0,
       "[RootBusList]\r\nCount=\"1\"\r\nItem1=\"0,0\"\r\n"},
      {"all zeros with count 0", true, {}, nullptr, -1, 0, "[RootBusList]\r\nCount=\"0\"\r\n"},
      {"row-major order, count differing from the items", true,
       {"\"RootBusList\"=\"3,1 0,200 3,0 254,254\"", "\"RootBusCount\"=dword:7"}, nullptr, -1, 0,
       "[RootBusList]\r\nCount=\"7\"\r\nItem1=\"0,200\"\r\nItem2=\"3,0\"\r\nItem3=\"3,1\"\r\n"
       "Item4=\"254,254\"\r\n"},
      {"an older file is replaced", true, {"\"RootBusList\"=\"1,2\"", "\"RootBusCount\"=dword:1"},
       "a much longer older file\r\n\r\n\r\n", -1, 0, "[RootBusList]\r\nCount=\"1\"\r\nItem1=\"1,2\"\r\n"},
      {"the request fails: no file", true, {"\"RootBusList\"=\"0,zero\""}, nullptr, -1, 2, nullptr},
      {"a failed request keeps an older file", true, {"\"RootBusList\"=\"0,0\""}, "older", 0, 2, nullptr},
      {"no driver: an older file stays", false, {}, "older", -1, 1, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    OutputBench bench(c.driver ? DriverRegistry(c.parameters) : "");
    if (c.older) bench.image.Write("drive_c/windows/ztbuslist.dat", c.older);
    bench.driver().fail_from = c.fail_from;
    bench.ctx().RootBusList.bytes.assign(bench.ctx().RootBusList.bytes.size(), 1);
    EXPECT_EQ(mf_WriteRootBusList(bench.ctx()), c.result);
    const char* file = c.file ? c.file : c.older;
    EXPECT_EQ(bench.WindowsFileExists("ztbuslist.dat"), file != nullptr);
    if (file) {
      EXPECT_EQ(bench.WindowsFile("ztbuslist.dat"), file);
    }
    EXPECT_EQ(bench.driver().codes, c.driver ? std::vector<std::uint32_t>{0x223504} : std::vector<std::uint32_t>{});
  }
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
