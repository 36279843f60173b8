#include "chassis/description_discovery.h"

#include <memory>
#include <optional>
#include <vector>

#include "chassis/text_line_reader.h"
#include "common/registry_text.h"
#include "enumeration/run_log.h"

namespace ztrm {

void ScanDescriptionFile(InputFile& file, stChassisDescFile& record) {
  TextLineReader reader(file);
  WString line;
  std::uint32_t count = 0;
  while (reader.ReadLine(line)) {
    // The scan works on C strings: a NUL byte ends what the checks and the
    // copies see of the line.
    WStringView text = CStringPart(line);
    // A later matching line replaces an earlier one, so the last line wins;
    // the mapping then compares the raw line, blanks and line feed included.
    if (text.find(u"Vendor") != WStringView::npos) record.szVendorLine.Assign(text);
    if (text.find(u"Model") != WStringView::npos) record.szModelLine.Assign(text);
    // Only the section headers count, not the list keys that name the
    // segments (they lack the bracket); a line holding both headers counts once.
    if (text.find(u"[PCIBusSegment") != WStringView::npos ||
        text.find(u"[PXI1BusSegment") != WStringView::npos) {
      ++count;
    }
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

  WideText folder =
      ReadStringValue(*key, kChassisDescriptionFilePathValue).value_or(WideText());
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
      continue;
    }
    ScanDescriptionFile(*file, record);
    ctx.vecChassisDescFile.push_back(std::move(record));
  }
}

}  // namespace ztrm
