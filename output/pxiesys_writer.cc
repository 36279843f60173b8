#include "output/pxiesys_writer.h"

namespace ztrm {

// Not built yet: the PXI Express system file writer.
void mf_WritePXIESys(RunContext&) {}

}  // namespace ztrm
