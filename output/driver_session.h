// The system's side of the resource driver: opening the device into the
// shared driver handle and the two requests the enumeration worker sends.
//
// Handle lifetime (our choice): the first open that succeeds is kept in
// RunContext::SharedDriverHandle for the life of the process and every later
// query reuses it; a query opens the device only while no handle is held, so
// a driver that starts after the service is still found. A held handle is
// never closed or replaced: the device event thread may be sending a request
// through it at any moment, and closing it under that thread would let a
// later handle of the same value reach another object.
#ifndef ZTRM_OUTPUT_DRIVER_SESSION_H_
#define ZTRM_OUTPUT_DRIVER_SESSION_H_

#include <cstdint>

#include "enumeration/run_context.h"
#include "output/root_bus_table.h"

namespace ztrm {

// Results of the querying routines.
inline constexpr int kDriverDone = 0;
inline constexpr int kDriverUnavailable = 1;    // the device cannot be opened
inline constexpr int kDriverRequestFailed = 2;  // a request failed

// The handle a querying routine uses: the held one, or a new open stored as
// the shared handle; 0 when the device cannot be opened.
DriverHandle OpenResourceDriver(RunContext& ctx);

// DAS_IOC_GET_UPSTREAM_BRIDGE for `bus`; `answer` is written only on success.
bool RequestUpstreamBridge(RunContext& ctx, DriverHandle handle, std::uint8_t bus,
                           std::uint8_t answer[4]);

// DAS_IOC_GET_ROOT_BUS_LIST with the table as input and output buffer.
bool RequestRootBusList(RunContext& ctx, DriverHandle handle, stRootBusList& table);

}  // namespace ztrm

#endif  // ZTRM_OUTPUT_DRIVER_SESSION_H_
