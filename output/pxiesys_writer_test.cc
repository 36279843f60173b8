#include "output/pxiesys_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/output_test_files.h"
#include "tests/stage_bench.h"

namespace ztrm {
namespace {

ModuleRecord SystemModule(std::uint32_t chassis_id, std::uint32_t index, const char16_t* unique,
                          const char16_t* address) {
  ModuleRecord m;
  m.ChassisID = chassis_id;
  m.Index = index;
  m.UniqueName = unique;
  m.AddressInfo = address;
  return m;
}

ModuleRecord PeripheralModule(std::uint32_t parent, std::uint32_t slot, const char16_t* unique,
                              const char16_t* address, std::uint32_t max, std::uint32_t negotiated) {
  ModuleRecord m;
  m.MappingIndex = parent;
  m.SlotNumber = slot;
  m.UniqueName = unique;
  m.AddressInfo = address;
  m.MaxLinkWidth = max;
  m.NegotiateLinkWidth = negotiated;
  return m;
}

PxisaVendorEntry Vendor(const char16_t* name, const char16_t* model,
                        std::vector<ModuleRecord> modules) {
  PxisaModelEntry m;
  m.ModelName = model;
  m.Modules = std::move(modules);
  PxisaVendorEntry v;
  v.VendorName = name;
  v.Models = {m};
  return v;
}

void SetDescriptor(ModuleRecord& m, std::size_t j, std::uint8_t slot, std::uint8_t origins,
                   std::uint8_t type, std::uint8_t widths) {
  const std::size_t at = 0x81 + 4 * j;
  m.Eeprom[at] = slot;
  m.Eeprom[at + 1] = origins;
  m.Eeprom[at + 2] = type;
  m.Eeprom[at + 3] = widths;
}

stPXISys Chassis(std::uint16_t id, std::uint32_t index, const char16_t* vendor,
                 const char16_t* model, std::vector<const char16_t*> slots, const char16_t* file) {
  stPXISys sys;
  sys.usChassisID = id;
  sys.dwChassisIndex = index;
  sys.Vendor = vendor;
  sys.Model = model;
  for (const char16_t* name : slots) {
    stSlot slot;
    slot.szName = name;
    sys.vecSlot.push_back(slot);
  }
  sys.szDescriptionFile = file;
  sys.bPXIe = 1;
  return sys;
}

void Prepare(StageBench& bench) {
  bench.native().clock().Pin({2026, 7, 15, 9, 5, 0, 0});
  bench.native().clock().SetTimeZoneStandardName(u"W. Europe Standard Time");
  bench.Context().FileVersionText = u"1.0.0.0";
  bench.Context().PxieSysStream = OpenTextStream(bench.Context().platform.files,
                                             u"C:\\windows\\pxiesys.ini", OutputMode::kReplace,
                                             bench.Context().locale);
  ASSERT_NE(bench.Context().PxieSysStream, nullptr);
}

std::string Finish(StageBench& bench) {
  bench.Context().PxieSysStream.reset();
  return bench.WindowsFile("pxiesys.ini");
}

TEST(PxieSysWriterTest, ThreeChassisBesideAPxi1Chassis) {
  StageBench bench;
  Prepare(bench);
  RunContext& ctx = bench.Context();
  // Chassis 5: a 4-link controller; a second vendor's module of the same
  // chassis is the parent the peripheral slots are searched by.
  ModuleRecord ctl5 = SystemModule(5, 1, u"PXI0::ctl", u"PCI::1");
  const char serial[] = "ZT18-000123";
  std::memcpy(&ctl5.Eeprom[0x6A], serial, sizeof serial - 1);
  ctl5.Eeprom[0x7C] = 1;
  ctl5.Eeprom[0x7D] = 4;
  ctl5.Eeprom[0x7E] = 2;
  ctl5.Eeprom[0x7F] = 1;
  ctl5.Eeprom[0x80] = 9;
  ctl5.MaxLink1Width4Link = 8;
  ctl5.MaxLink2Width4Link = 8;
  ctl5.MaxLink3Width4Link = 4;
  ctl5.MaxLink4Width4Link = 4;
  ctl5.NumberofValidLinks = 4;
  // Descriptors that must not be written: the peripheral slots follow the
  // other controller of chassis 5, the one their own search finds.
  for (std::size_t j = 0; j < 4; ++j) SetDescriptor(ctl5, j, 4, 0x33, 2, 0x11);
  ModuleRecord acme5 = SystemModule(5, 3, u"acme", u"x");
  SetDescriptor(acme5, 0, 2, 0x21, 3, 0x52);
  SetDescriptor(acme5, 1, 3, 0x01, 1, 0x04);
  SetDescriptor(acme5, 2, 4, 0x02, 7, 0x33);
  SetDescriptor(acme5, 3, 5, 0x00, 5, 0x00);
  // Chassis 6: an EEPROM without a zero byte (the serial number ends with
  // its 13-byte field), link mode 'B', two valid links.
  ModuleRecord ctl6 = SystemModule(6, 2, u"PXI0::ctl6", u"PCI::6");
  ctl6.Eeprom.fill('A');
  ctl6.Eeprom[0x7C] = 'B';
  ctl6.MaxLink1Width4Link = 4;
  ctl6.MaxLink2Width4Link = 4;
  ctl6.MaxLink3Width4Link = 8;
  ctl6.MaxLink4Width4Link = 8;
  ctl6.NumberofValidLinks = 2;
  ctx.SystemModules.Vendors = {Vendor(u"ZELTRO", u"ZT8000", {ctl5, ctl6}),
                               Vendor(u"ACME", u"C1", {acme5})};
  ctx.PeripheralModules.Vendors = {
      Vendor(u"ZELTRO", u"ZT5100",
             {PeripheralModule(3, 2, u"PXI1::2", u"PCI::20", 4, 4),
              PeripheralModule(1, 4, u"PXI1::4-other-parent", u"PCI::41", 1, 1)}),
      Vendor(u"ACME", u"P9", {PeripheralModule(3, 4, u"PXI1::4", u"PCI::40", 8, 4)})};

  stPXISys pxi1 = Chassis(3, 1, u"ZELTRO", u"ZT1008", {u"1", u"2"}, u"ZT1008.ini");
  pxi1.bPXI1 = 1;
  pxi1.bPXIe = 0;

  stPXISys c5 = Chassis(5, 3, u"ZELTRO", u"ZT1018", {u"1", u"2", u"3", u"4", u"5"}, u"ZT1018.ini");
  c5.TriggerBusList = u"0";
  c5.vecTriggerBus = {stTriggerBus{u"0", {}, {u"1", u"2", u"9"}}};
  // Records without their lists: no sections.
  c5.vecTriggerBridge = {stTriggerBridge{u"0", u"0", u"1", u"A"}};
  c5.vecLineMappingSpec = {stLineMappingSpec{u"A", {u"0"}, {u"1"}}};
  c5.StarSystemTimingSetList = u"1";
  c5.vecStarSystemTimingSet = {stStarSystemTimingSet{u"1", u"4", {u"0", u"1"}, {u"2", u"3"}}};
  c5.StarTriggerList = u"1,2";
  c5.vecStarTrigger = {stStarTrigger{u"1", u"", u"1", {u"0", u"1"}, {u"2", u"3"}},
                       stStarTrigger{u"2", u"4", u"1", {u"0", u"1", u"2"}, {u"2", u"9", u"5"}}};

  stPXISys c6 = Chassis(6, 2, u"ZELTRO", u"ZT1001", {u"1"}, u"ZT1001.ini");
  c6.TriggerBridgeList = u"0";
  c6.vecTriggerBridge = {stTriggerBridge{u"0", u"0", u"1", u"A"}};
  c6.LineMappingSpecList = u"A";
  c6.vecLineMappingSpec = {stLineMappingSpec{u"A", {u"3"}, {u"x"}}};

  stPXISys c7 = Chassis(7, 4, u"V", u"M", {u"1", u"2"}, u"m.ini");
  ctx.vecPXISys = {pxi1, c5, c6, c7};
  mf_WritePXIESys(ctx);
  EXPECT_EQ(Finish(bench), ExpectedCrlfFile("output/pxiesys_three_chassis.ini"));
  EXPECT_TRUE(ctx.locale.IsUserDefault());
}

TEST(PxieSysWriterTest, OnlyPxi1Chassis) {
  StageBench bench;
  Prepare(bench);
  stPXISys pxi1 = Chassis(1, 1, u"ZELTRO", u"ZT1008", {u"1"}, u"ZT1008.ini");
  pxi1.bPXI1 = 1;
  bench.Context().vecPXISys = {pxi1};
  mf_WritePXIESys(bench.Context());
  EXPECT_EQ(Finish(bench), ExpectedCrlfFile("output/pxiesys_only_pxi1.ini"));
}

TEST(PxieSysWriterTest, SlotsBeyondTheThirtyOneDescriptorsSayNotAvailable) {
  StageBench bench;
  Prepare(bench);
  ModuleRecord ctl = SystemModule(1, 1, u"c", u"a");
  SetDescriptor(ctl, 30, 32, 0x11, 1, 0x22);
  bench.Context().SystemModules.Vendors = {Vendor(u"Z", u"C", {ctl})};
  // A module claiming slot 0 sits in the slots whose descriptors are zeros, not
  // in the one past the descriptors.
  bench.Context().PeripheralModules.Vendors = {
      Vendor(u"Z", u"P", {PeripheralModule(1, 32, u"p32", u"a32", 4, 1),
                          PeripheralModule(1, 0, u"p0", u"a0", 1, 1)})};
  std::vector<WString> names;
  std::vector<const char16_t*> slots;
  for (int i = 1; i <= 33; ++i) names.push_back(FormatWide(u"%d", i));
  for (const WString& n : names) slots.push_back(n.c_str());
  bench.Context().vecPXISys = {Chassis(1, 1, u"V", u"M", slots, u"m.ini")};
  mf_WritePXIESys(bench.Context());
  EXPECT_EQ(Finish(bench), ExpectedCrlfFile("output/pxiesys_33_slots.ini"));
}

}  // namespace
}  // namespace ztrm
