#include "tools/view/system_view_html.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/test_image.h"

namespace ztrm {
namespace {

// One chassis of three slots with every kind of drawing in it, and texts that
// would be markup if they were not escaped.
SystemView TinySystem() {
  const ViewSlot s1{"1", 1, "", true, false, "PXIeSystemSlot2Link", "None", "None", "None",
                    ViewModule{"CTL", "A&B", "C-1", "PCI::0::1::0", "0", "1", "", ""}};
  const ViewSlot s2{"2", 1, "", false, true, "PXIeSystemTimingSlot", "3", "15", "78,08"};
  const ViewSlot s3{"3", 1, "", false, false, "PXIePeripheralSlot", "3", "14", "70,08",
                    ViewModule{"<script>x</script>", "V", "M-1", "PCI::4::0::0", "4", "0", "4", "4"}};
  SystemView view;
  view.chassis.push_back({"1", "ZT<9>", "A&B \"Lab\"", "S'1", "t.ini", "A&B\\ZT<9>", true, true, {s1, s2, s3},
                          {{"1", {0, 1}}, {"2", {2}}}, {{"1", {0, 1}}, {"2", {2}}}, {{"1", "1", "2", "1"}},
                          {{"1", "2", {{"0", 2}}}}});
  view.run = ViewRun{"2026-12-06_05:30:00.123", "M", "X", {"Fail to open key of <k>"}};
  view.skipped = {"chassis 1: trigger bus \"9\" has no [Chassis1TriggerBus9] section in pxiesys.ini"};
  return view;
}

TEST(SystemViewHtml, TinySystemGivesTheWholeExpectedPage) {
  EXPECT_EQ(RenderSystemViewHtml(TinySystem()), ReadSourceFile("tests/expected/view/tiny.html"));
}

// Texts cut to their boxes: the widths are DejaVu Sans's (module box 62
// units at 11 px, the PCI line 76 at 10 px).
TEST(SystemViewHtml, TextsAreCutToTheirBoxesKeepingWhatTellsThemApart) {
  const struct {
    const char* text;
    double width, font_px;
    Ellipsis where;
    FittedText fitted;
  } rows[] = {
      {"dev 65535", 62, 11, Ellipsis::kEnd, {"dev 65535", false}},
      {"bus 4 dev 65520", 76, 10, Ellipsis::kEnd, {"bus 4 dev 65\xE2\x80\xA6", true}},
      {"PXIe-6570-Chassis2-Slot11", 62, 11, Ellipsis::kMiddle, {"PXI\xE2\x80\xA6lot11", true}},
  };
  for (const auto& row : rows) {
    FittedText fitted = FitText(row.text, row.width, row.font_px, row.where);
    EXPECT_EQ(fitted.shown, row.fitted.shown) << row.text;
    EXPECT_EQ(fitted.cut, row.fitted.cut) << row.text;
    EXPECT_LE(TextWidth(fitted.shown, row.font_px), row.width) << row.text;
  }
  // Instance names side by side: a shared start or a shared end never makes
  // two modules look alike.
  const struct {
    std::vector<std::string> names;
    std::vector<std::string> labels;
  } groups[] = {
      {{"DigitalMultimeter_Chassis2_Slot3", "DigitalMultimeter_Chassis2_Slot4", "C-1"},
       {"Di\xE2\x80\xA6_Slot3", "Di\xE2\x80\xA6_Slot4", "C-1"}},
      {{"Scope_A_with_long_common_tail", "Scope_B_with_long_common_tail"},
       {"\xE2\x80\xA6" "e_A_wi\xE2\x80\xA6", "\xE2\x80\xA6" "e_B_wi\xE2\x80\xA6"}},
  };
  for (const auto& group : groups) {
    std::vector<FittedText> labels = DistinctLabels(group.names, 62, 11);
    ASSERT_EQ(labels.size(), group.labels.size());
    for (std::size_t i = 0; i < labels.size(); ++i) {
      EXPECT_EQ(labels[i].shown, group.labels[i]) << group.names[i];
      EXPECT_EQ(labels[i].cut, labels[i].shown != group.names[i]) << group.names[i];
    }
  }
}

// A slot the files list twice carries its mark and the note in a tooltip;
// two bridges between the same buses stand side by side, their links rising
// from the top edge of the row of boxes, so no link crosses a box.
TEST(SystemViewHtml, RepeatedSlotsAreMarkedAndBridgesStandApart) {
  SystemView view = TinySystem();
  ViewChassis& c = view.chassis[0];
  c.slots[2].times_listed = 2;
  c.slots[2].repeat_note = "slot \"3\" is listed more than once";
  c.bridges.push_back({"2", "2", "1", "1"});
  const std::string page = RenderSystemViewHtml(view);
  EXPECT_NE(page.find("<text x=\"262\" y=\"52\" class=\"repeat-mark\"><title>slot &quot;3&quot; is "
                      "listed more than once</title>\xC3\x97" "2</text>"),
            std::string::npos);
  EXPECT_NE(page.find("data-bridge=\"1\" x=\"90\" y=\"298\" width=\"140\""), std::string::npos);
  EXPECT_NE(page.find("data-bridge=\"2\" x=\"240\" y=\"298\" width=\"140\""), std::string::npos);
  std::size_t links = 0;
  for (std::size_t at = page.find("class=\"bridge-link\""); at != std::string::npos;
       at = page.find("class=\"bridge-link\"", at + 1), ++links) {
    EXPECT_EQ(page.compare(page.find("y1=", at), 8, "y1=\"298\""), 0);
  }
  EXPECT_EQ(links, 4u);
}

// With the run's trail: the chassis drawing and the module carry their
// decisions as tooltips, and what was left out is listed, all escaped.
TEST(SystemViewHtml, TheTrailIsInTooltipsAndTheLeftOutList) {
  SystemView view = TinySystem();
  view.has_trail = true;
  view.chassis[0].trail = "ZT<9>: [Chassis1] of pxisys.ini\n  - chassis-written: index: 1";
  view.chassis[0].slots[2].module->trail = "M-1: [Chassis1Slot3]\n  - parent: bus: 4 & \"5\"";
  view.left_out = {"X 'gone': not written\n  - no-parent: bus: 30\n    (no-parent: <rule>)"};
  view.left_out_not_kept = 2;
  const std::string page = RenderSystemViewHtml(view);
  const char* const shown[] = {
      "viewBox=\"0 0 300 334\">\n<title>ZT&lt;9&gt;: [Chassis1] of pxisys.ini\n  - chassis-written: index: "
      "1</title>\n<rect class=\"segment\"",
      "<rect class=\"module\" data-chassis=\"1\" data-slot=\"3\" x=\"192\" y=\"76\" width=\"68\" "
      "height=\"120\"><title>V &lt;script&gt;x&lt;/script&gt; M-1 PCI::4::0::0\n\nM-1: [Chassis1Slot3]\n  - "
      "parent: bus: 4 &amp; &quot;5&quot;</title></rect>",
      "<h2>Left out of the system files</h2>",
      "<li><pre>X &#39;gone&#39;: not written\n  - no-parent: bus: 30\n    (no-parent: &lt;rule&gt;)</pre></li>\n"
      "<li>2 more, not listed here",
  };
  for (const char* text : shown) EXPECT_NE(page.find(text), std::string::npos) << text << "\n" << page;
  // The controller has no trail of its own: its tooltip is as without one.
  EXPECT_NE(page.find("<title>A&amp;B CTL C-1 PCI::0::1::0</title></rect>"), std::string::npos);
  // A trail with nothing left out says so.
  view.left_out.clear();
  view.left_out_not_kept = 0;
  EXPECT_NE(RenderSystemViewHtml(view).find("<p>Nothing: every chassis and module the run found is "
                                            "written.</p>"),
            std::string::npos);
}

TEST(SystemViewHtml, EscapesMarkupQuotesAndControlCharacters) {
  const struct {
    const char* in;
    const char* out;
  } rows[] = {
      {"plain 1,2", "plain 1,2"},
      {"<script>alert(1)</script>", "&lt;script&gt;alert(1)&lt;/script&gt;"},
      {"a&b", "a&amp;b"},
      {"\" onload=\"x", "&quot; onload=&quot;x"},
      {"it's", "it&#39;s"},
      {"bell\x07 esc\x1b del\x7f", "bell? esc? del?"},
      {"tab\tline\n", "tab\tline\n"},
      {"\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9"},
  };
  for (const auto& row : rows) EXPECT_EQ(EscapeHtml(row.in), row.out) << row.in;
}

TEST(SystemViewHtml, AnEmptySystemIsStillAPageThatSaysWhyItIsEmpty) {
  SystemView view;
  view.skipped = {"pxisys.ini: cannot read /x (No such file or directory)"};
  std::string page = RenderSystemViewHtml(view);
  EXPECT_EQ(page.find("<svg"), std::string::npos);
  EXPECT_NE(page.find("<p class=\"legend\">0 chassis."), std::string::npos);
  EXPECT_NE(page.find("<li>pxisys.ini: cannot read /x (No such file or directory)</li>"),
            std::string::npos);
  EXPECT_EQ(page.substr(page.size() - 16), "</body>\n</html>\n");
}

// The largest model the reader lets through: every text at its longest and
// made of the character that escapes longest. The page stays within its
// bound, and the chassis that would pass it are named.
TEST(SystemViewHtml, ThePageOfTheLargestInputStaysWithinItsBound) {
  const std::string text(300, '"');  // cut to 259, each escaped to 6 bytes
  std::string pxisys = "[System]\nChassisList=\"", pxiesys = "[System]\nChassisList=\"";
  std::string body, ebody, slots;
  for (int s = 1; s <= 64; ++s) slots += (s > 1 ? "," : "") + std::to_string(s);
  for (int id = 1; id <= 32; ++id) {
    pxisys += (id > 1 ? "," : "") + std::to_string(id);
    pxiesys += (id > 1 ? "," : "") + std::to_string(id);
    const std::string c = "Chassis" + std::to_string(id);
    body += "[" + c + "]\nSlotList=\"" + slots + "\"\nPCIBusSegmentList=\"1\"\n[" + c +
            "PCIBusSegment1]\nSlotList=\"" + slots + "\"\n";
    ebody += "[" + c + "]\nModel=" + text + "\nVendor=" + text + "\nSlotList=\"" + slots + "\"\n";
    for (int s = 1; s <= 64; ++s) {
      const std::string section = "[" + c + "Slot" + std::to_string(s) + "]\n";
      body += section + "PCIBusNumber=" + text + "\nPCIDeviceNumber=" + text + "\nPCISlotPath=" + text + "\n";
      ebody += section + "SlotType=" + text + "\nModel=" + text + "\nVendor=" + text +
               "\nInstanceName=" + text + "\nAddressInfo=PCI::" + text + "::" + text + "::0\n";
    }
  }
  ViewInputs inputs;
  inputs.pxisys = pxisys + "\"\n" + body;
  inputs.pxiesys = pxiesys + "\"\n" + ebody;
  SystemView view = ReadSystemView(inputs);
  std::string page = RenderSystemViewHtml(view);
  ASSERT_GE(view.chassis.size(), 1u);
  EXPECT_LT(view.chassis.size(), 32u);
  EXPECT_LE(page.size(), kMaxViewPageBytes + 65536) << page.size();
  const std::string cut = "chassis " + std::to_string(view.chassis.size() + 1) +
                          " and the chassis after it are not drawn: the page would pass 8 MB";
  EXPECT_NE(std::find(view.skipped.begin(), view.skipped.end(), cut), view.skipped.end());
}

}  // namespace
}  // namespace ztrm
