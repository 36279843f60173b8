#include "inventory/peripheral_module_stage.h"

#include "common/wide_format.h"
#include "enumeration/decision_trail.h"
#include "enumeration/run_log.h"
#include "inventory/bus_assignment.h"
#include "inventory/logged_line.h"

namespace ztrm {

const StageText kPeripheralStage = {
    u"======================= PERIPHERAL MODULE ============================\r\n",
    u"Peripheral Module N/A\r\n",
    u"PeripheralModule_LoadLibrary = %s = Success\r\n",
    u"PeripheralModule_LoadLibrary = %s = Fail\r\n",
    u"%s of PeripheralModule process final result = Fail",
    kPeripheralModuleGetCount,
    u"Import PeripheralModule_GetCount API Fail\r\n",
    u"PeripheralModule_GetCount = %d, (%s,%s)\r\n",
    u"PeripheralModule_GetCount = N/A, (%s,%s)\r\n",
    u"PeripheralModule_GetCount is above %d: only the first %d are read (at most %d in a run)\r\n",
    kMaxModulesPerRun};

namespace {

// Which controller's bus range took the module's bus, or that none did.
void TrailParent(RunContext& ctx, const ModuleRecord& record) {
  const std::optional<ModulePosition> owner = FindBusOwner(ctx, record.PCIBusNumber);
  TrailEntry& e = ctx.Trail->Add(owner ? TrailKind::kParent : TrailKind::kNoParent,
                                 {TrailSubjectKind::kPeripheralModule, record.Index, 0},
                                 owner ? WString() : WString(kNotWritten));
  With(e, "bus", record.PCIBusNumber);
  if (owner) {
    const PxisaVendorEntry& v = ctx.SystemModules.Vendors[owner->vendor];
    const PxisaModelEntry& m = v.Models[owner->model];
    const ModuleRecord& c = m.Modules[owner->record];
    With(e, "controller", TrailModuleName(v.VendorName.view(), m.ModelName.view(), c.UniqueName.view()));
    With(e, "its bus range", FormatWide(u"%u-%u", c.MinBus, c.MaxBus));
    return;
  }
  // The first 16 ranges, then their number: enough to see the gap.
  With(e, "controllers' bus ranges",
       DescribeFirstRecords(
           ctx.SystemModules,
           [](const ModuleRecord& c) {
             return FormatWide(u"\"%s\" %u-%u", c.UniqueName, c.MinBus, c.MaxBus);
           },
           u"no controller"));
}

}  // namespace

bool ReadPeripheralModules(ModelScope& s) {
  const bool has_name = s.library.HasExport(kPeripheralModuleGetName);
  const bool has_info = s.library.HasExport(kPeripheralModuleGetInformation);
  if (!CountModules(s, kPeripheralStage, RecordCount(s.ctx.PeripheralModules))) return false;
  for (std::uint32_t index = 1; index <= s.read_count; ++index) {
    ModuleRecord record;
    if (has_name) {
      ReadModuleName(s, kPeripheralModuleGetName, index, record);
      LogBoundedLine(s.ctx,
                     FormatWide(u"PeripheralModule_GetName_%d UniquNname = %s, AddressInfo = %s",
                                index, record.UniqueName, record.AddressInfo));
    } else {
      Log(s.ctx, u"PeripheralModule_GetName = Fail\r\n");
      s.error = true;
    }
    if (has_info) {
      const char* fn = kPeripheralModuleGetInformation;
      record.MaxLinkWidth = ReadInformation(s, fn, 0);
      record.PCIBusNumber = ReadInformation(s, fn, 100);
      record.NegotiateLinkWidth = ReadInformation(s, fn, 101);
      record.SlotNumber = ReadInformation(s, fn, 102);
      WString text = FormatWide(
          u"MaxLinkWidth = %d, PCIBusNumber= %d, NegotiateLinkWidth = %d, SlotNumber(GA) = %d",
          record.MaxLinkWidth, record.PCIBusNumber, record.NegotiateLinkWidth, record.SlotNumber);
      Log(s.ctx, u"PeripheralModule_GetInformation_%d %s\r\n", index, text);
    } else {
      Log(s.ctx, u"Import PeripheralModule_GetInformation API Fail\r\n");
      s.error = true;
    }
    record.Index = ++s.ctx.PeripheralModuleCounter;
    record.MappingIndex = FindParentSystemModule(s.ctx, record.PCIBusNumber);
    Log(s.ctx, u"PeripheralModule mapping to system module Index = %d\r\n", record.MappingIndex);
    if (s.ctx.Trail) TrailParent(s.ctx, record);
    s.model.Modules.push_back(std::move(record));
  }
  return false;
}

}  // namespace ztrm
