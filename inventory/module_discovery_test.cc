#include "inventory/module_discovery.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "chassis/description_discovery.h"
#include "inventory/pxisa_registry.h"
#include "tests/stage_bench.h"

namespace ztrm {
namespace {

std::string Registry(const std::string& library) {
  std::string value = "\"Library\"=\"" + library + "\"\r\n";
  return "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\Services\\System Modules\\Acme\\S]\r\n" + value +
         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\Services\\Peripheral Modules\\Acme\\P]\r\n" +
         value + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\Services\\Chassis\\Acme\\C]\r\n" + value;
}

const char kSimConfig[] =
    "[SystemModule]\nVendor = Acme\nModel = S\nUniqueName = s1\nAddressInfo = a1\n"
    "Info.100 = 1\nInfo.101 = 3\nInfo.105 = 5\n"
    "[PeripheralModule]\nVendor = Acme\nModel = P\nUniqueName = p1\nAddressInfo = b1\n"
    "Info.100 = 4\nInfo.102 = 2\n"
    "[Chassis]\nVendor = Acme\nModel = C\nRootBus.1 = 3\n";

// The log of the discovery with each library a simulated module build that
// lacks some exports. Without the information exports the peripheral module
// on bus 0 lies in the (0, 0) range the system module was left with.
TEST(ModuleDiscoveryTest, LogOfEachSimulatedModuleBuild) {
  for (const std::string variant : {"ztsimmod_nocount", "ztsimmod_noinfo"}) {
    SCOPED_TRACE(variant);
    StageBench bench;
    bench.image.WriteRegistry(Registry("C:\\\\Sim\\\\" + variant + ".dll"));
    bench.InstallSimModule("Sim", variant, kSimConfig);
    RunContext& ctx = bench.Context();
    QueryPxisaRegistry(ctx);
    const std::size_t before = bench.Log().size();
    DiscoverModules(ctx);
    EXPECT_EQ(bench.Log().substr(before), ReadSourceFile("tests/expected/inventory/discovery_" + variant + ".log"));
  }
}

// An inventory of `vendors` vendors with `models` models each, every model
// naming `library`, in all three services.
void RegisterModels(RunContext& ctx, int vendors, int models, const char16_t* library) {
  for (PxisaServiceList* list : {&ctx.SystemModules, &ctx.PeripheralModules, &ctx.ChassisModules}) {
    for (int v = 0; v < vendors; ++v) {
      PxisaVendorEntry vendor;
      vendor.VendorName = WidenBytes("V" + std::to_string(v + 1));
      for (int m = 0; m < models; ++m) {
        PxisaModelEntry model;
        model.ModelName = WidenBytes("M" + std::to_string(m + 1));
        model.Library = library;
        vendor.Models.push_back(model);
      }
      vendor.ModelCount = models;
      list->Vendors.push_back(vendor);
    }
    list->VendorCount = vendors;
  }
}

TEST(ModuleDiscoveryTest, IndexRunsAcrossVendorsAndModelsAndEachModelLoadsItsLibrary) {
  StageBench bench;
  RunContext& ctx = bench.Context();
  ScriptedLibrary script;
  std::vector<std::string> calls;
  script.system_count = [&](const char* v, const char* m, std::uint32_t* n) {
    calls.push_back(std::string(v) + "/" + m);
    EXPECT_EQ(*n, 0u);  // preset
    *n = 2;
  };
  script.system_name = [](const char*, const char*, std::uint32_t i, char* u, char* a) {
    std::snprintf(u, 260, "u%u", i);
    std::snprintf(a, 260, "a%u", i);
  };
  script.peripheral_count = [](const char*, const char*, std::uint32_t* n) { *n = 1; };
  bench.libraries().scripted[u"C:\\same.dll"] = script;
  RegisterModels(ctx, 2, 2, u"C:\\same.dll");
  DiscoverModules(ctx);

  auto indexes = [](const PxisaServiceList& list) {
    std::vector<std::uint32_t> got;
    for (const auto& vendor : list.Vendors) {
      for (const auto& model : vendor.Models) {
        for (const auto& r : model.Modules) got.push_back(r.Index);
      }
    }
    return got;
  };
  EXPECT_EQ(indexes(ctx.SystemModules), (std::vector<std::uint32_t>{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(indexes(ctx.PeripheralModules), (std::vector<std::uint32_t>{1, 2, 3, 4}));
  EXPECT_EQ(calls, (std::vector<std::string>{"V1/M1", "V1/M2", "V2/M1", "V2/M2"}));
  // Four models in each of three services, one load and one free each.
  EXPECT_EQ(bench.libraries().loads[u"C:\\same.dll"], 12);
  EXPECT_EQ(bench.libraries().frees[u"C:\\same.dll"], 12);
}

TEST(ModuleDiscoveryTest, BusRangeOfTheReportedLinks) {
  struct Link {
    std::uint32_t bus, sub;
  };
  struct Case {
    const char* name;
    std::uint32_t links;
    std::vector<Link> values;
    std::uint32_t min, max;
    bool unsupported;
  } cases[] = {
      {"first pair taken without comparing", 1, {{9, 4}}, 9, 4, false},
      {"a (0, 0) pair leaves the range unset", 2, {{0, 0}, {3, 7}}, 3, 7, false},
      {"five links", 5, {{5, 6}}, 0, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StageBench bench;
    RunContext& ctx = bench.Context();
    ScriptedLibrary script;
    script.system_count = [](const char*, const char*, std::uint32_t* n) { *n = 1; };
    script.system_name = [](const char*, const char*, std::uint32_t, char*, char*) {};
    script.system_info = [&](const char*, const char*, std::uint32_t item, std::uint32_t* value) {
      EXPECT_EQ(*value, 0u);
      if (item == 100) *value = c.links;
      if (item >= 101 && item <= 104 && item - 101 < c.values.size()) *value = c.values[item - 101].bus;
      if (item >= 105 && item <= 108 && item - 105 < c.values.size()) *value = c.values[item - 105].sub;
    };
    bench.libraries().scripted[u"L"] = script;
    RegisterModels(ctx, 1, 1, u"L");
    DiscoverModules(ctx);
    const ModuleRecord& r = ctx.SystemModules.Vendors[0].Models[0].Modules.at(0);
    EXPECT_EQ(r.MinBus, c.min);
    EXPECT_EQ(r.MaxBus, c.max);
    EXPECT_EQ(r.Index, 1u);
    const bool logged = bench.Log().find("NumberofValidLinks Error and Unsupported.\r\r\n") !=
                        std::string::npos;
    EXPECT_EQ(logged, c.unsupported);
  }
}

TEST(ModuleDiscoveryTest, NonsenseAnswersAreBoundedAndLogged) {
  StageBench bench;
  RunContext& ctx = bench.Context();
  ScriptedLibrary script;
  int name_calls = 0;
  // M1 reports the most a count can say, M2 a handful: the run's bound is
  // spent on M1 alone.
  script.system_count = [](const char*, const char* model, std::uint32_t* n) {
    *n = std::string(model) == "M1" ? 0xFFFFFFFF : 5;
  };
  // The first call fills both buffers to the brim without a terminator; the
  // later ones write nothing, so the first module's bytes stay.
  script.system_name = [&](const char*, const char*, std::uint32_t, char* u, char* a) {
    if (name_calls++ == 0) {
      std::memset(u, 'u', 260);
      std::memset(a, 'a', 260);
    }
  };
  script.eeprom = [](const char*, const char* unique, std::uint8_t* image) {
    EXPECT_EQ(std::strlen(unique), 260u);  // still ends after the buffer
    std::memset(image, 'E', 260);
  };
  script.system_info = [](const char*, const char*, std::uint32_t item, std::uint32_t* value) {
    if (item == 100) *value = 0xFFFFFFFF;
  };
  // 5,000 of each model: the second one is read as far as the run's 8,192.
  script.peripheral_count = [](const char*, const char*, std::uint32_t* n) { *n = 5000; };
  script.chassis_count = [](const char*, const char*, std::uint32_t* n) { *n = 300; };
  script.root_bus = [](const char*, const char*, std::uint32_t, std::uint32_t, std::uint32_t* bus) {
    *bus = 256;
  };
  bench.libraries().scripted[u"L"] = script;
  RegisterModels(ctx, 1, 2, u"L");
  DiscoverModules(ctx);

  const std::vector<PxisaModelEntry>& system = ctx.SystemModules.Vendors[0].Models;
  EXPECT_EQ(system[0].ModuleCount, 0xFFFFFFFFu);
  ASSERT_EQ(system[0].Modules.size(), 8192u);
  EXPECT_EQ(system[1].ModuleCount, 5u);
  EXPECT_EQ(system[1].Modules.size(), 0u);
  const ModuleRecord& last = system[0].Modules.back();
  EXPECT_EQ(last.UniqueName.str(), WString(259, u'u'));
  EXPECT_EQ(last.AddressInfo.str(), WString(259, u'a'));
  // The EEPROM texts run to the end of the 256-byte image.
  EXPECT_EQ(last.ChassisVendor.str(), WString(256 - 5, u'E'));
  EXPECT_EQ(last.ChassisModel.str(), WString(256 - 0x41, u'E'));
  EXPECT_EQ(last.Index, 8192u);
  const std::vector<PxisaModelEntry>& peripheral = ctx.PeripheralModules.Vendors[0].Models;
  EXPECT_EQ(peripheral[0].Modules.size(), 5000u);
  EXPECT_EQ(peripheral[1].Modules.size(), 3192u);
  EXPECT_EQ(peripheral[1].Modules.back().Index, 8192u);
  EXPECT_EQ(ctx.ChassisModules.Vendors[0].Models[0].Modules.size(), 256u);
  EXPECT_EQ(ctx.ChassisModules.Vendors[0].Models[1].Modules.size(), 0u);

  const std::string log = bench.Log();
  for (const char* lines : {
           "SystemModule_GetCount = -1, (V1,M1)\r\r\n"
           "SystemModule_GetCount is above 8192: only the first 8192 are read "
           "(at most 8192 in a run)\r\r\n",
           "SystemModule_GetCount = 5, (V1,M2)\r\r\n"
           "SystemModule_GetCount is above 0: only the first 0 are read (at most 8192 in a run)\r\r\n",
           "PeripheralModule_GetCount = 5000, (V1,M1)\r\r\nPeripheralModule_GetName = Fail\r\r\n",
           "PeripheralModule_GetCount = 5000, (V1,M2)\r\r\n"
           "PeripheralModule_GetCount is above 3192: only the first 3192 are read "
           "(at most 8192 in a run)\r\r\n",
           "ChassisModule_GetCount = 300, (V1,M1)\r\r\n"
           "ChassisModule_GetCount is above 256: only the first 256 are read "
           "(at most 256 in a run)\r\r\n",
           "ChassisModule_GetCount = 300, (V1,M2)\r\r\n"
           "ChassisModule_GetCount is above 0: only the first 0 are read (at most 256 in a run)\r\r\n",
       }) {
    EXPECT_NE(log.find(lines), std::string::npos) << lines;
  }
  EXPECT_EQ(log.find("SystemModule_GetName_8193 "), std::string::npos);
  // A name line holds at most 259 units before its line end.
  const std::string name_line = "SystemModule_GetName_1 UniquNname = " + std::string(259, 'u');
  EXPECT_NE(log.find(name_line.substr(0, 259) + "\r\r\n"), std::string::npos);
}

TEST(ModuleDiscoveryTest, RootBusesOutsideOneTo255AreRecordedButNotMapped) {
  StageBench bench;
  bench.image.Write("drive_c/Desc/c.ini",
                    "[Chassis]\nVendor = \"V1\"\nModel = \"M1\"\nPCIBusSegmentList = \"1,2,3\"\n"
                    "[PCIBusSegment1]\n[PCIBusSegment2]\n[PCIBusSegment3]\n");
  bench.RegisterDescriptionFolder("C:\\Desc");
  RunContext& ctx = bench.Context();
  FindChassisDescriptionFiles(ctx);
  ScriptedLibrary script;
  script.chassis_count = [](const char*, const char*, std::uint32_t* n) { *n = 1; };
  script.root_bus = [](const char*, const char*, std::uint32_t root, std::uint32_t,
                       std::uint32_t* bus) { *bus = root == 1 ? 0 : root == 2 ? 256 : 7; };
  bench.libraries().scripted[u"L"] = script;
  RegisterModels(ctx, 1, 1, u"L");
  DiscoverModules(ctx);

  const ModuleRecord& chassis = ctx.ChassisModules.Vendors[0].Models[0].Modules.at(0);
  EXPECT_EQ(chassis.RootBusCount, 3u);
  ASSERT_EQ(chassis.RootBuses.size(), 3u);
  EXPECT_EQ(chassis.RootBuses[0].BusNumber, 0u);
  EXPECT_EQ(chassis.RootBuses[1].BusNumber, 256u);
  EXPECT_EQ(chassis.RootBuses[2].RootIndex, 2u);
  EXPECT_EQ(chassis.RootBuses[2].BusNumber, 7u);
  ASSERT_EQ(ctx.vecPXISys.size(), 1u);
  EXPECT_EQ(ctx.vecPXISys[0].vecPCIBusSegment[0].usRootBusNumber, 0);
  EXPECT_EQ(ctx.vecPXISys[0].vecPCIBusSegment[1].usRootBusNumber, 0);
  EXPECT_EQ(ctx.vecPXISys[0].vecPCIBusSegment[2].usRootBusNumber, 7);
  EXPECT_EQ(ctx.vecPXISys[0].dwChassisIndex, 255u);  // no system modules at all
  EXPECT_NE(bench.Log().find(
                "ChassisModule_GetPCIRootBusNumber RootIndex = 1, Chassis1, BusNumber = 0\r\r\n"
                "ChassisModule_TriggerManagerPath = N/A\r\r\n"
                "ChassisModule_GetPCIRootBusNumber RootIndex = 2, Chassis1, BusNumber = 256\r\r\n"
                "ChassisModule_TriggerManagerPath = N/A\r\r\n"
                "ChassisModule_GetPCIRootBusNumber RootIndex = 3, Chassis1, BusNumber = 7\r\r\n"
                "Fail to acquire the path of TriggerManager\r\r\n"
                "ChassisModule_TriggerManagerPath = N/A\r\r\n"),
            std::string::npos);
}

}  // namespace
}  // namespace ztrm
