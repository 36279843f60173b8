// pxisys.ini: every chassis record that carries an ordering index, PXI-1 and
// PXI Express alike, with its bus segments (bridge paths resolved through the
// resource driver as they are written), trigger buses, trigger bridges, line
// mapping specs, star triggers and the slots some segment reaches.
#ifndef ZTRM_OUTPUT_PXISYS_WRITER_H_
#define ZTRM_OUTPUT_PXISYS_WRITER_H_

#include <cstdint>

#include "enumeration/run_context.h"

namespace ztrm {

// Writes pxisys.ini to RunContext::PxiSysStream (nothing when it is not
// open). Switches the process locale to the user default first. Marks slots
// and fills the segments' path texts of the records it writes.
void mf_WritePXISys(RunContext& ctx);

}  // namespace ztrm

#endif  // ZTRM_OUTPUT_PXISYS_WRITER_H_
