#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>

#include "tests/service_test_support.h"
#include "tests/shell_run.h"
#include "tests/test_image.h"

namespace ztrm {
namespace {

TEST(ToolHelpTest, EveryToolAnswersHelp) {
  const std::pair<const char*, const char*> tools[] = {
      {ZTRM_SIM_PATH, "usage: ztrm-sim "},
      {ZTRM_CHECK_PATH, "usage: ztrm-check "},
      {ZTRM_VIEW_PATH, "usage: ztrm-view "},
      {ZTRM_REPLAY_SETUP_PATH, "usage: ztrm-replay-setup "},
      {ZTRM_BENCH_PATH, "usage: ztrm-bench "},
  };
  for (const auto& [path, first] : tools) {
    ShellResult r = RunTool(path, "--help");
    EXPECT_EQ(r.exit_code, 0) << path;
    EXPECT_EQ(r.out.rfind(first, 0), 0u) << path << ": " << r.out;
    EXPECT_NE(r.out.find("Exit codes: 0 "), std::string::npos) << path << ": " << r.out;
  }
}

// A command line a tool cannot use, or a folder that is no image: one line,
// exit code 2.
TEST(ToolHelpTest, BadCommandLinesGiveOneLineAndExitCode2) {
  const std::pair<const char*, const char*> rows[] = {
      {ZTRM_SIM_PATH, ""}, {ZTRM_SIM_PATH, "/no/such/image/folder"}, {ZTRM_SIM_PATH, ZTRM_SOURCE_DIR "/docs"},
      {ZTRM_SIM_PATH, "--time=yesterday /tmp"}, {ZTRM_SIM_PATH, "a b"}, {ZTRM_SIM_PATH, "--bogus"},
      {ZTRM_VIEW_PATH, ""}, {ZTRM_VIEW_PATH, "a.ini"},
      {ZTRM_VIEW_PATH, "a.ini b.ini"}, {ZTRM_VIEW_PATH, "a.ini b.ini c.ini -o x.html"}, {ZTRM_VIEW_PATH, "-o"},
      {ZTRM_VIEW_PATH, "a.ini b.ini -o"}, {ZTRM_VIEW_PATH, "--log"}, {ZTRM_VIEW_PATH, "--bogus a.ini b.ini -o x.html"},
  };
  for (const auto& [path, args] : rows) {
    ShellResult r = RunTool(path, args);
    EXPECT_EQ(r.exit_code, 2) << path << " " << args;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << path << " " << args << ": " << r.out;
  }
}

// An image with nothing in it but another resource manager configured: the
// run all the same, the files written, and the warning naming every place
// the run looked for a chassis.
TEST(ZtrmSimTest, RunsOnceAndSaysWhatItWroteAndWhereItFoundNoChassis) {
  TestImage image;
  ConfigureResourceManager(image, "Other");
  ShellResult r = RunTool(ZTRM_SIM_PATH, "--time=2026-12-06T05:30:00.123 " + image.root());
  EXPECT_EQ(r.exit_code, 0);
  const std::string windows = image.Path("drive_c/windows/");
  auto wrote = [&](const char* name) {
    return "wrote " + windows + name + " (" + std::to_string(std::filesystem::file_size(windows + name)) + " bytes)\n";
  };
  EXPECT_EQ(r.out,
            "ztrm-sim: C:\\ProgramData\\PXISA\\configuration.ini names \"Other\" as the resource manager, not "
            "\"ZELTRO Technology\"; running once all the same.\n" +
                wrote("pxirms.log") + wrote("pxisys.ini") + wrote("pxiesys.ini") +
                "ztrm-sim: warning: the run found no chassis. It looked for:\n"
                "  description files: in the folder named by "
                "HKLM\\SOFTWARE\\PXISA\\CurrentVersion\\ChassisDescriptionFilePath (no such key)\n"
                "  PXI-1 chassis:     in the chassis list C:\\ZELTRO\\PXI\\PXIChassisList.ini (no such file)\n"
                "  PXI Express chassis: from the vendor module libraries registered under\n"
                "                     HKLM\\SOFTWARE\\PXISA\\Services\\Chassis (0 models)\n"
                "  The run log drive_c/windows/pxirms.log says what each step found.\n");
  EXPECT_NE(image.Read("drive_c/windows/pxirms.log").find("[2026-12-06_05:30:00.123]  \r\n"), std::string::npos);
}

}  // namespace
}  // namespace ztrm
