#include <gtest/gtest.h>

#include <string>

#include "tests/shell_run.h"
#include "tests/test_image.h"

namespace ztrm {
namespace {

// Its bad command lines: ToolHelpTest (tools/ztrm_sim_test.cc).
TEST(ZtrmViewTest, MissingFilesAndFoldersAreNamedAndThePageIsStillWritten) {
  TestImage dir;
  dir.Write("pxiesys.ini",
            "[System]\r\nChassisList = \"2\"\r\n\r\n[Chassis2]\r\nModel = \"ZT1085\"\r\nSlotList = \"1,2\"\r\n");
  const std::string page = dir.Path("page.html");
  ShellResult r = RunTool(ZTRM_VIEW_PATH, "--log " + dir.Path("drive_c") + " " + dir.Path("none.ini") + " " +
                                              dir.Path("pxiesys.ini") + " -o " + page);
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.out, "ztrm-view: not drawn: pxisys.ini: cannot read " + dir.Path("none.ini") +
                       " (No such file or directory)\nztrm-view: not drawn: pxirms.log: cannot read " +
                       dir.Path("drive_c") + " (not a regular file)\nwrote " + page + "\n");
  std::string html = dir.Read("page.html");
  EXPECT_NE(html.find("<rect class=\"slot system\" data-chassis=\"2\" data-slot=\"1\""), std::string::npos);
  EXPECT_NE(html.find("<li>pxisys.ini: cannot read " + dir.Path("none.ini")), std::string::npos);
}

TEST(ZtrmViewTest, AnOutputThatCannotBeWrittenIsExitCode2) {
  TestImage dir;
  dir.Write("a.ini", "[System]\r\nChassisList = \"\"\r\n");
  const std::string page = dir.Path("no/such/page.html");
  ShellResult r = RunTool(ZTRM_VIEW_PATH, dir.Path("a.ini") + " " + dir.Path("a.ini") + " -o " + page);
  EXPECT_EQ(r.exit_code, 2);
  EXPECT_EQ(r.out, "ztrm-view: cannot write " + page + " (No such file or directory)\n");
}

}  // namespace
}  // namespace ztrm
