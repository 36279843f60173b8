// The peripheral-module stage of module discovery: name and the four
// GetInformation items of each module, its running Index, and its parent
// system module, found right when it is read.
#ifndef ZTRM_INVENTORY_PERIPHERAL_MODULE_STAGE_H_
#define ZTRM_INVENTORY_PERIPHERAL_MODULE_STAGE_H_

#include "inventory/model_scope.h"

namespace ztrm {

extern const StageText kPeripheralStage;

// Reads the model's peripheral modules; a module is read on (and recorded)
// whichever of its exports is missing. Returns false: the stage has no
// summary reason beyond the error mark.
bool ReadPeripheralModules(ModelScope& s);

}  // namespace ztrm

#endif  // ZTRM_INVENTORY_PERIPHERAL_MODULE_STAGE_H_
