#ifndef ZTRM_OUTPUT_PXISYS_WRITER_H_
#define ZTRM_OUTPUT_PXISYS_WRITER_H_

#include <cstdint>

#include "enumeration/run_context.h"

namespace ztrm {

// Writes pxisys.ini to RunContext::PxiSysStream.
void mf_WritePXISys(RunContext& ctx);

}  // namespace ztrm

#endif  // ZTRM_OUTPUT_PXISYS_WRITER_H_
