#include "inventory/system_module_stage.h"

#include <algorithm>

#include "common/wide_format.h"
#include "enumeration/decision_trail.h"
#include "enumeration/run_log.h"
#include "inventory/eeprom_report.h"
#include "inventory/logged_line.h"

namespace ztrm {

const StageText kSystemStage = {
    u"======================= SYSTEM MODULE ================================\r\n",
    u"System Module N/A\r\n",
    u"SystemModule_LoadLibrary = %s = Success\r\n",
    u"LoadLibraryW Fail\r\n",
    u"%s of SystemModule process final result = Fail",
    kSystemModuleGetCount,
    u"Import SystemModule_GetCount API Fail\r\n",
    u"SystemModule_GetCount = %d, (%s,%s)\r\n",
    u"SystemModule_GetCount = N/A, (%s,%s)\r\n",
    u"SystemModule_GetCount is above %d: only the first %d are read (at most %d in a run)\r\n",
    kMaxModulesPerRun};

namespace {

// The EEPROM image into the record, with its report and chassis texts.
void ReadChassisEeprom(ModelScope& s, ModuleRecord& record) {
  DiscoveryBuffers& b = s.buffers;
  s.library.CallGetChassisEeprom(kSystemModuleGetChassisEeprom, b.unique_name.data(),
                                 b.address_info.data(), b.eeprom.data());
  std::copy_n(b.eeprom.begin(), kEepromSize, record.Eeprom.begin());
  PrintChassisEeprom(s.ctx, record.Eeprom);
  const char* image = reinterpret_cast<const char*>(record.Eeprom.data());
  record.ChassisVendor = WidenName(s.ctx, image + 0x05, kEepromSize - 0x05);
  record.ChassisModel = WidenName(s.ctx, image + 0x41, kEepromSize - 0x41);
}

void ReadLinks(ModelScope& s, ModuleRecord& r) {
  const char* fn = kSystemModuleGetInformation;
  std::uint32_t* widths[] = {&r.MaxLink1Width2Link, &r.MaxLink2Width2Link, &r.MaxLink1Width4Link,
                             &r.MaxLink2Width4Link, &r.MaxLink3Width4Link, &r.MaxLink4Width4Link};
  for (std::uint32_t item = 0; item < 6; ++item) *widths[item] = ReadInformation(s, fn, item);
  r.NumberofValidLinks = ReadInformation(s, fn, 100);
  for (std::uint32_t n = 0; n < 4; ++n) r.PCIBusLink[n] = ReadInformation(s, fn, 101 + n);
  for (std::uint32_t n = 0; n < 4; ++n) r.SubPCIBusLink[n] = ReadInformation(s, fn, 105 + n);

  RunContext& ctx = s.ctx;
  Log(ctx, u"SystemModule_GetInfomation Max Link1Witdh in 2 LinkMode = %d\r\n", r.MaxLink1Width2Link);
  Log(ctx, u"SystemModule_GetInfomation Max Link2Witdh in 2 LinkMode = %d\r\n", r.MaxLink2Width2Link);
  Log(ctx, u"SystemModule_GetInfomation Max Link1Witdh in 4 LinkMode = %d\r\n", r.MaxLink1Width4Link);
  Log(ctx, u"SystemModule_GetInfomation Max Link2Witdh in 4 LinkMode = %d\r\n", r.MaxLink2Width4Link);
  Log(ctx, u"SystemModule_GetInfomation Max Link3Witdh in 4 LinkMode = %d\r\n", r.MaxLink3Width4Link);
  Log(ctx, u"SystemModule_GetInfomation Max Link4Witdh in 4 LinkMode = %d\r\n", r.MaxLink4Width4Link);
  Log(ctx, u"SystemModule_GetInfomation NumberofValidLinks = %d\r\n", r.NumberofValidLinks);
  ComputeBusRange(ctx, r);
}

}  // namespace

void ComputeBusRange(RunContext& ctx, ModuleRecord& record) {
  std::uint32_t min = 0, max = 0;
  const std::uint32_t links = record.NumberofValidLinks;
  if (links >= 1 && links <= 4) {
    for (std::uint32_t n = 1; n <= links; ++n) {
      std::uint32_t bus = record.PCIBusLink[n - 1], sub = record.SubPCIBusLink[n - 1];
      Log(ctx, u"SystemModule_GetInfomation PCIBusLink%d = %d, SubPCIBusLink%d = %d\r\n", n, bus, n,
          sub);
      if (min == 0 && max == 0) {
        min = bus;
        max = sub;
      } else {
        min = std::min({min, bus, sub});
        max = std::max({max, bus, sub});
      }
    }
  } else {
    Log(ctx, u"SystemModule_GetInfomation NumberofValidLinks Error and Unsupported.\r\n");
  }
  record.MinBus = min;
  record.MaxBus = max;
}

bool ReadSystemModules(ModelScope& s) {
  VendorLibrary& lib = s.library;
  const bool has_name = lib.HasExport(kSystemModuleGetName);
  const bool has_eeprom = lib.HasExport(kSystemModuleGetChassisEeprom);
  const bool has_info = lib.HasExport(kSystemModuleGetInformation);
  const bool has_smbus = lib.HasExport(kSystemModuleSmBusOperation);
  if (!CountModules(s, kSystemStage, RecordCount(s.ctx.SystemModules))) return !has_smbus;
  if (!has_name) {
    Log(s.ctx, u"Import SystemModule_GetName API Fail\r\n");
    s.error = true;
    return !has_smbus;
  }
  for (std::uint32_t index = 1; index <= s.read_count; ++index) {
    ModuleRecord record;
    ReadModuleName(s, kSystemModuleGetName, index, record);
    LogBoundedLine(s.ctx, FormatWide(u"SystemModule_GetName_%d UniquNname = %s, AddressInfo = %s",
                                     index, record.UniqueName, record.AddressInfo));
    if (has_eeprom) {
      ReadChassisEeprom(s, record);
    } else {
      s.error = true;
      Log(s.ctx, u"Import SystemModule_GetChassisEEPROM API Fail\r\n");
    }
    if (has_info) {
      ReadLinks(s, record);
    } else {
      s.error = true;
      Log(s.ctx, u"Import SystemModule_GetInfomation API Fail\r\n");
    }
    record.Index = ++s.ctx.SystemModuleCounter;
    Log(s.ctx, u"SystemModule_Index = %d\r\n", record.Index);
    if (s.ctx.Trail && (!has_info || record.NumberofValidLinks < 1 || record.NumberofValidLinks > 4)) {
      TrailEntry& e = s.ctx.Trail->Add(TrailKind::kNoBusRange,
                                       {TrailSubjectKind::kSystemModule, record.Index, 0});
      if (has_info) {
        With(e, "NumberofValidLinks", record.NumberofValidLinks);
      } else {
        With(e, "GetInformation", u"missing");
      }
    }
    s.model.Modules.push_back(std::move(record));
  }
  return !has_smbus;
}

}  // namespace ztrm
