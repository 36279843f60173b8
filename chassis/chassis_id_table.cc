#include "chassis/chassis_id_table.h"

namespace ztrm {

// Not built yet: the chassis ID table.
void ReadChassisMappingIDs(RunContext&) {}

}  // namespace ztrm
