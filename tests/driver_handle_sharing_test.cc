// The worker start opens the resource driver and the device event handler
// asks the same handle whether the chassis modules changed: the simulated
// driver's "ChassisModulesChanged" value decides.
#include <gtest/gtest.h>

#include "output/root_bus_list.h"
#include "service/device_events.h"
#include "tests/stage_bench.h"

namespace ztrm {
namespace {

TEST(DriverHandleSharingTest, TheDeviceHandlerAsksThroughTheHandleTheWorkerOpened) {
  struct Case {
    const char* changed;  // the registry value line, or "" for none
    int expect_request;
  };
  const Case cases[] = {{"\"ChassisModulesChanged\"=dword:00000001", 1},
                        {"\"ChassisModulesChanged\"=dword:00000002", 0},
                        {"", 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.changed);
    StageBench bench(DriverRegistry({"\"RootBusCount\"=dword:00000000", c.changed}));
    RunContext& ctx = bench.Context();
    DeviceEventHandler handler(ctx.platform, ctx, WideText());
    DeviceEventRecord record{kDeviceTypeDeviceInterface, u"\\\\?\\PCI#VEN_9999&DEV_0001#x#{y}"};

    // Before the worker start no handle is held: the driver is not asked.
    handler.OnDeviceEvent(kDeviceArrival, &record);
    EXPECT_EQ(bench.driver().codes.size(), 0u);

    EXPECT_EQ(mf_WriteRootBusList(ctx), 0);
    const DriverHandle handle = ctx.SharedDriverHandle.load();
    ASSERT_NE(handle, 0u);
    handler.OnDeviceEvent(kDeviceArrival, &record);
    EXPECT_EQ(bench.driver().codes, (std::vector<std::uint32_t>{0x223504, 0x2234E0}));
    EXPECT_EQ(ctx.ReenumerationRequest.load(), c.expect_request);
    EXPECT_EQ(bench.driver().opens, 1);
  }
}

}  // namespace
}  // namespace ztrm
