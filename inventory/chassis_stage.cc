#include "inventory/chassis_stage.h"

#include "chassis/chassis_mapping.h"
#include "common/wide_format.h"
#include "enumeration/run_log.h"
#include "inventory/bus_assignment.h"
#include "inventory/logged_line.h"

namespace ztrm {

const StageText kChassisStage = {
    u"======================= CHASSIS MODULE ===============================\r\n",
    u"Chassis Module N/A\r\n",
    u"ChassisModule_LoadLibrary = %s = Success\r\n",
    u"Fail to open %s\r\n",
    u"%s of ChassisModule process final result = Fail",
    kChassisGetCount,
    u"Import ChassisModule_GetCount API Fail\r\n",
    u"ChassisModule_GetCount = %d, (%s,%s)\r\n",
    u"ChassisModule_GetCount = N/A, (%s,%s)\r\n",
    u"ChassisModule_GetCount is above %d: only the first %d are read (at most %d in a run)\r\n",
    kMaxChassisPerRun};

bool ReadChassis(ModelScope& s) {
  const bool has_root_bus = s.library.HasExport(kChassisGetPciRootBusNumber);
  if (!CountModules(s, kChassisStage, RecordCount(s.ctx.ChassisModules))) return false;
  const WStringView vendor = s.vendor.VendorName.view();
  const WStringView model = s.model.ModelName.view();
  for (std::uint32_t chassis = 1; chassis <= s.read_count; ++chassis) {
    ModuleRecord record;
    const TrailSubject subject{TrailSubjectKind::kChassisModule,
                               s.ctx.Trail ? s.ctx.Trail->NextChassis() : 0, 0};
    if (!has_root_bus) {
      if (s.ctx.Trail) s.ctx.Trail->Add(TrailKind::kNoRootBusExport, subject, kNotWritten);
      s.error = true;
      Log(s.ctx, u"Import ChassisModule_GetPCIRootBusNumber API Fail\r\n");
      s.model.Modules.push_back(std::move(record));
      continue;
    }
    const std::size_t records_before = s.ctx.vecPXISys.size();
    record.RootBusCount = MapPXIeChassis(s.ctx, vendor, model, subject);
    if (s.ctx.Trail && record.RootBusCount == 0 && s.ctx.vecPXISys.size() > records_before) {
      TrailEntry& e = s.ctx.Trail->Add(TrailKind::kNoRootBuses, subject, kNotWritten);
      e.record = static_cast<std::int64_t>(records_before);
      With(e, "bus segment sections", std::uint64_t{0});
    }
    for (std::uint32_t root = 1; root <= record.RootBusCount; ++root) {
      std::uint32_t bus = 0;
      s.library.CallGetPciRootBusNumber(kChassisGetPciRootBusNumber, s.vendor_narrow.c_str(),
                                        s.model_narrow.c_str(), root, chassis, &bus);
      record.RootBuses.push_back({root - 1, bus});
      LogBoundedLine(s.ctx, FormatWide(u"ChassisModule_GetPCIRootBusNumber RootIndex = %d, "
                                       u"Chassis%d, BusNumber = %d",
                                       root, chassis, bus));
      if (bus >= 1 && bus <= 255) {
        MapChassisRootBus(s.ctx, record, root, bus, vendor, model);
      } else {
        Log(s.ctx, u"ChassisModule_TriggerManagerPath = N/A\r\n");
        if (s.ctx.Trail) {
          TrailEntry& e = s.ctx.Trail->Add(TrailKind::kRootBusInvalid, subject);
          e.record = static_cast<std::int64_t>(s.ctx.vecPXISys.size()) - 1;
          With(e, "root", root);
          With(e, "bus", bus);
        }
      }
    }
    s.model.Modules.push_back(std::move(record));
  }
  return false;
}

}  // namespace ztrm
