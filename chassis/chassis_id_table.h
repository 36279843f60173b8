#ifndef ZTRM_CHASSIS_CHASSIS_ID_TABLE_H_
#define ZTRM_CHASSIS_CHASSIS_ID_TABLE_H_

#include <cstdint>

#include "enumeration/run_context.h"

namespace ztrm {

// Loads the stored chassis IDs from ChassisMappingID.ini.
void ReadChassisMappingIDs(RunContext& ctx);

}  // namespace ztrm

#endif  // ZTRM_CHASSIS_CHASSIS_ID_TABLE_H_
