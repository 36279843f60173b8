#include "inventory/bus_assignment.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "chassis/chassis_id_table.h"
#include "common/wide_format.h"
#include "enumeration/decision_trail.h"
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

// The trail's subject for the chassis being mapped: the last stPXISys.
TrailSubject LastRecord(const RunContext& ctx) {
  return {TrailSubjectKind::kChassisRecord, static_cast<std::uint32_t>(ctx.vecPXISys.size() - 1), 0};
}

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
  if (ctx.Trail) {
    for (const NumberingEntry& e : entries) {
      // Every record is numbered: each selection pass picks an unassigned
      // record's MinBus, which the assignment pass then finds.
      TrailEntry& t = ctx.Trail->Add(TrailKind::kMappingIndex,
                                     {TrailSubjectKind::kSystemModule, e.record->Index, 0});
      With(t, "bus range", FormatWide(u"%u-%u", e.min_bus, e.max_bus));
      With(t, "number", e.number);
    }
  }
}

namespace {

// The walk FindBusOwner describes, for one bus.
std::optional<ModulePosition> WalkForBusOwner(const PxisaServiceList& list, std::uint32_t bus) {
  std::optional<ModulePosition> found;
  std::uint32_t best_min = 0, best_max = 0;
  const auto& vendors = list.Vendors;
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

}  // namespace

std::u16string ChassisNameKey(WStringView vendor, WStringView model) {
  std::u16string key;
  key.reserve(2 + vendor.size() + model.size());
  key.push_back(static_cast<char16_t>(vendor.size() >> 16));
  key.push_back(static_cast<char16_t>(vendor.size() & 0xFFFF));
  key.append(vendor);
  key.append(model);
  return key;
}

void IndexSystemModules(RunContext& ctx) {
  SystemModuleIndex index;
  // Which ranges hold a bus changes only where a range starts or just past
  // where one ends; a reversed range holds no bus.
  std::vector<std::uint64_t> starts = {0};
  for (const PxisaVendorEntry& vendor : ctx.SystemModules.Vendors) {
    for (const PxisaModelEntry& model : vendor.Models) {
      for (const ModuleRecord& record : model.Modules) {
        if (record.MinBus <= record.MaxBus) {
          starts.push_back(record.MinBus);
          starts.push_back(std::uint64_t{record.MaxBus} + 1);
        }
        index.chassis_names.insert(
            ChassisNameKey(record.ChassisVendor.view(), record.ChassisModel.view()));
      }
    }
  }
  std::sort(starts.begin(), starts.end());
  starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
  for (std::uint64_t start : starts) {
    if (start > std::numeric_limits<std::uint32_t>::max()) break;
    const auto bus = static_cast<std::uint32_t>(start);
    index.span_starts.push_back(bus);
    index.span_owners.push_back(WalkForBusOwner(ctx.SystemModules, bus));
  }
  ctx.SystemModuleLookup = std::move(index);
}

std::optional<ModulePosition> FindBusOwner(const RunContext& ctx, std::uint32_t bus) {
  const SystemModuleIndex& index = ctx.SystemModuleLookup;
  auto after = std::upper_bound(index.span_starts.begin(), index.span_starts.end(), bus);
  if (after == index.span_starts.begin()) return std::nullopt;
  return index.span_owners[after - index.span_starts.begin() - 1];
}

std::uint32_t FindParentSystemModule(const RunContext& ctx, std::uint32_t bus) {
  std::optional<ModulePosition> pos = FindBusOwner(ctx, bus);
  if (!pos) return 0;
  return ctx.SystemModules.Vendors[pos->vendor].Models[pos->model].Modules[pos->record].Index;
}

void FindChassisSystemModule(RunContext& ctx, std::uint32_t bus, std::uint32_t& mapping_index) {
  std::optional<ModulePosition> pos = FindBusOwner(ctx, bus);
  if (!pos) {
    if (ctx.Trail && !ctx.vecPXISys.empty()) {
      With(ctx.Trail->Add(TrailKind::kRootBusNoController, LastRecord(ctx)), "root bus", bus);
    }
    return;
  }
  PxisaVendorEntry& vendor = ctx.SystemModules.Vendors[pos->vendor];
  PxisaModelEntry& model = vendor.Models[pos->model];
  ModuleRecord& module = model.Modules[pos->record];
  const std::uint32_t m = module.MappingIndex;
  mapping_index = m;

  std::uint16_t chassis_id = TableValue(ctx, m);
  const bool kept = chassis_id != 0;
  if (chassis_id == 0 && m <= kMaxMappingIndex) {
    // Refused (returns 0) for index 0; larger indexes never reach it, as the
    // 16-bit argument would wrap onto another slot.
    chassis_id = mf_GetComfortablyChassisID(ctx, static_cast<std::uint16_t>(m));
  }
  if (!ctx.vecPXISys.empty()) ctx.vecPXISys.back().usChassisID = chassis_id;
  module.ChassisID = TableValue(ctx, m);
  if (ctx.Trail && !ctx.vecPXISys.empty()) {
    const bool slot = m >= 1 && m <= kMaxMappingIndex;
    TrailEntry& e = ctx.Trail->Add(slot ? TrailKind::kChassisId : TrailKind::kMappingIndexNoSlot,
                                   LastRecord(ctx));
    With(e, "root bus", bus);
    With(e, "controller", TrailModuleName(vendor.VendorName.view(), model.ModelName.view(),
                                          module.UniqueName.view()));
    With(e, "its bus range", FormatWide(u"%u-%u", module.MinBus, module.MaxBus));
    With(e, "its number", m);
    With(e, "chassis ID", ctx.vecPXISys.back().usChassisID);
    if (slot) {
      With(e, "from", kept ? u"ChassisMappingID.ini (kept from an earlier run)"
                           : u"the smallest free ID, now kept in ChassisMappingID.ini");
    }
  }

  LogBoundedLine(ctx, FormatWide(u"ChassisModul_SystemModule = %s, Model = %s, Index = %d, "
                                 u"MappingToChassisIndex = %d, ChassisID = %d",
                                 vendor.VendorName, model.ModelName, module.Index, m,
                                 TableValue(ctx, m)));
}

bool MatchChassisVendorModel(const RunContext& ctx, WStringView vendor, WStringView model) {
  if (ctx.SystemModules.VendorCount == 0) return false;
  return ctx.SystemModuleLookup.chassis_names.count(ChassisNameKey(vendor, model)) != 0;
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

namespace {

// Why the chassis's index becomes 255: no EEPROM names it, or another
// chassis holds its controller's number.
void TrailUnusableMatch(RunContext& ctx, const stPXISys& d, bool named) {
  TrailEntry& e = ctx.Trail->Add(named ? TrailKind::kIndexTaken : TrailKind::kEepromMismatch,
                                 LastRecord(ctx), u"index 255: not written");
  if (!named) {
    With(e, "vendor", d.Vendor.view());
    With(e, "model", d.Model.view());
    With(e, "controllers' EEPROM vendor and model",
         DescribeFirstRecords(
             ctx.SystemModules,
             [](const ModuleRecord& c) {
               return FormatWide(u"\"%s\": \"%s\" \"%s\"", c.UniqueName, c.ChassisVendor,
                                 c.ChassisModel);
             },
             u"no controller"));
    return;
  }
  With(e, "index", d.dwChassisIndex);
  for (std::size_t i = 0; i + 1 < ctx.vecPXISys.size(); ++i) {
    if (ctx.vecPXISys[i].dwChassisIndex != d.dwChassisIndex) continue;
    With(e, "held by", FormatWide(u"%s %s (%s)", ctx.vecPXISys[i].Vendor, ctx.vecPXISys[i].Model,
                                  ctx.vecPXISys[i].szDescriptionFile));
    break;
  }
}

}  // namespace

void MapChassisRootBus(RunContext& ctx, ModuleRecord& record, std::uint32_t root,
                       std::uint32_t bus, WStringView vendor, WStringView model) {
  FindChassisSystemModule(ctx, bus, record.Index);
  if (!ctx.vecPXISys.empty()) {
    stPXISys& d = ctx.vecPXISys.back();
    d.dwChassisIndex = record.Index;
    const bool named = MatchChassisVendorModel(ctx, d.Vendor.view(), d.Model.view());
    if (!named || !IsMappingIndexUnique(ctx, d.dwChassisIndex)) {
      if (ctx.Trail) TrailUnusableMatch(ctx, d, named);
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
