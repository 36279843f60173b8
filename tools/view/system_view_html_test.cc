#include "tools/view/system_view_html.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "tests/test_image.h"

namespace ztrm {
namespace {

// One chassis of three slots with every kind of drawing in it, and texts that
// would be markup if they were not escaped.
SystemView TinySystem() {
  const ViewSlot s1{"1", 1, "", true, false, "PXIeSystemSlot2Link", "None", "None", "None",
                    ViewModule{"CTL", "A&B", "C-1", "PCI::0::1::0", "0", "1", "", "", ""}};
  const ViewSlot s2{"2", 1, "", false, true, "PXIeSystemTimingSlot", "3", "15", "78,08", std::nullopt};
  const ViewSlot s3{"3", 1, "", false, false, "PXIePeripheralSlot", "3", "14", "70,08",
                    ViewModule{"<script>x</script>", "V", "M-1", "PCI::4::0::0", "4", "0", "4", "4", ""}};
  SystemView view;
  view.chassis.push_back({"1", "ZT<9>", "A&B \"Lab\"", "S'1", "t.ini", "A&B\\ZT<9>", true, true, {s1, s2, s3},
                          {{"1", {0, 1}}, {"2", {2}}}, {{"1", {0, 1}}, {"2", {2}}}, {{"1", "1", "2", "1"}},
                          {{"1", "2", {{"0", 2}}}}, ""});
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
// the list of what the run left out counts what it leaves off.
TEST(SystemViewHtml, RepeatedSlotsAreMarkedAndTheLeftOutListCounted) {
  SystemView view = TinySystem();
  view.chassis[0].slots[2].times_listed = 2;
  view.chassis[0].slots[2].repeat_note = "slot \"3\" is listed more than once";
  view.has_trail = true;
  view.left_out = {"X: not written"};
  view.left_out_not_kept = 2;
  const std::string page = RenderSystemViewHtml(view);
  EXPECT_NE(page.find("<text x=\"262\" y=\"52\" class=\"repeat-mark\"><title>slot &quot;3&quot; is "
                      "listed more than once</title>\xC3\x97" "2</text>"),
            std::string::npos);
  EXPECT_NE(page.find("<li><pre>X: not written</pre></li>\n<li>2 more, not listed here"), std::string::npos);
}

// The largest model the reader lets through: every text at its longest and
// made of the character that escapes longest. The page stays within its
// bound, and the chassis that would pass it are named.
TEST(SystemViewHtml, ThePageOfTheLargestInputStaysWithinItsBound) {
  const std::string text(300, '"');  // cut to 259, each escaped to 6 bytes
  std::string list, body, ebody, slots;
  for (int s = 1; s <= 64; ++s) slots += (s > 1 ? "," : "") + std::to_string(s);
  for (int id = 1; id <= 32; ++id) {
    list += (id > 1 ? "," : "") + std::to_string(id);
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
  inputs.pxisys = "[System]\nChassisList=\"" + list + "\"\n" + body;
  inputs.pxiesys = "[System]\nChassisList=\"" + list + "\"\n" + ebody;
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
