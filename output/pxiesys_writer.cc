#include "output/pxiesys_writer.h"

#include <string>

#include "enumeration/decision_trail.h"
#include "output/system_file_common.h"

namespace ztrm {
namespace {

// EEPROM image offsets.
constexpr std::size_t kSerialNumberOffset = 0x6A;
constexpr std::size_t kSerialNumberSize = 13;  // 0x6A to 0x76
constexpr std::size_t kLinkModeOffset = 0x7C;
constexpr std::size_t kSystemLinkWidthOffset = 0x7D;
constexpr std::size_t kDescriptorOffset = 0x81;
constexpr std::size_t kDescriptorSize = 4;
constexpr std::size_t kDescriptorCount = 31;  // 0x81 to 0xFC

const ModuleRecord& RecordAt(const PxisaServiceList& list, const ModulePosition& p) {
  return list.Vendors[p.vendor].Models[p.model].Modules[p.record];
}

// The serial number ends at its first zero byte or at the end of its field,
// whichever comes first: read on, it would take in the checksum and the slot
// descriptors, whose bytes can hold a line feed.
WideText SerialNumber(RunContext& ctx, const ModuleRecord& module) {
  std::string bytes;
  for (std::size_t i = kSerialNumberOffset;
       i < kSerialNumberOffset + kSerialNumberSize && module.Eeprom[i] != 0; ++i) {
    bytes += static_cast<char>(module.Eeprom[i]);
  }
  return ctx.locale.FromMultiByte(bytes);
}

void WriteChassisSection(const stPXISys& sys, const WideText& serial, TextStream& out) {
  out.Print(u"[Chassis%d]\n", sys.usChassisID);
  out.Print(u"Model = \"%s\"\n", sys.Model);
  out.Print(u"Vendor = \"%s\"\n", sys.Vendor);
  out.Print(u"SerialNumber = \"%s\"\n", serial);
  WString slots;
  for (std::size_t i = 0; i < sys.vecSlot.size(); ++i) {
    slots += FormatWide(i == 0 ? u"%s" : u",%s", sys.vecSlot[i].szName);
  }
  out.Print(u"SlotList = \"%s\"\n", slots);
  out.Print(u"TriggerBusList = \"%s\"\n", sys.TriggerBusList);
  out.Print(u"TriggerBridgeList = \"%s\"\n", sys.TriggerBridgeList);
  out.Print(u"LineMappingSpecList = \"%s\"\n", sys.LineMappingSpecList);
  out.Print(u"TriggerManager = \"%s\\%s\"\n", sys.Vendor, sys.Model);
  out.Print(u"StarSystemTimingSetList = \"%s\"\n", sys.StarSystemTimingSetList);
  out.Print(u"DescriptionFile = \"%s\"\n", sys.szDescriptionFile);
  out.Print(u"StarTriggerList = \"%s\"\n", sys.StarTriggerList);
  out.Print(u"\n");
}

void WriteTriggerBusSections(const stPXISys& sys, TextStream& out) {
  for (const stTriggerBus& bus : sys.vecTriggerBus) {
    out.Print(u"[Chassis%dTriggerBus%s]\n", sys.usChassisID, bus.szName);
    WString names;
    for (std::size_t i = 0; i < bus.vecSlotName.size(); ++i) {
      names += FormatWide(i == 0 ? u"%s" : u",%s", bus.vecSlotName[i]);
    }
    out.Print(u"SlotList = \"%s\"\n", names);
    out.Print(u"\n");
  }
}

void WriteStarSystemTimingSetSections(const stPXISys& sys, TextStream& out) {
  int k = 0;
  for (const stStarSystemTimingSet& set : sys.vecStarSystemTimingSet) {
    out.Print(u"[Chassis%dStarSystemTimingSets%d]\n", sys.usChassisID, ++k);
    out.Print(u"SystemTimingSlot = %s\n", set.SystemTimingSlot);
    for (std::size_t i = 0; i < set.vecSetNumber.size(); ++i) {
      const WideText value = i < set.vecSetValue.size() ? set.vecSetValue[i] : WideText();
      out.Print(u"StarSystemTimingSet%s = %s\n", set.vecSetNumber[i], value);
    }
    out.Print(u"\n");
  }
}

bool IsSlotName(const stPXISys& sys, const WideText& name) {
  for (const stSlot& slot : sys.vecSlot) {
    if (slot.szName == name) return true;
  }
  return false;
}

void WriteStarTriggerSections(const stPXISys& sys, TextStream& out) {
  int k = 0;
  for (const stStarTrigger& star : sys.vecStarTrigger) {
    out.Print(u"[Chassis%dStarTrigger%d]\n", sys.usChassisID, ++k);
    const bool timing = !star.SystemTimingSlot.empty();
    if (timing) {
      out.Print(u"SystemTimingSlot = %s\n", star.SystemTimingSlot);
    } else {
      out.Print(u"ControllerSlot = %s\n", star.ControllerSlot);
    }
    for (std::size_t i = 0; i < star.vecStarLine.size(); ++i) {
      const WideText slot = i < star.vecStarSlot.size() ? star.vecStarSlot[i] : WideText();
      if (timing && !IsSlotName(sys, slot)) continue;
      out.Print(u"PXI_STAR%s = %s\n", star.vecStarLine[i], slot);
    }
    out.Print(u"\n");
  }
}

void WriteSystemSlotSection(const RunContext& ctx, const stPXISys& sys,
                            const ModulePosition* system, TextStream& out) {
  static const ModuleRecord kNone;
  const ModuleRecord& module = system ? RecordAt(ctx.SystemModules, *system) : kNone;
  const WideText none;
  const WideText& model =
      system ? ctx.SystemModules.Vendors[system->vendor].Models[system->model].ModelName : none;
  const WideText& vendor = system ? ctx.SystemModules.Vendors[system->vendor].VendorName : none;

  out.Print(u"[Chassis%dSlot%s]\n", sys.usChassisID, u"1");
  out.Print(u"Model = \"%s\"\n", model);
  out.Print(u"Vendor = \"%s\"\n", vendor);
  out.Print(u"InstanceName = \"%s\"\n", module.UniqueName);
  out.Print(u"AddressInfo = \"%s\"\n", module.AddressInfo);
  const std::uint8_t mode = system ? module.Eeprom[kLinkModeOffset] : 0xFF;
  if (mode == 0) {
    out.Print(u"SlotType = \"PXIeSystemSlot2Link\"\n");
  } else if (mode == 1) {
    out.Print(u"SlotType = \"PXIeSystemSlot4Link\"\n");
  } else {
    out.Print(u"SlotType = UnKnow\n");
    out.Print(u"\n");
  }
  for (int link = 0; link < 4; ++link) {
    out.Print(u"SystemSlotLinkWidth%d = %d\n", link + 1,
              LinkWidthLanes(module.Eeprom[kSystemLinkWidthOffset + link]));
  }
  out.Print(u"ControllerModuleLinkWidth1 = %d\n", module.MaxLink1Width4Link);
  out.Print(u"ControllerModuleLinkWidth2 = %d\n", module.MaxLink2Width4Link);
  if (module.NumberofValidLinks == 2) {
    out.Print(u"ControllerModuleLinkWidth3 = 0\n");
    out.Print(u"ControllerModuleLinkWidth4 = 0\n");
  } else {
    out.Print(u"ControllerModuleLinkWidth3 = %d\n", module.MaxLink3Width4Link);
    out.Print(u"ControllerModuleLinkWidth4 = %d\n", module.MaxLink4Width4Link);
  }
  out.Print(u"\n");
}

WString ModuleName(const PxisaServiceList& list, const ModulePosition& p) {
  const PxisaVendorEntry& v = list.Vendors[p.vendor];
  return TrailModuleName(v.VendorName.view(), v.Models[p.model].ModelName.view(),
                         RecordAt(list, p).UniqueName.view());
}

// The slot numbers the EEPROM descriptors of the chassis's slots hold, as
// the writer reads them ("slot 2: 3, slot 3: 4, ...").
WString DescriptorSlotNumbers(const stPXISys& sys, const ModuleRecord& controller) {
  WString text;
  for (std::size_t j = 0; j + 1 < sys.vecSlot.size() && j < kDescriptorCount; ++j) {
    if (!text.empty()) text += u", ";
    text += FormatWide(u"descriptor %u (slot %s): %u", static_cast<unsigned>(j), sys.vecSlot[j + 1].szName,
                       controller.Eeprom[kDescriptorOffset + kDescriptorSize * j]);
  }
  return text.empty() ? WString(u"none: the chassis lists no peripheral slot") : text;
}

// The modules of the controller that no slot section took: their slot
// number is in no descriptor, or an earlier module took the slot.
void TrailUnplacedModules(const RunContext& ctx, const stPXISys& sys, const ModuleRecord& controller,
                          const std::vector<std::uint32_t>& placed_slot_numbers,
                          const std::vector<std::uint32_t>& placed_modules) {
  const auto& vendors = ctx.PeripheralModules.Vendors;
  for (std::size_t v = 0; v < vendors.size(); ++v) {
    for (std::size_t m = 0; m < vendors[v].Models.size(); ++m) {
      const auto& records = vendors[v].Models[m].Modules;
      for (std::size_t r = 0; r < records.size(); ++r) {
        const ModuleRecord& module = records[r];
        if (module.MappingIndex != controller.Index) continue;
        bool placed = false;
        for (std::uint32_t index : placed_modules) placed = placed || index == module.Index;
        if (placed) continue;
        bool taken = false;
        for (std::uint32_t n : placed_slot_numbers) taken = taken || n == module.SlotNumber;
        TrailEntry& e = ctx.Trail->Add(taken ? TrailKind::kSlotTaken : TrailKind::kSlotNumberUnmatched,
                                       {TrailSubjectKind::kPeripheralModule, module.Index, 0},
                                       kNotWritten);
        With(e, "slot number", module.SlotNumber);
        With(e, "chassis", FormatWide(u"%s %s, chassis ID %u", sys.Vendor, sys.Model,
                                      static_cast<unsigned>(sys.usChassisID)));
        if (!taken) With(e, "descriptors", DescriptorSlotNumbers(sys, controller));
      }
    }
  }
}

// The peripheral slots are described by the system module their own search
// finds, slot layout (the EEPROM descriptors) and modules alike. Only when
// two controllers carry one chassis ID can it differ from the module of the
// system slot section; then one controller's layout is never written beside
// the other's modules.
void mf_WritePeripheralSlots(const RunContext& ctx, const PeripheralSlotIndex& peripherals,
                             const stPXISys& sys, TextStream& out) {
  ModulePosition parent;
  if (!FindChassisSystemModuleForSlots(ctx, sys.usChassisID, parent)) return;
  const ModuleRecord& system_module = RecordAt(ctx.SystemModules, parent);
  const std::uint32_t parent_index = system_module.Index;
  if (parent_index == 0 || sys.vecSlot.size() < 2) return;

  std::vector<std::uint32_t> placed_slot_numbers, placed_modules;  // kept for the trail only
  for (std::size_t j = 0; j + 1 < sys.vecSlot.size(); ++j) {
    const stSlot& slot = sys.vecSlot[j + 1];
    if (ctx.Trail && j == kDescriptorCount) {
      TrailEntry& e = ctx.Trail->Add(TrailKind::kPastDescriptors,
                                     {TrailSubjectKind::kSlot,
                                      static_cast<std::uint32_t>(&sys - ctx.vecPXISys.data()),
                                      static_cast<std::uint32_t>(j + 1)},
                                     FormatWide(u"[Chassis%dSlot%s] and later: SlotType \"N/A\", no module",
                                                sys.usChassisID, slot.szName));
      With(e, "first slot past them", slot.szName.view());
      With(e, "slots past them", sys.vecSlot.size() - 1 - kDescriptorCount);
    }
    std::uint8_t d[kDescriptorSize] = {0, 0, 0, 0};
    const bool described = j < kDescriptorCount;
    if (described) {
      for (std::size_t b = 0; b < kDescriptorSize; ++b) {
        d[b] = system_module.Eeprom[kDescriptorOffset + kDescriptorSize * j + b];
      }
    }
    out.Print(u"[Chassis%dSlot%s]\n", sys.usChassisID, slot.szName);
    out.Print(u"SlotType = \"%s\"\n", mf_GetSlotTypeName(d[2]));
    out.Print(u"SystemSlotLinkOrigin1 = %d\n", d[1] & 0x0F);
    out.Print(u"SystemSlotLinkOrigin2 = %d\n", d[1] >> 4);
    out.Print(u"PeripheralSlotLinkWidth1 = %d\n", LinkWidthLanes(d[3] & 0x0F));
    out.Print(u"PeripheralSlotLinkWidth2 = %d\n", LinkWidthLanes(d[3] >> 4));
    ModulePosition found;
    if (described && peripherals.Find(parent_index, d[0], found)) {
      const ModuleRecord& module = RecordAt(ctx.PeripheralModules, found);
      const PxisaVendorEntry& vendor = ctx.PeripheralModules.Vendors[found.vendor];
      out.Print(u"Model = \"%s\"\n", vendor.Models[found.model].ModelName);
      out.Print(u"Vendor = \"%s\"\n", vendor.VendorName);
      out.Print(u"InstanceName = \"%s\"\n", module.UniqueName);
      out.Print(u"AddressInfo = \"%s\"\n", module.AddressInfo);
      out.Print(u"PeripheralModuleLinkWidthMax = %d\n", module.MaxLinkWidth);
      out.Print(u"PeripheralModuleLinkWidthNegotiated = %d\n", module.NegotiateLinkWidth);
      if (ctx.Trail) {
        placed_slot_numbers.push_back(d[0]);
        placed_modules.push_back(module.Index);
        TrailEntry& e = ctx.Trail->Add(
            TrailKind::kPeripheralPlaced, {TrailSubjectKind::kPeripheralModule, module.Index, 0},
            FormatWide(u"[Chassis%dSlot%s] of pxiesys.ini", sys.usChassisID, slot.szName));
        With(e, "controller", ModuleName(ctx.SystemModules, parent));
        With(e, "chassis ID", sys.usChassisID);
        With(e, "EEPROM descriptor", j);
        With(e, "slot number", d[0]);
      }
    }
    out.Print(u"\n");
  }
  if (ctx.Trail) TrailUnplacedModules(ctx, sys, system_module, placed_slot_numbers, placed_modules);
}

void WriteChassis(RunContext& ctx, const PeripheralSlotIndex& peripherals, const stPXISys& sys,
                  TextStream& out) {
  ModulePosition position;
  const bool found = mf_FindChassisSystemModule(ctx, sys.usChassisID, position);
  static const ModuleRecord kNone;
  const ModuleRecord& system_module = found ? RecordAt(ctx.SystemModules, position) : kNone;

  WriteChassisSection(sys, found ? SerialNumber(ctx, system_module) : WideText(), out);
  WriteTriggerBusSections(sys, out);
  WriteTriggerBridgeSections(sys, out);
  WriteLineMappingSpecSections(sys, out);
  WriteStarSystemTimingSetSections(sys, out);
  WriteStarTriggerSections(sys, out);
  WriteSystemSlotSection(ctx, sys, found ? &position : nullptr, out);
  // A written chassis always has a controller: the step that gives the
  // chassis its ID gives the controller the same one.
  if (ctx.Trail && found) {
    TrailEntry& e = ctx.Trail->Add(
        TrailKind::kController, {TrailSubjectKind::kSystemModule, system_module.Index, 0},
        FormatWide(u"[Chassis%dSlot1] of pxiesys.ini", sys.usChassisID));
    With(e, "chassis", FormatWide(u"%s %s", sys.Vendor, sys.Model));
    With(e, "chassis ID", sys.usChassisID);
  }
  if (found) mf_WritePeripheralSlots(ctx, peripherals, sys, out);
}

// After the file: the controllers in no system slot, and the peripheral
// modules of a controller no peripheral slot section follows, with why.
void TrailModulesInNoSection(RunContext& ctx) {
  std::vector<bool> controller_written, module_told;
  for (const TrailEntry& e : ctx.Trail->entries()) {
    std::vector<bool>* seen = e.kind == TrailKind::kController ? &controller_written
                              : (e.kind == TrailKind::kPeripheralPlaced || e.kind == TrailKind::kSlotTaken ||
                                 e.kind == TrailKind::kSlotNumberUnmatched || e.kind == TrailKind::kNoParent)
                                  ? &module_told
                                  : nullptr;
    if (!seen) continue;
    if (seen->size() <= e.subject.a) seen->resize(e.subject.a + 1, false);
    (*seen)[e.subject.a] = true;
  }
  auto told = [](const std::vector<bool>& v, std::uint32_t i) { return i < v.size() && v[i]; };
  const std::vector<std::size_t> order = ChassisOrder(ctx.vecPXISys, true);
  // Why a controller is in no system slot (nor are its modules in slots).
  auto why = [&](const ModuleRecord& c) -> WString {
    if (c.ChassisID == 0) {
      return u"no chassis matched to a description has a root bus in its bus range, so it has no "
             u"chassis ID";
    }
    for (std::size_t p : order) {
      if (ctx.vecPXISys[p].usChassisID != c.ChassisID) continue;
      return told(controller_written, c.Index)
                 ? FormatWide(u"another controller with chassis ID %u describes the chassis's "
                              u"peripheral slots", c.ChassisID)
                 : FormatWide(u"an earlier controller has chassis ID %u too", c.ChassisID);
    }
    return FormatWide(u"no chassis with chassis ID %u is in pxiesys.ini", c.ChassisID);
  };
  const auto& systems = ctx.SystemModules.Vendors;
  for (std::size_t v = 0; v < systems.size(); ++v) {
    for (std::size_t m = 0; m < systems[v].Models.size(); ++m) {
      for (const ModuleRecord& c : systems[v].Models[m].Modules) {
        if (told(controller_written, c.Index)) continue;
        TrailEntry& e = ctx.Trail->Add(TrailKind::kControllerUnused,
                                       {TrailSubjectKind::kSystemModule, c.Index, 0}, kNotWritten);
        With(e, "chassis ID", c.ChassisID);
        With(e, "why", why(c));
      }
    }
  }
  const auto& peripherals = ctx.PeripheralModules.Vendors;
  for (std::size_t v = 0; v < peripherals.size(); ++v) {
    for (std::size_t m = 0; m < peripherals[v].Models.size(); ++m) {
      for (const ModuleRecord& p : peripherals[v].Models[m].Modules) {
        if (told(module_told, p.Index)) continue;
        TrailEntry& e = ctx.Trail->Add(TrailKind::kParentNotWritten,
                                       {TrailSubjectKind::kPeripheralModule, p.Index, 0}, kNotWritten);
        for (std::size_t cv = 0; cv < systems.size(); ++cv) {
          for (std::size_t cm = 0; cm < systems[cv].Models.size(); ++cm) {
            const auto& records = systems[cv].Models[cm].Modules;
            for (std::size_t cr = 0; cr < records.size(); ++cr) {
              if (records[cr].Index != p.MappingIndex) continue;
              With(e, "controller", ModuleName(ctx.SystemModules, {cv, cm, cr}));
              With(e, "why", why(records[cr]));
            }
          }
        }
      }
    }
  }
}

}  // namespace

bool mf_FindChassisSystemModule(const RunContext& ctx, std::uint32_t chassis_id,
                                ModulePosition& position) {
  const auto& vendors = ctx.SystemModules.Vendors;
  for (std::size_t v = 0; v < vendors.size(); ++v) {
    for (std::size_t m = 0; m < vendors[v].Models.size(); ++m) {
      const auto& modules = vendors[v].Models[m].Modules;
      for (std::size_t r = 0; r < modules.size(); ++r) {
        if (modules[r].ChassisID == chassis_id) {
          position = {v, m, r};
          return true;
        }
      }
    }
  }
  return false;
}

bool FindChassisSystemModuleForSlots(const RunContext& ctx, std::uint32_t chassis_id,
                                     ModulePosition& position) {
  bool found = false;
  const auto& vendors = ctx.SystemModules.Vendors;
  for (std::size_t v = 0; v < vendors.size(); ++v) {
    for (std::size_t m = 0; m < vendors[v].Models.size(); ++m) {
      const auto& modules = vendors[v].Models[m].Modules;
      for (std::size_t r = 0; r < modules.size(); ++r) {
        if (modules[r].ChassisID == chassis_id) {
          position = {v, m, r};
          found = true;
          break;  // the first record of this model; a later model may still win
        }
      }
    }
  }
  return found;
}

namespace {

std::uint64_t ParentSlotKey(std::uint32_t parent_index, std::uint32_t slot_number) {
  return std::uint64_t{parent_index} << 32 | slot_number;
}

}  // namespace

PeripheralSlotIndex::PeripheralSlotIndex(const PxisaServiceList& modules) {
  const auto& vendors = modules.Vendors;
  for (std::size_t v = 0; v < vendors.size(); ++v) {
    for (std::size_t m = 0; m < vendors[v].Models.size(); ++m) {
      const auto& records = vendors[v].Models[m].Modules;
      for (std::size_t r = 0; r < records.size(); ++r) {
        // emplace keeps an earlier record of the same parent and slot.
        first_.emplace(ParentSlotKey(records[r].MappingIndex, records[r].SlotNumber),
                       ModulePosition{v, m, r});
      }
    }
  }
}

bool PeripheralSlotIndex::Find(std::uint32_t parent_index, std::uint32_t slot_number,
                               ModulePosition& position) const {
  auto it = first_.find(ParentSlotKey(parent_index, slot_number));
  if (it == first_.end()) return false;
  position = it->second;
  return true;
}

WideText mf_GetSlotTypeName(std::uint8_t code) {
  switch (code) {
    case 1: return u"PXIePeripheralSlot";
    case 2: return u"PXI-1Slot";
    case 3: return u"PXIeHybridSlot";
    case 7: return u"PXIeSystemTimingSlot";
    default: return u"N/A";  // 0, and the codes without a name
  }
}

int LinkWidthLanes(std::uint8_t code) {
  switch (code) {
    case 1: case 5: case 9: return 1;
    case 2: case 6: case 10: return 4;
    case 3: case 7: case 11: return 8;
    case 4: case 8: case 12: return 16;
    default: return 0;
  }
}

void mf_WritePXIESys(RunContext& ctx) {
  if (!ctx.PxieSysStream) return;
  TextStream& out = *ctx.PxieSysStream;
  ctx.locale.UseUserDefault();
  const std::vector<std::size_t> order = ChassisOrder(ctx.vecPXISys, true);

  out.Print(u"[Version]\n");
  out.Print(u"Specification = \"PXI-%d\"\n", 6);
  out.Print(u"Major = %d\n", 1);
  out.Print(u"Minor = %d\n", 2);
  out.Print(u"\n");
  WriteResourceManagerSection(ctx, out);
  out.Print(u"[System]\n");
  out.Print(u"ChassisList = \"%s\"\n", ChassisListText(ctx.vecPXISys, order));
  out.Print(u"\n");
  const PeripheralSlotIndex peripherals(ctx.PeripheralModules);
  for (std::size_t position : order) WriteChassis(ctx, peripherals, ctx.vecPXISys[position], out);
  if (ctx.Trail) TrailModulesInNoSection(ctx);
}

}  // namespace ztrm
