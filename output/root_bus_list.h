#ifndef ZTRM_OUTPUT_ROOT_BUS_LIST_H_
#define ZTRM_OUTPUT_ROOT_BUS_LIST_H_

#include <cstdint>

#include "enumeration/run_context.h"

namespace ztrm {

// Asks the resource driver for the root bus table (RunContext::RootBusList)
// and writes "%s\ztbuslist.dat" in the Windows folder, replacing it: the
// section line, Count with the driver's count, one Item per entry equal to 1.
// 0 when done, 1 when the driver cannot be opened, 2 when the request fails.
int mf_WriteRootBusList(RunContext& ctx);

}  // namespace ztrm

#endif  // ZTRM_OUTPUT_ROOT_BUS_LIST_H_
