#include "inventory/module_discovery.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string>

#include "chassis/chassis_mapping.h"
#include "common/wide_format.h"
#include "enumeration/run_log.h"
#include "inventory/bus_assignment.h"
#include "inventory/eeprom_report.h"
#include "inventory/logged_line.h"
#include "inventory/vendor_exports.h"

namespace ztrm {
namespace {

constexpr char16_t kHyphens[] =
    u"----------------------------------------------------------------------\r\n";

// The buffers the exports write into, zero-filled once per discovery: an
// export that writes nothing leaves the previous module's bytes in place.
// Each name buffer has one byte more than the library is told of, which
// stays zero, so an unterminated name still ends there.
struct Buffers {
  std::array<char, kVendorBufferSize + 1> unique_name{};
  std::array<char, kVendorBufferSize + 1> address_info{};
  std::array<std::uint8_t, kVendorBufferSize> eeprom{};
};

// The log lines that tell the three stages apart.
struct StageText {
  const char16_t* banner;
  const char16_t* empty_list;
  const char16_t* load_success;
  const char16_t* load_failure;  // holds the library path when it has a "%s"
  const char16_t* summary;
  const char* count_export;
  const char16_t* count_import_failure;
  const char16_t* count_line;
  const char16_t* count_none_line;
  const char16_t* count_limit_line;
};

constexpr StageText kSystemStage = {
    u"======================= SYSTEM MODULE ================================\r\n",
    u"System Module N/A\r\n",
    u"SystemModule_LoadLibrary = %s = Success\r\n",
    u"LoadLibraryW Fail\r\n",
    u"%s of SystemModule process final result = Fail",
    kSystemModuleGetCount,
    u"Import SystemModule_GetCount API Fail\r\n",
    u"SystemModule_GetCount = %d, (%s,%s)\r\n",
    u"SystemModule_GetCount = N/A, (%s,%s)\r\n",
    u"SystemModule_GetCount is above %d: only the first %d are read\r\n"};

constexpr StageText kPeripheralStage = {
    u"======================= PERIPHERAL MODULE ============================\r\n",
    u"Peripheral Module N/A\r\n",
    u"PeripheralModule_LoadLibrary = %s = Success\r\n",
    u"PeripheralModule_LoadLibrary = %s = Fail\r\n",
    u"%s of PeripheralModule process final result = Fail",
    kPeripheralModuleGetCount,
    u"Import PeripheralModule_GetCount API Fail\r\n",
    u"PeripheralModule_GetCount = %d, (%s,%s)\r\n",
    u"PeripheralModule_GetCount = N/A, (%s,%s)\r\n",
    u"PeripheralModule_GetCount is above %d: only the first %d are read\r\n"};

constexpr StageText kChassisStage = {
    u"======================= CHASSIS MODULE ===============================\r\n",
    u"Chassis Module N/A\r\n",
    u"ChassisModule_LoadLibrary = %s = Success\r\n",
    u"Fail to open %s\r\n",
    u"%s of ChassisModule process final result = Fail",
    kChassisGetCount,
    u"Import ChassisModule_GetCount API Fail\r\n",
    u"ChassisModule_GetCount = %d, (%s,%s)\r\n",
    u"ChassisModule_GetCount = N/A, (%s,%s)\r\n",
    u"ChassisModule_GetCount is above %d: only the first %d are read\r\n"};

// One model with its library loaded.
struct ModelScope {
  RunContext& ctx;
  Buffers& buffers;
  VendorLibrary& library;
  const PxisaVendorEntry& vendor;
  PxisaModelEntry& model;
  std::string vendor_narrow;  // in the process's code page, at most 259 bytes
  std::string model_narrow;
  bool error = false;
  // Modules to read: the reported count, bounded.
  std::uint32_t read_count = 0;
};

std::string Narrow(const RunContext& ctx, const WideText& name) {
  std::string bytes = ctx.locale.ToMultiByte(name.view());
  if (bytes.size() > kVendorBufferSize - 1) bytes.resize(kVendorBufferSize - 1);
  return bytes;
}

// A name a library wrote, up to its first zero byte, as wide text.
WideText WidenName(const RunContext& ctx, const char* bytes, std::size_t size) {
  std::size_t length = 0;
  while (length < size && bytes[length] != 0) ++length;
  return WideText(ctx.locale.FromMultiByte(std::string_view(bytes, length)));
}

// GetCount into ModuleCount, with its log line; false when the export is
// missing (the error mark is set then).
bool CountModules(ModelScope& s, const StageText& text) {
  if (!s.library.HasExport(text.count_export)) {
    Log(s.ctx, text.count_import_failure);
    s.error = true;
    return false;
  }
  std::uint32_t count = 0;
  s.library.CallGetCount(text.count_export, s.vendor_narrow.c_str(), s.model_narrow.c_str(), &count);
  s.model.ModuleCount = count;
  if (count == 0) {
    Log(s.ctx, text.count_none_line, s.vendor.VendorName, s.model.ModelName);
  } else {
    Log(s.ctx, text.count_line, count, s.vendor.VendorName, s.model.ModelName);
  }
  s.read_count = std::min(count, kMaxModulesPerModel);
  if (count > kMaxModulesPerModel) {
    Log(s.ctx, text.count_limit_line, kMaxModulesPerModel, kMaxModulesPerModel);
  }
  return true;
}

void CallGetName(ModelScope& s, const char* export_name, std::uint32_t index, ModuleRecord& record) {
  Buffers& b = s.buffers;
  s.library.CallGetName(export_name, s.vendor_narrow.c_str(), s.model_narrow.c_str(), index,
                        b.unique_name.data(), b.address_info.data());
  record.UniqueName = WidenName(s.ctx, b.unique_name.data(), kVendorBufferSize);
  record.AddressInfo = WidenName(s.ctx, b.address_info.data(), kVendorBufferSize);
}

std::uint32_t GetInformation(ModelScope& s, const char* export_name, std::uint32_t item) {
  std::uint32_t value = 0;
  s.library.CallGetInformation(export_name, s.buffers.unique_name.data(),
                               s.buffers.address_info.data(), item, &value);
  return value;
}

// The EEPROM image into the record, with its report and chassis texts.
void ReadChassisEeprom(ModelScope& s, ModuleRecord& record) {
  Buffers& b = s.buffers;
  s.library.CallGetChassisEeprom(kSystemModuleGetChassisEeprom, b.unique_name.data(),
                                 b.address_info.data(), b.eeprom.data());
  std::copy_n(b.eeprom.begin(), kEepromSize, record.Eeprom.begin());
  PrintChassisEeprom(s.ctx, record.Eeprom);
  const char* image = reinterpret_cast<const char*>(record.Eeprom.data());
  record.ChassisVendor = WidenName(s.ctx, image + 0x05, kEepromSize - 0x05);
  record.ChassisModel = WidenName(s.ctx, image + 0x41, kEepromSize - 0x41);
}

// MinBus and MaxBus from the links' bus numbers. A (0, 0) pair so far leaves
// the range unset, so the next link's pair is taken as it comes.
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

void ReadSystemInformation(ModelScope& s, ModuleRecord& r) {
  const char* fn = kSystemModuleGetInformation;
  std::uint32_t* widths[] = {&r.MaxLink1Width2Link, &r.MaxLink2Width2Link, &r.MaxLink1Width4Link,
                             &r.MaxLink2Width4Link, &r.MaxLink3Width4Link, &r.MaxLink4Width4Link};
  for (std::uint32_t item = 0; item < 6; ++item) *widths[item] = GetInformation(s, fn, item);
  r.NumberofValidLinks = GetInformation(s, fn, 100);
  for (std::uint32_t n = 0; n < 4; ++n) r.PCIBusLink[n] = GetInformation(s, fn, 101 + n);
  for (std::uint32_t n = 0; n < 4; ++n) r.SubPCIBusLink[n] = GetInformation(s, fn, 105 + n);

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

// Returns whether the summary line is due regardless of the error mark.
bool SystemModuleBody(ModelScope& s) {
  VendorLibrary& lib = s.library;
  const bool has_name = lib.HasExport(kSystemModuleGetName);
  const bool has_eeprom = lib.HasExport(kSystemModuleGetChassisEeprom);
  const bool has_info = lib.HasExport(kSystemModuleGetInformation);
  const bool has_smbus = lib.HasExport(kSystemModuleSmBusOperation);
  if (!CountModules(s, kSystemStage)) return !has_smbus;
  if (!has_name) {
    Log(s.ctx, u"Import SystemModule_GetName API Fail\r\n");
    s.error = true;
    return !has_smbus;
  }
  for (std::uint32_t index = 1; index <= s.read_count; ++index) {
    ModuleRecord record;
    CallGetName(s, kSystemModuleGetName, index, record);
    LogBoundedLine(s.ctx, FormatWide(u"SystemModule_GetName_%d UniquNname = %s, AddressInfo = %s",
                                     index, record.UniqueName, record.AddressInfo));
    if (!has_eeprom) {
      s.error = true;
      Log(s.ctx, u"Import SystemModule_GetChassisEEPROM API Fail\r\n");
    } else {
      ReadChassisEeprom(s, record);
    }
    if (!has_info) {
      s.error = true;
      Log(s.ctx, u"Import SystemModule_GetInfomation API Fail\r\n");
    } else {
      ReadSystemInformation(s, record);
    }
    record.Index = ++s.ctx.SystemModuleCounter;
    Log(s.ctx, u"SystemModule_Index = %d\r\n", record.Index);
    s.model.Modules.push_back(std::move(record));
  }
  return !has_smbus;
}

bool PeripheralModuleBody(ModelScope& s) {
  VendorLibrary& lib = s.library;
  const bool has_name = lib.HasExport(kPeripheralModuleGetName);
  const bool has_info = lib.HasExport(kPeripheralModuleGetInformation);
  if (!CountModules(s, kPeripheralStage)) return false;
  for (std::uint32_t index = 1; index <= s.read_count; ++index) {
    ModuleRecord record;
    if (has_name) {
      CallGetName(s, kPeripheralModuleGetName, index, record);
      LogBoundedLine(s.ctx,
                     FormatWide(u"PeripheralModule_GetName_%d UniquNname = %s, AddressInfo = %s",
                                index, record.UniqueName, record.AddressInfo));
    } else {
      Log(s.ctx, u"PeripheralModule_GetName = Fail\r\n");
      s.error = true;
    }
    if (has_info) {
      const char* fn = kPeripheralModuleGetInformation;
      record.MaxLinkWidth = GetInformation(s, fn, 0);
      record.PCIBusNumber = GetInformation(s, fn, 100);
      record.NegotiateLinkWidth = GetInformation(s, fn, 101);
      record.SlotNumber = GetInformation(s, fn, 102);
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
    s.model.Modules.push_back(std::move(record));
  }
  return false;
}

bool ChassisBody(ModelScope& s) {
  const bool has_root_bus = s.library.HasExport(kChassisGetPciRootBusNumber);
  if (!CountModules(s, kChassisStage)) return false;
  for (std::uint32_t chassis = 1; chassis <= s.read_count; ++chassis) {
    ModuleRecord record;
    if (!has_root_bus) {
      s.error = true;
      Log(s.ctx, u"Import ChassisModule_GetPCIRootBusNumber API Fail\r\n");
      s.model.Modules.push_back(std::move(record));
      continue;
    }
    record.RootBusCount =
        MapPXIeChassis(s.ctx, s.vendor.VendorName.view(), s.model.ModelName.view());
    for (std::uint32_t root = 1; root <= record.RootBusCount; ++root) {
      std::uint32_t bus = 0;
      s.library.CallGetPciRootBusNumber(kChassisGetPciRootBusNumber, s.vendor_narrow.c_str(),
                                        s.model_narrow.c_str(), root, chassis, &bus);
      record.RootBuses.push_back({root - 1, bus});
      LogBoundedLine(s.ctx,
                     FormatWide(u"ChassisModule_GetPCIRootBusNumber RootIndex = %d, Chassis%d, "
                                u"BusNumber = %d",
                                root, chassis, bus));
      if (bus >= 1 && bus <= 255) {
        MapChassisRootBus(s.ctx, record, root, bus, s.vendor.VendorName.view(),
                          s.model.ModelName.view());
      } else {
        Log(s.ctx, u"ChassisModule_TriggerManagerPath = N/A\r\n");
      }
    }
    s.model.Modules.push_back(std::move(record));
  }
  return false;
}

// The common model loop of a stage. `body` reads the modules of one model and
// returns whether the summary line is due even without the error mark.
template <typename Body>
void RunStage(RunContext& ctx, Buffers& buffers, PxisaServiceList& list, const StageText& text,
              Body body) {
  Log(ctx, text.banner);
  if (list.VendorCount == 0) {
    Log(ctx, text.empty_list);
    return;
  }
  for (PxisaVendorEntry& vendor : list.Vendors) {
    for (PxisaModelEntry& model : vendor.Models) {
      std::unique_ptr<VendorLibrary> library = ctx.platform.libraries.Load(model.Library.view());
      if (!library) {
        Log(ctx, text.load_failure, model.Library);
        Log(ctx, u"\r\n");
        continue;
      }
      Log(ctx, text.load_success, model.Library);
      ModelScope scope{ctx, buffers, *library, vendor, model, Narrow(ctx, vendor.VendorName),
                       Narrow(ctx, model.ModelName)};
      const bool summary_due = body(scope);
      if (scope.error || summary_due) LogBoundedLine(ctx, FormatWide(text.summary, model.ModelName));
      Log(ctx, u"\r\n");
    }
  }
}

}  // namespace

void DiscoverModules(RunContext& ctx) {
  Log(ctx, u"\r\n");
  Log(ctx, kHyphens);
  Log(ctx, u"                       LOAD DLL WITH IMPORT API\r\n");
  Log(ctx, kHyphens);
  Log(ctx, u"\r\n");

  auto buffers = std::make_unique<Buffers>();
  RunStage(ctx, *buffers, ctx.SystemModules, kSystemStage, SystemModuleBody);
  NumberSystemModules(ctx);
  RunStage(ctx, *buffers, ctx.PeripheralModules, kPeripheralStage, PeripheralModuleBody);
  RunStage(ctx, *buffers, ctx.ChassisModules, kChassisStage, ChassisBody);
}

}  // namespace ztrm
