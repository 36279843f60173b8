#include "chassis/description_discovery.h"

#include <memory>
#include <optional>
#include <vector>

#include "chassis/text_line_reader.h"
#include "common/registry_text.h"
#include "enumeration/decision_trail.h"
#include "enumeration/run_log.h"

namespace ztrm {

namespace {

bool HasAt(WStringView text, std::size_t at, WStringView word) {
  return text.size() - at >= word.size() && text.compare(at, word.size(), word) == 0;
}

}  // namespace

void ScanDescriptionFile(InputFile& file, stChassisDescFile& record) {
  TextLineReader reader(file);
  WString line;
  std::uint32_t count = 0;
  while (reader.ReadLine(line)) {
    // The scan works on C strings: a NUL byte ends what the checks and the
    // copies see of the line.
    WStringView text = CStringPart(line);
    // One pass finds which of the words the line holds anywhere.
    bool vendor = false, model = false, segment = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
      switch (text[i]) {
        case u'V': vendor = vendor || HasAt(text, i, u"Vendor"); break;
        case u'M': model = model || HasAt(text, i, u"Model"); break;
        case u'[':
          segment = segment || HasAt(text, i, u"[PCIBusSegment") || HasAt(text, i, u"[PXI1BusSegment");
          break;
        default: break;
      }
    }
    // A later matching line replaces an earlier one, so the last line wins;
    // the mapping then compares the raw line, blanks and line feed included.
    if (vendor) record.szVendorLine.Assign(text);
    if (model) record.szModelLine.Assign(text);
    // Only the section headers count, not the list keys that name the
    // segments (they lack the bracket); a line holding both headers counts once.
    if (segment) ++count;
  }
  record.dwBusSegmentCount = count;
}

void FindChassisDescriptionFiles(RunContext& ctx) {
  Platform& platform = ctx.platform;
  WStringView key_path = ctx.UseWow6432Node ? kPxisaCurrentVersionKeyWow : kPxisaCurrentVersionKey;
  std::unique_ptr<RegistryKey> key = platform.registry.OpenLocalMachineKey(key_path);
  if (!key) {
    Log(ctx, u"Fail to open key of %s\r\n", key_path);
    return;
  }

  // Whatever the value's type, its data is taken as the folder text, as a
  // read into the folder buffer leaves it (a REG_MULTI_SZ gives its first
  // string).
  const WideText folder = ReadValueIntoTextBuffer(*key, kChassisDescriptionFilePathValue);
  Log(ctx, u"ChassisModue_INI_Path = %s\r\n", folder);
  if (folder.empty()) return;

  // The current folder stays here for the rest of the process; nothing in
  // this system depends on it, but a vendor library loaded later might.
  platform.files.SetCurrentDirectory(folder.view());
  std::vector<WString> names = platform.files.ListEntries(folder.view(), u"*.ini");
  if (names.empty()) {
    Log(ctx, u"Fail to open first INI file in folder of %s.\r\n", folder);
    return;
  }

  for (const WString& name : names) {
    stChassisDescFile record;
    record.szPath.Assign(FormatWide(u"%s\\%s", folder, name));
    record.szFileName.Assign(name);
    std::unique_ptr<InputFile> file = platform.files.OpenInput(record.szPath.view());
    if (!file) {
      Log(ctx, u"Fail to open INI file of %s.\r\n", record.szPath);
      if (ctx.Trail) {
        const auto place = static_cast<std::uint32_t>(ctx.vecChassisDescFile.size());
        With(ctx.Trail->Add(TrailKind::kFileUnreadable, {TrailSubjectKind::kDescriptionFile, place, 0},
                            kNotWritten),
             "file", record.szPath.view());
      }
      continue;
    }
    ScanDescriptionFile(*file, record);
    ctx.vecChassisDescFile.push_back(std::move(record));
  }
}

}  // namespace ztrm
