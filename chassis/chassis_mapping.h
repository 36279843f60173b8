// Tying a chassis to its description file: the file whose raw [Chassis]
// lines read exactly Vendor = "<vendor>" and Model = "<model>" is parsed into
// a new stPXISys, which the mapping then marks with what it knows.
#ifndef ZTRM_CHASSIS_CHASSIS_MAPPING_H_
#define ZTRM_CHASSIS_CHASSIS_MAPPING_H_

#include <cstdint>

#include "enumeration/decision_trail.h"
#include "enumeration/run_context.h"

namespace ztrm {

// The line a description file must hold for `vendor` / `model`, line feed
// included. Built without a length limit: a key longer than any scanned line
// (255 units) simply never matches.
WString VendorKeyText(WStringView vendor);
WString ModelKeyText(WStringView model);

// Maps a PXI Express chassis reported by a vendor library. On a match the
// parsed record is appended with bPXIe = 1 and its description file name;
// chassis ID, index and root buses are left to bus-range assignment. Returns
// the file's bus segment count, or 0 when no file matches (nothing is logged
// or appended then).
// `subject` names the chassis in the decision trail, when the run keeps one.
std::uint32_t MapPXIeChassis(RunContext& ctx, WStringView vendor, WStringView model,
                             TrailSubject subject = {});

// Maps a PXI-1 chassis of the chassis list. On a match the parsed record gets
// the low 16 bits of `chassis_id`, its 1-based position in vecPXISys as
// index, bPXI1 = 1, and its PCI bus segments the root bus numbers
// root_bus_number, root_bus_number + 1, ... (modulo 65536). Returns the bus
// segment count, or 0 when no file matches.
std::uint32_t MapPXI1Chassis(RunContext& ctx, WStringView vendor, WStringView model,
                             std::int32_t root_bus_number, std::int32_t chassis_id,
                             TrailSubject subject = {});

}  // namespace ztrm

#endif  // ZTRM_CHASSIS_CHASSIS_MAPPING_H_
