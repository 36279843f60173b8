#include "chassis/chassis_mapping.h"

#include "chassis/description_parser.h"
#include "enumeration/run_log.h"

namespace ztrm {
namespace {

// The vendor line's length, then both lines: no other pair gives the key.
WString DescFileKey(WStringView vendor_line, WStringView model_line) {
  WString key;
  key.reserve(2 + vendor_line.size() + model_line.size());
  key.push_back(static_cast<char16_t>(vendor_line.size() >> 16));
  key.push_back(static_cast<char16_t>(vendor_line.size() & 0xFFFF));
  key.append(vendor_line);
  key.append(model_line);
  return key;
}

// The first listed file whose lines equal both keys, unit by unit: case,
// blanks and the line feed all count, so a file written as Vendor="Acme"
// never matches. Null when none does.
const stChassisDescFile* FindDescriptionFile(RunContext& ctx, WStringView vendor,
                                             WStringView model) {
  const std::vector<stChassisDescFile>& files = ctx.vecChassisDescFile;
  ChassisDescFileIndex& index = ctx.ChassisDescFileLookup;
  if (index.covered > files.size()) index = ChassisDescFileIndex();
  for (; index.covered < files.size(); ++index.covered) {
    const stChassisDescFile& file = files[index.covered];
    // emplace keeps an earlier file of the same lines.
    index.first.emplace(DescFileKey(file.szVendorLine.view(), file.szModelLine.view()),
                        index.covered);
  }
  auto it = index.first.find(DescFileKey(VendorKeyText(vendor), ModelKeyText(model)));
  return it == index.first.end() ? nullptr : &files[it->second];
}

// The trail's entry for a lookup: the file matched, or the lines no file held.
void TrailLookup(RunContext& ctx, TrailSubject subject, WStringView vendor, WStringView model,
                 const stChassisDescFile* found) {
  TrailEntry& e = ctx.Trail->Add(found ? TrailKind::kDescription : TrailKind::kNoDescription,
                                 subject, found ? WString() : WString(kNotWritten));
  With(e, "vendor", vendor);
  With(e, "model", model);
  if (!found) {
    With(e, "description files listed", ctx.vecChassisDescFile.size());
    return;
  }
  e.record = static_cast<std::int64_t>(ctx.vecPXISys.size()) - 1;
  With(e, "file", found->szFileName.view());
  With(e, "file position", static_cast<std::uint64_t>(found - ctx.vecChassisDescFile.data()));
  With(e, "bus segment sections", found->dwBusSegmentCount);
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

std::uint32_t MapPXIeChassis(RunContext& ctx, WStringView vendor, WStringView model,
                             TrailSubject subject) {
  const stChassisDescFile* found = FindDescriptionFile(ctx, vendor, model);
  if (!found) {
    if (ctx.Trail) TrailLookup(ctx, subject, vendor, model, nullptr);
    return 0;
  }
  const stChassisDescFile& file = *found;
  ParseMatch(ctx, file);
  if (ctx.Trail) TrailLookup(ctx, subject, vendor, model, found);
  stPXISys& sys = ctx.vecPXISys.back();
  sys.szDescriptionFile = file.szFileName;
  sys.bPXIe = 1;
  return file.dwBusSegmentCount;
}

std::uint32_t MapPXI1Chassis(RunContext& ctx, WStringView vendor, WStringView model,
                             std::int32_t root_bus_number, std::int32_t chassis_id,
                             TrailSubject subject) {
  const stChassisDescFile* found = FindDescriptionFile(ctx, vendor, model);
  if (!found) {
    if (ctx.Trail) TrailLookup(ctx, subject, vendor, model, nullptr);
    return 0;
  }
  const stChassisDescFile& file = *found;
  ParseMatch(ctx, file);
  if (ctx.Trail) TrailLookup(ctx, subject, vendor, model, found);
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
