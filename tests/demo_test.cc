// The demo system image, run end to end natively, against the files expected
// of it.
#include <gtest/gtest.h>

#include <filesystem>

#include "enumeration/worker.h"
#include "platform/native/native_platform.h"
#include "tests/output_test_files.h"
#include "tests/test_image.h"

namespace ztrm {
namespace {

TEST(DemoImageTest, OneRunWritesTheExpectedFiles) {
  TestImage image;
  std::filesystem::copy(std::string(ZTRM_SOURCE_DIR) + "/examples/demo", image.root(),
                        std::filesystem::copy_options::recursive |
                            std::filesystem::copy_options::overwrite_existing);
  NativePlatform native(image.root());
  native.clock().Pin({2026, 12, 6, 5, 30, 0, 123});
  RunContext ctx(native.platform());
  EnumerationWorker worker(ctx);
  worker.Start();
  worker.PerformRun();

  EXPECT_EQ(image.Read("drive_c/windows/pxirms.log"), ReadSourceFile("tests/expected/demo/pxirms.log"));
  EXPECT_EQ(image.Read("drive_c/windows/pxisys.ini"), ExpectedCrlfFile("demo/pxisys.ini"));
  EXPECT_EQ(image.Read("drive_c/windows/pxiesys.ini"), ExpectedCrlfFile("demo/pxiesys.ini"));
  // Written at the worker start, from the simulated driver's root bus table.
  EXPECT_EQ(image.Read("drive_c/windows/ztbuslist.dat"), ExpectedCrlfFile("demo/ztbuslist.dat"));
  // The worker start and the run each tell the companion to reload.
  EXPECT_EQ(image.Read("launches.log"), "ORB.exe|reload|C:\\ZELTRO\\ORB\nORB.exe|reload|C:\\ZELTRO\\ORB\n");
  ASSERT_EQ(ctx.vecPXISys.size(), 1u);
  const stPXISys& chassis = ctx.vecPXISys[0];
  EXPECT_EQ(chassis.usChassisID, 1);
  EXPECT_EQ(chassis.dwChassisIndex, 1u);
  EXPECT_EQ(chassis.bPXI1, 1);
  EXPECT_EQ(chassis.szDescriptionFile, WideText(u"ZT1018.ini"));
  ASSERT_EQ(chassis.vecPCIBusSegment.size(), 2u);
  EXPECT_EQ(chassis.vecPCIBusSegment[0].usRootBusNumber, 4);
  EXPECT_EQ(chassis.vecPCIBusSegment[1].usRootBusNumber, 5);
  EXPECT_EQ(chassis.vecSlot.size(), 8u);
}

}  // namespace
}  // namespace ztrm
