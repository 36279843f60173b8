#include "chassis/chassis_mapping.h"

#include "chassis/description_parser.h"
#include "enumeration/run_log.h"

namespace ztrm {
namespace {

// The first listed file whose lines equal both keys, unit by unit: case,
// blanks and the line feed all count, so a file written as Vendor="Acme"
// never matches. Null when none does.
const stChassisDescFile* FindDescriptionFile(const RunContext& ctx, WStringView vendor,
                                             WStringView model) {
  WString vendor_key = VendorKeyText(vendor);
  WString model_key = ModelKeyText(model);
  for (const stChassisDescFile& file : ctx.vecChassisDescFile) {
    if (file.szVendorLine.view() == vendor_key && file.szModelLine.view() == model_key) {
      return &file;
    }
  }
  return nullptr;
}

// Logs the match and appends the parsed record, which the caller then marks.
void ParseMatch(RunContext& ctx, const stChassisDescFile& file) {
  Log(ctx, u"ChassisModule_Mapping_File = SUCCESS(%s)\r\n", file.szPath);
  Log(ctx, u"ChassisModule_PCIBusRootCount = %d\r\n", file.dwBusSegmentCount);
  ParseChassisDescription(ctx, file.szPath.view());
}

}  // namespace

WString VendorKeyText(WStringView vendor) { return FormatWide(u"Vendor = \"%s\"\n", vendor); }
WString ModelKeyText(WStringView model) { return FormatWide(u"Model = \"%s\"\n", model); }

std::uint32_t MapPXIeChassis(RunContext& ctx, WStringView vendor, WStringView model) {
  const stChassisDescFile* found = FindDescriptionFile(ctx, vendor, model);
  if (!found) return 0;
  const stChassisDescFile& file = *found;
  ParseMatch(ctx, file);
  stPXISys& sys = ctx.vecPXISys.back();
  sys.szDescriptionFile = file.szFileName;
  sys.bPXIe = 1;
  return file.dwBusSegmentCount;
}

std::uint32_t MapPXI1Chassis(RunContext& ctx, WStringView vendor, WStringView model,
                             std::int32_t root_bus_number, std::int32_t chassis_id) {
  const stChassisDescFile* found = FindDescriptionFile(ctx, vendor, model);
  if (!found) return 0;
  const stChassisDescFile& file = *found;
  ParseMatch(ctx, file);
  stPXISys& sys = ctx.vecPXISys.back();
  sys.usChassisID = static_cast<std::uint16_t>(chassis_id);
  sys.dwChassisIndex = static_cast<std::uint32_t>(ctx.vecPXISys.size());
  // PXI-1 segments are numbered consecutively from the listed root bus; the
  // PXI1BusSegment sections keep what bus-range assignment gives them.
  std::uint16_t bus = static_cast<std::uint16_t>(root_bus_number);
  for (stPCIBusSegment& segment : sys.vecPCIBusSegment) segment.usRootBusNumber = bus++;
  sys.szDescriptionFile = file.szFileName;
  sys.bPXIe = 0;
  sys.bPXI1 = 1;
  return file.dwBusSegmentCount;
}

}  // namespace ztrm
