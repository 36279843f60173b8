#include "tools/description_check.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "chassis/chassis_mapping.h"
#include "chassis/description_discovery.h"
#include "chassis/description_parser.h"
#include "chassis/text_line_reader.h"
#include "enumeration/run_context.h"
#include "output/slot_paths.h"
#include "tools/check_warnings.h"

namespace ztrm {
namespace {

// The parser's profile reads pass through here: each (section, key) it asks
// for is noted. A write would change the file under check, so none is made.
class RecordingProfiles : public ProfileFiles {
 public:
  explicit RecordingProfiles(ProfileFiles& inner) : inner_(inner) {}
  WString ReadString(WStringView file, WStringView section, WStringView key,
                     WStringView default_value, std::size_t buffer_units) override {
    reads.push_back({WString(section), WString(key)});
    return inner_.ReadString(file, section, key, default_value, buffer_units);
  }
  bool WriteString(WStringView, WStringView, WStringView, WStringView) override { return false; }

  std::vector<ProfileRead> reads;

 private:
  ProfileFiles& inner_;
};

bool ReadAll(InputFile& in, std::string& bytes) {
  char buffer[65536];
  std::size_t n;
  while ((n = in.Read(buffer, sizeof buffer)) > 0) {
    bytes.append(buffer, n);
    if (bytes.size() > kMaxFileBytes) return false;
  }
  return true;
}

std::size_t LongestLine(const std::string& bytes) {
  std::size_t longest = 0, current = 0;
  for (char c : bytes) {
    if (c == '\n' || c == '\r') {
      current = 0;
    } else {
      longest = std::max(longest, ++current);
    }
  }
  return longest;
}

DiscoveryLines FindDiscoveryLines(InputFile& in, const stChassisDescFile& kept) {
  DiscoveryLines out;
  TextLineReader reader(in);
  WString line;
  std::size_t number = 1, count = 0, vendor_at = 0, model_at = 0;
  while (reader.ReadLine(line)) {
    WStringView text = CStringPart(line);
    bool whole = line.back() == u'\n';
    ++count;
    if (!kept.szVendorLine.empty() && text == kept.szVendorLine.view()) {
      out.vendor = {number, whole, false};
      vendor_at = count;
    }
    if (!kept.szModelLine.empty() && text == kept.szModelLine.view()) {
      out.model = {number, whole, false};
      model_at = count;
    }
    if (text.find(u"[PCIBusSegment") != WStringView::npos ||
        text.find(u"[PXI1BusSegment") != WStringView::npos) {
      out.headers.push_back(number);
    }
    number += static_cast<std::size_t>(std::count(line.begin(), line.end(), u'\r'));
    if (whole) ++number;
  }
  out.vendor.last = vendor_at == count;
  out.model.last = model_at == count;
  return out;
}

template <typename KeyText>
KeyLine ReadKeyLine(const WideText& kept, const DiscoveryLine& piece, WStringView word,
                    KeyText key_text) {
  KeyLine out;
  if (!piece.line) return out;
  out.found = true;
  out.line = piece.line;
  WString prefix = WString(word) + u" = \"";
  WStringView text = kept.view();
  if (text.size() >= prefix.size() + 2 && text.substr(0, prefix.size()) == prefix &&
      text.substr(text.size() - 2) == u"\"\n") {
    WString name(text.substr(prefix.size(), text.size() - prefix.size() - 2));
    // The mapping's own key text decides.
    if (key_text(name) == text) {
      out.matches = true;
      out.name = std::move(name);
    }
  }
  return out;
}

std::string Refusal(const std::string& bytes) {
  if (bytes.empty()) return "is empty";
  if (IsUtf16Text(bytes)) return "";
  if (bytes.find('\0') != std::string::npos) {
    return "holds NUL bytes: binary data (or UTF-16 text without a byte order mark), not a "
           "description file";
  }
  std::size_t longest = LongestLine(bytes);
  if (longest > kMaxLineBytes) {
    return "has a line of " + std::to_string(longest) + " bytes, longer than the " +
           std::to_string(kMaxLineBytes) +
           " this check takes (the service reads 255 characters of a line, 259 of a value)";
  }
  return "";
}

}  // namespace

DescriptionCheck CheckDescriptionFile(Platform& platform, WStringView path, std::string display) {
  DescriptionCheck check;
  check.file = std::move(display);
  if (platform.files.DirectoryExists(path)) {
    check.error = "is a folder, not a file";
    return check;
  }
  std::unique_ptr<InputFile> in = platform.files.OpenInput(path);
  if (!in) {
    check.error = "cannot be opened: it does not exist or another program holds it";
    return check;
  }
  std::string bytes;
  if (!ReadAll(*in, bytes)) {
    check.error = "is larger than " + std::to_string(kMaxFileBytes >> 20) +
                  " MiB; no description file is that big";
    return check;
  }
  in.reset();
  check.error = Refusal(bytes);
  if (!check.error.empty()) return check;

  // Discovery, as the run scans the file.
  stChassisDescFile found;
  DiscoveryLines lines;
  {
    std::unique_ptr<InputFile> scan = platform.files.OpenInput(path);
    std::unique_ptr<InputFile> again = platform.files.OpenInput(path);
    if (!scan || !again) {
      check.error = "cannot be opened: another program holds it";
      return check;
    }
    ScanDescriptionFile(*scan, found);
    lines = FindDiscoveryLines(*again, found);
  }
  check.bus_segment_headers = found.dwBusSegmentCount;
  check.vendor = ReadKeyLine(found.szVendorLine, lines.vendor, u"Vendor", VendorKeyText);
  check.model = ReadKeyLine(found.szModelLine, lines.model, u"Model", ModelKeyText);

  // The parser, watched.
  RecordingProfiles recording(platform.profiles);
  Platform watched{platform.registry, recording,          platform.files, platform.libraries,
                   platform.driver,   platform.shell,     platform.clock, platform.version,
                   platform.host,     platform.code_page, platform.console};
  RunContext ctx(watched);
  ParseChassisDescription(ctx, path);
  mf_MarkMappedSlots(ctx, 0);
  for (const stSlot& slot : ctx.vecPXISys[0].vecSlot) {
    SlotPlace place;
    place.named = slot.bSlotMapped != 0;
    mf_GetSlotDeviceNumber(ctx, 0, slot, place.device);
    mf_GetSlotBusSegment(ctx, 0, slot, place.segment);
    check.slots.push_back(place);
  }
  check.sys = std::move(ctx.vecPXISys[0]);
  check.document = ParseProfile(bytes);
  check.index = ProfileIndex(check.document);

  AddCheckWarnings(check, bytes, found, lines, recording.reads);
  return check;
}

}  // namespace ztrm
