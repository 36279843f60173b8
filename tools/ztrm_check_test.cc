// ztrm-check as a command: whole reports against expected files, every
// warning kind against what the service then does (through ztrm-sim on an
// image holding the same file), and files it refuses.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "tests/chassis_test_support.h"
#include "tests/service_test_support.h"
#include "tests/shell_run.h"
#include "tests/test_image.h"
#include "tools/description_check.h"

namespace ztrm {
namespace {

ShellResult Check(const std::string& folder, const std::string& args) {
  return RunShell("cd '" + folder + "' && " + ZTRM_CHECK_PATH + " " + args + " 2>/dev/null");
}

const std::string kSamples = std::string(ZTRM_SOURCE_DIR) + "/tests/check";

TEST(ZtrmCheckTest, WholeReports) {
  TestImage folder;
  folder.Write("\xC3\xBC" "ber.ini", "");
  folder.MakeFolder("folder.ini");
  folder.Write("utf16_unmarked.ini", std::string("[\0C\0h\0a\0s\0s\0i\0s\0]\0", 18));
  std::string big;
  while (big.size() <= kMaxFileBytes) big += "[Slot1]\r\nIDSEL = \"\"\r\n";
  folder.Write("big.ini", big);
  folder.Write("long.ini", "[Chassis]\r\nVendor = \"" + std::string(1 << 20, 'v') + "\"\r\n");
  const struct {
    std::string folder, args;
    std::string expected;
    int exit_code;
  } rows[] = {
      {kSamples, "good.ini", "good.txt", 0},
      {kSamples, "faulty.ini", "faulty.txt", 1},
      {kSamples, "unmatched.ini", "unmatched.txt", 2},
      {kSamples, "--json good.ini", "good.json", 0},
      {kSamples, "--json unmatched.ini", "unmatched.json", 2},
      {folder.root(), "--json missing.ini \xC3\xBC" "ber.ini", "refused.json", 2},
      {folder.root(), "missing.ini \xC3\xBC" "ber.ini folder.ini utf16_unmarked.ini big.ini long.ini",
       "refused.txt", 2},
  };
  for (const auto& row : rows) {
    ShellResult r = Check(row.folder, row.args);
    EXPECT_EQ(r.exit_code, row.exit_code) << row.args;
    EXPECT_EQ(r.out, ReadSourceFile("tests/expected/check/" + row.expected)) << row.args;
  }
  // Several files: one report after the other, a blank line between, the
  // worst exit code.
  ShellResult both = Check(kSamples, "good.ini faulty.ini");
  EXPECT_EQ(both.exit_code, 1);
  EXPECT_EQ(both.out, ReadSourceFile("tests/expected/check/good.txt") + "\n" +
                          ReadSourceFile("tests/expected/check/faulty.txt"));
}

TEST(ZtrmCheckTest, ListsTheFirstThousandWarningsAndCountsTheRest) {
  TestImage folder;
  std::string file = "[Chassis]\r\nVendor = \"A\"\r\nModel = \"B\"\r\n", listed;
  for (int i = 0; i < 1200; ++i) file += "[Extra" + std::to_string(i) + "]\r\n";
  for (int i = 0; i < 1000; ++i) {
    listed += "  line " + std::to_string(i + 4) + ": unknown-section: section [Extra" + std::to_string(i) +
              "] is never read: no list names it\n";
  }
  folder.Write("many.ini", file);
  ShellResult r = Check(folder.root(), "many.ini");
  EXPECT_EQ(r.exit_code, 1);
  listed += "  result: 1200 warnings (the first 1000 shown)\n";
  ASSERT_GE(r.out.size(), listed.size());
  EXPECT_EQ(r.out.substr(r.out.size() - listed.size()), listed);
}

// ---------------------------------------------------------------------------
// Every warning kind, shown true: the service, run by ztrm-sim on an image
// whose description folder holds the same file and whose chassis list names
// the chassis, does what the warning says.

// A description the check finds clean and the service maps; each row edits it.
const std::string kBase =
    "[Version]\r\n"                     // 1
    "Specification = \"PXI-2\"\r\n"     // 2
    "[Chassis]\r\n"                     // 3
    "Vendor = \"Acme Instruments\"\r\n" // 4
    "Model = \"ACME-6\"\r\n"            // 5
    "PCIBusSegmentList = \"1,2\"\r\n"   // 6
    "SlotList = \"1,2,3,4\"\r\n"        // 7
    "TriggerBusList = \"1\"\r\n"        // 8
    "StarTriggerList = \"1\"\r\n"       // 9
    "[PCIBusSegment1]\r\n"              // 10
    "IDSELList = \"31,30\"\r\n"         // 11
    "IDSEL31 = \"Slot2\"\r\n"           // 12
    "IDSEL30 = \"Slot3\"\r\n"           // 13
    "[PCIBusSegment2]\r\n"              // 14
    "IDSELList = \"31\"\r\n"            // 15
    "IDSEL31 = \"Slot4\"\r\n"           // 16
    "[TriggerBus1]\r\n"                 // 17
    "SlotList = \"1,2,3,4\"\r\n"        // 18
    "[StarTrigger1]\r\n"                // 19
    "ControllerSlot = 1\r\n"            // 20
    "PXI_STAR0 = 2\r\n"                 // 21
    "[Slot2]\r\n"                       // 22
    "LocalBusLeft = \"Slot1\"\r\n";     // 23

std::string Edit(std::string text, const std::string& from, const std::string& to) {
  std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

struct KindRow {
  const char* kind;
  std::string description;
  std::string warning;  // the report's line, without its indent
  int exit_code;
  std::vector<std::string> written;      // in pxisys.ini after the run
  std::vector<std::string> not_written;  // not in it
  std::string vendor = "Acme Instruments";
  std::vector<std::string> logged = {};  // in pxirms.log
};

// A row of a file discovery never matches to a chassis: nothing is mapped.
KindRow Unmatched(const char* kind, const std::string& description, const std::string& warning,
                  int exit_code = 2, const std::string& vendor = "Acme Instruments") {
  return {kind, description, warning, exit_code, {"ChassisList = \"\""}, {"[Chassis1]"}, vendor};
}

// The warning of a Vendor or Model line (`line`) that discovery keeps but
// never matches, for the reason `why`.
std::string NotExactly(int line, const std::string& key, const std::string& why) {
  return "line " + std::to_string(line) + ": " + (key == "Vendor" ? "vendor" : "model") +
         "-line: discovery matches only a line that reads exactly " + key + " = \"...\": " + why +
         "; no chassis is ever matched to this file";
}

std::vector<KindRow> KindRows() {
  const std::string l300(300, 'L'), long_vendor = "Acme Instruments" + std::string(250, '!');
  // kBase's [Chassis] section moved last, its Model line last, with no line
  // break after it.
  const std::size_t chassis = kBase.find("[Chassis]"), segment = kBase.find("[PCIBusSegment1]");
  const std::string model_last = Edit(kBase.substr(chassis, segment - chassis), "Model = \"ACME-6\"\r\n", "") +
                                 "Model = \"ACME-6\"";
  return {
      // The base file itself: clean, and mapped.
      {"", kBase, "", 0,
       {"ChassisList = \"1\"", "SlotList = \"1,2,3,4\"", "PCIBusNumber = 4\r\nPCIDeviceNumber = 14\r\n",
        "PCIBusNumber = 5\r\nPCIDeviceNumber = 15\r\n", "LocalBusLeft = \"Slot1\"\r\nLocalBusRight = \"None\"",
        "[Chassis1TriggerBus1]"},
       {}},
      Unmatched("vendor-line", Edit(kBase, "Vendor = \"Acme", "Vendor=\"Acme"),
                NotExactly(4, "Vendor", "write one blank on each side of '=' and no other")),
      Unmatched("model-line", Edit(kBase, "\"ACME-6\"\r\n", "\"ACME-6\" \r\n"),
                NotExactly(5, "Model", "nothing may follow the closing double quote, not even a blank")),
      Unmatched("vendor-line", Edit(kBase, "\"Acme Instruments\"", "'Acme Instruments'"),
                NotExactly(4, "Vendor", "the value must stand in double quotes")),
      Unmatched("vendor-line", Edit(kBase, "Acme Instruments", long_vendor),
                NotExactly(4, "Vendor",
                           "the line is longer than 255 characters, and discovery reads it in pieces of 255"),
                2, long_vendor),
      Unmatched("model-line", Edit(kBase, kBase.substr(chassis, segment - chassis), "") + model_last,
                NotExactly(23, "Model", "the file ends on this line without a line break, and discovery keeps it "
                                        "without the line feed the match needs")),
      Unmatched("model-line", Edit(kBase, "Model = ", "model = "),
                "line 5: model-line: no line contains \"Model\": the [Chassis] key is written \"model\", which "
                "discovery does not find: it looks for \"Model\" with exactly this letter case; no chassis is ever "
                "matched to this file"),
      Unmatched("replaced-line", kBase + "VendorCode = 7\r\n",
                "line 24: replaced-line: discovery keeps this line as the vendor line, being the last that contains "
                "\"Vendor\", not the [Chassis] Vendor line 4; it never matches a chassis"),
      Unmatched("encoding", "\xEF\xBB\xBF" + Edit(kBase, "Acme Instruments", "Acme Instr\xC3\xBCments"),
                "line 1: encoding: the file starts with a UTF-8 byte order mark: the parser reads \"Acme "
                "Instr\xC3\xBCments\" as UTF-8, but discovery reads the line byte by byte and matches only a chassis "
                "named \"Acme Instr\xC3\x83\xC2\xBCments\"",
                1, "Acme Instr\xFCments"),
      Unmatched("encoding", Utf16Le(kBase),
                "line 1: encoding: the file is UTF-16 text: the parser reads it, but discovery reads bytes and finds "
                "no Vendor or Model line in it; save it as ANSI text"),
      {"segment-count", Edit(kBase, "[TriggerBus1]", "; [PCIBusSegment3] is gone\r\n[TriggerBus1]"),
       "line 17: segment-count: discovery counts 3 bus segment section headers (lines 10, 14, 17) "
       "and takes that as the chassis's number of root buses, but [Chassis] lists 2 bus segments",
       1, {}, {}, "Acme Instruments", {"ChassisModule_PCIBusRootCount = 3\r\r\n"}},
      {"segment-count", Edit(kBase, "[PCIBusSegment1]", "[pcibussegment1]"),
       "line 10: segment-count: discovery counts 1 bus segment section header (line 14) and takes that as the "
       "chassis's number of root buses, but [Chassis] lists 2 bus segments; the header [pcibussegment1] (line 10) is "
       "not counted: discovery looks for \"[PCIBusSegment\" with exactly this letter case",
       1, {}, {}, "Acme Instruments", {"ChassisModule_PCIBusRootCount = 1\r\r\n"}},
      {"unknown-section", kBase + "[TriggerBus2]\r\nSlotList = \"3,4\"\r\n",
       "line 24: unknown-section: section [TriggerBus2] is never read: no list names it", 1,
       {"[Chassis1TriggerBus1]"}, {"TriggerBus2"}},
      {"duplicate-section", kBase + "[Slot2]\r\nLocalBusRight = \"Slot3\"\r\n",
       "line 24: duplicate-section: section [Slot2] appears again (first at line 22): only the "
       "first is read, nothing here",
       1, {"LocalBusLeft = \"Slot1\"\r\nLocalBusRight = \"None\"\r\n"}, {"\"Slot3\""}},
      {"unread-key", Edit(kBase, "PXI_STAR0 = 2\r\n", "PXI_STAR0 = 2\r\nPXI_STAR17 = 3\r\n"),
       "line 22: unread-key: key PXI_STAR17 of [StarTrigger1] is never read (the keys read are "
       "PXI_STAR0 to PXI_STAR16, numbered without leading zeros)",
       1, {"ControllerSlot = 1\r\nPXI_STAR0 = 2\r\n\r\n"}, {"PXI_STAR17"}},
      {"duplicate-key", kBase + "LocalBusLeft = \"Slot3\"\r\n",
       "line 24: duplicate-key: key LocalBusLeft of [Slot2] appears again (first at line 23): only the first is read",
       1, {"LocalBusLeft = \"Slot1\""}, {"\"Slot3\""}},
      {"no-value", Edit(kBase, "LocalBusLeft = \"Slot1\"", "LocalBusLeft \"Slot1\""),
       "line 23: no-value: this line of [Slot2] has no '=', so it gives no value: a read of it finds nothing",
       1, {"PCIDeviceNumber = 15\r\nLocalBusLeft = \"None\"\r\n"}, {"Slot1\""}},
      {"cut-value", Edit(kBase, "\"Slot1\"", "\"" + l300 + "\""),
       "line 23: cut-value: the value of LocalBusLeft of [Slot2] is 300 characters long; the "
       "service reads its first 259",
       1, {"LocalBusLeft = \"" + std::string(259, 'L') + "\"\r\n"}, {std::string(260, 'L')}},
      {"idsel-device",
       Edit(Edit(kBase, "\"31,30\"", "\"31,AD30\""), "IDSEL30 =", "IDSELAD30 ="),
       "line 13: idsel-device: IDSEL name \"AD30\" gives slot \"3\" device number 65520 (the name read as a number, "
       "minus 16), which no PCI device has (1 to 31 are meant: IDSEL names 17 to 47)",
       1, {"PCIDeviceNumber = 65520\r\n"}, {}},
      {"idsel-device",
       Edit(Edit(kBase, "\"31,30\"", "\"31,16\""), "IDSEL30 =", "IDSEL16 ="),
       "line 13: idsel-device: IDSEL name \"16\" gives slot \"3\" device number 0 (the name read "
       "as a number, minus 16), so pxisys.ini gives the slot no PCI position (\"None\")",
       1, {"[Chassis1Slot3]\r\nPCISlotPath = \"None\"\r\n"}, {}},
      {"idsel-no-slot", Edit(kBase, "\"Slot3\"", "\"slot3\""),
       "line 13: idsel-no-slot: IDSEL30 = \"slot3\" names no slot: a slot is named \"Slot\" "
       "followed by its name in [Chassis] SlotList, letter case counting",
       1, {"SlotList = \"1,2,4\""}, {"[Chassis1Slot3]"}},
      {"slot-named-twice", Edit(kBase, "\"Slot4\"", "\"Slot2\""),
       "line 16: slot-named-twice: IDSEL31 = \"Slot2\" names slot \"2\" again (first at line 12): "
       "the first decides its bus segment and device number, this one is ignored",
       1, {"PCIBusNumber = 4\r\nPCIDeviceNumber = 15\r\n"},
       {"PCIBusNumber = 5\r\nPCIDeviceNumber = 15\r\n"}},
      {"segments-unused",
       Edit(kBase, "StarTriggerList = \"1\"\r\n",
            "StarTriggerList = \"1\"\r\nPXI1BusSegmentList = \"1\"\r\n") +
           "[PXI1BusSegment1]\r\nIDSELList = \"31\"\r\nIDSEL31 = \"Slot2\"\r\n",
       "line 11: segments-unused: the chassis has PXI-1 bus segments, which alone place its slots: "
       "the IDSEL lines of [PCIBusSegment1] are not used",
       1, {"SlotList = \"1,2\"\r\n"}, {"[Chassis1Slot3]", "[Chassis1Slot4]"}},
      {"repeated-name", Edit(kBase, "\"1,2,3,4\"", "\"1,2,3,4,3\""),
       "line 7: repeated-name: SlotList of [Chassis] names slot \"3\" twice: the service takes each entry as a slot of "
       "its own: pxiesys.ini lists it twice and writes 2 sections for it, each with the slot type and module of its "
       "own place in the list; pxisys.ini writes 2 sections for it, and a trigger bus naming it lists it twice there",
       1,
       {"SlotList = \"1,2,3,4,3\"", "[Chassis1TriggerBus1]\r\nSlotList = \"1,2,3,3,4\"",
        "PCIDeviceNumber = 15\r\nLocalBusLeft = \"None\"\r\nLocalBusRight = \"None\"\r\n"
        "ExternalBackplaneInterface = \"None\"\r\n\r\n[Chassis1Slot3]"},
       {}},
      {"repeated-name", Edit(kBase, "PCIBusSegmentList = \"1,2\"", "PCIBusSegmentList = \"1,1,2\""),
       "line 6: repeated-name: PCIBusSegmentList of [Chassis] names bus segment \"1\" twice: the service takes each "
       "entry as a bus segment of its own: each takes the root bus of its place in the list, so the segments after it "
       "move on by one bus, and no slot is placed on a repeat, as the first entry's IDSEL lines match first",
       1, {"PCIBusNumber = 4\r\nPCIDeviceNumber = 15\r\n", "PCIBusNumber = 6\r\nPCIDeviceNumber = 15\r\n"},
       {"PCIBusNumber = 5\r\n"}},
      {"repeated-name", Edit(kBase, "TriggerBusList = \"1\"", "TriggerBusList = \"1,1\""),
       "line 8: repeated-name: TriggerBusList of [Chassis] names trigger bus \"1\" twice: the service takes each entry "
       "as a trigger bus of its own: the system files write 2 sections for it",
       1, {"[Chassis1TriggerBus1]\r\nSlotList = \"1,2,3,4\"\r\n\r\n[Chassis1TriggerBus1]\r\n"}, {}},
      {"repeated-name", Edit(kBase, "StarTriggerList = \"1\"", "StarTriggerList = \"1,1\""),
       "line 9: repeated-name: StarTriggerList of [Chassis] names star trigger \"1\" twice: the "
       "service takes each entry as a star trigger of its own: the system files write its lines "
       "again as star trigger 2 (these sections are numbered by place in the list)",
       1, {"StarTriggerList = \"1,1\"", "[Chassis1StarTrigger2]\r\nControllerSlot = 1\r\nPXI_STAR0 = 2\r\n"},
       {}},
  };
}

TEST(ZtrmCheckTest, EveryWarningKindIsWhatTheServiceDoes) {
  std::set<std::string> shown;
  for (const KindRow& row : KindRows()) {
    SCOPED_TRACE(row.kind);
    // The file as C:\Desc\acme.ini, and a chassis list naming the row's
    // vendor (ANSI bytes) and model ACME-6 at root bus 4.
    TestImage image;
    image.WriteRegistry(
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\CurrentVersion]\r\n\"ChassisDescriptionFilePath\"=\"C:\\\\Desc\"\r\n");
    ConfigureResourceManager(image, "ZELTRO Technology");
    image.Write("drive_c/ZELTRO/PXI/PXIChassisList.ini",
                "[Information]\r\nTotalChassis = 1\r\n\r\n[Chassis1]\r\nChassisID = 1\r\nVendor = \"" + row.vendor +
                    "\"\r\nModel = \"ACME-6\"\r\nPCIRootBusNumber = 4\r\n");
    image.Write("drive_c/Desc/acme.ini", row.description);
    ShellResult check = Check(image.Path("drive_c/Desc"), "acme.ini");
    EXPECT_EQ(check.exit_code, row.exit_code) << check.out;
    if (*row.kind) {
      EXPECT_NE(check.out.find("\n  " + row.warning + "\n"), std::string::npos) << check.out;
    }
    ASSERT_EQ(RunShell(std::string(ZTRM_SIM_PATH) + " " + image.root() + " >/dev/null").exit_code, 0);
    const std::string pxisys = image.Read("drive_c/windows/pxisys.ini");
    const std::string log = image.Read("drive_c/windows/pxirms.log");
    for (const std::string& text : row.written) EXPECT_NE(pxisys.find(text), std::string::npos) << text << pxisys;
    for (const std::string& text : row.not_written) EXPECT_EQ(pxisys.find(text), std::string::npos) << text;
    for (const std::string& text : row.logged) EXPECT_NE(log.find(text), std::string::npos) << text << log;
    shown.insert(row.kind);
  }
  for (const char* kind : kWarningKinds) EXPECT_EQ(shown.count(kind), 1u) << kind << " has no row";
}

}  // namespace
}  // namespace ztrm
