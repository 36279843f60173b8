#include "inventory/pxisa_registry.h"

#include <memory>
#include <optional>
#include <vector>

#include "common/registry_text.h"
#include "common/wide_format.h"
#include "enumeration/run_log.h"

namespace ztrm {
namespace {

constexpr char16_t kHyphens[] =
    u"----------------------------------------------------------------------\r\n";

// The shared part of the three EnumerateSubkeys: `append` adds a name-only
// entry; the caller sets its count afterwards.
template <typename Append>
bool AppendSubkeys(RunContext& ctx, RegistryKey& key, Append append) {
  std::optional<std::uint32_t> count = key.SubkeyCount();
  if (!count || *count == 0) return false;
  ctx.platform.console.Write(FormatNarrow("\nNumber of subkeys: %d\n", *count));
  for (std::uint32_t i = 0; i < *count; ++i) {
    if (std::optional<WString> name = ReadSubkeyName(key, i)) append(*name);
  }
  return true;
}

std::uint32_t Count(std::size_t size) { return static_cast<std::uint32_t>(size); }

void ReadModel(RunContext& ctx, WStringView service_path, const PxisaVendorEntry& vendor,
               PxisaModelEntry& model) {
  WString path = FormatWide(u"%s\\%s\\%s", service_path, vendor.VendorName, model.ModelName);
  if (std::unique_ptr<RegistryKey> key = ctx.platform.registry.OpenLocalMachineKey(path)) {
    model.Library = ReadStringValue(*key, u"Library").value_or(WideText());
    model.Version = key->DwordValue(u"Version").value_or(0);
  }
  Log(ctx, u"Model = %s,\t\tLibrary = %s,\t\tVersion = 0x%.8X.\r\n", model.ModelName, model.Library,
      model.Version);
}

}  // namespace

const PxisaServicePaths& ServicePaths(bool use_wow6432_node) {
  static const PxisaServicePaths kNative = {
      u"SOFTWARE\\PXISA\\Services\\Chassis", u"SOFTWARE\\PXISA\\Services\\Peripheral Modules",
      u"SOFTWARE\\PXISA\\Services\\System Modules", u"SOFTWARE\\PXISA\\Services\\Trigger Managers",
      u"SOFTWARE\\PXISA\\Services\\Resource Managers"};
  static const PxisaServicePaths kWow = {
      u"SOFTWARE\\Wow6432Node\\PXISA\\Services\\Chassis",
      u"SOFTWARE\\Wow6432Node\\PXISA\\Services\\Peripheral Modules",
      u"SOFTWARE\\Wow6432Node\\PXISA\\Services\\System Modules",
      u"SOFTWARE\\Wow6432Node\\PXISA\\Services\\Trigger Managers",
      u"SOFTWARE\\Wow6432Node\\PXISA\\Services\\Resource Managers"};
  return use_wow6432_node ? kWow : kNative;
}

void EnumerateSubkeys(RunContext& ctx, RegistryKey& key, PxisaServiceList& vendors) {
  if (AppendSubkeys(ctx, key, [&](const WString& name) {
        vendors.Vendors.emplace_back();
        vendors.Vendors.back().VendorName = name;
      })) {
    vendors.VendorCount = Count(vendors.Vendors.size());
  }
}

void EnumerateSubkeys(RunContext& ctx, RegistryKey& key, PxisaVendorEntry& models) {
  if (AppendSubkeys(ctx, key, [&](const WString& name) {
        models.Models.emplace_back();
        models.Models.back().ModelName = name;
      })) {
    models.ModelCount = Count(models.Models.size());
  }
}

void EnumerateSubkeys(RunContext& ctx, RegistryKey& key, ResourceManagerList& vendors) {
  if (AppendSubkeys(ctx, key, [&](const WString& name) {
        vendors.Vendors.emplace_back();
        vendors.Vendors.back().VendorName = name;
      })) {
    vendors.VendorCount = Count(vendors.Vendors.size());
  }
}

bool QueryServiceKey(RunContext& ctx, PxisaServiceList& list, WStringView service_path) {
  Registry& registry = ctx.platform.registry;
  {
    std::unique_ptr<RegistryKey> key = registry.OpenLocalMachineKey(service_path);
    if (!key) {
      Log(ctx, u"Fail to open key of %s\r\n", service_path);
      Log(ctx, u"\r\n");
      return false;
    }
    EnumerateSubkeys(ctx, *key, list);
  }
  Log(ctx, u"Number of Vendor = %d\r\n", list.VendorCount);
  if (list.VendorCount == 0) return true;

  for (PxisaVendorEntry& vendor : list.Vendors) {
    WString vendor_path = FormatWide(u"%s\\%s", service_path, vendor.VendorName);
    if (std::unique_ptr<RegistryKey> key = registry.OpenLocalMachineKey(vendor_path)) {
      EnumerateSubkeys(ctx, *key, vendor);
    }
    Log(ctx, u"==> %s, Number of Model = %d\r\n", vendor.VendorName, vendor.ModelCount);
    for (PxisaModelEntry& model : vendor.Models) ReadModel(ctx, service_path, vendor, model);
    Log(ctx, u"\r\n");
  }
  return true;
}

bool QueryResourceManagers(RunContext& ctx, WStringView service_path) {
  Registry& registry = ctx.platform.registry;
  {
    std::unique_ptr<RegistryKey> key = registry.OpenLocalMachineKey(service_path);
    if (!key) {
      Log(ctx, u"Fail to open key of %s\r\n", service_path);
      Log(ctx, u"\r\n");
      return false;
    }
    EnumerateSubkeys(ctx, *key, ctx.ResourceManagers);
  }
  Log(ctx, u"Number of Vendor = %d\r\n", ctx.ResourceManagers.VendorCount);
  for (ResourceManagerEntry& entry : ctx.ResourceManagers.Vendors) {
    WString path = FormatWide(u"%s\\%s", service_path, entry.VendorName);
    if (std::unique_ptr<RegistryKey> key = registry.OpenLocalMachineKey(path)) {
      entry.Pxi2Version = key->DwordValue(u"PXI-2Version").value_or(0);
      entry.Pxi4Version = key->DwordValue(u"PXI-4Version").value_or(0);
      entry.Pxi6Version = key->DwordValue(u"PXI-6Version").value_or(0);
    }
    Log(ctx, u"==> %s, PXI-2 V = 0x%.8X, PXI-4 V = 0x%.8X, PXI-6 V = 0x%.8X\r\n", entry.VendorName,
        entry.Pxi2Version, entry.Pxi4Version, entry.Pxi6Version);
    Log(ctx, u"\r\n");
  }
  return true;
}

void QueryPxisaRegistry(RunContext& ctx) {
  const PxisaServicePaths& paths = ServicePaths(ctx.UseWow6432Node);
  Log(ctx, u"Initialization\r\n");
  Log(ctx, u"\r\n");
  Log(ctx, kHyphens);
  Log(ctx, u"                       QUERY PXISA REGISTRY\r\n");
  Log(ctx, kHyphens);
  Log(ctx, u"\r\n");

  Log(ctx, u"======================= QUERY CHASSIS MODULE =========================\r\n");
  if (!QueryServiceKey(ctx, ctx.ChassisModules, paths.chassis)) Log(ctx, u"Query result = Fail\r\n");
  Log(ctx, u"======================= QUERY PERIPHERAL MODULE =======================\r\n");
  QueryServiceKey(ctx, ctx.PeripheralModules, paths.peripheral_modules);
  Log(ctx, u"======================= QUERY SYSTEM MODULE ===========================\r\n");
  QueryServiceKey(ctx, ctx.SystemModules, paths.system_modules);
  Log(ctx, u"======================= QUERY TRIGGER MANAGER =========================\r\n");
  QueryServiceKey(ctx, ctx.TriggerManagers, paths.trigger_managers);
  Log(ctx, u"======================= QUERY RESOURCE MANAGER ========================\r\n");
  QueryResourceManagers(ctx, paths.resource_managers);
}

}  // namespace ztrm
