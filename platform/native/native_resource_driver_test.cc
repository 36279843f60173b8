#include "platform/native/native_resource_driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/native/native_platform.h"
#include "tests/test_image.h"

namespace ztrm {
namespace {

TEST(NativeResourceDriverTest, ServiceKeyDecidesWhetherTheDriverOpens) {
  TestImage other;
  other.WriteRegistry("[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Other]\n");
  EXPECT_EQ(NativePlatform(other.root()).platform().driver.Open(), 0u);

  // The service key alone opens and knows no bus.
  TestImage image;
  image.WriteRegistry("[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\ZTRMDRV]\n");
  NativePlatform native(image.root());
  ResourceDriver& driver = native.platform().driver;
  const DriverHandle handle = driver.Open();
  ASSERT_NE(handle, 0u);
  const std::uint8_t bus = 0;
  const std::vector<std::uint8_t> untouched = {0xEE, 0xEE, 0xEE, 0xEE};
  std::vector<std::uint8_t> answer = untouched;
  EXPECT_FALSE(driver.Request(handle, rmdrv::DAS_IOC_GET_UPSTREAM_BRIDGE, &bus, 1, answer.data(), 4));
  EXPECT_EQ(answer, untouched);
  // The root bus table: all zeros, count 0, whatever was handed in.
  std::vector<std::uint8_t> table(rmdrv::kRootBusListSize, 7);
  ASSERT_TRUE(driver.Request(handle, rmdrv::DAS_IOC_GET_ROOT_BUS_LIST, table.data(), table.size(), table.data(),
                             table.size()));
  EXPECT_EQ(table, std::vector<std::uint8_t>(rmdrv::kRootBusListSize, 0));
}

}  // namespace
}  // namespace ztrm
