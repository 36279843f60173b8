#include "tests/chassis_test_support.h"

#include <sstream>

#include "common/text_stream.h"
#include "tests/memory_output.h"
#include "tests/profile_corpus/probe_format.h"

namespace ztrm {

WString RecordingProfiles::ReadString(WStringView file, WStringView section, WStringView key,
                                      WStringView default_value, std::size_t buffer_units) {
  WString value = inner_.ReadString(file, section, key, default_value, buffer_units);
  calls.push_back({false, WString(file), WString(section), WString(key), value});
  return value;
}

bool RecordingProfiles::WriteString(WStringView file, WStringView section, WStringView key,
                                    WStringView value) {
  calls.push_back({true, WString(file), WString(section), WString(key), WString(value)});
  return inner_.WriteString(file, section, key, value);
}

std::vector<std::string> RecordingProfiles::ReadKeys() const {
  std::vector<std::string> keys;
  for (const Call& call : calls) {
    if (!call.write) keys.push_back(ToUtf8(call.section) + "|" + ToUtf8(call.key));
  }
  return keys;
}

std::size_t RecordingProfiles::WriteCount() const {
  std::size_t n = 0;
  for (const Call& call : calls) n += call.write ? 1 : 0;
  return n;
}

std::vector<WString> HookedFiles::ListEntries(WStringView folder, WStringView pattern) {
  ++listings;
  std::vector<WString> names = inner_.ListEntries(folder, pattern);
  if (after_listing) after_listing();
  return names;
}

struct ChassisBench::Live {
  explicit Live(const std::string& root)
      : native(root),
        profiles(native.platform().profiles),
        files(native.platform().files),
        platform{native.platform().registry, profiles,
                 files,                      native.platform().libraries,
                 native.platform().driver,   native.platform().shell,
                 native.platform().clock,    native.platform().version,
                 native.platform().host,     native.platform().code_page,
                 native.platform().console},
        ctx(platform) {}
  NativePlatform native;
  RecordingProfiles profiles;
  HookedFiles files;
  Platform platform;
  RunContext ctx;
};

ChassisBench::ChassisBench() = default;
ChassisBench::~ChassisBench() = default;

RunContext& ChassisBench::Context() {
  if (!live_) {
    live_ = std::make_unique<Live>(image.root());
    live_->ctx.LogStream =
        std::make_unique<TextStream>(std::make_unique<MemoryOutput>(&log_), live_->ctx.locale);
  }
  return live_->ctx;
}

RecordingProfiles& ChassisBench::profiles() {
  Context();
  return live_->profiles;
}

HookedFiles& ChassisBench::files() {
  Context();
  return live_->files;
}

std::string ChassisBench::Log() {
  // Closing flushes; a new stream then collects whatever comes later.
  RunContext& ctx = Context();
  ctx.LogStream->Close();
  ctx.LogStream = std::make_unique<TextStream>(std::make_unique<MemoryOutput>(&log_), ctx.locale);
  return log_;
}

void ChassisBench::RegisterDescriptionFolder(const char* folder, bool wow6432) {
  std::string body = wow6432 ? "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\PXISA\\CurrentVersion]\r\n"
                             : "[HKEY_LOCAL_MACHINE\\SOFTWARE\\PXISA\\CurrentVersion]\r\n";
  if (folder) {
    std::string escaped;
    for (const char* p = folder; *p; ++p) {
      if (*p == '\\' || *p == '"') escaped.push_back('\\');
      escaped.push_back(*p);
    }
    body += "\"ChassisDescriptionFilePath\"=\"" + escaped + "\"\r\n";
  }
  image.WriteRegistry(body);
}

namespace {

class Renderer {
 public:
  void Text(const std::string& name, const WideText& value) {
    out_ << name << "=" << probe_format::Escape(value.view()) << "\n";
  }
  void Number(const std::string& name, unsigned long value) { out_ << name << "=" << value << "\n"; }
  void List(const std::string& name, const TextList& list) {
    out_ << name << ".size=" << list.size() << "\n";
    for (std::size_t i = 0; i < list.size(); ++i) Text(name + "[" + std::to_string(i) + "]", list[i]);
  }
  std::string str() const { return out_.str(); }

 private:
  std::ostringstream out_;
};

std::string At(const char* list, std::size_t i) { return std::string(list) + "[" + std::to_string(i) + "]."; }

}  // namespace

std::string Render(const stPXISys& s) {
  Renderer r;
  r.Text("Specification", s.Specification);
  r.Text("Major", s.Major);
  r.Text("Minor", s.Minor);
  r.Text("Vendor", s.Vendor);
  r.Text("Model", s.Model);
  r.Text("PCIBusSegmentList", s.PCIBusSegmentList);
  r.Text("SlotList", s.SlotList);
  r.Text("TriggerBusList", s.TriggerBusList);
  r.Text("StarTriggerList", s.StarTriggerList);
  r.Text("TriggerBridgeList", s.TriggerBridgeList);
  r.Text("LineMappingSpecList", s.LineMappingSpecList);
  r.Text("StarSystemTimingSetList", s.StarSystemTimingSetList);
  r.Text("PXI1BusSegmentList", s.PXI1BusSegmentList);
  r.Number("vecPCIBusSegment.size", s.vecPCIBusSegment.size());
  for (std::size_t i = 0; i < s.vecPCIBusSegment.size(); ++i) {
    const stPCIBusSegment& x = s.vecPCIBusSegment[i];
    std::string p = At("vecPCIBusSegment", i);
    r.Text(p + "szName", x.szName);
    r.Text(p + "SlotList", x.SlotList);
    r.Text(p + "BridgeList", x.BridgeList);
    r.Text(p + "IDSELList", x.IDSELList);
    r.List(p + "vecIDSELName", x.vecIDSELName);
    r.List(p + "vecIDSELValue", x.vecIDSELValue);
    r.Number(p + "usRootBusNumber", x.usRootBusNumber);
    r.Text(p + "szPCIPath", x.szPCIPath);
    r.Text(p + "szBusNumber", x.szBusNumber);
  }
  r.Number("vecTriggerBridge.size", s.vecTriggerBridge.size());
  for (std::size_t i = 0; i < s.vecTriggerBridge.size(); ++i) {
    const stTriggerBridge& x = s.vecTriggerBridge[i];
    std::string p = At("vecTriggerBridge", i);
    r.Text(p + "szName", x.szName);
    r.Text(p + "SourceTriggerBus", x.SourceTriggerBus);
    r.Text(p + "DestinationTriggerBus", x.DestinationTriggerBus);
    r.Text(p + "LineMappingSpec", x.LineMappingSpec);
  }
  r.Number("vecTriggerBus.size", s.vecTriggerBus.size());
  for (std::size_t i = 0; i < s.vecTriggerBus.size(); ++i) {
    const stTriggerBus& x = s.vecTriggerBus[i];
    std::string p = At("vecTriggerBus", i);
    r.Text(p + "szName", x.szName);
    r.Text(p + "SlotList", x.SlotList);
    r.List(p + "vecSlotName", x.vecSlotName);
  }
  r.Number("vecSlot.size", s.vecSlot.size());
  for (std::size_t i = 0; i < s.vecSlot.size(); ++i) {
    const stSlot& x = s.vecSlot[i];
    std::string p = At("vecSlot", i);
    r.Text(p + "szName", x.szName);
    r.Text(p + "IDSEL", x.IDSEL);
    r.Text(p + "LocalBusLeft", x.LocalBusLeft);
    r.Text(p + "LocalBusRight", x.LocalBusRight);
    r.Text(p + "ExternalBackplaneInterface", x.ExternalBackplaneInterface);
    r.Number(p + "bSlotMapped", x.bSlotMapped);
  }
  r.Number("vecStarSystemTimingSet.size", s.vecStarSystemTimingSet.size());
  for (std::size_t i = 0; i < s.vecStarSystemTimingSet.size(); ++i) {
    const stStarSystemTimingSet& x = s.vecStarSystemTimingSet[i];
    std::string p = At("vecStarSystemTimingSet", i);
    r.Text(p + "szName", x.szName);
    r.Text(p + "SystemTimingSlot", x.SystemTimingSlot);
    r.List(p + "vecSetNumber", x.vecSetNumber);
    r.List(p + "vecSetValue", x.vecSetValue);
  }
  r.Number("vecStarTrigger.size", s.vecStarTrigger.size());
  for (std::size_t i = 0; i < s.vecStarTrigger.size(); ++i) {
    const stStarTrigger& x = s.vecStarTrigger[i];
    std::string p = At("vecStarTrigger", i);
    r.Text(p + "szName", x.szName);
    r.Text(p + "SystemTimingSlot", x.SystemTimingSlot);
    r.Text(p + "ControllerSlot", x.ControllerSlot);
    r.List(p + "vecStarLine", x.vecStarLine);
    r.List(p + "vecStarSlot", x.vecStarSlot);
  }
  r.Number("vecPXI1BusSegment.size", s.vecPXI1BusSegment.size());
  for (std::size_t i = 0; i < s.vecPXI1BusSegment.size(); ++i) {
    const stPXI1BusSegment& x = s.vecPXI1BusSegment[i];
    std::string p = At("vecPXI1BusSegment", i);
    r.Text(p + "szName", x.szName);
    r.Text(p + "SlotList", x.SlotList);
    r.Text(p + "IDSELList", x.IDSELList);
    r.List(p + "vecIDSELName", x.vecIDSELName);
    r.List(p + "vecIDSELValue", x.vecIDSELValue);
    r.Number(p + "usRootBusNumber", x.usRootBusNumber);
    r.Text(p + "szPCIPath", x.szPCIPath);
    r.Text(p + "szBusNumber", x.szBusNumber);
  }
  r.Number("vecLineMappingSpec.size", s.vecLineMappingSpec.size());
  for (std::size_t i = 0; i < s.vecLineMappingSpec.size(); ++i) {
    const stLineMappingSpec& x = s.vecLineMappingSpec[i];
    std::string p = At("vecLineMappingSpec", i);
    r.Text(p + "szName", x.szName);
    r.List(p + "vecTrigLine", x.vecTrigLine);
    r.List(p + "vecTrigMapping", x.vecTrigMapping);
  }
  r.Number("usChassisID", s.usChassisID);
  r.Number("dwChassisIndex", s.dwChassisIndex);
  r.Text("szDescriptionFile", s.szDescriptionFile);
  r.Number("bPXIe", s.bPXIe);
  r.Number("bPXI1", s.bPXI1);
  return r.str();
}

std::string Render(const stChassisDescFile& f) {
  Renderer r;
  r.Text("szPath", f.szPath);
  r.Text("szFileName", f.szFileName);
  r.Text("szVendorLine", f.szVendorLine);
  r.Text("szModelLine", f.szModelLine);
  r.Number("dwBusSegmentCount", f.dwBusSegmentCount);
  return r.str();
}

std::string RenderFiles(const std::vector<stChassisDescFile>& files) {
  std::string out = "count=" + std::to_string(files.size()) + "\n";
  for (const stChassisDescFile& f : files) out += "--\n" + Render(f);
  return out;
}

}  // namespace ztrm
