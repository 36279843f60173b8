// PXIChassisList.ini: the PXI-1 chassis that another program lists, with
// their root bus numbers and chassis IDs. The system only reads it.
//
//   [Information]  TotalChassis = N
//   [Chassis1..N]  ChassisID, Vendor, Model, PCIRootBusNumber
//
// Numbers are read as _wtoi reads them; a missing file, section or key reads
// as empty text (0). Entries beyond N are not read. N is bounded by
// kMaxChassisListEntries so that a mistyped total cannot keep a run busy for
// hours: no PXI system comes near that many chassis.
#ifndef ZTRM_ENUMERATION_CHASSIS_LIST_H_
#define ZTRM_ENUMERATION_CHASSIS_LIST_H_

#include <cstdint>

#include "enumeration/run_context.h"

namespace ztrm {

inline constexpr std::int32_t kMaxChassisListEntries = 1024;

// Reads the chassis list at ChassisListPath and hands every entry to the PXI-1
// chassis mapping, in list order. Logs nothing itself.
void MapListedPXI1Chassis(RunContext& ctx);

}  // namespace ztrm

#endif  // ZTRM_ENUMERATION_CHASSIS_LIST_H_
