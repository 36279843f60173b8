#include "inventory/pxisa_registry.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/stage_bench.h"
#include "tests/test_image.h"

namespace ztrm {
namespace {

std::string Key(const std::string& path) { return "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\Services\\" + path + "]\r\n"; }

struct RegistryCase {
  const char* name;
  std::string registry;
  bool wow6432;
  const char* log;      // the whole log of the enumeration, in tests/expected/inventory
  std::string console;  // standard output
};

TEST(PxisaRegistryTest, LogsAndConsoleOfEachRegistryShape) {
  const std::string long_library(260, 'L');  // 259 units fit, 260 do not
  const RegistryCase cases[] = {
      {"service keys without subkeys",
       Key("Chassis") + Key("Peripheral Modules") + Key("System Modules") +
           Key("Trigger Managers") + Key("Resource Managers"),
       false, "pxisa_keys_without_subkeys.log", ""},
      {"vendor without models, model without values, values that do not fit",
       Key("Chassis\\Acme") + Key("Peripheral Modules\\Beta\\P1") +
           Key("System Modules\\Gamma\\S1") + "\"Library\"=\"" + long_library +
           "\"\r\n\"Version\"=\"1\"\r\n" + Key("System Modules\\Gamma\\S2") +
           "\"Library\"=\"" + long_library.substr(0, 259) + "\"\r\n\"Version\"=dword:ffffffff\r\n" +
           Key("Resource Managers\\Delta") + "\"PXI-2Version\"=dword:00020002\r\n" +
           "\"PXI-6Version\"=dword:0000000a\r\n",
       false, "pxisa_vendor_model_and_value_shapes.log",
       "\nNumber of subkeys: 1\n\nNumber of subkeys: 1\n\nNumber of subkeys: 1\n"
       "\nNumber of subkeys: 1\n\nNumber of subkeys: 2\n\nNumber of subkeys: 1\n"},
      {"names of 255 units are skipped, 254 are kept",
       Key("System Modules\\" + std::string(254, 'a') + "\\M") +
           Key("System Modules\\" + std::string(255, 'b') + "\\M"),
       false, "pxisa_names_of_254_and_255_units.log", "\nNumber of subkeys: 2\n\nNumber of subkeys: 1\n"},
      {"the 32-bit view does not fall back to the 64-bit tree",
       Key("Chassis\\Acme\\C1") + Key("Resource Managers\\Delta"), true, "pxisa_32_bit_view.log", ""},
  };
  for (const RegistryCase& c : cases) {
    SCOPED_TRACE(c.name);
    StageBench bench;
    bench.image.WriteRegistry(c.registry);
    RunContext& ctx = bench.Context();
    ctx.UseWow6432Node = c.wow6432;
    QueryPxisaRegistry(ctx);
    EXPECT_EQ(bench.Log(), ReadSourceFile(std::string("tests/expected/inventory/") + c.log));
    EXPECT_EQ(bench.Console(), c.console);
  }
}

TEST(PxisaRegistryTest, RecordsFollowTheEnumerationOrder) {
  StageBench bench;
  bench.image.WriteRegistry(Key("Chassis\\Zeta\\b") + "\"Library\"=\"C:\\\\z.dll\"\r\n" +
                            "\"Version\"=dword:00000003\r\n" + Key("Chassis\\Zeta\\A") +
                            Key("Chassis\\alpha\\x"));
  RunContext& ctx = bench.Context();
  QueryPxisaRegistry(ctx);
  ASSERT_EQ(ctx.ChassisModules.VendorCount, 2u);
  const PxisaVendorEntry& alpha = ctx.ChassisModules.Vendors[0];
  const PxisaVendorEntry& zeta = ctx.ChassisModules.Vendors[1];
  EXPECT_EQ(alpha.VendorName, WideText(u"alpha"));
  EXPECT_EQ(zeta.VendorName, WideText(u"Zeta"));
  ASSERT_EQ(zeta.ModelCount, 2u);
  EXPECT_EQ(zeta.Models[0].ModelName, WideText(u"A"));
  EXPECT_EQ(zeta.Models[1].ModelName, WideText(u"b"));
  EXPECT_EQ(zeta.Models[1].Library, WideText(u"C:\\z.dll"));
  EXPECT_EQ(zeta.Models[1].Version, 3u);
}

}  // namespace
}  // namespace ztrm
