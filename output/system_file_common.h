// What the two system files, pxisys.ini and pxiesys.ini, write alike: the
// chassis order, the chassis list line, the [ResourceManager] section and the
// trigger bridge and line mapping spec sections.
#ifndef ZTRM_OUTPUT_SYSTEM_FILE_COMMON_H_
#define ZTRM_OUTPUT_SYSTEM_FILE_COMMON_H_

#include <cstddef>
#include <vector>

#include "chassis/chassis_records.h"
#include "common/text_stream.h"
#include "enumeration/run_context.h"

namespace ztrm {

// Positions in `systems` of the chassis to write, in writing order: for
// p = 1, 2, ..., systems.size(), every record whose dwChassisIndex is p, in
// store order. Records numbered 0 or above the count are left out, and so are
// PXI-1 records (bPXI1 == 1) when `skip_pxi1` is set.
std::vector<std::size_t> ChassisOrder(const std::vector<stPXISys>& systems, bool skip_pxi1);

// The usChassisID of each chassis of `order`, "%d" then ",%d".
WString ChassisListText(const std::vector<stPXISys>& systems, const std::vector<std::size_t>& order);

// "[ResourceManager]" with Name, Version (FileVersionText) and a fresh
// Timestamp, then a blank line.
void WriteResourceManagerSection(RunContext& ctx, TextStream& out);

// The trigger bridge sections (only when TriggerBridgeList is not empty) and
// the line mapping spec sections (only when LineMappingSpecList is not empty).
void WriteTriggerBridgeSections(const stPXISys& sys, TextStream& out);
void WriteLineMappingSpecSections(const stPXISys& sys, TextStream& out);

}  // namespace ztrm

#endif  // ZTRM_OUTPUT_SYSTEM_FILE_COMMON_H_
