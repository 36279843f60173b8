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
  // The count, then `fields` of each record with "<name>[i]." before the names.
  template <typename Record, typename Fields>
  void Records(const std::string& name, const std::vector<Record>& records, Fields fields) {
    Number(name + ".size", records.size());
    for (std::size_t i = 0; i < records.size(); ++i) fields(name + "[" + std::to_string(i) + "].", records[i]);
  }
  std::string str() const { return out_.str(); }

 private:
  std::ostringstream out_;
};

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
  // The fields both kinds of bus segment have.
  auto segment = [&r](const std::string& p, const auto& x) {
    r.Text(p + "szName", x.szName);
    r.Text(p + "SlotList", x.SlotList);
    r.Text(p + "IDSELList", x.IDSELList);
    r.List(p + "vecIDSELName", x.vecIDSELName);
    r.List(p + "vecIDSELValue", x.vecIDSELValue);
    r.Number(p + "usRootBusNumber", x.usRootBusNumber);
    r.Text(p + "szPCIPath", x.szPCIPath);
    r.Text(p + "szBusNumber", x.szBusNumber);
  };
  r.Records("vecPCIBusSegment", s.vecPCIBusSegment, [&](const std::string& p, const stPCIBusSegment& x) {
    segment(p, x);
    r.Text(p + "BridgeList", x.BridgeList);
  });
  r.Records("vecTriggerBridge", s.vecTriggerBridge, [&](const std::string& p, const stTriggerBridge& x) {
    r.Text(p + "szName", x.szName);
    r.Text(p + "SourceTriggerBus", x.SourceTriggerBus);
    r.Text(p + "DestinationTriggerBus", x.DestinationTriggerBus);
    r.Text(p + "LineMappingSpec", x.LineMappingSpec);
  });
  r.Records("vecTriggerBus", s.vecTriggerBus, [&](const std::string& p, const stTriggerBus& x) {
    r.Text(p + "szName", x.szName);
    r.Text(p + "SlotList", x.SlotList);
    r.List(p + "vecSlotName", x.vecSlotName);
  });
  r.Records("vecSlot", s.vecSlot, [&](const std::string& p, const stSlot& x) {
    r.Text(p + "szName", x.szName);
    r.Text(p + "IDSEL", x.IDSEL);
    r.Text(p + "LocalBusLeft", x.LocalBusLeft);
    r.Text(p + "LocalBusRight", x.LocalBusRight);
    r.Text(p + "ExternalBackplaneInterface", x.ExternalBackplaneInterface);
    r.Number(p + "bSlotMapped", x.bSlotMapped);
  });
  r.Records("vecStarSystemTimingSet", s.vecStarSystemTimingSet,
            [&](const std::string& p, const stStarSystemTimingSet& x) {
              r.Text(p + "szName", x.szName);
              r.Text(p + "SystemTimingSlot", x.SystemTimingSlot);
              r.List(p + "vecSetNumber", x.vecSetNumber);
              r.List(p + "vecSetValue", x.vecSetValue);
            });
  r.Records("vecStarTrigger", s.vecStarTrigger, [&](const std::string& p, const stStarTrigger& x) {
    r.Text(p + "szName", x.szName);
    r.Text(p + "SystemTimingSlot", x.SystemTimingSlot);
    r.Text(p + "ControllerSlot", x.ControllerSlot);
    r.List(p + "vecStarLine", x.vecStarLine);
    r.List(p + "vecStarSlot", x.vecStarSlot);
  });
  r.Records("vecPXI1BusSegment", s.vecPXI1BusSegment, segment);
  r.Records("vecLineMappingSpec", s.vecLineMappingSpec, [&](const std::string& p, const stLineMappingSpec& x) {
    r.Text(p + "szName", x.szName);
    r.List(p + "vecTrigLine", x.vecTrigLine);
    r.List(p + "vecTrigMapping", x.vecTrigMapping);
  });
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
