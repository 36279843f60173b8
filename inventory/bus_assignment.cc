#include "inventory/bus_assignment.h"

#include <vector>

#include "chassis/chassis_id_table.h"
#include "common/wide_format.h"
#include "enumeration/run_log.h"
#include "inventory/logged_line.h"

namespace ztrm {
namespace {

struct NumberingEntry {
  ModuleRecord* record;
  std::uint32_t min_bus;
  std::uint32_t max_bus;
  std::uint32_t number;
};

// The chassis ID the table holds for `m`; 0 for an index without a slot.
std::uint16_t TableValue(const RunContext& ctx, std::uint32_t m) {
  return m < ctx.usChassisMappingID.size() ? ctx.usChassisMappingID[m] : 0;
}

}  // namespace

void NumberSystemModules(RunContext& ctx) {
  std::vector<NumberingEntry> entries;
  for (PxisaVendorEntry& vendor : ctx.SystemModules.Vendors) {
    for (PxisaModelEntry& model : vendor.Models) {
      for (ModuleRecord& record : model.Modules) {
        entries.push_back({&record, record.MinBus, record.MaxBus, 0});
      }
    }
  }
  std::uint32_t next = 1;
  for (std::size_t repetition = 0; repetition < entries.size(); ++repetition) {
    std::uint32_t cur_min = 0, cur_max = 0;
    for (const NumberingEntry& e : entries) {
      if (e.number != 0) continue;
      if ((cur_min == 0 && cur_max == 0) || e.min_bus <= cur_min) {
        cur_min = e.min_bus;
        cur_max = e.max_bus;
      }
    }
    for (NumberingEntry& e : entries) {
      if (e.number == 0 && e.min_bus == cur_min) {
        e.number = next++;
        break;
      }
    }
  }
  for (NumberingEntry& e : entries) e.record->MappingIndex = e.number;
}

std::optional<ModulePosition> FindBusOwner(const RunContext& ctx, std::uint32_t bus) {
  std::optional<ModulePosition> found;
  std::uint32_t best_min = 0, best_max = 0;
  const auto& vendors = ctx.SystemModules.Vendors;
  for (std::size_t v = 0; v < vendors.size(); ++v) {
    for (std::size_t m = 0; m < vendors[v].Models.size(); ++m) {
      const auto& modules = vendors[v].Models[m].Modules;
      for (std::size_t r = 0; r < modules.size(); ++r) {
        std::uint32_t min = modules[r].MinBus, max = modules[r].MaxBus;
        if (min > bus || bus > max) continue;
        if ((best_min == 0 && best_max == 0) || (best_min <= min && max <= best_max)) {
          best_min = min;
          best_max = max;
          found = ModulePosition{v, m, r};
        }
      }
    }
  }
  return found;
}

std::uint32_t FindParentSystemModule(const RunContext& ctx, std::uint32_t bus) {
  std::optional<ModulePosition> pos = FindBusOwner(ctx, bus);
  if (!pos) return 0;
  return ctx.SystemModules.Vendors[pos->vendor].Models[pos->model].Modules[pos->record].Index;
}

void FindChassisSystemModule(RunContext& ctx, std::uint32_t bus, std::uint32_t& mapping_index) {
  std::optional<ModulePosition> pos = FindBusOwner(ctx, bus);
  if (!pos) return;
  PxisaVendorEntry& vendor = ctx.SystemModules.Vendors[pos->vendor];
  PxisaModelEntry& model = vendor.Models[pos->model];
  ModuleRecord& module = model.Modules[pos->record];
  const std::uint32_t m = module.MappingIndex;
  mapping_index = m;

  std::uint16_t chassis_id = TableValue(ctx, m);
  if (chassis_id == 0 && m <= kMaxMappingIndex) {
    // Refused (returns 0) for index 0; larger indexes never reach it, as the
    // 16-bit argument would wrap onto another slot.
    chassis_id = mf_GetComfortablyChassisID(ctx, static_cast<std::uint16_t>(m));
  }
  if (!ctx.vecPXISys.empty()) ctx.vecPXISys.back().usChassisID = chassis_id;
  module.ChassisID = TableValue(ctx, m);

  LogBoundedLine(ctx, FormatWide(u"ChassisModul_SystemModule = %s, Model = %s, Index = %d, "
                                 u"MappingToChassisIndex = %d, ChassisID = %d",
                                 vendor.VendorName, model.ModelName, module.Index, m,
                                 TableValue(ctx, m)));
}

bool MatchChassisVendorModel(const RunContext& ctx, WStringView vendor, WStringView model) {
  if (ctx.SystemModules.VendorCount == 0) return false;
  for (const PxisaVendorEntry& v : ctx.SystemModules.Vendors) {
    for (const PxisaModelEntry& m : v.Models) {
      for (const ModuleRecord& record : m.Modules) {
        if (record.ChassisVendor == vendor && record.ChassisModel == model) return true;
      }
    }
  }
  return false;
}

bool IsMappingIndexUnique(const RunContext& ctx, std::uint32_t mapping_index) {
  std::size_t count = 0;
  for (const stPXISys& sys : ctx.vecPXISys) count += sys.dwChassisIndex == mapping_index ? 1 : 0;
  return count <= 1;
}

WideText FindTriggerManagerPath(RunContext& ctx, WStringView vendor, WStringView model) {
  if (ctx.TriggerManagers.VendorCount != 0) {
    for (const PxisaVendorEntry& v : ctx.TriggerManagers.Vendors) {
      for (const PxisaModelEntry& m : v.Models) {
        if (v.VendorName.view().find(vendor) != WStringView::npos &&
            m.ModelName.view().find(model) != WStringView::npos) {
          return m.Library;
        }
      }
    }
  }
  Log(ctx, u"Fail to acquire the path of TriggerManager\r\n");
  return WideText(u"N/A");
}

void MapChassisRootBus(RunContext& ctx, ModuleRecord& record, std::uint32_t root,
                       std::uint32_t bus, WStringView vendor, WStringView model) {
  FindChassisSystemModule(ctx, bus, record.Index);
  if (!ctx.vecPXISys.empty()) {
    stPXISys& d = ctx.vecPXISys.back();
    d.dwChassisIndex = record.Index;
    if (!MatchChassisVendorModel(ctx, d.Vendor.view(), d.Model.view()) ||
        !IsMappingIndexUnique(ctx, d.dwChassisIndex)) {
      d.dwChassisIndex = kInvalidMappingIndex;
    }
    const std::size_t i = root - 1;
    if (!d.vecPXI1BusSegment.empty()) {
      if (i < d.vecPXI1BusSegment.size()) {
        d.vecPXI1BusSegment[i].usRootBusNumber = static_cast<std::uint16_t>(bus);
      }
    } else if (i < d.vecPCIBusSegment.size()) {
      d.vecPCIBusSegment[i].usRootBusNumber = static_cast<std::uint16_t>(bus);
    }
  }
  record.TriggerManagerPath = FindTriggerManagerPath(ctx, vendor, model);
  Log(ctx, u"ChassisModule_TriggerManagerPath = %s\r\n", record.TriggerManagerPath);
}

}  // namespace ztrm
