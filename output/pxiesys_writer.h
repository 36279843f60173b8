// pxiesys.ini: every chassis record that is not a PXI-1 chassis, with what
// the hardware reports about it: the serial number, system slot link mode and
// widths from the system module's EEPROM image, the controller in the system
// slot, and each peripheral slot's type, link origins and widths and the
// peripheral module in it.
//
// Cases the records leave open, decided here:
//   - A chassis that no system module names (by ChassisID) is written without
//     one: an empty SerialNumber, a system slot section with empty Model,
//     Vendor, InstanceName and AddressInfo, "SlotType = UnKnow" (with its
//     blank line) and every width 0, and no peripheral slot sections. The
//     system module of another chassis is never borrowed: its serial number
//     and controller would describe the wrong chassis.
//   - Slot type codes without a name (4, 5, 6 and above 7) are written as
//     "N/A", as code 0, so that readers meet only the known names.
//   - The EEPROM image holds descriptors for 31 peripheral slots (0x81 to
//     0xFC); a slot beyond them gets a section saying "N/A", origins 0 and
//     widths 0, and no module lines, since no slot number is known for it.
//   - The serial number is the EEPROM bytes from 0x6A up to the first zero
//     byte or the end of its 13-byte field (0x6A to 0x76), whichever comes
//     first.
//   - Two controllers given one chassis ID (an edited ChassisMappingID.ini):
//     the chassis and system slot sections describe the first one in list
//     order; the peripheral slot sections take the one their own search
//     finds (see FindChassisSystemModuleForSlots) for both the slot
//     descriptors and the modules in the slots, so each section describes
//     one controller's chassis.
#ifndef ZTRM_OUTPUT_PXIESYS_WRITER_H_
#define ZTRM_OUTPUT_PXIESYS_WRITER_H_

#include <cstddef>
#include <cstdint>
#include <unordered_map>

#include "enumeration/run_context.h"

namespace ztrm {

// Writes pxiesys.ini to RunContext::PxieSysStream (nothing when it is not
// open). Switches the process locale to the user default first.
void mf_WritePXIESys(RunContext& ctx);

// The first system module whose ChassisID is `chassis_id`, in list order;
// `position` unchanged and false when none.
bool mf_FindChassisSystemModule(const RunContext& ctx, std::uint32_t chassis_id,
                                ModulePosition& position);

// The search the peripheral slot sections use: the last model holding a
// system module of the chassis, and within it the first such record. Its
// EEPROM gives the slot descriptors, its Index the modules' parent.
bool FindChassisSystemModuleForSlots(const RunContext& ctx, std::uint32_t chassis_id,
                                     ModulePosition& position);

// The peripheral modules of a run by parent and slot: for each MappingIndex
// and SlotNumber, the first such record in list order (vendor by vendor,
// model by model, record by record). Made when the records are final (the
// writer makes one per file) and valid while they stay so.
class PeripheralSlotIndex {
 public:
  explicit PeripheralSlotIndex(const PxisaServiceList& modules);
  // False, `position` unchanged, when no module has that parent and slot.
  bool Find(std::uint32_t parent_index, std::uint32_t slot_number, ModulePosition& position) const;

 private:
  std::unordered_map<std::uint64_t, ModulePosition> first_;
};

// The name of a slot type code ("N/A" for the codes without one).
WideText mf_GetSlotTypeName(std::uint8_t code);

// Lanes of a link width code: 1, 5, 9 give 1; 2, 6, 10 give 4; 3, 7, 11 give
// 8; 4, 8, 12 give 16; any other code 0.
int LinkWidthLanes(std::uint8_t code);

}  // namespace ztrm

#endif  // ZTRM_OUTPUT_PXIESYS_WRITER_H_
