#ifndef ZTRM_OUTPUT_PXIESYS_WRITER_H_
#define ZTRM_OUTPUT_PXIESYS_WRITER_H_

#include <cstdint>

#include "enumeration/run_context.h"

namespace ztrm {

// Writes pxiesys.ini to RunContext::PxieSysStream.
void mf_WritePXIESys(RunContext& ctx);

}  // namespace ztrm

#endif  // ZTRM_OUTPUT_PXIESYS_WRITER_H_
