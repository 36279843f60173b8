// The native simulation of the resource driver answers the probe image as the
// kernel driver must under Wine (tests/e2e/driver_simulated.sh compares the
// kernel driver's answers with the same expected file).
#include <gtest/gtest.h>

#include "platform/native/native_platform.h"
#include "tests/e2e/driver_probe_report.h"
#include "tests/test_image.h"

namespace ztrm {
namespace {

TEST(DriverProbeTest, NativeDriverAnswersTheProbeImageAsExpected) {
  TestImage image;
  image.Write("registry.reg", ReadSourceFile("tests/e2e/images/driver_probe/registry.reg"));
  NativePlatform native(image.root());
  EXPECT_EQ(DriverProbeReport(native.platform().driver),
            ReadSourceFile("tests/expected/output/driver_probe.txt"));
}

}  // namespace
}  // namespace ztrm
