#include "platform/native/native_resource_driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/native/native_platform.h"
#include "tests/test_image.h"

namespace ztrm {
namespace {

const char kService[] = "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\ZTRMDRV]\n";
const char kParams[] = "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\ZTRMDRV\\Parameters]\n";
const std::vector<std::uint8_t> kUntouched = {0xEE, 0xEE, 0xEE, 0xEE};

// The native driver of an image with this registry, opened once.
struct DriverBench {
  explicit DriverBench(const std::string& registry) : native((image.WriteRegistry(registry), image.root())) {}

  std::vector<std::uint8_t> AskBridge(std::uint8_t bus, bool* ok) {
    std::uint8_t in[1] = {bus};
    std::vector<std::uint8_t> out = kUntouched;
    *ok = driver.Request(handle, rmdrv::DAS_IOC_GET_UPSTREAM_BRIDGE, in, 1, out.data(), 4);
    return out;
  }
  // The root bus table request, over a table that holds `fill` before.
  bool AskRootTable(std::vector<std::uint8_t>& table, std::uint8_t fill) {
    table.assign(rmdrv::kRootBusListSize, fill);
    return driver.Request(handle, rmdrv::DAS_IOC_GET_ROOT_BUS_LIST, table.data(), table.size(), table.data(),
                          table.size());
  }

  TestImage image;
  NativePlatform native;
  ResourceDriver& driver = native.platform().driver;
  DriverHandle handle = driver.Open();
};

TEST(NativeResourceDriverTest, ServiceKeyDecidesWhetherTheDriverOpens) {
  EXPECT_EQ(DriverBench("[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Other]\n").handle, 0u);
  // The service key alone opens and knows no bus.
  DriverBench bench(kService);
  ASSERT_NE(bench.handle, 0u);
  bool ok = true;
  EXPECT_EQ(bench.AskBridge(0, &ok), kUntouched);
  EXPECT_FALSE(ok);
  // The root bus table: all zeros, count 0, whatever was handed in.
  std::vector<std::uint8_t> table;
  ASSERT_TRUE(bench.AskRootTable(table, 7));
  EXPECT_EQ(table, std::vector<std::uint8_t>(rmdrv::kRootBusListSize, 0));
}

TEST(NativeResourceDriverTest, UpstreamBridgeValuesReadOrFail) {
  const struct {
    const char* value;  // the Bus5 value line's right side
    std::vector<std::uint8_t> answer;  // kUntouched: the request fails
  } cases[] = {
      {"\"3,3,0,0\"", {3, 3, 0, 0}},
      {"\"0, 1, 0, 255\"", {0, 1, 0, 0xFF}},
      {"\"0x10;0x1C 0\t0xff\"", {0x10, 0x1C, 0, 0xFF}},
      {"\"3,3,0\"", kUntouched},
      {"\"3,3,0,0,0\"", kUntouched},
      {"\"3,3,0,256\"", kUntouched},
      {"\"3,x,0,0\"", kUntouched},
      {"\"0x,1,2,3\"", kUntouched},
      {"\"\"", kUntouched},
      {"dword:5", kUntouched},  // not text
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    DriverBench bench(std::string(kParams) + "\"Bus5\"=" + c.value + "\n");
    ASSERT_NE(bench.handle, 0u);
    bool ok = false;
    EXPECT_EQ(bench.AskBridge(5, &ok), c.answer);
    EXPECT_EQ(ok, c.answer != kUntouched);
    bench.AskBridge(50, &ok);  // "Bus50" is another value
    EXPECT_FALSE(ok);
  }
  // Bus value names have no leading zeros.
  DriverBench bench(std::string(kParams) + "\"Bus0\"=\"0,0,0,255\"\n\"Bus255\"=\"1,2,3,4\"\n"
                    "\"Bus007\"=\"9,9,9,9\"\n\"Bus70\"=\"7,0,0,0\"\n");
  const std::pair<std::uint8_t, std::vector<std::uint8_t>> buses[] = {
      {0, {0, 0, 0, 0xFF}}, {255, {1, 2, 3, 4}}, {70, {7, 0, 0, 0}}, {7, kUntouched}};
  for (const auto& [bus, answer] : buses) {
    bool ok = false;
    EXPECT_EQ(bench.AskBridge(bus, &ok), answer) << int(bus);
    EXPECT_EQ(ok, answer != kUntouched) << int(bus);
  }
}

TEST(NativeResourceDriverTest, WrongSizesUnknownCodesAndClosedHandlesFail) {
  DriverBench bench(std::string(kParams) + "\"Bus1\"=\"0,0,0,255\"\n");
  ResourceDriver& driver = bench.driver;
  const DriverHandle h = bench.handle, h2 = driver.Open();
  EXPECT_NE(h, h2);
  std::uint8_t in[2] = {1, 0};
  std::uint8_t out[8] = {};
  EXPECT_FALSE(driver.Request(h, rmdrv::DAS_IOC_GET_UPSTREAM_BRIDGE, in, 2, out, 4));
  EXPECT_FALSE(driver.Request(h, rmdrv::DAS_IOC_GET_UPSTREAM_BRIDGE, in, 1, out, 3));
  EXPECT_FALSE(driver.Request(h, rmdrv::DAS_IOC_GET_UPSTREAM_BRIDGE, in, 1, out, 8));
  EXPECT_FALSE(driver.Request(h, rmdrv::DAS_IOC_GET_CHASSIS_MODULE_COUNT, in, 1, out, 4));
  EXPECT_FALSE(driver.Request(h, rmdrv::DAS_IOC_GET_ROOT_BUS_LIST, in, 1, out, 8));
  EXPECT_FALSE(driver.Request(h, 0x222000, in, 1, out, 4));
  EXPECT_FALSE(driver.Request(0, rmdrv::DAS_IOC_GET_UPSTREAM_BRIDGE, in, 1, out, 4));
  EXPECT_FALSE(driver.Request(h + 1000, rmdrv::DAS_IOC_GET_UPSTREAM_BRIDGE, in, 1, out, 4));
  EXPECT_TRUE(driver.Request(h, rmdrv::DAS_IOC_GET_UPSTREAM_BRIDGE, in, 1, out, 4));
  driver.Close(h);
  EXPECT_FALSE(driver.Request(h, rmdrv::DAS_IOC_GET_UPSTREAM_BRIDGE, in, 1, out, 4));
  EXPECT_TRUE(driver.Request(h2, rmdrv::DAS_IOC_GET_UPSTREAM_BRIDGE, in, 1, out, 4));
}

TEST(NativeResourceDriverTest, RootBusTableFromTheListAndCount) {
  // Every entry set: the whole table answered.
  std::string all;
  for (int row = 0; row < 255; ++row) {
    for (int col = 0; col < 255; ++col) all += std::to_string(row) + "," + std::to_string(col) + " ";
  }
  std::vector<std::pair<int, int>> every;
  for (int i = 0; i < 255 * 255; ++i) every.push_back({i / 255, i % 255});
  const struct {
    std::string values;
    bool ok;
    std::vector<std::pair<int, int>> marked;
    std::uint8_t count;
  } cases[] = {
      {"\"RootBusList\"=\"0,0\"\n\"RootBusCount\"=dword:1\n", true, {{0, 0}}, 1},
      {"\"RootBusList\"=\"0,0; 1,0; 254,254\"\n\"RootBusCount\"=dword:2\n", true, {{0, 0}, {1, 0}, {254, 254}}, 2},
      {"\"RootBusList\"=\"255,0 3,255 4,4 9\"\n", true, {{4, 4}}, 0},
      {"\"RootBusCount\"=dword:1000\n", true, {}, 255},
      {"\"RootBusList\"=\"1,two\"\n\"RootBusCount\"=dword:1\n", false, {}, 0},
      {"\"RootBusList\"=\"" + all + "\"\n\"RootBusCount\"=dword:ff\n", true, every, 255},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.values.substr(0, 60));
    DriverBench bench(std::string(kParams) + c.values);
    std::vector<std::uint8_t> table;
    EXPECT_EQ(bench.AskRootTable(table, 3), c.ok);
    std::vector<std::uint8_t> expected(rmdrv::kRootBusListSize, c.ok ? 0 : 3);
    if (c.ok) {
      for (auto [row, col] : c.marked) expected[row * 255 + col] = 1;
      expected.back() = c.count;
    }
    EXPECT_EQ(table, expected);
  }
}

TEST(NativeResourceDriverTest, ChassisModuleAnswerCarriesTheConfiguredByte) {
  const std::pair<const char*, std::uint8_t> cases[] = {
      {"", 0}, {"\"ChassisModulesChanged\"=dword:1\n", 1},
      {"\"ChassisModulesChanged\"=dword:2\n", 2}, {"\"ChassisModulesChanged\"=dword:100\n", 255}};
  for (const auto& [value, expected] : cases) {
    SCOPED_TRACE(value);
    DriverBench bench(std::string(kParams) + value);
    std::uint8_t in[1] = {0};
    std::uint8_t out[2] = {9, 9};
    ASSERT_TRUE(bench.driver.Request(bench.handle, rmdrv::DAS_IOC_GET_CHASSIS_MODULE_COUNT, in, 1, out, 2));
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], expected);
  }
}

}  // namespace
}  // namespace ztrm
