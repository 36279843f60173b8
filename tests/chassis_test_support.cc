#include "tests/chassis_test_support.h"

#include <sstream>

#include "tests/profile_corpus/probe_format.h"

namespace ztrm {

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

stChassisDescFile ListedFile(const std::string& name, const std::string& vendor_line,
                             const std::string& model_line, std::uint32_t bus_segments) {
  stChassisDescFile f;
  f.szPath.Assign(W("C:\\Desc\\" + name));
  f.szFileName.Assign(W(name));
  f.szVendorLine.Assign(W(vendor_line));
  f.szModelLine.Assign(W(model_line));
  f.dwBusSegmentCount = bus_segments;
  return f;
}

std::string RenderFiles(const std::vector<stChassisDescFile>& files) {
  std::string out = "count=" + std::to_string(files.size()) + "\n";
  for (const stChassisDescFile& f : files) out += "--\n" + Render(f);
  return out;
}

}  // namespace ztrm
