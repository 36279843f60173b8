// The system-module stage of module discovery: name, chassis EEPROM (with its
// report and chassis texts), link widths and the bus range of each module,
// and its running Index.
#ifndef ZTRM_INVENTORY_SYSTEM_MODULE_STAGE_H_
#define ZTRM_INVENTORY_SYSTEM_MODULE_STAGE_H_

#include "inventory/model_scope.h"

namespace ztrm {

extern const StageText kSystemStage;

// Reads the model's system modules; true when the summary line is due even
// without the error mark (the SMBus export is missing).
bool ReadSystemModules(ModelScope& s);

// MinBus and MaxBus from the record's links, with their log lines. A (0, 0)
// pair so far leaves the range unset, so the next link's pair is taken as it
// comes; a link count outside 1..4 gives (0, 0) and the unsupported line.
void ComputeBusRange(RunContext& ctx, ModuleRecord& record);

}  // namespace ztrm

#endif  // ZTRM_INVENTORY_SYSTEM_MODULE_STAGE_H_
