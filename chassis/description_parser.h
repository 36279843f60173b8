// Reading one chassis description file into an stPXISys.
//
// Every value goes through the platform's profile reading, one read per key
// (the default is "" and the buffer 260 units, so names and values match and
// cut as GetPrivateProfileStringW does). Nothing is converted to a number and
// no name is checked against another: a trigger bridge may name a trigger bus
// the file never describes.
#ifndef ZTRM_CHASSIS_DESCRIPTION_PARSER_H_
#define ZTRM_CHASSIS_DESCRIPTION_PARSER_H_

#include "chassis/chassis_records.h"
#include "enumeration/run_context.h"

namespace ztrm {

// Reads the description file at `path` and appends exactly one record to
// RunContext::vecPXISys: a file, section or key that cannot be read leaves
// its texts and lists empty, so a missing file still appends an empty record.
// Nothing is logged.
void ParseChassisDescription(RunContext& ctx, WStringView path);

}  // namespace ztrm

#endif  // ZTRM_CHASSIS_DESCRIPTION_PARSER_H_
