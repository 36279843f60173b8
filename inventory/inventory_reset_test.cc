#include "inventory/inventory_reset.h"

#include <gtest/gtest.h>

#include "tests/chassis_test_support.h"

namespace ztrm {
namespace {

TEST(InventoryResetTest, EmptiesListsAndCountersButKeepsTheRegistryView) {
  ChassisBench bench;
  RunContext& ctx = bench.Context();
  PxisaVendorEntry vendor;
  vendor.VendorName = u"V";
  vendor.Models.resize(2);
  vendor.ModelCount = 2;
  for (PxisaServiceList* list : {&ctx.SystemModules, &ctx.PeripheralModules, &ctx.ChassisModules,
                                 &ctx.TriggerManagers}) {
    list->Vendors.push_back(vendor);
    list->VendorCount = 1;
  }
  ctx.ResourceManagers.Vendors.resize(3);
  ctx.ResourceManagers.VendorCount = 3;
  ctx.SystemModuleCounter = 4;
  ctx.PeripheralModuleCounter = 5;
  ctx.UseWow6432Node = true;

  ResetInventory(ctx);

  for (const PxisaServiceList* list : {&ctx.SystemModules, &ctx.PeripheralModules,
                                       &ctx.ChassisModules, &ctx.TriggerManagers}) {
    EXPECT_TRUE(list->Vendors.empty());
    EXPECT_EQ(list->VendorCount, 0u);
  }
  EXPECT_TRUE(ctx.ResourceManagers.Vendors.empty());
  EXPECT_EQ(ctx.ResourceManagers.VendorCount, 0u);
  EXPECT_EQ(ctx.SystemModuleCounter, 0u);
  EXPECT_EQ(ctx.PeripheralModuleCounter, 0u);
  EXPECT_TRUE(ctx.UseWow6432Node);
}

}  // namespace
}  // namespace ztrm
