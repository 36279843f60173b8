// ztrm-sim --explain against what the run really wrote: every reason the
// trail gives is shown true on a small image (the demo with one change) where
// it happens, whole explanations are compared with texts written from the
// rules, the JSON form is read back, and the run's files are the same bytes
// with the trail on and off.
#include "tools/explain_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/shell_run.h"
#include "tests/test_image.h"

namespace ztrm {
namespace {

namespace fs = std::filesystem;

// One run on the image; `flags` empty for a run without the trail.
ShellResult Sim(const TestImage& image, const std::string& flags) {
  return RunShell(std::string(ZTRM_SIM_PATH) + " --time=2026-12-06T05:30:00.123 " + flags + " " +
                  ShellQuote(image.root()) + " 2>/dev/null");
}

// The lines of section [name] of an ini file (CR LF or LF), up to the next
// section; the whole file for an empty name; nothing when it has no section.
std::string Section(const std::string& file, const std::string& name) {
  if (name.empty()) return file;
  const std::string header = "[" + name + "]";
  std::size_t at = file.find(header + "\r\n");
  if (at == std::string::npos) at = file.find(header + "\n");
  if (at == std::string::npos) return std::string();
  std::size_t end = file.find("\n[", at);
  return file.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

struct Reason {
  const char* kind;         // the decision kind the explanation must name
  const char* change;       // the change to the demo, as shell
  const char* explanation;  // text the explanation holds with it
  const char* file;         // the output that shows the decision
  const char* section;      // its section ("" the whole file)
  const char* text;         // text there ...
  bool present;             // ... that must be there (true) or not (false)
};

constexpr char kDemo[] = "true";
// The README's image: the demo with ZT4120-1002 moved to bus 30.
constexpr char kOutOfRange[] = "bash \"$SRC/tests/explain/out_of_range.sh\" \"$IMAGE\"";

const Reason kReasons[] = {
    {"count-cut", "sim_add ZT-4120 'ReportedCount = 8193'",
     "vendor: ZELTRO Technology; model: ZT-4120; reported: 8193; read: 8192", "pxirms.log", "",
     "PeripheralModule_GetCount is above 8192: only the first 8192 are read", true},
    {"no-bus-range", "sim_add ZT-8370 'Info.100 = 5'", "NumberofValidLinks: 5", "pxirms.log", "",
     "SystemModule_GetInfomation NumberofValidLinks Error and Unsupported.", true},
    {"mapping-index", kDemo, "\"ZT8840-0001\" (PCI::0::28::0, controller, buses 8-19): [Chassis2Slot1] of pxiesys.ini\n"
     "    - mapping-index: bus range: 8-19; number: 1", "pxirms.log", "",
     "MappingToChassisIndex = 1, ChassisID = 2", true},
    {"parent", kDemo, "parent: bus: 14; controller: ZELTRO Technology ZT-8840 \"ZT8840-0001\"; its bus range: 8-19",
     "pxirms.log", "", "PeripheralModule_GetInformation_2 MaxLinkWidth = 4, PCIBusNumber= 14", true},
    {"no-parent", kOutOfRange, "no-parent: bus: 30; controllers' bus ranges: \"ZT8370-0007\" 20-24, \"ZT8840-0001\" 8-19 -> not written",
     "pxiesys.ini", "", "ZT4120-1002", false},
    {"no-root-bus-export",
     "perl -0777 -i -pe 's/(Chassis\\\\ZELTRO Technology\\\\ZT1085\\]\\r?\\n\"Library\"=\"[^\"]*)ztsimmod.dll/$1ztsimmod_noinfo.dll/' \"$IMAGE/registry.reg\"",
     "ZELTRO Technology ZT1085 (PXI Express, reported by its library): not written\n    - no-root-bus-export",
     "pxiesys.ini", "", "[Chassis2]", false},
    {"no-root-buses", "sed -i 's/^\\[PCIBusSegment/[Segment/' \"$DESC/ZT1085.ini\"", "no-root-buses: bus segment sections: 0 -> not written",
     "pxiesys.ini", "", "[Chassis2]", false},
    {"root-bus-invalid", "sim_add ZT1085 'RootBus.1 = 300'", "root-bus-invalid: root: 1; bus: 300", "pxirms.log", "",
     "ChassisModule_GetPCIRootBusNumber RootIndex = 1, Chassis1, BusNumber = 300\r\r\nChassisModule_TriggerManagerPath = N/A", true},
    {"root-bus-no-controller", "sim_add ZT1085 'RootBus.1 = 100'", "root-bus-no-controller: root bus: 100",
     "pxirms.log", "", "ChassisModul_SystemModule = ZELTRO Technology, Model = ZT-8840, Index = 2, MappingToChassisIndex = 1", true},
    {"chassis-id", kDemo, "chassis ID: 2; from: ChassisMappingID.ini (kept from an earlier run)", "pxiesys.ini",
     "Chassis2", "Model = \"ZT1085\"", true},
    {"mapping-index-no-slot", "sim_add ZT-8840 'ReportedCount = 300'", "its number: 300; chassis ID: 0",
     "pxiesys.ini", "System", "ChassisList = \"\"", true},
    {"eeprom-mismatch", "sed -i 's/^EepromModel = ZT1085$/EepromModel = ZT1086/' \"$SIMINI\"",
     "eeprom-mismatch: vendor: ZELTRO Technology; model: ZT1085", "pxiesys.ini", "System", "ChassisList = \"\"", true},
    {"index-taken",
     "printf '[Chassis]\\nVendor = ZELTRO Technology\\nModel = ZT1085\\nRootBus.1 = 10\\nRootBus.2 = 11\\n' >>\"$SIMINI\"",
     "index-taken: index: 1; held by: ZELTRO Technology ZT1085 (ZT1085.ini) -> index 255: not written", "pxiesys.ini",
     "System", "ChassisList = \"2\"", true},
    {"chassis-left-out", "sed -i 's/^EepromModel = ZT1085$/EepromModel = ZT1086/' \"$SIMINI\"",
     "chassis-left-out: index: 255; chassis found: 2 -> not written", "pxisys.ini", "System", "ChassisList = \"1\"", true},
    {"chassis-written", kDemo, "chassis-written: index: 2; chassis ID: 1 -> [Chassis1] of pxisys.ini", "pxisys.ini",
     "System", "ChassisList = \"2,1\"", true},
    {"file-unreadable", "mkdir \"$DESC/Folder.ini\"",
     "C:\\ZELTRO\\PXI\\ChassisDescriptions\\Folder.ini: not written\n    - file-unreadable", "pxirms.log", "",
     "Fail to open INI file of C:\\ZELTRO\\PXI\\ChassisDescriptions\\Folder.ini.", true},
    {"description", kDemo, "description: vendor: ZELTRO Technology; model: ZT1085; file: ZT1085.ini", "pxiesys.ini",
     "Chassis2", "DescriptionFile = \"ZT1085.ini\"", true},
    {"no-description", "sed -i 's/^Vendor = \"ZELTRO Technology\"/Vendor=\"ZELTRO Technology\"/' \"$DESC/ZT1018.ini\"",
     "no-description: vendor: ZELTRO Technology; model: ZT-1018 PXI Chassis; description files listed: 2 -> not written",
     "pxisys.ini", "System", "ChassisList = \"2\"", true},
    {"file-unmatched", "sed -i 's/^Model = \"ZT1085\"/Model = \"zt1085\"/' \"$DESC/ZT1085.ini\"",
     "nearest chassis: ZELTRO Technology ZT1085; Model line wanted: Model = \"ZT1085\"; Model line differs: letter case differs",
     "pxiesys.ini", "System", "ChassisList = \"\"", true},
    {"file-shadowed", "cp \"$DESC/ZT1085.ini\" \"$DESC/ZT1085b.ini\"", "file-shadowed: earlier file: ZT1085.ini -> never used",
     "pxiesys.ini", "Chassis2", "DescriptionFile = \"ZT1085.ini\"", true},
    {"listed", kDemo, "listed: ChassisID: 1; Vendor: ZELTRO Technology; Model: ZT-1018 PXI Chassis; PCIRootBusNumber: 4",
     "pxisys.ini", "Chassis1PCIBusSegment1", "[Chassis1PCIBusSegment1]", true},
    {"list-unread",
     "printf '\\n[Chassis2]\\nChassisID = 3\\nVendor = \"ZELTRO Technology\"\\nModel = \"ZT-1018 PXI Chassis\"\\n' >>\"$PXI/PXIChassisList.ini\"",
     "[Chassis2] ZELTRO Technology ZT-1018 PXI Chassis: not written\n    - list-unread: TotalChassis: 1", "pxisys.ini", "",
     "[Chassis3]", false},
    {"segment-walk", kDemo,
     "bus: 5; driver answers (next bus, device, function, marker): bus 5 gave 4,13,0,0, then bus 4 gave 2,28,0,0, then "
     "bus 2 gave 0,1,0,0, then bus 0 gave 0,0,0,255; stopped: root bus 0 (marker 255)",
     "pxisys.ini", "Chassis1Slot6", "PCISlotPath = \"78,68,E0,08\"", true},
    {"segment-walk-failed", "sed -i '/^\"Bus4\"=/d' \"$IMAGE/registry.reg\"", "stopped: the driver has no answer for bus 4",
     "pxisys.ini", "Chassis1Slot2", "PCISlotPath = \"78\"", true},
    {"segment-not-written", "sed -i '/^\"Bus4\"=/d' \"$IMAGE/registry.reg\"",
     "segment-not-written: segment: 2; failed walk of segment: 1 -> not written", "pxisys.ini", "",
     "[Chassis1PCIBusSegment2]", false},
    {"slot-unnamed", "sed -i 's/^IDSEL29 = \"Slot8\"/IDSEL29 = \"slot8\"/' \"$DESC/ZT1018.ini\"",
     "slot-unnamed: slot: 8; IDSEL value sought: Slot8 -> not written", "pxisys.ini", "", "[Chassis1Slot8]", false},
    {"slot-no-position", "sed -i 's/^IDSELList = \"31,30,29,28\"/IDSELList = \"31,30,29,16\"/; s/^IDSEL28 =/IDSEL16 =/' \"$DESC/ZT1018.ini\"",
     "slot-no-position: slot: 5; why: device 0 -> [Chassis1Slot5] of pxisys.ini", "pxisys.ini", "Chassis1Slot5",
     "PCIDeviceNumber = \"None\"", true},
    {"slot-placed", kDemo, "slot-placed: slot: 6; segment: 2; device: 15 -> [Chassis1Slot6] of pxisys.ini", "pxisys.ini",
     "Chassis1Slot6", "PCIDeviceNumber = 15", true},
    {"controller", kDemo, "controller: chassis: ZELTRO Technology ZT1085; chassis ID: 2 -> [Chassis2Slot1] of pxiesys.ini",
     "pxiesys.ini", "Chassis2Slot1", "InstanceName = \"ZT8840-0001\"", true},
    {"controller-unused", kDemo,
     "controller-unused: chassis ID: 0; why: no chassis matched to a description has a root bus in its bus range",
     "pxiesys.ini", "", "ZT8370-0007", false},
    {"peripheral-placed", kDemo,
     "\"ZT4120-1002\" (PCI::14::0::0, bus 14, slot number 5): [Chassis2Slot5] of pxiesys.ini", "pxiesys.ini",
     "Chassis2Slot5", "InstanceName = \"ZT4120-1002\"", true},
    {"slot-number-unmatched", "sed -i 's/^Info.102 = 5$/Info.102 = 11/' \"$SIMINI\"",
     "slot-number-unmatched: slot number: 11; chassis: ZELTRO Technology ZT1085, chassis ID 2; descriptors: descriptor 0 "
     "(slot 2): 2, descriptor 1 (slot 3): 3",
     "pxiesys.ini", "", "ZT4120-1002", false},
    {"slot-taken", "sed -i 's/^Info.102 = 5$/Info.102 = 3/' \"$SIMINI\"", "slot-taken: slot number: 3", "pxiesys.ini",
     "Chassis2Slot3", "InstanceName = \"ZT4120-1001\"", true},
    {"past-descriptors",
     "sed -i 's/^SlotList = \"1,2,3,4,5,6,7,8,9,10\"/SlotList = \"'$(seq -s, 1 34)'\"/' \"$DESC/ZT1085.ini\"",
     "past-descriptors: first slot past them: 33; slots past them: 2 -> [Chassis2Slot33] and later", "pxiesys.ini",
     "Chassis2Slot33", "SlotType = \"N/A\"", true},
    {"parent-not-written", kDemo,
     "parent-not-written: controller: ZELTRO Technology ZT-8370 \"ZT8370-0007\"; why: no chassis matched to a description has a root bus in its bus range",
     "pxiesys.ini", "", "ZT6250-0450", false},
};

class ReasonTest : public testing::TestWithParam<Reason> {};

TEST_P(ReasonTest, IsNamedAndShownByTheOutput) {
  const Reason& r = GetParam();
  TestImage image;
  ASSERT_NO_FATAL_FAILURE(BuildImage(image, "examples/demo", r.change));
  ShellResult run = Sim(image, "--explain");
  ASSERT_EQ(run.exit_code, 0) << run.out;
  EXPECT_NE(run.out.find(std::string("- ") + r.kind + ":"), std::string::npos) << r.kind << "\n" << run.out;
  EXPECT_NE(run.out.find(r.explanation), std::string::npos) << r.explanation << "\n" << run.out;
  const std::string shown = Section(image.Read(std::string("drive_c/windows/") + r.file), r.section);
  EXPECT_EQ(shown.find(r.text) != std::string::npos, r.present)
      << r.file << " [" << r.section << "] " << (r.present ? "lacks " : "holds ") << r.text << "\n" << shown;
}

INSTANTIATE_TEST_SUITE_P(Trail, ReasonTest, testing::ValuesIn(kReasons),
                         [](const testing::TestParamInfo<Reason>& info) {
                           std::string name = std::to_string(info.index) + "_" + info.param.kind;
                           for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });

TEST(ReasonTest, EveryKindHasItsCase) {
  for (int k = 0; k < static_cast<int>(TrailKind::kCount); ++k) {
    const std::string name = TrailKindName(static_cast<TrailKind>(k));
    bool found = false;
    for (const Reason& r : kReasons) found = found || name == r.kind;
    EXPECT_TRUE(found) << name;
  }
}

TEST(ExplainTest, ShowsHiddenCharactersEscaped) {
  const struct {
    std::u16string text;
    const char* shown;
    const char* json;
  } cases[] = {
      {std::u16string(u"a") + char16_t(0xD800) + u"b", "a\\u{D800}b", "a\\ud800b"},
      {u"\u202Eevil", "\\u{202E}evil", "\\u202eevil"},
      {u"\x85", "\\x85", "\\u0085"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ShownText(c.text), c.shown) << c.shown;
    EXPECT_EQ(JsonText(c.text), c.json) << c.json;
  }
}

TEST(ExplainTest, WholeExplanationsAreAsTheRulesSay) {
  const struct {
    const char* change;  // shell, on the demo, as for the reasons
    const char* expected;
  } cases[] = {
      {"true", "tests/expected/explain/demo.txt"},
      {kOutOfRange, "tests/expected/explain/out_of_range.txt"},
      {"sed -i 's/^Model = \"ZT1085\"/Model = \"zt1085\"/' \"$DESC/ZT1085.ini\"; sed -i '/^\"Bus4\"=/d' \"$IMAGE/registry.reg\"",
       "tests/expected/explain/unmatched_and_failed_walk.txt"},
  };
  for (const auto& c : cases) {
    TestImage image;
    ASSERT_NO_FATAL_FAILURE(BuildImage(image, "examples/demo", c.change));
    ShellResult run = Sim(image, "--explain");
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.out, ReadSourceFile(c.expected)) << c.expected;
  }
}

// More description files than the bound of 100 items: one line counts
// what the bound leaves off, and --explain-all gives every file.
TEST(ExplainTest, BoundsAnImageOfManyFiles) {
  TestImage image;
  ASSERT_NO_FATAL_FAILURE(BuildImage(image, "examples/demo",
                                     "for i in $(seq 150); do printf '[Chassis]\\r\\nVendor = \"Other\"\\r\\n"
                                     "Model = \"M%d\"\\r\\n' $i >\"$DESC/X$i.ini\"; done"));
  ShellResult bounded = Sim(image, "--explain");
  EXPECT_NE(bounded.out.find("  ... 52 more description files (0 of them not written); --explain-all shows every one\n"),
            std::string::npos) << bounded.out.substr(0, 3000);
  ShellResult all = Sim(image, "--explain-all");
  EXPECT_EQ(all.out.find("more description files"), std::string::npos);
  // X99.ini is the 150th file listed.
  EXPECT_EQ(bounded.out.find("\n  X99.ini: matched no chassis\n"), std::string::npos);
  EXPECT_NE(all.out.find("\n  X99.ini: matched no chassis\n"), std::string::npos);
}

// The README's image, its moved module's name holding markup and an escape.
// The JSON form read back (by Python's json module) gives every item's title
// and where as the text form does, escaped names included. The page
// (ztrm-sim --html) gives each placed module its decisions in its tooltip and
// each chassis drawn its own, and lists the module out of range as left out,
// with its rule, every name escaped.
TEST(ExplainTest, TheJsonFormAndThePageTellWhatTheTextTells) {
  TestImage image;
  ASSERT_NO_FATAL_FAILURE(BuildImage(
      image, "examples/demo", std::string(kOutOfRange) +
                 "; sed -i 's/^UniqueName = ZT4120-1002$/UniqueName = ZT4120<i>\\x1b[31m-1002/' \"$SIMINI\""));
  ShellResult text = Sim(image, "--explain");
  EXPECT_NE(text.out.find("ZT4120<i>\\x1B[31m-1002"), std::string::npos);
  image.Write("explain.txt", text.out);
  // The text form's item lines are "  title: where"; titles end in ")" or a
  // file name, the where follows the last ": " there.
  const std::string compare = R"(import json, sys
d = json.load(sys.stdin)
got = []
for key in ("chassis", "modules", "files", "list", "walks"):
  assert d[key + "_left_off"] == 0
  for item in d[key]:
    assert item["decisions"] and all(x["rule"] for x in item["decisions"])
    got.append((item["title"], item["where"]))
want = []
for line in open(sys.argv[1], encoding="utf-8").read().split("\n"):
  if len(line) < 3 or line[0] != " " or line[2] == " " or line.startswith("  none"): continue
  split = line.rfind("): ")
  split = line.find(": ") if split < 0 else split + 1
  want.append((line[2:split].replace("\\x1B", "\x1b"), line[split + 2:]))
assert len(want) > 10 and got == want, (got, want))";
  ShellResult json = RunShell(std::string(ZTRM_SIM_PATH) + " --time=2026-12-06T05:30:00.123 --explain=json " +
                              ShellQuote(image.root()) + " 2>/dev/null | python3 -c " + ShellQuote(compare) + " " +
                              ShellQuote(image.Path("explain.txt")) + " 2>&1");
  EXPECT_EQ(json.exit_code, 0) << json.out;

  ASSERT_EQ(Sim(image, "--html").exit_code, 0);
  const std::string page = image.Read("drive_c/windows/pxisys.html");
  // The tooltip of the element that `opening` starts.
  auto title = [&](const std::string& opening) {
    const std::size_t at = page.find(opening);
    if (at == std::string::npos) return std::string("no ") + opening;
    const std::size_t from = page.find("<title>", at) + 7;
    return page.substr(from, page.find("</title>", from) - from);
  };
  const std::string module = title("<rect class=\"module\" data-chassis=\"2\" data-slot=\"3\"");
  EXPECT_NE(module.find("\n  - peripheral-placed: controller: ZELTRO Technology ZT-8840 &quot;ZT8840-0001&quot;; chassis ID: "
                        "2; EEPROM descriptor: 1; slot number: 3 -&gt; [Chassis2Slot3] of pxiesys.ini\n"),
            std::string::npos)
      << module;
  const std::string chassis = title("<svg class=\"chassis\" data-chassis=\"1\"");
  EXPECT_NE(chassis.find("\n  - listed: ChassisID: 1; Vendor: ZELTRO Technology; Model: ZT-1018 PXI Chassis; "
                         "PCIRootBusNumber: 4\n"),
            std::string::npos)
      << chassis;
  EXPECT_NE(page.find("<li><pre>ZELTRO Technology ZT-4120 &quot;ZT4120&lt;i&gt;\\x1B[31m-1002&quot; "
                      "(PCI::14::0::0, bus 30, slot number 5): not written\n"
                      "  - no-parent: bus: 30; controllers&#39; bus ranges: &quot;ZT8370-0007&quot; 20-24, "
                      "&quot;ZT8840-0001&quot; 8-19 -&gt; not written\n"
                      "    (no-parent: a peripheral module whose bus lies in no controller&#39;s bus range has "
                      "no controller and is never written)</pre></li>"),
            std::string::npos)
      << page.substr(std::min(page.find("<section class=\"left-out\">"), page.size()));
  EXPECT_EQ(page.find('\x1b'), std::string::npos);
  EXPECT_EQ(page.find("<i>"), std::string::npos);
}

// The trail only listens: every file of the run is the same bytes with it
// on (for the explanation and the page) and off, on the demo, the README
// image and hostile images.
TEST(ExplainTest, RunFilesAreTheSameWithTheTrailOnAndOff) {
  const char* const kBases[] = {"examples/demo", "tests/e2e/images/vendor_variants", "tests/e2e/images/unicode_names"};
  const char* const kHostile[] = {"bridge_loop", "root_bus_nonsense", "links_nonsense", "mapping_ids_all_taken",
                                  "unterminated_names", "eeprom_all_ff", "idsel_names", "nul_in_model_line",
                                  "chassis_list_junk", "module_count_ffffffff"};
  std::vector<std::pair<std::string, std::string>> images;  // base, change
  for (const char* base : kBases) images.emplace_back(base, "true");
  images.emplace_back("examples/demo", kOutOfRange);
  for (const char* name : kHostile) images.emplace_back(std::string("tests/hostile/") + name, "");
  for (const auto& [base, change] : images) {
    TestImage off, on;
    ASSERT_NO_FATAL_FAILURE(BuildImage(off, base, change));
    fs::copy(off.root(), on.root(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    EXPECT_EQ(Sim(off, "").exit_code, 0) << change;
    EXPECT_EQ(Sim(on, "--explain --html").exit_code, 0) << change;
    for (const char* file : {"drive_c/windows/pxirms.log", "drive_c/windows/pxisys.ini", "drive_c/windows/pxiesys.ini",
                             "drive_c/windows/ztbuslist.dat", "drive_c/ZELTRO/PXI/ChassisMappingID.ini"}) {
      EXPECT_EQ(on.Read(file), off.Read(file)) << base << " " << change << ": " << file;
    }
  }
}

}  // namespace
}  // namespace ztrm
