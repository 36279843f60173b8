#include "inventory/bus_assignment.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/inventory_test_support.h"

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

TEST(BusAssignmentTest, NumberSystemModulesFollowsTheTwoPasses) {
  struct Case {
    std::vector<std::vector<Range>> models;
    std::vector<std::uint32_t> expected;  // in list order
  } cases[] = {
      {{{{5, 9}, {1, 4}, {5, 7}}}, {2, 1, 3}},
      {{{{3, 5}, {0, 0}, {4, 6}}}, {3, 2, 1}},
      {{{{5, 9}}, {{1, 4}}, {{5, 7}}}, {2, 1, 3}},  // across models
      {{{{2, 8}, {2, 8}}}, {1, 2}},                  // equal ranges in list order
      {{{{9, 4}, {0, 0}}}, {2, 1}},
      {{}, {}},
  };
  for (const Case& c : cases) {
    InventoryBench bench;
    RunContext& ctx = bench.Context();
    std::vector<std::vector<ModuleRecord>> models;
    for (const auto& ranges : c.models) {
      models.emplace_back();
      for (Range r : ranges) models.back().push_back(SystemModule(r));
    }
    SetSystemModules(ctx, models);
    NumberSystemModules(ctx);
    std::vector<std::uint32_t> got;
    for (const PxisaModelEntry& m : ctx.SystemModules.Vendors[0].Models) {
      for (const ModuleRecord& r : m.Modules) got.push_back(r.MappingIndex);
    }
    EXPECT_EQ(got, c.expected);
  }
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
      {"bounds included", {{{3, 8}, 4}}, 3, 4},
      {"outside every range", {{{3, 8}, 1}, {{10, 12}, 2}}, 9, 0},
      {"(0, 0) holds bus 0", {{{0, 0}, 5}}, 0, 5},
      {"a kept (0, 0) gives way", {{{0, 0}, 1}, {{0, 9}, 2}}, 0, 2},
      {"overlap keeps the first", {{{1, 10}, 1}, {{5, 15}, 2}}, 7, 1},
      {"past the first's end", {{{1, 10}, 1}, {{5, 15}, 2}}, 11, 2},
      {"reversed range holds nothing", {{{9, 4}, 1}}, 5, 0},
      {"range up to the last bus", {{{10, 0xFFFFFFFF}, 3}}, 0xFFFFFFFF, 3},
      {"no system modules", {}, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InventoryBench bench;
    RunContext& ctx = bench.Context();
    std::vector<ModuleRecord> records;
    for (const auto& [range, index] : c.modules) records.push_back(SystemModule(range, index));
    SetSystemModules(ctx, {records});
    EXPECT_EQ(FindParentSystemModule(ctx, c.bus), c.parent);
  }
}

TEST(BusAssignmentTest, TriggerManagerNamesContainTheChassisNames) {
  struct Case {
    const char* name;
    const char16_t* vendor_key;
    const char16_t* model_key;
    const char16_t* vendor;
    const char16_t* model;
    const char16_t* expected;
  } cases[] = {
      {"longer vendor key matches", u"Acme Corp", u"T-100", u"Acme", u"T-100", u"C:\\t.dll"},
      {"shorter vendor key does not", u"Acme", u"T-100", u"Acme Corp", u"T-100", u"N/A"},
      {"model part", u"Acme", u"T-100 Trigger", u"Acme", u"T-100", u"C:\\t.dll"},
      {"case counts", u"acme", u"T-100", u"Acme", u"T-100", u"N/A"},
      {"empty names are contained", u"Acme", u"T-100", u"", u"", u"C:\\t.dll"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InventoryBench bench;
    RunContext& ctx = bench.Context();
    PxisaVendorEntry vendor;
    vendor.VendorName = c.vendor_key;
    PxisaModelEntry model;
    model.ModelName = c.model_key;
    model.Library = u"C:\\t.dll";
    vendor.Models = {model};
    ctx.TriggerManagers.Vendors = {vendor};
    ctx.TriggerManagers.VendorCount = 1;
    EXPECT_EQ(FindTriggerManagerPath(ctx, c.vendor, c.model), WideText(c.expected));
    const bool found = WStringView(c.expected) != u"N/A";
    EXPECT_EQ(bench.Log(), found ? "" : "Fail to acquire the path of TriggerManager\r\r\n");
  }
  InventoryBench empty;
  EXPECT_EQ(FindTriggerManagerPath(empty.Context(), u"", u""), WideText(u"N/A"));
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
  InventoryBench bench;
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

TEST(BusAssignmentTest, WithoutSystemModulesEveryMappedChassisIsUnusable) {
  InventoryBench bench;
  RunContext& ctx = bench.Context();
  AppendDescription(ctx, u"Acme", u"C-5", 1, 0);
  ModuleRecord chassis;
  MapChassisRootBus(ctx, chassis, 1, 5, u"Acme", u"C-5");
  EXPECT_EQ(ctx.vecPXISys[0].dwChassisIndex, 255u);
  EXPECT_EQ(ctx.vecPXISys[0].vecPCIBusSegment[0].usRootBusNumber, 5);
  EXPECT_FALSE(MatchChassisVendorModel(ctx, u"", u""));
}

}  // namespace
}  // namespace ztrm
