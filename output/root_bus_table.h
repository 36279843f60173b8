// The resource driver's root bus table: 255 rows of 255 bytes, row-major, an
// entry of 1 marking a (row, column) pair, then the count byte. Kept as the
// one byte buffer the driver request fills in place.
#ifndef ZTRM_OUTPUT_ROOT_BUS_TABLE_H_
#define ZTRM_OUTPUT_ROOT_BUS_TABLE_H_

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/resource_driver.h"

namespace ztrm {

struct stRootBusList {
  std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(rmdrv::kRootBusListSize, 0);

  std::uint8_t Entry(std::size_t row, std::size_t column) const {
    return bytes[row * rmdrv::kRootBusRows + column];
  }
  std::uint8_t uNumOfRootBus() const { return bytes[rmdrv::kRootBusListSize - 1]; }
  void Zero() { std::fill(bytes.begin(), bytes.end(), 0); }
};

}  // namespace ztrm

#endif  // ZTRM_OUTPUT_ROOT_BUS_TABLE_H_
