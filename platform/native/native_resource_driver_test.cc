#include "platform/native/native_resource_driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/native/native_platform.h"
#include "tests/test_image.h"

namespace ztrm {
namespace {

const char kParams[] = "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\ZTRMDRV\\Parameters]\n";

std::vector<std::uint8_t> AskBridge(ResourceDriver& driver, DriverHandle h, std::uint8_t bus,
                                    bool* ok) {
  std::uint8_t in[1] = {bus};
  std::vector<std::uint8_t> out = {0xEE, 0xEE, 0xEE, 0xEE};
  *ok = driver.Request(h, rmdrv::DAS_IOC_GET_UPSTREAM_BRIDGE, in, 1, out.data(), 4);
  return out;
}

TEST(NativeResourceDriverTest, ImageWithoutTheServiceKeyHasNoDriver) {
  TestImage image;
  image.WriteRegistry("[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Other]\n");
  NativePlatform native(image.root());
  EXPECT_EQ(native.platform().driver.Open(), 0u);
}

TEST(NativeResourceDriverTest, ServiceKeyAloneOpensAndKnowsNoBus) {
  TestImage image;
  image.WriteRegistry("[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\ZTRMDRV]\n");
  NativePlatform native(image.root());
  ResourceDriver& driver = native.platform().driver;
  DriverHandle h = driver.Open();
  ASSERT_NE(h, 0u);
  bool ok = true;
  EXPECT_EQ(AskBridge(driver, h, 0, &ok), (std::vector<std::uint8_t>{0xEE, 0xEE, 0xEE, 0xEE}));
  EXPECT_FALSE(ok);
  // The root bus table: all zeros, count 0, whatever was handed in.
  std::vector<std::uint8_t> table(rmdrv::kRootBusListSize, 7);
  ASSERT_TRUE(driver.Request(h, rmdrv::DAS_IOC_GET_ROOT_BUS_LIST, table.data(), table.size(),
                             table.data(), table.size()));
  EXPECT_EQ(table, std::vector<std::uint8_t>(rmdrv::kRootBusListSize, 0));
}

struct BridgeCase {
  const char* value;  // the Bus5 value line's right side
  bool ok;
  std::vector<std::uint8_t> answer;
};

TEST(NativeResourceDriverTest, UpstreamBridgeValuesReadOrFail) {
  const BridgeCase cases[] = {
      {"\"3,3,0,0\"", true, {3, 3, 0, 0}},
      {"\"0, 1, 0, 255\"", true, {0, 1, 0, 0xFF}},
      {"\"0x10;0x1C 0\t0xff\"", true, {0x10, 0x1C, 0, 0xFF}},
      {"\"3,3,0\"", false, {0xEE, 0xEE, 0xEE, 0xEE}},
      {"\"3,3,0,0,0\"", false, {0xEE, 0xEE, 0xEE, 0xEE}},
      {"\"3,3,0,256\"", false, {0xEE, 0xEE, 0xEE, 0xEE}},
      {"\"3,x,0,0\"", false, {0xEE, 0xEE, 0xEE, 0xEE}},
      {"\"0x,1,2,3\"", false, {0xEE, 0xEE, 0xEE, 0xEE}},
      {"\"\"", false, {0xEE, 0xEE, 0xEE, 0xEE}},
      {"dword:5", false, {0xEE, 0xEE, 0xEE, 0xEE}},  // not text
  };
  for (const BridgeCase& c : cases) {
    SCOPED_TRACE(c.value);
    TestImage image;
    image.WriteRegistry(std::string(kParams) + "\"Bus5\"=" + c.value + "\n");
    NativePlatform native(image.root());
    ResourceDriver& driver = native.platform().driver;
    DriverHandle h = driver.Open();
    ASSERT_NE(h, 0u);
    bool ok = false;
    EXPECT_EQ(AskBridge(driver, h, 5, &ok), c.answer);
    EXPECT_EQ(ok, c.ok);
    AskBridge(driver, h, 50, &ok);  // "Bus50" is another value
    EXPECT_FALSE(ok);
  }
}

TEST(NativeResourceDriverTest, BusValueNamesHaveNoLeadingZeros) {
  TestImage image;
  image.WriteRegistry(std::string(kParams) + "\"Bus0\"=\"0,0,0,255\"\n\"Bus255\"=\"1,2,3,4\"\n"
                      "\"Bus007\"=\"9,9,9,9\"\n\"Bus70\"=\"7,0,0,0\"\n");
  NativePlatform native(image.root());
  ResourceDriver& driver = native.platform().driver;
  DriverHandle h = driver.Open();
  bool ok = false;
  EXPECT_EQ(AskBridge(driver, h, 0, &ok), (std::vector<std::uint8_t>{0, 0, 0, 0xFF}));
  EXPECT_TRUE(ok);
  EXPECT_EQ(AskBridge(driver, h, 255, &ok), (std::vector<std::uint8_t>{1, 2, 3, 4}));
  EXPECT_TRUE(ok);
  EXPECT_EQ(AskBridge(driver, h, 70, &ok), (std::vector<std::uint8_t>{7, 0, 0, 0}));
  EXPECT_TRUE(ok);
  AskBridge(driver, h, 7, &ok);
  EXPECT_FALSE(ok);
}

TEST(NativeResourceDriverTest, WrongSizesUnknownCodesAndClosedHandlesFail) {
  TestImage image;
  image.WriteRegistry(std::string(kParams) + "\"Bus1\"=\"0,0,0,255\"\n");
  NativePlatform native(image.root());
  ResourceDriver& driver = native.platform().driver;
  DriverHandle h = driver.Open();
  DriverHandle h2 = driver.Open();
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

struct RootCase {
  const char* values;
  bool ok;
  std::vector<std::pair<int, int>> marked;
  std::uint8_t count;
};

TEST(NativeResourceDriverTest, RootBusTableFromTheListAndCount) {
  const RootCase cases[] = {
      {"\"RootBusList\"=\"0,0\"\n\"RootBusCount\"=dword:1\n", true, {{0, 0}}, 1},
      {"\"RootBusList\"=\"0,0; 1,0; 254,254\"\n\"RootBusCount\"=dword:2\n", true,
       {{0, 0}, {1, 0}, {254, 254}}, 2},
      {"\"RootBusList\"=\"255,0 3,255 4,4 9\"\n", true, {{4, 4}}, 0},
      {"\"RootBusCount\"=dword:1000\n", true, {}, 255},
      {"\"RootBusList\"=\"1,two\"\n\"RootBusCount\"=dword:1\n", false, {}, 0},
  };
  for (const RootCase& c : cases) {
    SCOPED_TRACE(c.values);
    TestImage image;
    image.WriteRegistry(std::string(kParams) + c.values);
    NativePlatform native(image.root());
    ResourceDriver& driver = native.platform().driver;
    DriverHandle h = driver.Open();
    std::vector<std::uint8_t> table(rmdrv::kRootBusListSize, 3);
    bool ok = driver.Request(h, rmdrv::DAS_IOC_GET_ROOT_BUS_LIST, table.data(), table.size(),
                             table.data(), table.size());
    EXPECT_EQ(ok, c.ok);
    std::vector<std::uint8_t> expected(rmdrv::kRootBusListSize, c.ok ? 0 : 3);
    if (c.ok) {
      for (auto [row, col] : c.marked) expected[row * 255 + col] = 1;
      expected.back() = c.count;
    }
    EXPECT_EQ(table, expected);
  }
}

TEST(NativeResourceDriverTest, EveryRootEntrySetIsAnsweredWhole) {
  std::string list;
  for (int row = 0; row < 255; ++row) {
    for (int col = 0; col < 255; ++col) list += std::to_string(row) + "," + std::to_string(col) + " ";
  }
  TestImage image;
  image.WriteRegistry(std::string(kParams) + "\"RootBusList\"=\"" + list +
                      "\"\n\"RootBusCount\"=dword:ff\n");
  NativePlatform native(image.root());
  ResourceDriver& driver = native.platform().driver;
  DriverHandle h = driver.Open();
  std::vector<std::uint8_t> table(rmdrv::kRootBusListSize, 0);
  ASSERT_TRUE(driver.Request(h, rmdrv::DAS_IOC_GET_ROOT_BUS_LIST, table.data(), table.size(),
                             table.data(), table.size()));
  std::vector<std::uint8_t> expected(rmdrv::kRootBusListSize, 1);
  expected.back() = 255;
  EXPECT_EQ(table, expected);
}

TEST(NativeResourceDriverTest, ChassisModuleAnswerCarriesTheConfiguredByte) {
  const std::pair<const char*, std::uint8_t> cases[] = {
      {"", 0}, {"\"ChassisModulesChanged\"=dword:1\n", 1},
      {"\"ChassisModulesChanged\"=dword:2\n", 2}, {"\"ChassisModulesChanged\"=dword:100\n", 255}};
  for (const auto& [value, expected] : cases) {
    SCOPED_TRACE(value);
    TestImage image;
    image.WriteRegistry(std::string(kParams) + value);
    NativePlatform native(image.root());
    ResourceDriver& driver = native.platform().driver;
    DriverHandle h = driver.Open();
    std::uint8_t in[1] = {0};
    std::uint8_t out[2] = {9, 9};
    ASSERT_TRUE(driver.Request(h, rmdrv::DAS_IOC_GET_CHASSIS_MODULE_COUNT, in, 1, out, 2));
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], expected);
  }
}

}  // namespace
}  // namespace ztrm
