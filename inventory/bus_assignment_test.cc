#include "inventory/bus_assignment.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/stage_bench.h"

namespace ztrm {
namespace {

using Range = std::pair<std::uint32_t, std::uint32_t>;

ModuleRecord SystemModule(Range range, std::uint32_t index = 0) {
  ModuleRecord record;
  record.MinBus = range.first;
  record.MaxBus = range.second;
  record.Index = index;
  return record;
}

// One vendor "V" with one model per group of records, so the searches cross
// model boundaries; indexed as the discovery indexes them.
void SetSystemModules(RunContext& ctx, const std::vector<std::vector<ModuleRecord>>& models) {
  PxisaVendorEntry vendor;
  vendor.VendorName = u"V";
  for (std::size_t m = 0; m < models.size(); ++m) {
    PxisaModelEntry model;
    model.ModelName = WideText(u"M" + WidenBytes(std::to_string(m + 1)));
    model.Modules = models[m];
    vendor.Models.push_back(model);
  }
  vendor.ModelCount = static_cast<std::uint32_t>(vendor.Models.size());
  ctx.SystemModules.Vendors = {vendor};
  ctx.SystemModules.VendorCount = 1;
  IndexSystemModules(ctx);
}

// (1, 4) first by MinBus; (5, 9) and (5, 7) tie and keep their list order.
TEST(BusAssignmentTest, NumberSystemModulesFollowsTheTwoPasses) {
  StageBench bench;
  RunContext& ctx = bench.Context();
  SetSystemModules(ctx, {{SystemModule({5, 9}), SystemModule({1, 4}), SystemModule({5, 7})}});
  NumberSystemModules(ctx);
  std::vector<std::uint32_t> got;
  for (const ModuleRecord& r : ctx.SystemModules.Vendors[0].Models[0].Modules) got.push_back(r.MappingIndex);
  EXPECT_EQ(got, (std::vector<std::uint32_t>{2, 1, 3}));
}

TEST(BusAssignmentTest, ParentIsTheInnermostRangeAndTheLastOfEqualOnes) {
  struct Case {
    const char* name;
    std::vector<std::pair<Range, std::uint32_t>> modules;  // range, Index
    std::uint32_t bus;
    std::uint32_t parent;
  } cases[] = {
      {"wide first", {{{1, 10}, 1}, {{5, 7}, 2}}, 6, 2},
      {"narrow first", {{{5, 7}, 1}, {{1, 10}, 2}}, 6, 1},
      {"equal ranges", {{{3, 8}, 1}, {{3, 8}, 2}}, 8, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StageBench bench;
    RunContext& ctx = bench.Context();
    std::vector<ModuleRecord> records;
    for (const auto& [range, index] : c.modules) records.push_back(SystemModule(range, index));
    SetSystemModules(ctx, {records});
    EXPECT_EQ(FindParentSystemModule(ctx, c.bus), c.parent);
  }
}

TEST(BusAssignmentTest, TriggerManagerNamesContainTheChassisNames) {
  const struct {
    const char16_t* vendor_key;
    const char16_t* vendor;
    const char16_t* expected;
  } cases[] = {
      {u"Acme Corp", u"Acme", u"C:\\t.dll"},  // a longer vendor key matches
      {u"Acme", u"Acme Corp", u"N/A"},         // a shorter one does not
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(ToUtf8(c.vendor_key));
    StageBench bench;
    RunContext& ctx = bench.Context();
    PxisaVendorEntry vendor;
    vendor.VendorName = c.vendor_key;
    PxisaModelEntry model;
    model.ModelName = u"T-100";
    model.Library = u"C:\\t.dll";
    vendor.Models = {model};
    ctx.TriggerManagers.Vendors = {vendor};
    ctx.TriggerManagers.VendorCount = 1;
    EXPECT_EQ(FindTriggerManagerPath(ctx, c.vendor, u"T-100"), WideText(c.expected));
    const bool found = WStringView(c.expected) != u"N/A";
    EXPECT_EQ(bench.Log(), found ? "" : "Fail to acquire the path of TriggerManager\r\r\n");
  }
}

// A chassis description as MapPXIeChassis leaves it, appended last.
void AppendDescription(RunContext& ctx, const char16_t* vendor, const char16_t* model,
                       std::size_t pci_segments, std::size_t pxi1_segments) {
  stPXISys sys;
  sys.Vendor = vendor;
  sys.Model = model;
  sys.bPXIe = 1;
  sys.vecPCIBusSegment.resize(pci_segments);
  sys.vecPXI1BusSegment.resize(pxi1_segments);
  ctx.vecPXISys.push_back(sys);
}

TEST(BusAssignmentTest, RootBusesGiveChassisIdsIndexesAndRootNumbers) {
  StageBench bench;
  RunContext& ctx = bench.Context();
  ModuleRecord controller = SystemModule({4, 9}, 7);
  controller.MappingIndex = 3;
  controller.ChassisVendor = u"Acme";
  controller.ChassisModel = u"C-5";
  SetSystemModules(ctx, {{controller}});

  // First chassis: root 1 on bus 5, root 2 on bus 8; two PCI segments.
  AppendDescription(ctx, u"Acme", u"C-5", 2, 0);
  ModuleRecord first;
  MapChassisRootBus(ctx, first, 1, 5, u"Acme", u"C-5");
  MapChassisRootBus(ctx, first, 2, 8, u"Acme", u"C-5");
  // Second chassis on the same system module: the mapping index is taken.
  // Its PXI-1 segment list (one entry) wins over the PCI list; root 2 has no
  // segment and changes nothing.
  AppendDescription(ctx, u"Acme", u"C-5", 2, 1);
  ModuleRecord second;
  MapChassisRootBus(ctx, second, 1, 6, u"Acme", u"C-5");
  MapChassisRootBus(ctx, second, 2, 9, u"Acme", u"C-5");
  // Third: a description no system module's EEPROM names, on no module's bus.
  AppendDescription(ctx, u"Other", u"X", 1, 0);
  ModuleRecord third;
  MapChassisRootBus(ctx, third, 1, 200, u"Other", u"X");

  const stPXISys& a = ctx.vecPXISys[0];
  EXPECT_EQ(a.usChassisID, 1);
  EXPECT_EQ(a.dwChassisIndex, 3u);
  EXPECT_EQ(a.vecPCIBusSegment[0].usRootBusNumber, 5);
  EXPECT_EQ(a.vecPCIBusSegment[1].usRootBusNumber, 8);
  EXPECT_EQ(first.Index, 3u);
  const stPXISys& b = ctx.vecPXISys[1];
  EXPECT_EQ(b.usChassisID, 1);
  EXPECT_EQ(b.dwChassisIndex, 255u);
  EXPECT_EQ(b.vecPXI1BusSegment[0].usRootBusNumber, 6);
  EXPECT_EQ(b.vecPCIBusSegment[0].usRootBusNumber, 0);
  const stPXISys& c = ctx.vecPXISys[2];
  EXPECT_EQ(c.usChassisID, 0);
  EXPECT_EQ(c.dwChassisIndex, 255u);
  EXPECT_EQ(third.Index, 0u);
  EXPECT_EQ(ctx.usChassisMappingID[3], 1);
  EXPECT_EQ(ctx.SystemModules.Vendors[0].Models[0].Modules[0].ChassisID, 1u);
  EXPECT_EQ(first.TriggerManagerPath, WideText(u"N/A"));

  const std::string match =
      "ChassisModul_SystemModule = V, Model = M1, Index = 7, MappingToChassisIndex = 3, "
      "ChassisID = 1\r\r\n";
  const std::string no_trigger =
      "Fail to acquire the path of TriggerManager\r\r\nChassisModule_TriggerManagerPath = N/A\r\r\n";
  EXPECT_EQ(bench.Log(), match + no_trigger + match + no_trigger + match + no_trigger + match +
                             no_trigger + no_trigger);
}

}  // namespace
}  // namespace ztrm
