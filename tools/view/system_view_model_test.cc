#include "tools/view/system_view_model.h"

#include <gtest/gtest.h>

#include <string>

namespace ztrm {
namespace {

// The model as lines of text, so a case states all of it at once.
std::string Describe(const SystemView& view) {
  std::string out;
  for (const ViewChassis& c : view.chassis) {
    out += "chassis " + c.id + " model=" + c.model + " vendor=" + c.vendor + " serial=" + c.serial_number +
           (c.in_pxisys ? " pxisys" : "") + (c.in_pxiesys ? " pxiesys" : "") + "\n";
    for (const ViewSlot& s : c.slots) {
      out += " slot " + s.name + (s.system_slot ? " SYS" : "") + (s.timing_slot ? " TIM" : "");
      if (s.times_listed > 1) out += " x" + std::to_string(s.times_listed);
      if (!s.slot_type.empty()) out += " type=" + s.slot_type;
      if (!s.pci_bus.empty()) out += " pci=" + s.pci_bus + ":" + s.pci_device;
      if (s.module) out += " module=" + s.module->model + "@" + s.module->bus + ":" + s.module->device;
      out += "\n";
    }
    auto names = [&](const std::vector<std::size_t>& slots) {
      std::string list;
      for (std::size_t p : slots) list += (list.empty() ? "" : ",") + c.slots[p].name;
      return list;
    };
    for (const ViewSlotGroup& g : c.segments) out += " segment " + g.name + ": " + names(g.slots) + "\n";
    for (const ViewSlotGroup& g : c.trigger_buses) out += " bus " + g.name + ": " + names(g.slots) + "\n";
    for (const ViewTriggerBridge& b : c.bridges) {
      out += " bridge " + b.name + ": " + b.source_bus + "->" + b.destination_bus + " map " + b.line_mapping + "\n";
    }
    for (const ViewStarTrigger& st : c.star_triggers) {
      out += " star " + st.number + " from " + st.from_slot + ":";
      for (const ViewStarLine& l : st.lines) out += " " + l.line + "->" + c.slots[l.slot].name;
      out += "\n";
    }
  }
  for (const std::string& note : view.skipped) out += "skipped: " + note + "\n";
  return out;
}

// A PXI Express chassis: pxisys.ini leaves its trigger bus slots out (only
// slot 1 is in its slot list), pxiesys.ini has them and the modules.
const char kPxiePxisys[] =
    "[System]\r\nChassisList = \"2\"\r\n\r\n"
    "[Chassis2]\r\nModel = \"ZT1085\"\r\nVendor = \"ZELTRO\"\r\nPCIBusSegmentList = \"1\"\r\n"
    "SlotList = \"1\"\r\nTriggerBusList = \"1\"\r\nStarTriggerList = \"1\"\r\n\r\n"
    "[Chassis2PCIBusSegment1]\r\nSlotList = \"1,2,3\"\r\n\r\n"
    "[Chassis2TriggerBus1]\r\nSlotList = \"\"\r\n\r\n"
    "[Chassis2StarTrigger1]\r\nControllerSlot = 2\r\n\r\n"
    "[Chassis2Slot1]\r\nPCIBusNumber = \"None\"\r\nPCIDeviceNumber = \"None\"\r\n\r\n"
    "[Chassis2Slot3]\r\nPCIBusNumber = 5\r\nPCIDeviceNumber = 14\r\n";
const char kPxiePxiesys[] =
    "[System]\r\nChassisList = \"2\"\r\n\r\n"
    "[Chassis2]\r\nModel = \"ZT1085\"\r\nVendor = \"ZELTRO\"\r\nSerialNumber = \"SN-7\"\r\n"
    "SlotList = \"1,2,3\"\r\nTriggerBusList = \"1\"\r\nTriggerBridgeList = \"1\"\r\n"
    "StarSystemTimingSetList = \"1\"\r\nStarTriggerList = \"1\"\r\n\r\n"
    "[Chassis2TriggerBus1]\r\nSlotList = \"1,2,3\"\r\n\r\n"
    "[Chassis2TriggerBridge1]\r\nSourceTriggerBus = 1\r\nDestinationTriggerBus = 2\r\n"
    "LineMappingSpec = 1\r\n\r\n"
    "[Chassis2StarSystemTimingSets1]\r\nSystemTimingSlot = 2\r\n\r\n"
    "[Chassis2StarTrigger1]\r\nSystemTimingSlot = 2\r\nPXI_STAR0 = 3\r\nPXI_STAR1 = 3\r\n\r\n"
    "[Chassis2Slot1]\r\nModel = \"ZT-8840\"\r\nVendor = \"ZELTRO\"\r\nInstanceName = \"C1\"\r\n"
    "AddressInfo = \"PCI::0::28::0\"\r\nSlotType = \"PXIeSystemSlot4Link\"\r\n\r\n"
    "[Chassis2Slot2]\r\nSlotType = \"PXIeSystemTimingSlot\"\r\n\r\n"
    "[Chassis2Slot3]\r\nSlotType = \"PXIePeripheralSlot\"\r\nModel = \"ZT-4120\"\r\n"
    "Vendor = \"ZELTRO\"\r\nInstanceName = \"M3\"\r\nAddressInfo = \"PCI::10::0::0\"\r\n";

struct Case {
  const char* name;
  std::optional<std::string> pxisys, pxiesys;
  std::string expected;
};

TEST(SystemViewModel, ReadsWhatTheFilesSay) {
  const Case cases[] = {
      {"in both files: slots, modules and trigger buses from pxiesys.ini, segments and buses from pxisys.ini",
       std::string(kPxiePxisys), std::string(kPxiePxiesys),
       "chassis 2 model=ZT1085 vendor=ZELTRO serial=SN-7 pxisys pxiesys\n"
       " slot 1 SYS type=PXIeSystemSlot4Link pci=None:None module=ZT-8840@0:28\n"
       " slot 2 TIM type=PXIeSystemTimingSlot\n"
       " slot 3 type=PXIePeripheralSlot pci=5:14 module=ZT-4120@10:0\n"
       " segment 1: 1,2,3\n"
       " bus 1: 1,2,3\n"
       " bridge 1: 1->2 map 1\n"
       " star 1 from 2: 0->3 1->3\n"},
      {"chassis order: pxisys.ini's list first, then those only pxiesys.ini lists",
       std::string("[System]\nChassisList=\"3,1\"\n[Chassis3]\nModel=A\n[Chassis1]\nModel=B\n"),
       std::string("[System]\nChassisList=\"4,3\"\n[Chassis4]\nModel=C\n[Chassis3]\nSerialNumber=S\n"),
       "chassis 3 model=A vendor= serial=S pxisys pxiesys\n"
       "chassis 1 model=B vendor= serial= pxisys\n"
       "chassis 4 model=C vendor= serial= pxiesys\n"
       "skipped: chassis 3: no slots are listed\n"
       "skipped: chassis 1: no slots are listed\n"
       "skipped: chassis 4: no slots are listed\n"},
      {"missing sections are named and the rest drawn",
       std::string("[System]\nChassisList=\"1,5\"\n[Chassis1]\nSlotList=\"1,2\"\n"
                   "PCIBusSegmentList=\"1,2\"\nTriggerBusList=\"1\"\nStarTriggerList=\"1\"\n"
                   "TriggerBridgeList=\"7\"\n[Chassis1PCIBusSegment1]\nSlotList=\"1,2\"\n"),
       std::nullopt,
       "chassis 1 model= vendor= serial= pxisys\n"
       " slot 1 SYS\n"
       " slot 2\n"
       " segment 1: 1,2\n"
       "skipped: chassis 1: PCI bus segment \"2\" has no [Chassis1PCIBusSegment2] section in pxisys.ini\n"
       "skipped: chassis 1: trigger bus \"1\" has no [Chassis1TriggerBus1] section in pxisys.ini\n"
       "skipped: chassis 1: trigger bridge \"7\" has no [Chassis1TriggerBridge7] section in pxisys.ini\n"
       "skipped: chassis 1: star trigger 1 has no [Chassis1StarTrigger1] section in pxisys.ini\n"
       "skipped: pxisys.ini lists chassis 5 but has no [Chassis5] section\n"},
      {"absurd values: chassis numbers, a trigger bus slot and a star line out of the chassis",
       std::string("[System]\nChassisList=\"-1,99999,abc,4,4\"\n[Chassis4]\nSlotList=\"2,99999,2\"\n"
                   "PCIBusSegmentList=\"1\"\nStarTriggerList=\"1\"\nTriggerBusList=\"1\"\n"
                   "[Chassis4PCIBusSegment1]\nSlotList=\"2,-3\"\n"
                   "[Chassis4TriggerBus1]\nSlotList=\"2,-7\"\n"
                   "[Chassis4StarTrigger1]\nControllerSlot=77\nPXI_STAR0=99999\nPXI_STAR1=12\n"
                   "pxi_star0=2\n"),
       std::nullopt,
       "chassis 4 model= vendor= serial= pxisys\n"
       " slot 2 SYS x2\n"
       " slot 99999\n"
       " slot -3\n"
       " segment 1: 2,-3\n"
       " bus 1: 2\n"
       " star 1 from 77: 0->99999\n"
       "skipped: pxisys.ini: ChassisList entry \"-1\" and 2 more not a chassis number from 0 to 65535\n"
       "skipped: chassis 4: slot \"2\" is listed more than once: pxisys.ini's SlotList names it "
       "twice; it is drawn once\n"
       "skipped: chassis 4: trigger bus \"1\" names slot \"-7\", which is not among the slots drawn\n"
       "skipped: chassis 4: star trigger 1 line \"PXI_STAR1\" names slot \"12\", which is not among the slots drawn\n"
       "skipped: chassis 4: the timing slot \"77\" is not among the slots drawn\n"},
      {"slots in order, each once: one listed twice, and one pxisys.ini places nowhere (from its segment)",
       std::string("[System]\nChassisList=\"1\"\n[Chassis1]\nSlotList=\"1,2,4,5,6\"\n"
                   "PCIBusSegmentList=\"1\"\n[Chassis1PCIBusSegment1]\nSlotList=\"1,2,3,3,4,5,6\"\n"
                   "[Chassis1Slot3]\nPCIBusNumber=4\nPCIDeviceNumber=13\n"
                   "[Chassis1Slot3]\nPCIBusNumber=4\nPCIDeviceNumber=12\n"),
       std::nullopt,
       "chassis 1 model= vendor= serial= pxisys\n"
       " slot 1 SYS\n"
       " slot 2\n"
       " slot 3 x2 pci=4:13\n"
       " slot 4\n"
       " slot 5\n"
       " slot 6\n"
       " segment 1: 1,2,3,4,5,6\n"
       "skipped: chassis 1: slot \"3\" is listed more than once: pxisys.ini's "
       "[Chassis1PCIBusSegment1] SlotList names it twice; pxisys.ini holds 2 [Chassis1Slot3] "
       "sections, of which only the first is drawn; it is drawn once\n"},
  };
  for (const Case& c : cases) {
    ViewInputs inputs;
    inputs.pxisys = c.pxisys;
    inputs.pxiesys = c.pxiesys;
    EXPECT_EQ(Describe(ReadSystemView(inputs)), c.expected) << c.name;
  }
}

// The run log's time, host and failure lines; a file that cannot be read is
// named first among what is not drawn.
TEST(SystemViewModel, ReadsTheRunLogAndNamesUnreadableFilesFirst) {
  ViewInputs inputs;
  inputs.run_log =
      "Initialization global parameter.\r\r\nCreate Log File Success.\r\r\n"
      "[2026-12-06_05:30:00.123]  \r\n\r\nSERVICE START\r\r\n"
      "Current System Manufacturer Name = ZELTRO Technology.\r\r\n"
      "Current System Model Name = ZT-8840 \xE9.\r\r\n"
      "Fail to open key of SOFTWARE\\X\r\r\nLoadLibraryW Fail\r\r\nQuery Finished.\r\r\n";
  inputs.unreadable = {"pxisys.ini: cannot read /a (No such file or directory)"};
  inputs.pxiesys = std::string(kPxiePxiesys);
  SystemView view = ReadSystemView(inputs);
  ASSERT_TRUE(view.run);
  EXPECT_EQ(view.run->time, "2026-12-06_05:30:00.123");
  EXPECT_EQ(view.run->host_manufacturer, "ZELTRO Technology");
  EXPECT_EQ(view.run->host_model, "ZT-8840 \xC3\xA9");  // Windows-1252 0xE9
  EXPECT_EQ(view.run->problems, (std::vector<std::string>{"Fail to open key of SOFTWARE\\X", "LoadLibraryW Fail"}));
  ASSERT_EQ(view.chassis.size(), 1u);
  ASSERT_FALSE(view.skipped.empty());
  EXPECT_EQ(view.skipped[0], "pxisys.ini: cannot read /a (No such file or directory)");
}

TEST(SystemViewModel, TenThousandChassisAndThousandSlotsAreBounded) {
  std::string list, body;
  std::string slots;
  for (int s = 1; s <= 1000; ++s) slots += (s > 1 ? "," : "") + std::to_string(s);
  for (int id = 1; id <= 10000; ++id) {
    list += (id > 1 ? "," : "") + std::to_string(id);
    if (id <= 40) body += "[Chassis" + std::to_string(id) + "]\nSlotList=\"" + slots + "\"\n";
  }
  ViewInputs inputs;
  inputs.pxisys = "[System]\nChassisList=\"" + list + "\"\n" + body;
  SystemView view = ReadSystemView(inputs);
  ASSERT_EQ(view.chassis.size(), kMaxViewChassis);
  for (const ViewChassis& c : view.chassis) EXPECT_EQ(c.slots.size(), kMaxViewSlots);
  EXPECT_EQ(view.skipped[0], "9968 more chassis are listed; only the first 32 are drawn");
  EXPECT_EQ(view.skipped[1], "chassis 1: 936 more slots are listed; only the first 64 are drawn");
  EXPECT_EQ(view.skipped.size(), 1u + kMaxViewChassis);
}

// The run's trail goes to the chassis and module of the section it names and
// nowhere else; its texts and its "left out" list are bounded.
TEST(SystemViewModel, TheTrailGoesWhereItsSectionIsDrawnAndIsBounded) {
  const std::string rest = "\xE2\x80\xA6 (cut: ztrm-sim --explain tells the whole)";
  const std::string long_text = std::string(kMaxViewTrailText - rest.size() - 1, 'x') + "\xC3\xA9" +
                                std::string(rest.size(), 'y');
  ViewTrail trail;
  trail.placed = {{"Chassis2", "chassis two"},
                  {"Chassis2Slot1", "controller"},
                  {"Chassis2Slot3", long_text},
                  {"Chassis3Slot3", "another chassis"}};
  for (std::size_t i = 0; i < kMaxViewLeftOut + 3; ++i) trail.left_out.push_back("gone " + std::to_string(i));
  trail.left_out_not_kept = 7;
  ViewInputs inputs;
  inputs.pxisys = std::string(kPxiePxisys);
  inputs.pxiesys = std::string(kPxiePxiesys);
  inputs.trail = &trail;
  SystemView view = ReadSystemView(inputs);
  ASSERT_EQ(view.chassis.size(), 1u);
  const ViewChassis& c = view.chassis[0];
  ASSERT_EQ(c.slots.size(), 3u);
  ASSERT_TRUE(c.slots[0].module && c.slots[2].module);
  EXPECT_EQ(c.trail, "chassis two");
  EXPECT_EQ(c.slots[0].module->trail, "controller");
  // Cut at a character's start, the ellipsis within the bound.
  EXPECT_EQ(c.slots[2].module->trail, std::string(kMaxViewTrailText - rest.size() - 1, 'x') + rest);
  EXPECT_TRUE(view.has_trail);
  ASSERT_EQ(view.left_out.size(), kMaxViewLeftOut);
  EXPECT_EQ(view.left_out.back(), "gone " + std::to_string(kMaxViewLeftOut - 1));
  EXPECT_EQ(view.left_out_not_kept, 10u);
}

}  // namespace
}  // namespace ztrm
