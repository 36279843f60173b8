#include "enumeration/decision_trail.h"

#include <array>

namespace ztrm {
namespace {

struct KindText {
  const char* name;
  const char* rule;
};

constexpr std::array<KindText, static_cast<std::size_t>(TrailKind::kCount)> kKinds = {{
    {"count-cut",
     "a run reads at most 8,192 system modules, 8,192 peripheral modules and 256 chassis; a "
     "model that reports more than the run has left has only the first ones read"},
    {"no-bus-range",
     "a controller that reports no usable links (NumberofValidLinks not 1 to 4, or no "
     "GetInformation) gets the bus range 0-0, which holds no module's bus"},
    {"mapping-index",
     "controllers are numbered 1, 2, 3 ... by the lowest bus behind their links, equal ones in "
     "registry order; the number keys the chassis ID"},
    {"parent",
     "a peripheral module belongs to the controller whose bus range holds its bus (the innermost "
     "range; of equal ranges the last in registry order)"},
    {"no-parent",
     "a peripheral module whose bus lies in no controller's bus range has no controller and is "
     "never written"},
    {"no-root-bus-export",
     "a chassis whose library lacks PXISA_ChassisModule_GetPCIRootBusNumber is never mapped to a "
     "description"},
    {"no-root-buses",
     "a chassis is asked for one root bus per bus segment section of its description; with none "
     "it gets no controller, no index and is not written"},
    {"root-bus-invalid", "a root bus must be 1 to 255; any other answer maps that root to nothing"},
    {"root-bus-no-controller",
     "a chassis takes its chassis ID from the controller whose bus range holds its root bus; no "
     "range holds this one"},
    {"chassis-id",
     "a PXI Express chassis takes the chassis ID that ChassisMappingID.ini keeps for its "
     "controller's number, or, when it keeps none, the smallest ID no number holds, which is "
     "then kept there"},
    {"mapping-index-no-slot",
     "a controller numbered above 255 has no chassis ID slot: its chassis gets chassis ID 0"},
    {"eeprom-mismatch",
     "a PXI Express chassis is written only when some controller's EEPROM names its vendor and "
     "model exactly; otherwise its index becomes 255 and it is left out"},
    {"index-taken",
     "two chassis cannot share a controller's number: the later one's index becomes 255 and it "
     "is left out"},
    {"file-unreadable", "a listed description file that cannot be opened is skipped"},
    {"description",
     "a chassis is described by the first listed file whose last line containing \"Vendor\" reads "
     "exactly Vendor = \"<vendor>\" and whose last line containing \"Model\" reads exactly "
     "Model = \"<model>\""},
    {"no-description",
     "a chassis needs a description file whose last lines containing \"Vendor\" and \"Model\" read "
     "exactly Vendor = \"<vendor>\" and Model = \"<model>\"; with none it is in neither file"},
    {"listed",
     "a PXI-1 chassis takes its chassis ID and root bus from its PXIChassisList.ini entry; its "
     "PCI bus segments are numbered from that bus on and its index is its place among the chassis"},
    {"list-unread",
     "PXIChassisList.ini entries are read from [Chassis1] up to TotalChassis (at most 1,024); "
     "later ones never"},
    {"chassis-written",
     "chassis are written in the order of their index 1, 2, 3 ... (PXI Express: the controller's "
     "number; PXI-1: the place among the chassis)"},
    {"chassis-left-out",
     "a chassis whose index is 0 or above the number of chassis found is left out of both files"},
    {"segment-walk",
     "a bus segment's bridge path is the resource driver's bridges from its bus up to a root bus"},
    {"segment-walk-failed",
     "a bridge walk that the driver refuses, that asks a bus twice or whose path would pass 259 "
     "characters is given up: the segment keeps an empty path"},
    {"segment-not-written",
     "after a failed bridge walk the chassis's later bus segments get no section"},
    {"slot-unnamed",
     "a slot that no bus segment's IDSEL value names (\"Slot<name>\", letter case counting) is "
     "left out of pxisys.ini"},
    {"slot-no-position",
     "the first slot, and a slot whose IDSEL name gives device 0, are written with \"None\" for "
     "their PCI position"},
    {"slot-placed",
     "a slot sits at the device its IDSEL name gives (the name minus 16) on the bus of the bus "
     "segment naming it"},
    {"controller",
     "a chassis's system slot holds the first controller, in registry order, given its chassis ID"},
    {"controller-unused",
     "a controller is written only in the system slot of the chassis its chassis ID names"},
    {"peripheral-placed",
     "a peripheral module sits in the slot whose EEPROM descriptor (of its controller) holds the "
     "module's slot number"},
    {"slot-number-unmatched",
     "a peripheral module whose slot number no EEPROM descriptor of its controller's chassis "
     "slots holds is not written"},
    {"slot-taken",
     "of the modules of one controller with the same slot number only the first in registry "
     "order is written"},
    {"past-descriptors",
     "the EEPROM holds descriptors for 31 peripheral slots; a later slot is written as \"N/A\" "
     "with no module"},
    {"parent-not-written",
     "a peripheral module is written only in the chassis whose peripheral slots its controller "
     "describes"},
}};

}  // namespace

WString TrailEntry::Value(const std::string& name) const {
  for (const auto& v : values) {
    if (v.first == name) return v.second;
  }
  return WString();
}

const char* TrailKindName(TrailKind kind) {
  return kKinds[static_cast<std::size_t>(kind)].name;
}

const char* TrailKindRule(TrailKind kind) {
  return kKinds[static_cast<std::size_t>(kind)].rule;
}

TrailEntry& DecisionTrail::Add(TrailKind kind, TrailSubject subject, WString where) {
  TrailEntry& entry = entries_.emplace_back();
  entry.kind = kind;
  entry.subject = subject;
  entry.where = std::move(where);
  return entry;
}

WString TrailModuleName(WStringView vendor, WStringView model, WStringView unique_name) {
  WString name(vendor);
  name += u' ';
  name += model;
  name += u" \"";
  name += unique_name;
  name += u'"';
  return name;
}

TrailEntry& With(TrailEntry& entry, const char* name, WStringView text) {
  entry.values.emplace_back(name, WString(text));
  return entry;
}

TrailEntry& With(TrailEntry& entry, const char* name, std::uint64_t number) {
  std::string digits = std::to_string(number);
  entry.values.emplace_back(name, WString(digits.begin(), digits.end()));
  return entry;
}

}  // namespace ztrm
