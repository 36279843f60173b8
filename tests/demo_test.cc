// The demo system image, run end to end natively, against the files expected
// of it.
#include <gtest/gtest.h>

#include "enumeration/worker.h"
#include "platform/native/native_platform.h"
#include "tests/output_test_files.h"
#include "tests/shell_run.h"
#include "tests/test_image.h"

namespace ztrm {
namespace {

TEST(DemoImageTest, EachRunWritesTheExpectedFilesFromAFreshInventory) {
  TestImage image;
  ASSERT_NO_FATAL_FAILURE(BuildImage(image, "examples/demo"));
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

  // A second run starts the inventory afresh: the same log (its module
  // indexes start at 1 again), the same counts.
  worker.PerformRun();
  EXPECT_EQ(image.Read("drive_c/windows/pxirms.log"), ReadSourceFile("tests/expected/demo/pxirms.log"));
  EXPECT_EQ(ctx.SystemModuleCounter, 2u);
  EXPECT_EQ(ctx.PeripheralModuleCounter, 4u);  // three ZT-4120, one ZT-6250
  ASSERT_EQ(ctx.vecPXISys.size(), 2u);

  // A description edited while the service runs (same files, another model
  // line) counts at the next run as it would in a fresh start.
  const std::string description = "drive_c/ZELTRO/PXI/ChassisDescriptions/ZT1018.ini";
  std::string text = image.Read(description);
  text.replace(text.find("Model = \"ZT-1018"), 16, "Model = \"ZT-1019");
  image.Write(description, text);
  worker.PerformRun();
  const std::string next_run = image.Read("drive_c/windows/pxisys.ini");
  RunContext fresh_ctx(native.platform());
  EnumerationWorker fresh(fresh_ctx);
  fresh.Start();
  fresh.PerformRun();
  EXPECT_EQ(next_run, image.Read("drive_c/windows/pxisys.ini"));
  EXPECT_NE(next_run, ExpectedCrlfFile("demo/pxisys.ini"));
}

// demo.sh's closing summary of the demo system's files (both kinds of
// chassis, a PXI Express chassis's slot count from its own slot list, the
// modules in their slots).
TEST(DemoImageTest, SummaryNamesEveryChassisAndModule) {
  TestImage image;
  image.Write("pxisys.ini", ExpectedCrlfFile("demo/pxisys.ini"));
  image.Write("pxiesys.ini", ExpectedCrlfFile("demo/pxiesys.ini"));
  const std::string summarize = "bash " + std::string(ZTRM_SOURCE_DIR) + "/tools/demo/summarize.sh ";
  ShellResult r = RunShell(summarize + image.root() + " 2>&1");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out,
            "Chassis 2: PXI Express ZELTRO Technology ZT1085, 10 slots, serial number ZT1085-00042\n"
            "    slot 1   ZELTRO Technology ZT-8840, ZT8840-0001\n"
            "    slot 3   ZELTRO Technology ZT-4120, ZT4120-1001\n"
            "    slot 5   ZELTRO Technology ZT-4120, ZT4120-1002\n"
            "    slot 8   ZELTRO Technology ZT-4120, ZT4120-1003\n"
            "Chassis 1: PXI-1 ZELTRO Technology ZT-1018 PXI Chassis, 8 slots\n"
            "    (PXI-1: pxisys.ini names the slots, not the modules in them)\n");
}

}  // namespace
}  // namespace ztrm
