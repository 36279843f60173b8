#include "platform/native/native_resource_driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/native/native_platform.h"
#include "tests/test_image.h"

namespace ztrm {
namespace {

const char kService[] = "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\ZTRMDRV]\n";
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

}  // namespace
}  // namespace ztrm
