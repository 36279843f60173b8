#include "inventory/pxisa_registry.h"

namespace ztrm {

// Not built yet: the PXISA registry enumeration.
void QueryPxisaRegistry(RunContext&) {}

}  // namespace ztrm
