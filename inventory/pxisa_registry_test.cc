#include "inventory/pxisa_registry.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/stage_bench.h"
#include "tests/output_test_files.h"

namespace ztrm {
namespace {

const std::string kHyphens(70, '-');
const std::string kHead = "Initialization\r\n\r\n" + kHyphens + "\r\n" +
                          "                       QUERY PXISA REGISTRY\r\n" + kHyphens +
                          "\r\n\r\n";
const std::string kChassis =
    "======================= QUERY CHASSIS MODULE =========================\r\n";
const std::string kPeripheral =
    "======================= QUERY PERIPHERAL MODULE =======================\r\n";
const std::string kSystem =
    "======================= QUERY SYSTEM MODULE ===========================\r\n";
const std::string kTrigger =
    "======================= QUERY TRIGGER MANAGER =========================\r\n";
const std::string kResource =
    "======================= QUERY RESOURCE MANAGER ========================\r\n";
const std::string kServices = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\Services\\";

std::string Key(const std::string& path) { return kServices + path + "]\r\n"; }

struct RegistryCase {
  const char* name;
  std::string registry;
  bool wow6432;
  std::string log;      // the whole log of the enumeration
  std::string console;  // standard output
};

TEST(PxisaRegistryTest, LogsAndConsoleOfEachRegistryShape) {
  const std::string long_name(255, 'b');
  const std::string longest_name(254, 'a');
  const std::string long_library(260, 'L');  // 259 units fit, 260 do not
  const RegistryCase cases[] = {
      {"service keys without subkeys",
       Key("Chassis") + Key("Peripheral Modules") + Key("System Modules") +
           Key("Trigger Managers") + Key("Resource Managers"),
       false,
       kHead + kChassis + "Number of Vendor = 0\r\n" + kPeripheral + "Number of Vendor = 0\r\n" +
           kSystem + "Number of Vendor = 0\r\n" + kTrigger + "Number of Vendor = 0\r\n" +
           kResource + "Number of Vendor = 0\r\n",
       ""},
      {"vendor without models, model without values, values that do not fit",
       Key("Chassis\\Acme") + Key("Peripheral Modules\\Beta\\P1") +
           Key("System Modules\\Gamma\\S1") + "\"Library\"=\"" + long_library +
           "\"\r\n\"Version\"=\"1\"\r\n" + Key("System Modules\\Gamma\\S2") +
           "\"Library\"=\"" + long_library.substr(0, 259) + "\"\r\n\"Version\"=dword:ffffffff\r\n" +
           Key("Resource Managers\\Delta") + "\"PXI-2Version\"=dword:00020002\r\n" +
           "\"PXI-6Version\"=dword:0000000a\r\n",
       false,
       kHead + kChassis + "Number of Vendor = 1\r\n==> Acme, Number of Model = 0\r\n\r\n" +
           kPeripheral + "Number of Vendor = 1\r\n==> Beta, Number of Model = 1\r\n" +
           "Model = P1,\t\tLibrary = ,\t\tVersion = 0x00000000.\r\n\r\n" + kSystem +
           "Number of Vendor = 1\r\n==> Gamma, Number of Model = 2\r\n" +
           "Model = S1,\t\tLibrary = ,\t\tVersion = 0x00000000.\r\n" + "Model = S2,\t\tLibrary = " +
           long_library.substr(0, 259) + ",\t\tVersion = 0xFFFFFFFF.\r\n\r\n" + kTrigger +
           "Fail to open key of SOFTWARE\\PXISA\\Services\\Trigger Managers\r\n\r\n" + kResource +
           "Number of Vendor = 1\r\n" +
           "==> Delta, PXI-2 V = 0x00020002, PXI-4 V = 0x00000000, PXI-6 V = 0x0000000A\r\n\r\n",
       "\nNumber of subkeys: 1\n\nNumber of subkeys: 1\n\nNumber of subkeys: 1\n"
       "\nNumber of subkeys: 1\n\nNumber of subkeys: 2\n\nNumber of subkeys: 1\n"},
      {"names of 255 units are skipped, 254 are kept",
       Key("System Modules\\" + longest_name + "\\M") + Key("System Modules\\" + long_name + "\\M"),
       false,
       kHead + kChassis + "Fail to open key of SOFTWARE\\PXISA\\Services\\Chassis\r\n\r\n" +
           "Query result = Fail\r\n" + kPeripheral +
           "Fail to open key of SOFTWARE\\PXISA\\Services\\Peripheral Modules\r\n\r\n" + kSystem +
           "Number of Vendor = 1\r\n==> " + longest_name + ", Number of Model = 1\r\n" +
           "Model = M,\t\tLibrary = ,\t\tVersion = 0x00000000.\r\n\r\n" + kTrigger +
           "Fail to open key of SOFTWARE\\PXISA\\Services\\Trigger Managers\r\n\r\n" + kResource +
           "Fail to open key of SOFTWARE\\PXISA\\Services\\Resource Managers\r\n\r\n",
       "\nNumber of subkeys: 2\n\nNumber of subkeys: 1\n"},
      {"the 32-bit view does not fall back to the 64-bit tree",
       Key("Chassis\\Acme\\C1") + Key("Resource Managers\\Delta"), true,
       kHead + kChassis + "Fail to open key of SOFTWARE\\Wow6432Node\\PXISA\\Services\\Chassis\r\n\r\n" +
           "Query result = Fail\r\n" + kPeripheral +
           "Fail to open key of SOFTWARE\\Wow6432Node\\PXISA\\Services\\Peripheral Modules\r\n\r\n" +
           kSystem +
           "Fail to open key of SOFTWARE\\Wow6432Node\\PXISA\\Services\\System Modules\r\n\r\n" +
           kTrigger +
           "Fail to open key of SOFTWARE\\Wow6432Node\\PXISA\\Services\\Trigger Managers\r\n\r\n" +
           kResource +
           "Fail to open key of SOFTWARE\\Wow6432Node\\PXISA\\Services\\Resource Managers\r\n\r\n",
       ""},
  };
  for (const RegistryCase& c : cases) {
    SCOPED_TRACE(c.name);
    StageBench bench;
    bench.image.WriteRegistry(c.registry);
    RunContext& ctx = bench.Context();
    ctx.UseWow6432Node = c.wow6432;
    QueryPxisaRegistry(ctx);
    EXPECT_EQ(bench.Log(), CrLf(c.log));
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
  EXPECT_EQ(zeta.Models[1].ModuleCount, 0u);
  EXPECT_TRUE(zeta.Models[1].Modules.empty());
}

}  // namespace
}  // namespace ztrm
