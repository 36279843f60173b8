#include "output/pxisys_writer.h"

namespace ztrm {

// Not built yet: the PXI-1 system file writer.
void mf_WritePXISys(RunContext&) {}

}  // namespace ztrm
