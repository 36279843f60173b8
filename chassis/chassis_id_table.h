// Chassis IDs of PXI Express chassis that stay the same from run to run.
//
// RunContext::usChassisMappingID holds, in slot i, the chassis ID given to the
// chassis whose mapping index is i (1..255; 0 for none; slot 0 unused). It
// lives as long as the process and is mirrored in ChassisMappingID.ini:
//
//   [ChassisMappingID]
//   Chassis1=0
//   ...
//   Chassis255=0
#ifndef ZTRM_CHASSIS_CHASSIS_ID_TABLE_H_
#define ZTRM_CHASSIS_CHASSIS_ID_TABLE_H_

#include <cstdint>

#include "enumeration/run_context.h"

namespace ztrm {

inline constexpr char16_t kChassisMappingSection[] = u"ChassisMappingID";
inline constexpr std::uint16_t kMaxMappingIndex = 255;

// Loads the stored chassis IDs from ChassisMappingPath. A key whose value
// reads (as _wtoi reads it) as a number above 0 sets its slot to the low 16
// bits of that number; a missing, empty, zero, negative or non-numeric value
// leaves the slot as an earlier run left it. A file that cannot be read is
// an empty one.
void ReadChassisMappingIDs(RunContext& ctx);

// The chassis ID for `MappingIndex`: the slot's ID when it holds one in
// 1..255 (nothing is written then); otherwise the smallest ID from 1 up that
// no slot 1..255 holds, which is stored in the slot and written to the file
// at once. That is 256 only when every ID 1..255 is taken.
//
// A mapping index outside 1..255 has no slot: the call is refused, returns 0
// (no ID) and neither the table nor the file changes.
std::uint16_t mf_GetComfortablyChassisID(RunContext& ctx, std::uint16_t MappingIndex);

// Writes all 255 slots to ChassisMappingPath, key by key through the
// platform's profile writing ("Chassis3=1"; zeros included), so the file is
// created when missing and its other content stays. Failures are ignored:
// the table in memory stays in force.
void WriteChassisMappingIDs(RunContext& ctx);

}  // namespace ztrm

#endif  // ZTRM_CHASSIS_CHASSIS_ID_TABLE_H_
