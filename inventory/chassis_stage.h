// The chassis stage of module discovery: each chassis a library reports is
// mapped onto its description file, and each of its root buses is asked for
// and, when it is a usable bus number (1..255), mapped to the system module
// behind it.
#ifndef ZTRM_INVENTORY_CHASSIS_STAGE_H_
#define ZTRM_INVENTORY_CHASSIS_STAGE_H_

#include "inventory/model_scope.h"

namespace ztrm {

extern const StageText kChassisStage;

// Reads the model's chassis; without the root bus export each chassis is
// still recorded, empty. Returns false: the stage has no summary reason
// beyond the error mark.
bool ReadChassis(ModelScope& s);

}  // namespace ztrm

#endif  // ZTRM_INVENTORY_CHASSIS_STAGE_H_
