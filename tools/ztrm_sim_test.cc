#include <gtest/gtest.h>

#include <string>

#include "tests/shell_run.h"
#include "tests/test_image.h"

namespace ztrm {
namespace {

ShellResult RunSim(const std::string& args) {
  return RunShell(std::string(ZTRM_SIM_PATH) + " " + args + " 2>&1");
}

int Lines(const std::string& s) {
  int n = 0;
  for (char c : s) n += c == '\n';
  return n;
}

TEST(ZtrmSimTest, BadArgumentsGiveOneLineAndExitCode2) {
  for (const char* args : {"", "/no/such/image/folder", "--time=yesterday /tmp", "a b", "--bogus"}) {
    ShellResult r = RunSim(args);
    EXPECT_EQ(r.exit_code, 2) << args;
    EXPECT_EQ(Lines(r.out), 1) << args << ": " << r.out;
  }
}

TEST(ZtrmSimTest, RunsOnceAndSaysWhatItWrote) {
  TestImage image;
  image.Write("drive_c/ProgramData/PXISA/configuration.ini",
              "[ResourceManager]\r\nName = \"ZELTRO Technology\"\r\n");
  ShellResult r = RunSim("--time=2026-12-06T05:30:00.123 " + image.root());
  EXPECT_EQ(r.exit_code, 0);
  const std::string windows = image.Path("drive_c/windows/");
  EXPECT_EQ(r.out, "wrote " + windows + "pxirms.log\nwrote " + windows + "pxisys.ini\nwrote " +
                       windows + "pxiesys.ini\n");
  EXPECT_NE(image.Read("drive_c/windows/pxirms.log").find("[2026-12-06_05:30:00.123]  \r\n"),
            std::string::npos);
}

TEST(ZtrmSimTest, SaysPlainlyWhenAnotherManagerIsConfigured) {
  TestImage image;
  image.Write("drive_c/ProgramData/PXISA/configuration.ini", "[ResourceManager]\r\nName = Other\r\n");
  ShellResult r = RunSim(image.root());
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out.rfind("ztrm-sim: C:\\ProgramData\\PXISA\\configuration.ini names \"Other\" as the "
                        "resource manager, not \"ZELTRO Technology\"; running once all the same.\n",
                        0),
            0u)
      << r.out;
  EXPECT_TRUE(image.Exists("drive_c/windows/pxirms.log"));
}

}  // namespace
}  // namespace ztrm
