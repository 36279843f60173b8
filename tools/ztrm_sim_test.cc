#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "tests/test_image.h"

namespace ztrm {
namespace {

struct Result {
  int exit_code = -1;
  std::string out;  // standard output and standard error together
};

Result RunSim(const std::string& args) {
  Result r;
  std::string command = std::string(ZTRM_SIM_PATH) + " " + args + " 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return r;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) r.out.append(buffer, n);
  int status = ::pclose(pipe);
  if (WIFEXITED(status)) r.exit_code = WEXITSTATUS(status);
  return r;
}

int Lines(const std::string& s) {
  int n = 0;
  for (char c : s) n += c == '\n';
  return n;
}

TEST(ZtrmSimTest, BadArgumentsGiveOneLineAndExitCode2) {
  for (const char* args : {"", "/no/such/image/folder", "--time=yesterday /tmp", "a b", "--bogus"}) {
    Result r = RunSim(args);
    EXPECT_EQ(r.exit_code, 2) << args;
    EXPECT_EQ(Lines(r.out), 1) << args << ": " << r.out;
  }
}

TEST(ZtrmSimTest, RunsOnceAndSaysWhatItWrote) {
  TestImage image;
  image.Write("drive_c/ProgramData/PXISA/configuration.ini",
              "[ResourceManager]\r\nName = \"ZELTRO Technology\"\r\n");
  Result r = RunSim("--time=2026-12-06T05:30:00.123 " + image.root());
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
  Result r = RunSim(image.root());
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
